#include "platform/system_info.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <grp.h>
#include <netdb.h>
#include <poll.h>
#include <pthread.h>
#include <pwd.h>
#include <sys/random.h>
#include <sys/socket.h>
#include <sys/statvfs.h>
#include <sys/syscall.h>
#include <sys/utsname.h>
#include <unistd.h>
#include <utmpx.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <sstream>
#include <vector>

#include "file_descriptor.h"
#include "platform/paths.h"

namespace platform {

OsRelease GetOsRelease() {
    OsRelease release;
    utsname u;
    if (uname(&u) == 0) {
        release.systemName = u.sysname;
        release.kernelRelease = u.release;
        release.machine = u.machine;
        std::sscanf(u.release, "%d.%d.%d", &release.major, &release.minor, &release.patch);
    }
    std::string text;
    if (ReadWholeFile("/etc/os-release", &text) || ReadWholeFile("/usr/lib/os-release", &text)) {
        std::istringstream lines(text);
        std::string line;
        while (std::getline(lines, line)) {
            if (line.rfind("PRETTY_NAME=", 0) == 0) {
                std::string value = line.substr(12);
                if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'')) {
                    value = value.substr(1, value.size() - 2);
                }
                release.prettyName = value;
            }
        }
    }
    if (release.prettyName.empty()) {
        release.prettyName = release.systemName;
    }
    return release;
}

bool Is64BitMachine() {
    utsname u;
    if (uname(&u) != 0) {
        return sizeof(void*) == 8;
    }
    std::string m = u.machine;
    return m.find("64") != std::string::npos || m == "s390x";
}

int CurrentProcessId() {
    return static_cast<int>(getpid());
}

int CurrentThreadId() {
    return static_cast<int>(syscall(SYS_gettid));
}

void SetCurrentThreadName(const std::string& name) {
    pthread_setname_np(pthread_self(), name.substr(0, 15).c_str());
}

LocalTime NowLocal() {
    timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    tm local;
    localtime_r(&ts.tv_sec, &local);
    return LocalTime{local.tm_year + 1900,
                     local.tm_mon + 1,
                     local.tm_mday,
                     local.tm_hour,
                     local.tm_min,
                     local.tm_sec,
                     static_cast<int>(ts.tv_nsec / 1000000)};
}

std::uint32_t TickCountMs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
                                      static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u);
}

bool IsEffectiveRoot() {
    return geteuid() == 0;
}

bool IsAccountInAdminGroup(const std::string& userName) {
    std::vector<char> buffer(16384);
    passwd pw;
    passwd* found = nullptr;
    if (getpwnam_r(userName.c_str(), &pw, buffer.data(), buffer.size(), &found) != 0 || found == nullptr) {
        return false;
    }
    if (pw.pw_uid == 0) {
        return true;
    }
    int count = 64;
    std::vector<gid_t> groups(static_cast<size_t>(count));
    if (getgrouplist(userName.c_str(), pw.pw_gid, groups.data(), &count) < 0) {
        groups.resize(static_cast<size_t>(count));
        if (getgrouplist(userName.c_str(), pw.pw_gid, groups.data(), &count) < 0) {
            return false;
        }
    }
    groups.resize(static_cast<size_t>(count));
    for (gid_t gid : groups) {
        group gr;
        group* g = nullptr;
        std::vector<char> gbuf(16384);
        if (getgrgid_r(gid, &gr, gbuf.data(), gbuf.size(), &g) == 0 && g != nullptr) {
            std::string name = g->gr_name;
            if (name == "sudo" || name == "wheel" || name == "admin") {
                return true;
            }
        }
    }
    return false;
}

std::string CurrentUserName() {
    std::vector<char> buffer(16384);
    passwd pw;
    passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &pw, buffer.data(), buffer.size(), &found) == 0 && found != nullptr) {
        return pw.pw_name;
    }
    return {};
}

std::optional<std::string> ConsoleUserName() {
    std::optional<std::string> onDisplay;
    setutxent();
    while (utmpx* entry = getutxent()) {
        if (entry->ut_type != USER_PROCESS) {
            continue;
        }
        std::string line(entry->ut_line, strnlen(entry->ut_line, sizeof entry->ut_line));
        std::string user(entry->ut_user, strnlen(entry->ut_user, sizeof entry->ut_user));
        if (line.rfind("tty", 0) == 0 && line.rfind("ttyS", 0) != 0) {
            endutxent();
            return user;
        }
        if (!onDisplay && line.rfind(":", 0) == 0) {
            onDisplay = user;
        }
    }
    endutxent();
    return onDisplay;
}

