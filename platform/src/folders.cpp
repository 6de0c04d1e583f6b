#include "platform/folders.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/paths.h"

namespace platform {
namespace {

std::string Home() {
    const char* home = getenv("HOME");
    return home != nullptr && home[0] == '/' ? std::string(home) : std::string();
}

// An absolute path from the environment, else `fallback` below the home folder.
std::string FromEnvironment(const char* variable, const char* fallback) {
    const char* value = getenv(variable);
    if (value != nullptr && value[0] == '/') {
        return value;
    }
    std::string home = Home();
    return home.empty() ? std::string() : JoinPath(home, fallback);
}

std::string WithoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

// A real folder (not a link) owned by us that nobody else can read, write or enter.
bool IsPrivateFolder(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == geteuid() &&
           (st.st_mode & 0777) == 0700;
}

}  // namespace

std::string GetSpecialFolder(SpecialFolder folder) {
    switch (folder) {
        case SpecialFolder::kApplicationData:
        case SpecialFolder::kLocalApplicationData:
            return WithoutTrailingSlash(FromEnvironment("XDG_DATA_HOME", ".local/share"));
        case SpecialFolder::kCommonDocuments:
            return WithoutTrailingSlash(FromEnvironment("XDG_DOCUMENTS_DIR", "Documents"));
        case SpecialFolder::kDesktop:
            return WithoutTrailingSlash(FromEnvironment("XDG_DESKTOP_DIR", "Desktop"));
        case SpecialFolder::kProgramFiles:
            if (geteuid() == 0) {
                return "/opt";
            }
            return Home().empty() ? std::string() : JoinPath(Home(), ".local/opt");
        case SpecialFolder::kConfiguration:
            return WithoutTrailingSlash(FromEnvironment("XDG_CONFIG_HOME", ".config"));
        case SpecialFolder::kTemp: {
            const char* tmp = getenv("TMPDIR");
            return WithoutTrailingSlash(tmp != nullptr && tmp[0] == '/' ? tmp : "/tmp");
        }
    }
    return {};
}

std::string PrivateWorkFolder(const std::string& name) {
    if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..") {
        return {};
    }
    std::string base;
    const char* runtime = getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/' && IsPrivateFolder(WithoutTrailingSlash(runtime))) {
        base = WithoutTrailingSlash(runtime);
    } else {
        std::string cache = FromEnvironment("XDG_CACHE_HOME", ".cache");
        if (cache.empty()) {
            return {};
        }
        cache = WithoutTrailingSlash(cache);
        if (!IsDirectory(cache)) {
            std::string parent = DirectoryOf(cache);
            if (!parent.empty() && !IsDirectory(parent)) {
                mkdir(parent.c_str(), 0755);
            }
            mkdir(cache.c_str(), 0700);
        }
        base = cache;
    }
    std::string path = JoinPath(base, name);
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
        return {};
    }
    return IsPrivateFolder(path) ? path : std::string();
}

}  // namespace platform
