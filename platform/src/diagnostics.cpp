#include "platform/diagnostics.h"

#include <unistd.h>

namespace platform {

void WriteDiagnosticLine(std::string_view line) {
    // One write per line; a short write is not retried so lines from threads never interleave.
    ssize_t ignored = write(STDERR_FILENO, line.data(), line.size());
    (void)ignored;
}

}  // namespace platform
