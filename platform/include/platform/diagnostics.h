#pragma once
// The diagnostic stream: standard error, one write per line so lines from threads never mix.

#include <string_view>

namespace platform {

void WriteDiagnosticLine(std::string_view line);

}  // namespace platform
