#pragma once

#include <string>

#include "platform/instance_lock.h"

namespace Utils {

// Only one process per name: "D1A547DB89C0BC61_" + name.
class InstanceMutex {
public:
    explicit InstanceMutex(std::wstring name) : name_(std::move(name)) {}
    // Takes the lock when no other process holds it; held() tells the outcome.
    void Acquire();
    bool held() const { return lock_.held(); }
    void Release() { lock_.Release(); }

private:
    std::wstring name_;
    platform::InstanceLock lock_;
};

}  // namespace Utils
