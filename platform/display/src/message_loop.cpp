// Sending, posting and retrieving messages; timers; the wait for work.
#include <poll.h>

#include <algorithm>

#include "core.h"
#include "platform/system_info.h"

namespace display {
namespace detail {

LRESULT DisplayCore::Send(Window* w, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!w || !w->alive.load() || !w->proc) {
        return 0;
    }
    return w->proc(w->handle, msg, wParam, lParam);
}

void DisplayCore::PostTo(Window* w, UINT msg, WPARAM wParam, LPARAM lParam, std::wstring text) {
    QueuedMessage qm;
    qm.msg.hwnd = w->handle;
    qm.msg.message = msg;
    qm.msg.wParam = wParam;
    qm.msg.lParam = lParam;
    if (!text.empty()) {
        qm.msg.textSerial = w->queue->nextSerial++;
        qm.text = std::move(text);
    }
    if (msg == WM_MOUSEMOVE) {
        w->queue->PostMouseMove(qm.msg);
    } else {
        w->queue->Post(std::move(qm));
    }
}

bool DisplayCore::NextTimer(ThreadQueue* queue, MSG* msg, bool remove) {
    std::uint64_t now = Now();
    Timer* best = nullptr;
    for (Timer& t : queue->timers) {
        if (t.due <= now && (!best || t.due < best->due)) {
            best = &t;
        }
    }
    if (!best) {
        return false;
    }
    *msg = MSG{};
    msg->hwnd = best->hwnd;
    msg->message = WM_TIMER;
    msg->wParam = best->id;
    if (remove) {
        best->due = now + best->period;  // timer messages never pile up
    }
    return true;
}

std::int64_t DisplayCore::MsUntilNextTimer(ThreadQueue* queue) const {
    if (queue->timers.empty()) {
        return -1;
    }
    std::uint64_t due = queue->timers.front().due;
    for (const Timer& t : queue->timers) {
        due = std::min(due, t.due);
    }
    std::uint64_t now = Now();
    return due <= now ? 0 : static_cast<std::int64_t>(due - now);
}

// Returns 1 for a message, 0 for WM_QUIT, -1 without a queue, -2 when nothing is ready (no wait),
// -3 when the timeout passed.
int DisplayCore::Retrieve(MSG* msg, bool remove, bool wait, std::int64_t timeoutMs) {
    auto queue = CurrentQueue();
    if (!queue || queue->core != this) {
        return -1;
    }
    bool owner = std::this_thread::get_id() == ownerThread_;
    std::uint64_t deadline = timeoutMs >= 0 ? Now() + static_cast<std::uint64_t>(timeoutMs) : 0;
    for (;;) {
        if (owner) {
            backend_->PumpEvents();
            UpdateHover(Now());
        }
        QueuedMessage qm;
        while (queue->TakePosted(&qm, remove)) {
            if (qm.msg.hwnd && !IsWindow(qm.msg.hwnd)) {
                if (!remove) {
                    queue->TakePosted(&qm, true);
                }
                continue;  // its window is gone
            }
            *msg = qm.msg;
            msg->time = static_cast<DWORD>(Now());
            msg->pt = cursorScreen;
            if (remove && (msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN)) {
                queue->translateSerial = msg->textSerial;
                queue->translateText = std::move(qm.text);
            }
            return 1;
        }
        int code = 0;
        if (queue->TakeQuit(&code)) {
            if (!remove) {
                queue->PostQuit(code);
            }
            *msg = MSG{};
            msg->message = WM_QUIT;
            msg->wParam = static_cast<WPARAM>(code);
            return 0;
        }
        if (FindPaint(queue.get(), msg) || NextTimer(queue.get(), msg, remove)) {
            msg->time = static_cast<DWORD>(Now());
            msg->pt = cursorScreen;
            return 1;
        }
        if (!wait) {
            return -2;
        }
        std::int64_t waitMs = MsUntilNextTimer(queue.get());
        if (Window* hovered = owner ? LiveWindow(mouseWindow) : nullptr;
            hovered && (hovered->trackFlags & TME_HOVER)) {
            std::uint64_t now = Now();
            auto untilHover =
                static_cast<std::int64_t>(hovered->hoverDue > now ? hovered->hoverDue - now : 0);
            waitMs = waitMs < 0 ? untilHover : std::min(waitMs, untilHover);
        }
        if (timeoutMs >= 0) {
            std::uint64_t now = Now();
            if (now >= deadline) {
                return -3;
            }
            auto remaining = static_cast<std::int64_t>(deadline - now);
            waitMs = waitMs < 0 ? remaining : std::min(waitMs, remaining);
        }
        int ms = waitMs < 0 ? -1 : static_cast<int>(std::min<std::int64_t>(waitMs, 0x7FFFFFFF));
        if (owner) {
            backend_->Wait(queue->WakeFd(), ms);
        } else {
            pollfd pfd{queue->WakeFd(), POLLIN, 0};
            poll(&pfd, 1, ms);
        }
        queue->DrainWake();
    }
}

}  // namespace detail

