#pragma once
// Running processes found by their executable's file name.

#include <string_view>

namespace platform {

// The id of the first process whose executable file name (from /proc/<pid>/exe, else the first
// argument of /proc/<pid>/cmdline) equals `exeName` exactly, else 0.
int FindProcessByExecutableName(std::string_view exeName);

}  // namespace platform
