#pragma once
// A child process started from a Windows-style command line, its standard streams on pipes.

#include <cstddef>
#include <string>

#include "platform/child_process.h"

namespace Utils {

class PipeProcess {
public:
    using ReadStatus = platform::ChildProcess::ReadStatus;

    // Prepares the pipes (they are created by Run on this platform); kept for the callers' sequence.
    void Create() {}
    // Starts the command line (at most 1024 characters). Throws Utils::Exception when the command
    // line is too long or the child cannot be started.
    void Run(const std::wstring& commandLine);
    // Reads the child's standard output, waiting at most `timeoutMs` (negative: without limit).
    ReadStatus ReadOutput(char* buffer, std::size_t size, int timeoutMs, std::size_t* got) {
        return child_.ReadOutput(buffer, size, timeoutMs, got);
    }
    bool WriteInput(const std::string& data) { return child_.WriteInput(data); }
    // platform::kStillActive (259) while the child runs.
    int ExitCode() { return child_.ExitCode(); }
    bool Wait(int timeoutMs) { return child_.Wait(timeoutMs); }
    // Closes every pipe end still open.
    void Close() { child_.Close(); }

    static constexpr std::size_t kMaxCommandLine = 1024;

private:
    platform::ChildProcess child_;
};

}  // namespace Utils
