#include "platform/process_list.h"

#include <dirent.h>
#include <unistd.h>

#include <cctype>
#include <string>

#include "platform/paths.h"

namespace platform {
namespace {

// The executable's file name of one process; the first argument when /proc/<pid>/exe is not ours
// to read (another user's process).
std::string ExecutableNameOf(const std::string& pidFolder) {
    char target[4096];
    ssize_t n = readlink((pidFolder + "/exe").c_str(), target, sizeof target - 1);
    if (n > 0) {
        std::string path(target, static_cast<size_t>(n));
        const std::string deleted = " (deleted)";
        if (path.size() > deleted.size() &&
            path.compare(path.size() - deleted.size(), deleted.size(), deleted) == 0) {
            path.resize(path.size() - deleted.size());
        }
        return FileNameOf(path);
    }
    std::string cmdline;
    if (!ReadWholeFile(pidFolder + "/cmdline", &cmdline) || cmdline.empty()) {
        return {};
    }
    return FileNameOf(cmdline.c_str());
}

}  // namespace

int FindProcessByExecutableName(std::string_view exeName) {
    if (exeName.empty()) {
        return 0;
    }
    DIR* proc = opendir("/proc");
    if (proc == nullptr) {
        return 0;
    }
    int found = 0;
    while (dirent* entry = readdir(proc)) {
        if (!std::isdigit(static_cast<unsigned char>(entry->d_name[0]))) {
            continue;
        }
        if (ExecutableNameOf(std::string("/proc/") + entry->d_name) == exeName) {
            found = std::stoi(entry->d_name);
            break;
        }
    }
    closedir(proc);
    return found;
}

}  // namespace platform
