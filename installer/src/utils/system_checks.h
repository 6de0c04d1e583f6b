#pragma once
// Checks shown to the user and reported with usage events: network, disk, OS, administrator.

#include <cstdint>
#include <string>

namespace Utils {

// Connectivity bits of the low half of CheckNetwork's result.
inline constexpr int kConnectivityIpv4LocalNetwork = 0x20;
inline constexpr int kConnectivityIpv4Internet = 0x40;
inline constexpr int kConnectivityIpv6LocalNetwork = 0x200;
inline constexpr int kConnectivityIpv6Internet = 0x400;

// (high << 16) | low: low = the connectivity bits above; high 0 online, 1 no connectivity at all,
// 2 a network without internet access. A default route counts as a local network; internet means
// a TCP connection to the package's download host within a few seconds.
int CheckNetwork();
// The same with the host and port that stand for "the internet".
int CheckNetwork(const std::string& probeHost, int probePort);
// Host and port of an http(s) address ("https://h:8443/x" -> "h", 8443); false when there is no host.
bool HostAndPortOf(const std::wstring& url, std::string* host, int* port);

class HardDiskManager {
public:
    virtual ~HardDiskManager() = default;
    // Fills the three fields for the folder's file system; false (fields kept) on failure.
    bool CheckFreeSpace(const std::wstring& directory);

    std::uint64_t freeBytesForCaller = 0;
    std::uint64_t totalBytes = 0;
    std::uint64_t totalFreeBytes = 0;
};

// The version label of the Windows table for the numbers (kept as the reference rule).
std::wstring OsVersionLabel(unsigned major, unsigned minor, unsigned build, bool serverR2);
// This system's name ("Linux") and version label (the kernel release, e.g. "6.1.0-18-amd64").
void GetOsNameAndVersion(std::wstring& name, std::wstring& versionLabel);

// The 64-bit rule: IsWow64Process's answer when it succeeds, else the native architecture
// (9 AMD64 or 6 IA64 gives 1), 0 when neither is known.
int Is64BitRule(bool haveWow64, bool wow64Succeeded, bool isWow64, int nativeArchitecture);
int Is64BitSystem();

std::wstring NewGuidText();

// The process runs with administrator rights (effective root).
bool IsUserAdmin();
// The account may administer the machine (root, or a member of sudo, wheel or admin).
bool IsAdminAccount(const std::wstring& userName);
// The user logged in at the console; false when there is none.
bool GetConsoleUserName(std::wstring& userName);

}  // namespace Utils
