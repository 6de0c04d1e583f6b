#pragma once
// Facts about the machine, the account and the current process and thread.

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

struct OsRelease {
    std::string systemName;               // uname sysname, e.g. "Linux"
    std::string prettyName;               // PRETTY_NAME of os-release, e.g. "Debian GNU/Linux 12 (bookworm)"
    std::string kernelRelease;            // uname release, e.g. "6.1.0-18-amd64"
    std::string machine;                  // uname machine, e.g. "x86_64"
    int major = 0, minor = 0, patch = 0;  // numbers of the kernel release
};
OsRelease GetOsRelease();
bool Is64BitMachine();

int CurrentProcessId();
int CurrentThreadId();
// Names the calling thread for debuggers (at most 15 bytes are kept).
void SetCurrentThreadName(const std::string& name);

struct LocalTime {
    int year, month, day, hour, minute, second, millisecond;
};
LocalTime NowLocal();
// Milliseconds on a monotonic clock (wraps like GetTickCount).
std::uint32_t TickCountMs();

// Administrator tests: the effective user is root; an account belongs to sudo, wheel or admin.
bool IsEffectiveRoot();
bool IsAccountInAdminGroup(const std::string& userName);
std::string CurrentUserName();
// The user logged in on the console (a utmp entry on tty*, else on a display :N). Empty when none.
std::optional<std::string> ConsoleUserName();

struct DiskSpace {
    std::uint64_t freeForCaller = 0;
    std::uint64_t total = 0;
    std::uint64_t totalFree = 0;
};
// statvfs on the nearest existing ancestor of `path`. On failure returns false with errno in `*error`.
bool GetDiskSpace(const std::string& path, DiskSpace* space, int* error);

// Default routes in /proc/net/route and /proc/net/ipv6_route.
bool HasIpv4DefaultRoute();
bool HasIpv6DefaultRoute();
// A TCP connection to host:port within `timeoutMs`.
bool CanConnect(const std::string& host, int port, int timeoutMs);

// The user's locale name for messages (LC_ALL, LC_MESSAGES, then LANG), e.g. "zh_CN.UTF-8"; "C" when unset.
std::string UserLocaleName();

// 16 random bytes from the kernel, laid out as a version-4 GUID.
struct GuidBytes {
    std::uint8_t bytes[16];
};
GuidBytes NewGuid();

}  // namespace platform
