#pragma once
// The user's special folders, after the XDG base directories.

#include <string>

namespace platform {

enum class SpecialFolder {
    kApplicationData,       // $XDG_DATA_HOME, default ~/.local/share
    kLocalApplicationData,  // same as kApplicationData on Linux
    kCommonDocuments,       // $XDG_DOCUMENTS_DIR when set, else ~/Documents
    kProgramFiles,          // /opt for root, ~/.local/opt otherwise
    kDesktop,               // $XDG_DESKTOP_DIR when set, else ~/Desktop
    kTemp,                  // $TMPDIR, default /tmp
    kConfiguration,         // $XDG_CONFIG_HOME, default ~/.config
};

// The folder's path without a trailing '/'; empty when the home folder is unknown.
std::string GetSpecialFolder(SpecialFolder folder);

// A folder only this user can use: `name` inside $XDG_RUNTIME_DIR (else ~/.cache), created with mode
// 0700 when missing. Empty when it exists but is not a real folder owned by us with mode 0700.
std::string PrivateWorkFolder(const std::string& name);

}  // namespace platform
