#include "platform/paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "file_descriptor.h"

namespace platform {

std::string ExecutablePath() {
    std::vector<char> buffer(4096);
    ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n <= 0 || static_cast<size_t>(n) >= buffer.size()) {
        return {};
    }
    return std::string(buffer.data(), static_cast<size_t>(n));
}

static std::string_view StripTrailingSeparators(std::string_view path) {
    while (path.size() > 1 && path.back() == '/') {
        path.remove_suffix(1);
    }
    return path;
}

std::string DirectoryOf(std::string_view path) {
    path = StripTrailingSeparators(path);
    size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) {
        return {};
    }
    if (slash == 0) {
        return "/";
    }
    return std::string(path.substr(0, slash));
}

std::string FileNameOf(std::string_view path) {
    path = StripTrailingSeparators(path);
    size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string JoinPath(std::string_view a, std::string_view b) {
    if (a.empty()) {
        return std::string(b);
    }
    if (b.empty()) {
        return std::string(a);
    }
    std::string joined(a);
    if (joined.back() != '/') {
        joined += '/';
    }
    while (!b.empty() && b.front() == '/') {
        b.remove_prefix(1);
    }
    joined += b;
    return joined;
}

bool PathExists(const std::string& path) {
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0;
}

bool IsDirectory(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsRegularFile(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool MakeDirectory(const std::string& path) {
    return mkdir(path.c_str(), 0755) == 0;
}

bool RemoveFile(const std::string& path) {
    return unlink(path.c_str()) == 0;
}

bool RenameFile(const std::string& from, const std::string& to) {
    return rename(from.c_str(), to.c_str()) == 0;
}

std::optional<std::uint64_t> FileSize(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(st.st_size);
}

bool MakeExecutableForOwner(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) {
        return false;
    }
    return chmod(path.c_str(), (st.st_mode & 07777) | S_IXUSR) == 0;
}

bool ReadWholeFile(const std::string& path, std::string* content) {
    FileDescriptor fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid()) {
        return false;
    }
    content->clear();
    char buffer[65536];
    for (;;) {
        ssize_t n = read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return false;
        }
        if (n == 0) {
            return true;
        }
        content->append(buffer, static_cast<size_t>(n));
    }
}

static bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        ssize_t n = write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        data.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

// Writes `content` beside `path` with `mode`, then renames it over `path`.
static bool ReplaceFile(const std::string& path, std::string_view content, mode_t mode) {
    std::string temp = path + ".tmp-XXXXXX";
    FileDescriptor fd(mkostemp(temp.data(), O_CLOEXEC));
    if (!fd.valid()) {
        return false;
    }
    bool ok = fchmod(fd.get(), mode) == 0 && WriteAll(fd.get(), content) && fsync(fd.get()) == 0;
    ok = fd.Close() && ok;
    if (!ok || rename(temp.c_str(), path.c_str()) != 0) {
        unlink(temp.c_str());
        return false;
    }
    return true;
}

bool WriteFileAtomic(const std::string& path, std::string_view content) {
    struct stat st;
    mode_t mode = 0644;
    if (stat(path.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    }
    return ReplaceFile(path, content, mode);
}

bool CopyFile(const std::string& from, const std::string& to) {
    struct stat st;
    std::string content;
    if (stat(from.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || !ReadWholeFile(from, &content)) {
        return false;
    }
    return ReplaceFile(to, content, st.st_mode & 0777);
}

}  // namespace platform
