#pragma once

#include <string>

namespace Utils {

// The installer's work folder, private to the user (mode 0700, owned by us), ending in '/'.
// Empty when it cannot be created or is not private.
std::wstring GetWorkTempDir();
// Creates every missing level of `path` ('/' separators). False for paths longer than 260
// characters (nothing created) or when a level cannot be created.
bool CreateDirectories(const std::wstring& path);

}  // namespace Utils
