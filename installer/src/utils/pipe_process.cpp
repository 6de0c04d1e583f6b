#include "utils/pipe_process.h"

#include "utils/exception.h"
#include "utils/text.h"

namespace Utils {

void PipeProcess::Run(const std::wstring& commandLine) {
    if (commandLine.size() >= kMaxCommandLine) {
        throw Exception(L"command line too long");
    }
    std::string error;
    if (!child_.Start(ToNarrow(commandLine, kCodePageAnsi), &error)) {
        throw Exception(ToWide(error, kCodePageAnsi));
    }
}

}  // namespace Utils
