#include "platform/user_registry.h"

#include <cctype>

#include "platform/folders.h"
#include "platform/ini_file.h"
#include "platform/paths.h"

namespace platform {
namespace {

constexpr const char* kValuesSection = "values";
constexpr const char* kValuesFile = "values.ini";

// Key path components are case-insensitive, so they are stored in lower case; "." and ".." and
// empty components are dropped so a key path can never leave the store.
std::string KeyFolderPath(std::string_view keyPath) {
    std::string folder;
    size_t pos = 0;
    while (pos <= keyPath.size()) {
        size_t sep = keyPath.find_first_of("\\/", pos);
        std::string_view part =
            keyPath.substr(pos, sep == std::string_view::npos ? std::string_view::npos : sep - pos);
        if (!part.empty() && part != "." && part != "..") {
            std::string lower;
            for (char c : part) {
                lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            }
            folder = JoinPath(folder, lower);
        }
        if (sep == std::string_view::npos) {
            break;
        }
        pos = sep + 1;
    }
    return folder;
}

bool CreateFolderChain(const std::string& root, const std::string& relative) {
    std::string path = root;
    if (!IsDirectory(path) && !MakeDirectory(path) && !IsDirectory(path)) {
        return false;
    }
    size_t pos = 0;
    while (pos < relative.size()) {
        size_t sep = relative.find('/', pos);
        path = JoinPath(path, relative.substr(pos, sep == std::string::npos ? std::string::npos : sep - pos));
        if (!IsDirectory(path) && !MakeDirectory(path) && !IsDirectory(path)) {
            return false;
        }
        pos = sep == std::string::npos ? relative.size() : sep + 1;
    }
    return true;
}

}  // namespace

UserRegistry::UserRegistry() {
    std::string config = GetSpecialFolder(SpecialFolder::kConfiguration);
    root_ = config.empty() ? std::string() : JoinPath(config, "glintcap-registry");
}

std::string UserRegistry::KeyFile(std::string_view keyPath) const {
    return JoinPath(JoinPath(root_, KeyFolderPath(keyPath)), kValuesFile);
}

bool UserRegistry::SetString(std::string_view keyPath, std::string_view name, std::string_view value) const {
    std::string folder = KeyFolderPath(keyPath);
    if (root_.empty() || folder.empty()) {
        return false;
    }
    std::string config = DirectoryOf(root_);
    if (!config.empty() && !IsDirectory(config) && !MakeDirectory(config)) {
        return false;
    }
    if (!CreateFolderChain(root_, folder)) {
        return false;
    }
    return IniFile(KeyFile(keyPath)).SetString(kValuesSection, name, value);
}

std::optional<std::string> UserRegistry::GetString(std::string_view keyPath, std::string_view name) const {
    if (root_.empty() || KeyFolderPath(keyPath).empty()) {
        return std::nullopt;
    }
    return IniFile(KeyFile(keyPath)).Find(kValuesSection, name);
}

}  // namespace platform
