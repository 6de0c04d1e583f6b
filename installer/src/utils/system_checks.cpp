#include "utils/system_checks.h"

#include <cinttypes>
#include <cstdio>

#include "installer_settings.h"
#include "log_line.h"
#include "platform/system_info.h"
#include "utils/text.h"

namespace Utils {
namespace {

constexpr int kInternetProbeTimeoutMs = 3000;

}  // namespace

bool HostAndPortOf(const std::wstring& url, std::string* host, int* port) {
    std::string text = ToNarrow(url, kCodePageUtf8);
    size_t scheme = text.find("://");
    std::string rest = scheme == std::string::npos ? text : text.substr(scheme + 3);
    bool secure = scheme == std::string::npos || text.compare(0, scheme, "https") == 0;
    std::string authority = rest.substr(0, rest.find_first_of("/?#"));
    authority = authority.substr(authority.find('@') == std::string::npos ? 0 : authority.find('@') + 1);
    *port = secure ? 443 : 80;
    size_t colon = authority.rfind(':');
    if (colon != std::string::npos && authority.find(']', colon) == std::string::npos) {
        *port = std::atoi(authority.c_str() + colon + 1);
        authority.resize(colon);
    }
    if (authority.size() >= 2 && authority.front() == '[' && authority.back() == ']') {
        authority = authority.substr(1, authority.size() - 2);
    }
    *host = authority;
    return !host->empty() && *port > 0;
}

int CheckNetwork(const std::string& probeHost, int probePort) {
    bool v4 = platform::HasIpv4DefaultRoute();
    bool v6 = platform::HasIpv6DefaultRoute();
    int low = (v4 ? kConnectivityIpv4LocalNetwork : 0) | (v6 ? kConnectivityIpv6LocalNetwork : 0);
    int high = 0;
    if (low == 0) {
        LOG_LINE("GetConnectivity %d", low);
        high = 1;
    } else if (platform::CanConnect(probeHost, probePort, kInternetProbeTimeoutMs)) {
        low |= (v4 ? kConnectivityIpv4Internet : 0) | (v6 ? kConnectivityIpv6Internet : 0);
    } else {
        LOG_LINE("get_IsConnectedToInternet:%d", 0);
        high = 2;
    }
    return (high << 16) | low;
}

int CheckNetwork() {
    std::string host;
    int port = 0;
    if (!HostAndPortOf(Settings().DownloadUrl, &host, &port)) {
        return 0;
    }
    return CheckNetwork(host, port);
}

bool HardDiskManager::CheckFreeSpace(const std::wstring& directory) {
    platform::DiskSpace space;
    int error = 0;
    if (!platform::GetDiskSpace(ToNarrow(directory, kCodePageUtf8), &space, &error)) {
        LOG_LINE("HardDiskManager::CheckFreeSpace FAIL code=%ld\r\n", static_cast<long>(error));
        return false;
    }
    freeBytesForCaller = space.freeForCaller;
    totalBytes = space.total;
    totalFreeBytes = space.totalFree;
    return true;
}

std::wstring OsVersionLabel(unsigned major, unsigned minor, unsigned build, bool serverR2) {
    build &= 0xFFFF;
    switch (major) {
        case 0:
        case 1:
        case 2:
        case 3:
        case 4:
            return L"XP-";
        case 5:
            switch (minor) {
                case 0:
                    return L"2K";
                case 1:
                    return L"XP";
                case 2:
                    return serverR2 ? L"Server 2003 R2" : L"Server 2003";
                default:
                    return L"XP+";
            }
        case 6:
            switch (minor) {
                case 0:
                    return L"Vista";
                case 1:
                    return L"7";
                case 2:
                    return L"8";
                case 3:
                    return L"8.1";
                default:
                    return L"8.1+";
            }
        case 10:
            return minor == 0 ? L"10" : L"10+";
        default:
            return std::to_wstring(major) + L"." + std::to_wstring(minor) + L"." + std::to_wstring(build);
    }
}

void GetOsNameAndVersion(std::wstring& name, std::wstring& versionLabel) {
    platform::OsRelease release = platform::GetOsRelease();
    name = ToWide(release.systemName, kCodePageUtf8);
    versionLabel = std::to_wstring(release.major) + L"." + std::to_wstring(release.minor) + L"." +
                   std::to_wstring(release.patch);
}

int Is64BitRule(bool haveWow64, bool wow64Succeeded, bool isWow64, int nativeArchitecture) {
    if (!haveWow64) {
        return 0;
    }
    if (wow64Succeeded) {
        return isWow64 ? 1 : 0;
    }
    return nativeArchitecture == 9 || nativeArchitecture == 6 ? 1 : 0;
}

int Is64BitSystem() {
    return platform::Is64BitMachine() ? 1 : 0;
}

std::wstring NewGuidText() {
    platform::GuidBytes guid = platform::NewGuid();
    const std::uint8_t* b = guid.bytes;
    char text[33];
    std::snprintf(text, sizeof text, "%02X%02X%02X%02X%02X%02X%02x%02x%02X%02X%02X%02X%02X%02X%02X%02X", b[0],
                  b[1], b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9], b[10], b[11], b[12], b[13], b[14],
                  b[15]);
    return ToWide(text, kCodePageUtf8);
}

bool IsUserAdmin() {
    return platform::IsEffectiveRoot();
}

bool IsAdminAccount(const std::wstring& userName) {
    return platform::IsAccountInAdminGroup(ToNarrow(userName, kCodePageUtf8));
}

bool GetConsoleUserName(std::wstring& userName) {
    std::optional<std::string> user = platform::ConsoleUserName();
    if (!user) {
        return false;
    }
    userName = ToWide(*user, kCodePageUtf8);
    return true;
}

}  // namespace Utils
