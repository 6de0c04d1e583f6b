#include "utils/folders.h"

#include "platform/folders.h"
#include "platform/paths.h"
#include "utils/text.h"

namespace Utils {

std::wstring GetWorkTempDir() {
    // A private folder: a predictable one in a shared /tmp could be created first by another
    // account, which could then swap the uninstaller we copy there and run.
    std::string folder = platform::PrivateWorkFolder("~KeltoTemp.92482B06FB471E17");
    if (folder.empty()) {
        return {};
    }
    return ToWide(folder + "/", kCodePageUtf8);
}

bool CreateDirectories(const std::wstring& path) {
    if (path.size() > 260 || path.empty()) {
        return false;
    }
    std::string narrow = ToNarrow(path, kCodePageUtf8);
    auto ensure = [](const std::string& folder) {
        return platform::IsDirectory(folder) || platform::MakeDirectory(folder) ||
               platform::IsDirectory(folder);
    };
    for (size_t slash = narrow.find('/', 1); slash != std::string::npos;
         slash = narrow.find('/', slash + 1)) {
        if (!ensure(narrow.substr(0, slash + 1))) {
            return false;
        }
    }
    return narrow.back() == '/' || ensure(narrow);
}

}  // namespace Utils