using detail::LiveWindow;

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    detail::Window* w = LiveWindow(hwnd);
    return w ? w->core->Send(w, msg, wParam, lParam) : 0;
}

bool PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    detail::QueuedMessage qm;
    qm.msg.hwnd = hwnd;
    qm.msg.message = msg;
    qm.msg.wParam = wParam;
    qm.msg.lParam = lParam;
    if (!hwnd) {
        auto queue = detail::CurrentQueue();
        if (!queue) {
            return false;
        }
        queue->Post(std::move(qm));
        return true;
    }
    auto w = detail::LookupWindow(hwnd);
    if (!w) {
        return false;
    }
    w->queue->Post(std::move(qm));
    return true;
}

int GetMessage(MSG* msg, HWND, UINT, UINT) {
    auto queue = detail::CurrentQueue();
    if (!queue || !msg) {
        return -1;
    }
    return queue->core->Retrieve(msg, true, true, -1);
}

bool PeekMessage(MSG* msg, HWND, UINT, UINT, UINT removeFlags) {
    auto queue = detail::CurrentQueue();
    if (!queue || !msg) {
        return false;
    }
    int r = queue->core->Retrieve(msg, (removeFlags & PM_REMOVE) != 0, false, -1);
    return r == 0 || r == 1;
}

bool GetMessageTimeout(MSG* msg, std::uint32_t timeoutMs, int* result) {
    auto queue = detail::CurrentQueue();
    if (!queue || !msg) {
        if (result) {
            *result = -1;
        }
        return false;
    }
    int r = queue->core->Retrieve(msg, true, true, timeoutMs);
    if (result) {
        *result = r < 0 ? -1 : r;
    }
    return r == 0 || r == 1;
}

bool TranslateMessage(const MSG* msg) {
    auto queue = detail::CurrentQueue();
    if (!queue || !msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) {
        return false;
    }
    if (msg->textSerial == 0 || msg->textSerial != queue->translateSerial || queue->translateText.empty()) {
        return false;
    }
    UINT charMessage = msg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
    const std::wstring& text = queue->translateText;
    // Characters come next, before anything queued after the key.
    for (auto it = text.rbegin(); it != text.rend(); ++it) {
        detail::QueuedMessage qm;
        qm.msg.hwnd = msg->hwnd;
        qm.msg.message = charMessage;
        qm.msg.wParam = static_cast<WPARAM>(*it);
        qm.msg.lParam = msg->lParam;
        queue->Post(std::move(qm), true);
    }
    queue->translateText.clear();
    queue->translateSerial = 0;
    return true;
}

LRESULT DispatchMessage(const MSG* msg) {
    if (!msg || !msg->hwnd) {
        return 0;
    }
    return SendMessage(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

void PostQuitMessage(int exitCode) {
    if (auto queue = detail::CurrentQueue()) {
        queue->PostQuit(exitCode);
    }
}

DWORD GetTickCount() {
    auto queue = detail::CurrentQueue();
    return queue ? static_cast<DWORD>(queue->core->Now()) : platform::TickCountMs();
}

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT periodMs, void*) {
    detail::Window* w = LiveWindow(hwnd);
    if (!w) {
        return 0;
    }
    std::uint64_t period = std::clamp<std::uint64_t>(periodMs, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
    std::uint64_t due = w->core->Now() + period;
    for (detail::Timer& t : w->queue->timers) {
        if (t.hwnd == hwnd && t.id == id) {
            t.period = period;
            t.due = due;
            return id ? id : 1;
        }
    }
    w->queue->timers.push_back({hwnd, id, period, due});
    return id ? id : 1;
}

bool KillTimer(HWND hwnd, UINT_PTR id) {
    detail::Window* w = LiveWindow(hwnd);
    if (!w) {
        return false;
    }
    auto& timers = w->queue->timers;
    auto it = std::find_if(timers.begin(), timers.end(),
                           [&](const detail::Timer& t) { return t.hwnd == hwnd && t.id == id; });
    if (it == timers.end()) {
        return false;
    }
    timers.erase(it);
    return true;
}

}  // namespace display
