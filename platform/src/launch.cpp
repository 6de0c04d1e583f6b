#include "platform/launch.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace platform {

bool StartDetached(const std::string& program, const std::vector<std::string>& args,
                   const std::string& workingFolder) {
    // Double fork: the intermediate child exits at once, so the program is re-parented and never
    // becomes a zombie of ours; its own session keeps it out of our process group.
    int status_pipe[2];
    if (pipe2(status_pipe, O_CLOEXEC) != 0) {
        return false;
    }
    std::vector<std::string> argStorage;
    argStorage.push_back(program);
    argStorage.insert(argStorage.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : argStorage) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);

    pid_t child = fork();
    if (child < 0) {
        close(status_pipe[0]);
        close(status_pipe[1]);
        return false;
    }
    if (child == 0) {
        setsid();
        if (!workingFolder.empty() && chdir(workingFolder.c_str()) != 0) {
            char failed = 1;
            (void)!write(status_pipe[1], &failed, 1);
            _exit(127);
        }
        int devnull = open("/dev/null", O_RDWR);
        if (devnull >= 0) {
            dup2(devnull, STDIN_FILENO);
        }
        pid_t grandchild = fork();
        if (grandchild == 0) {
            if (program.find('/') == std::string::npos) {
                execvp(program.c_str(), argv.data());
            } else {
                execv(program.c_str(), argv.data());
            }
            char failed = 1;
            (void)!write(status_pipe[1], &failed, 1);
            _exit(127);
        }
        _exit(grandchild < 0 ? 127 : 0);
    }
    close(status_pipe[1]);
    int status = 0;
    waitpid(child, &status, 0);
    // The pipe closes on a successful exec (close-on-exec); a byte means exec failed.
    char failed = 0;
    ssize_t n = read(status_pipe[0], &failed, 1);
    close(status_pipe[0]);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 && n == 0;
}

bool OpenAddress(const std::string& address) {
    if (address.empty() || address[0] == '-') {
        return false;  // never let an address be read as an option of the opener
    }
    return StartDetached("xdg-open", {address}, "");
}

}  // namespace platform
