#pragma once
// A child process started from a Windows-style command line with its standard input, output and
// error on pipes. The command line is split into argv with the Windows quoting rules, so a quoted
// path with blanks stays one argument.

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The argument splitting of CommandLineToArgvW: blanks and tabs separate arguments; a double quote
// toggles quoting; 2n backslashes before a quote give n backslashes and the quote toggles; 2n+1
// give n backslashes and a literal quote; "" inside quotes gives a literal quote; other backslashes
// are literal. The first argument (the program) ends at its first blank outside quotes and takes
// backslashes literally.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// The exit code reported while the child still runs (STILL_ACTIVE).
inline constexpr int kStillActive = 259;

class ChildProcess {
public:
    enum class ReadStatus { kData, kEndOfStream, kTimeout, kError };

    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    // Closes the pipes and reaps the child if it has ended; a child still running is left running.
    ~ChildProcess();

    // Starts the program named by the first argument (searched in PATH when it has no '/') in the
    // current folder with the parent's environment. False, with `error` filled, when the command
    // line is empty or the program cannot be started.
    bool Start(std::string_view commandLine, std::string* error);

    // Reads what the child wrote to its standard output (or error), waiting at most `timeoutMs`
    // (negative waits without limit). kData sets `*got` > 0; kEndOfStream once every writer closed it.
    ReadStatus ReadOutput(char* buffer, std::size_t size, int timeoutMs, std::size_t* got);
    ReadStatus ReadError(char* buffer, std::size_t size, int timeoutMs, std::size_t* got);
    bool WriteInput(std::string_view data);
    void CloseInput();

    // kStillActive while running; afterwards the exit status, or 128 + signal for a killed child.
    int ExitCode();
    bool IsRunning() { return ExitCode() == kStillActive; }
    // Waits up to `timeoutMs` (negative: without limit) for the child to end. True when it ended.
    bool Wait(int timeoutMs);
    void Kill();
    // Closes every pipe end still open; reaps the child when it has ended.
    void Close();

    pid_t pid() const { return pid_; }

private:
    ReadStatus ReadFrom(int& fd, char* buffer, std::size_t size, int timeoutMs, std::size_t* got);

    pid_t pid_ = -1;
    bool reaped_ = false;
    int exitCode_ = kStillActive;
    int stdinFd_ = -1;
    int stdoutFd_ = -1;
    int stderrFd_ = -1;
};

}  // namespace platform
