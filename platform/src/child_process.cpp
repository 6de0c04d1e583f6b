#include "platform/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

extern char** environ;

namespace platform {
namespace {

void CloseFd(int& fd) {
    if (fd >= 0) {
        close(fd);
        fd = -1;
    }
}

struct Pipe {
    int read = -1;
    int write = -1;
    bool Open() {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0) {
            return false;
        }
        read = fds[0];
        write = fds[1];
        return true;
    }
    void Close() {
        CloseFd(read);
        CloseFd(write);
    }
};

}  // namespace

ChildProcess::~ChildProcess() {
    Close();
}

bool ChildProcess::Start(std::string_view commandLine, std::string* error) {
    Close();
    std::vector<std::string> args = SplitCommandLine(commandLine);
    if (args.empty() || args[0].empty()) {
        *error = "empty command line";
        return false;
    }
    Pipe in, out, err;
    if (!in.Open() || !out.Open() || !err.Open()) {
        *error = std::string("pipe: ") + strerror(errno);
        in.Close();
        out.Close();
        err.Close();
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in.read, STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out.write, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err.write, STDERR_FILENO);

    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    int rc = args[0].find('/') == std::string::npos
                 ? posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ)
                 : posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    // The child's ends belong to the child alone.
    CloseFd(in.read);
    CloseFd(out.write);
    CloseFd(err.write);
    if (rc != 0) {
        *error = args[0] + ": " + strerror(rc);
        in.Close();
        out.Close();
        err.Close();
        return false;
    }
    pid_ = pid;
    reaped_ = false;
    exitCode_ = kStillActive;
    stdinFd_ = in.write;
    stdoutFd_ = out.read;
    stderrFd_ = err.read;
    return true;
}

ChildProcess::ReadStatus ChildProcess::ReadFrom(int& fd, char* buffer, std::size_t size, int timeoutMs,
                                                std::size_t* got) {
    *got = 0;
    if (fd < 0) {
        return ReadStatus::kEndOfStream;
    }
    pollfd p{fd, POLLIN, 0};
    int ready;
    do {
        ready = poll(&p, 1, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    if (ready < 0) {
        return ReadStatus::kError;
    }
    if (ready == 0) {
        return ReadStatus::kTimeout;
    }
    ssize_t n;
    do {
        n = read(fd, buffer, size);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        return ReadStatus::kError;
    }
    if (n == 0) {
        CloseFd(fd);
        return ReadStatus::kEndOfStream;
    }
    *got = static_cast<std::size_t>(n);
    return ReadStatus::kData;
}

ChildProcess::ReadStatus ChildProcess::ReadOutput(char* buffer, std::size_t size, int timeoutMs,
                                                  std::size_t* got) {
    return ReadFrom(stdoutFd_, buffer, size, timeoutMs, got);
}

ChildProcess::ReadStatus ChildProcess::ReadError(char* buffer, std::size_t size, int timeoutMs,
                                                 std::size_t* got) {
    return ReadFrom(stderrFd_, buffer, size, timeoutMs, got);
}

bool ChildProcess::WriteInput(std::string_view data) {
    while (!data.empty() && stdinFd_ >= 0) {
        // MSG_NOSIGNAL does not apply to pipes; a closed reader gives EPIPE once SIGPIPE is ignored,
        // so block the signal for this thread around the write.
        sigset_t pipeSet, old;
        sigemptyset(&pipeSet);
        sigaddset(&pipeSet, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipeSet, &old);
        ssize_t n = write(stdinFd_, data.data(), data.size());
        int saved = errno;
        if (n < 0 && saved == EPIPE) {
            timespec zero{0, 0};
            sigtimedwait(&pipeSet, nullptr, &zero);  // discard the pending SIGPIPE
        }
        pthread_sigmask(SIG_SETMASK, &old, nullptr);
        if (n < 0 && saved == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return data.empty();
}

void ChildProcess::CloseInput() {
    CloseFd(stdinFd_);
}

int ChildProcess::ExitCode() {
    if (pid_ <= 0) {
        return exitCode_;
    }
    if (!reaped_) {
        int status = 0;
        pid_t rc = waitpid(pid_, &status, WNOHANG);
        if (rc == pid_) {
            reaped_ = true;
            exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
    }
    return exitCode_;
}

bool ChildProcess::Wait(int timeoutMs) {
    if (pid_ <= 0) {
        return true;
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    auto pause = std::chrono::milliseconds(1);
    while (ExitCode() == kStillActive) {
        if (reaped_) {
            return true;
        }
        if (timeoutMs >= 0 && std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(20));
    }
    return true;
}

void ChildProcess::Kill() {
    if (pid_ > 0 && !reaped_) {
        kill(pid_, SIGKILL);
    }
}

void ChildProcess::Close() {
    CloseFd(stdinFd_);
    CloseFd(stdoutFd_);
    CloseFd(stderrFd_);
    if (pid_ > 0) {
        ExitCode();
    }
}

}  // namespace platform
