// The handle registry and the per-thread message queue.
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cwctype>
#include <unordered_map>

#include "core.h"

namespace display::detail {

namespace {

std::mutex registryMutex;
std::unordered_map<HWND, std::shared_ptr<Window>>& Registry() {
    static auto* registry = new std::unordered_map<HWND, std::shared_ptr<Window>>();
    return *registry;
}

thread_local std::weak_ptr<ThreadQueue> currentQueue;

}  // namespace

void RegisterWindow(const std::shared_ptr<Window>& w) {
    std::lock_guard lock(registryMutex);
    Registry()[w->handle] = w;
}

void UnregisterWindow(HWND hwnd) {
    std::lock_guard lock(registryMutex);
    Registry().erase(hwnd);
}

std::shared_ptr<Window> LookupWindow(HWND hwnd) {
    if (!hwnd) {
        return nullptr;
    }
    std::lock_guard lock(registryMutex);
    auto it = Registry().find(hwnd);
    if (it == Registry().end() || !it->second->alive.load()) {
        return nullptr;
    }
    return it->second;
}

Window* LiveWindow(HWND hwnd) {
    auto w = LookupWindow(hwnd);
    if (!w || w->queue->thread != std::this_thread::get_id()) {
        return nullptr;
    }
    return w.get();  // the display keeps the record until it closes
}

void BindCurrentQueue(const std::shared_ptr<ThreadQueue>& queue) {
    currentQueue = queue;
}

std::shared_ptr<ThreadQueue> CurrentQueue() {
    auto queue = currentQueue.lock();
    if (queue && queue->closed.load()) {
        return nullptr;
    }
    return queue;
}

ThreadQueue::ThreadQueue(DisplayCore* owner, std::thread::id t) : core(owner), thread(t) {
    wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

ThreadQueue::~ThreadQueue() {
    if (wakeFd_ >= 0) {
        close(wakeFd_);
    }
}

void ThreadQueue::Post(QueuedMessage message, bool front) {
    {
        std::lock_guard lock(mutex_);
        if (front) {
            posted_.push_front(std::move(message));
        } else {
            posted_.push_back(std::move(message));
        }
    }
    std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = write(wakeFd_, &one, sizeof one);
}

void ThreadQueue::PostMouseMove(const MSG& msg) {
    {
        std::lock_guard lock(mutex_);
        if (!posted_.empty() && posted_.back().msg.message == msg.message &&
            posted_.back().msg.hwnd == msg.hwnd) {
            posted_.back().msg = msg;
            return;
        }
    }
    Post({msg, {}});
}

void ThreadQueue::PostQuit(int code) {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
        quitCode_ = code;
    }
    std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = write(wakeFd_, &one, sizeof one);
}

bool ThreadQueue::TakePosted(QueuedMessage* out, bool remove) {
    std::lock_guard lock(mutex_);
    if (posted_.empty()) {
        return false;
    }
    if (remove) {
        *out = std::move(posted_.front());
        posted_.pop_front();
    } else {
        *out = posted_.front();
    }
    return true;
}

bool ThreadQueue::TakeQuit(int* code) {
    std::lock_guard lock(mutex_);
    if (!quit_) {
        return false;
    }
    quit_ = false;
    *code = quitCode_;
    return true;
}

void ThreadQueue::DrainWake() {
    std::uint64_t value;
    [[maybe_unused]] ssize_t n = read(wakeFd_, &value, sizeof value);
}

std::wstring ToLower(const std::wstring& s) {
    std::wstring out = s;
    std::transform(out.begin(), out.end(), out.begin(), [](wchar_t c) { return std::towlower(c); });
    return out;
}

bool IsEmpty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

RECT Intersect(const RECT& a, const RECT& b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    return IsEmpty(r) ? RECT{} : r;
}

RECT Unite(const RECT& a, const RECT& b) {
    if (IsEmpty(a)) {
        return b;
    }
    if (IsEmpty(b)) {
        return a;
    }
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

}  // namespace display::detail
