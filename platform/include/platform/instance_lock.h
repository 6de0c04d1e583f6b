#pragma once
// A machine-wide (per-user) single-instance lock, held as an flock on a lock file in
// $XDG_RUNTIME_DIR (else a private per-user folder). The kernel releases it when the process dies.

#include <string>

namespace platform {

class InstanceLock {
public:
    InstanceLock() = default;
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;
    ~InstanceLock();

    // True when this process now holds the lock named `name`; false when another process holds it
    // or the lock file cannot be opened. Calling it again while held returns true.
    bool Acquire(const std::string& name);
    void Release();
    bool held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

}  // namespace platform
