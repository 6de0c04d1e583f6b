#pragma once
// The arguments the process was started with, program first (from /proc/self/cmdline).

#include <string>
#include <vector>

namespace platform {

std::vector<std::string> ProcessArguments();

}  // namespace platform
