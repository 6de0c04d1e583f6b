#include "platform/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "platform/folders.h"
#include "platform/paths.h"

namespace platform {

InstanceLock::~InstanceLock() {
    Release();
}

bool InstanceLock::Acquire(const std::string& name) {
    if (fd_ >= 0) {
        return true;
    }
    if (name.empty() || name.find('/') != std::string::npos) {
        return false;
    }
    std::string folder = PrivateWorkFolder("glintcap-locks");
    if (folder.empty()) {
        return false;
    }
    std::string path = JoinPath(folder, name + ".lock");
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        return false;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

void InstanceLock::Release() {
    if (fd_ >= 0) {
        flock(fd_, LOCK_UN);
        close(fd_);
        fd_ = -1;
    }
}

}  // namespace platform
