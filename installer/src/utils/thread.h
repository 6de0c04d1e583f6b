#pragma once
// A named thread that starts only when resumed, and is joined by Join or the destructor.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

namespace Utils {

class Thread {
public:
    using Body = std::function<void(void*)>;

    Thread(void* argument, std::wstring name, Body body);
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;
    // Joins, so the body never outlives the object.
    ~Thread();

    // Starts the body (once). False when the thread cannot be started.
    bool Resume();
    // Waits for the body to end; the id becomes all bits set. Never call it from the thread itself.
    void Join();
    // The thread's system id once it runs; 0 before Resume, 0xFFFFFFFF after Join.
    std::uint32_t id() const { return id_.load(); }
    bool joinable() const { return thread_.joinable(); }

private:
    void CallBack();

    std::atomic<std::uint32_t> id_{0};
    std::thread thread_;
    Body body_;
    void* argument_;
    std::wstring name_;
};

}  // namespace Utils
