#pragma once
// A private Xvfb for one test program: started on a display number it picks itself (-displayfd), and
// stopped when the object goes. Also runs helper programs (xdotool, import) against it.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

extern char** environ;

namespace display::testing {

inline bool ProgramOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        std::string dir = dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!dir.empty() && access((dir + "/" + name).c_str(), X_OK) == 0) {
            return true;
        }
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return false;
}

inline pid_t Spawn(const std::vector<std::string>& args, int displayFd = -1) {
    std::vector<char*> argv;
    for (const std::string& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    if (displayFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, displayFd, 3);
    }
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

class XvfbServer {
public:
    // Empty `error` and a display name on success.
    bool Start(std::string* error) {
        int fds[2];
        if (pipe(fds) != 0) {
            *error = "pipe failed";
            return false;
        }
        pid_ = Spawn({"Xvfb", "-displayfd", "3", "-screen", "0", "800x600x24", "-nolisten", "tcp"}, fds[1]);
        close(fds[1]);
        if (pid_ < 0) {
            close(fds[0]);
            *error = "cannot start Xvfb";
            return false;
        }
        std::string number;
        pollfd pfd{fds[0], POLLIN, 0};
        char c;
        while (poll(&pfd, 1, 15000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') {
            number += c;
        }
        close(fds[0]);
        if (number.empty()) {
            *error = "Xvfb did not report its display number";
            return false;
        }
        name_ = ":" + number;
        return true;
    }
    ~XvfbServer() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    const std::string& name() const { return name_; }

    // Runs a helper to its end, calling `idle` meanwhile so our windows keep answering.
    static int Run(const std::vector<std::string>& args, const std::function<void()>& idle) {
        pid_t pid = Spawn(args);
        if (pid < 0) {
            return -1;
        }
        for (int i = 0; i < 1000; ++i) {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid) {
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            idle();
        }
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        return -1;
    }

private:
    pid_t pid_ = -1;
    std::string name_;
};

}  // namespace display::testing
