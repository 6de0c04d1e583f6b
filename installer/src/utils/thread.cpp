#include "utils/thread.h"

#include "log_line.h"
#include "platform/system_info.h"
#include "utils/text.h"

namespace Utils {

Thread::Thread(void* argument, std::wstring name, Body body)
    : body_(std::move(body)), argument_(argument), name_(std::move(name)) {}

Thread::~Thread() {
    Join();
}

bool Thread::Resume() {
    if (thread_.joinable()) {
        return true;
    }
    try {
        thread_ = std::thread(&Thread::CallBack, this);
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void Thread::Join() {
    if (thread_.joinable()) {
        thread_.join();
        id_ = 0xFFFFFFFFu;
    }
}

void Thread::CallBack() {
    id_ = static_cast<std::uint32_t>(platform::CurrentThreadId());
    platform::SetCurrentThreadName(name_.empty() ? "t" + std::to_string(id_.load())
                                                 : ToNarrow(name_, kCodePageAnsi));
    LOG_LINE("THREAD BEGIN");
    body_(argument_);
    LOG_LINE("THREAD END");
}

}  // namespace Utils