bool GetDiskSpace(const std::string& path, DiskSpace* space, int* error) {
    std::string probe = path.empty() ? std::string(".") : path;
    while (!PathExists(probe)) {
        std::string parent = DirectoryOf(probe);
        if (parent.empty() || parent == probe) {
            probe = parent.empty() ? "." : parent;
            break;
        }
        probe = parent;
    }
    struct statvfs st;
    if (statvfs(probe.c_str(), &st) != 0) {
        *error = errno;
        return false;
    }
    space->freeForCaller = static_cast<std::uint64_t>(st.f_bavail) * st.f_frsize;
    space->total = static_cast<std::uint64_t>(st.f_blocks) * st.f_frsize;
    space->totalFree = static_cast<std::uint64_t>(st.f_bfree) * st.f_frsize;
    return true;
}

bool HasIpv4DefaultRoute() {
    std::string text;
    if (!ReadWholeFile("/proc/net/route", &text)) {
        return false;
    }
    std::istringstream lines(text);
    std::string line;
    std::getline(lines, line);  // header
    while (std::getline(lines, line)) {
        char iface[64];
        unsigned long destination = 1, gateway = 0, flags = 0;
        if (std::sscanf(line.c_str(), "%63s %lx %lx %lx", iface, &destination, &gateway, &flags) == 4 &&
            destination == 0 && (flags & 0x1) != 0 && std::string(iface) != "lo") {
            return true;
        }
    }
    return false;
}

bool HasIpv6DefaultRoute() {
    std::string text;
    if (!ReadWholeFile("/proc/net/ipv6_route", &text)) {
        return false;
    }
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        char dest[40], iface[64], metric[16], refs[16], use[16], flags[16], src[40], next[40];
        unsigned destLen = 1, srcLen = 0;
        if (std::sscanf(line.c_str(), "%32s %x %32s %x %32s %8s %8s %8s %8s %63s", dest, &destLen, src,
                        &srcLen, next, metric, refs, use, flags, iface) == 10 &&
            destLen == 0 && std::string(dest) == std::string(32, '0') && std::string(iface) != "lo" &&
            (std::strtoul(flags, nullptr, 16) & 0x1) != 0) {  // RTF_UP
            return true;
        }
    }
    return false;
}

bool CanConnect(const std::string& host, int port, int timeoutMs) {
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_family = AF_UNSPEC;
    addrinfo* result = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &result) != 0) {
        return false;
    }
    bool connected = false;
    for (addrinfo* a = result; a != nullptr && !connected; a = a->ai_next) {
        FileDescriptor fd(
            socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol));
        if (!fd.valid()) {
            continue;
        }
        if (connect(fd.get(), a->ai_addr, a->ai_addrlen) == 0) {
            connected = true;
            break;
        }
        if (errno != EINPROGRESS) {
            continue;
        }
        pollfd p{fd.get(), POLLOUT, 0};
        if (poll(&p, 1, timeoutMs) == 1) {
            int err = 0;
            socklen_t len = sizeof err;
            connected = getsockopt(fd.get(), SOL_SOCKET, SO_ERROR, &err, &len) == 0 && err == 0;
        }
    }
    freeaddrinfo(result);
    return connected;
}

std::string UserLocaleName() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = getenv(variable);
        if (value != nullptr && value[0] != '\0') {
            return value;
        }
    }
    return "C";
}

GuidBytes NewGuid() {
    GuidBytes guid{};
    size_t filled = 0;
    while (filled < sizeof guid.bytes) {
        ssize_t n = getrandom(guid.bytes + filled, sizeof guid.bytes - filled, 0);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        filled += static_cast<size_t>(n);
    }
    guid.bytes[6] = static_cast<std::uint8_t>((guid.bytes[6] & 0x0F) | 0x40);  // version 4
    guid.bytes[8] = static_cast<std::uint8_t>((guid.bytes[8] & 0x3F) | 0x80);  // RFC 4122 variant
    return guid;
}

}  // namespace platform
