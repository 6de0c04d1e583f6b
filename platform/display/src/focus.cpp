// Activation, keyboard focus, mouse capture, cursors and mouse tracking.
#include "core.h"

namespace display {
namespace detail {

namespace {
bool Activatable(const Window* w) {
    if (w->exStyle & WS_EX_NOACTIVATE) {
        return false;
    }
    if ((w->exStyle & WS_EX_LAYERED) && (w->exStyle & WS_EX_TRANSPARENT)) {
        return false;
    }
    return w->Visible() && w->Enabled();
}
}  // namespace

void DisplayCore::ReleaseCaptureInternal() {
    HWND old = capture;
    capture = nullptr;
    if (Window* w = LiveWindow(old)) {
        Send(w, WM_CAPTURECHANGED, 0, 0);
    }
}

void DisplayCore::Deactivate(Window* w) {
    if (active != w->handle) {
        return;
    }
    HWND handle = w->handle;
    active = nullptr;
    // Held buttons and capture do not survive losing the keyboard.
    buttons = 0;
    if (capture) {
        ReleaseCaptureInternal();
    }
    Send(w, WM_NCACTIVATE, 0, 0);
    Send(w, WM_ACTIVATE, WA_INACTIVE, 0);
    Window* f = LiveWindow(focus);
    if (f && TopLevelOf(f)->handle == handle) {
        SetFocusTo(nullptr);
    }
}

void DisplayCore::Activate(Window* w, WPARAM how, bool fromSystem) {
    w = TopLevelOf(w);
    if (!w || active == w->handle || !Activatable(w)) {
        return;
    }
    HWND handle = w->handle;
    Window* old = LiveWindow(active);
    active = handle;
    if (old) {
        buttons = 0;
        Send(old, WM_NCACTIVATE, 0, 0);
        Send(old, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(handle));
        Window* f = LiveWindow(focus);
        if (f && TopLevelOf(f) == old) {
            focus = nullptr;
            Send(f, WM_KILLFOCUS, reinterpret_cast<WPARAM>(handle), 0);
        }
        if (active != handle || !LiveWindow(handle)) {
            return;
        }
    }
    if (!fromSystem && w->native) {
        backend_->Activate(w->native);
    }
    Send(w, WM_NCACTIVATE, 1, 0);
    Send(w, WM_ACTIVATE, how, reinterpret_cast<LPARAM>(old ? old->handle : nullptr));
}

HWND DisplayCore::SetFocusTo(Window* w) {
    HWND old = focus;
    if (!w) {
        focus = nullptr;
        if (Window* o = LiveWindow(old)) {
            Send(o, WM_KILLFOCUS, 0, 0);
        }
        return old;
    }
    HWND handle = w->handle;
    HWND previous = old;
    Window* top = TopLevelOf(w);
    if (active != top->handle) {
        Activate(top, WA_ACTIVE, false);
        if (!LiveWindow(handle)) {
            return nullptr;
        }
        old = focus;
    }
    if (old == handle) {
        return previous;
    }
    focus = handle;
    if (Window* o = LiveWindow(old)) {
        Send(o, WM_KILLFOCUS, reinterpret_cast<WPARAM>(handle), 0);
    }
    if (focus == handle && LiveWindow(handle)) {
        Send(w, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    }
    return previous;
}

}  // namespace detail

namespace {
detail::DisplayCore* ThisCore() {
    auto queue = detail::CurrentQueue();
    return queue ? queue->core : nullptr;
}
}  // namespace

HWND SetFocus(HWND hwnd) {
    detail::DisplayCore* core = ThisCore();
    if (!core) {
        return nullptr;
    }
    if (!hwnd) {
        return core->SetFocusTo(nullptr);
    }
    detail::Window* w = detail::LiveWindow(hwnd);
    return w ? w->core->SetFocusTo(w) : nullptr;
}

HWND GetFocus() {
    detail::DisplayCore* core = ThisCore();
    return core && IsWindow(core->focus) ? core->focus : nullptr;
}

HWND SetActiveWindow(HWND hwnd) {
    detail::Window* w = detail::LiveWindow(hwnd);
    if (!w) {
        return nullptr;
    }
    HWND old = w->core->active;
    w->core->Activate(w, WA_ACTIVE, false);
    return old;
}

HWND GetActiveWindow() {
    detail::DisplayCore* core = ThisCore();
    return core && IsWindow(core->active) ? core->active : nullptr;
}

bool SetForegroundWindow(HWND hwnd) {
    detail::Window* w = detail::LiveWindow(hwnd);
    if (!w) {
        return false;
    }
    if (w->core->active == w->core->TopLevelOf(w)->handle && w->native) {
        w->core->backend().Activate(w->native);  // raise it again
    }
    w->core->Activate(w, WA_ACTIVE, false);
    return true;
}

HWND GetForegroundWindow() {
    return GetActiveWindow();
}

HWND SetCapture(HWND hwnd) {
    detail::Window* w = detail::LiveWindow(hwnd);
    if (!w) {
        return nullptr;
    }
    HWND old = w->core->capture;
    if (old != hwnd) {
        if (old) {
            w->core->ReleaseCaptureInternal();
        }
        w->core->capture = hwnd;
    }
    return old;
}

bool ReleaseCapture() {
    detail::DisplayCore* core = ThisCore();
    if (!core) {
        return false;
    }
    if (core->capture) {
        core->ReleaseCaptureInternal();
    }
    return true;
}

HWND GetCapture() {
    detail::DisplayCore* core = ThisCore();
    return core && IsWindow(core->capture) ? core->capture : nullptr;
}

HCURSOR LoadCursor(void*, int id) {
    return reinterpret_cast<HCURSOR>(static_cast<std::uintptr_t>(id));
}

HCURSOR SetCursor(HCURSOR cursor) {
    detail::DisplayCore* core = ThisCore();
    if (!core) {
        return nullptr;
    }
    HCURSOR old = LoadCursor(nullptr, core->cursorId);
    int id = cursor ? static_cast<int>(reinterpret_cast<std::uintptr_t>(cursor)) : 0;
    if (id != core->cursorId) {
        core->cursorId = id;
        if (detail::Window* w = detail::LiveWindow(core->cursorWindow)) {
            core->backend().SetCursorShape(w->native, id);
        }
    }
    return old;
}

bool GetCursorPos(POINT* pt) {
    detail::DisplayCore* core = ThisCore();
    if (!core || !pt) {
        return false;
    }
    *pt = core->cursorScreen;
    return true;
}

bool TrackMouseEvent(TRACKMOUSEEVENT* tme) {
    if (!tme) {
        return false;
    }
    detail::Window* w = detail::LiveWindow(tme->hwndTrack);
    if (!w) {
        return false;
    }
    DWORD flags = tme->dwFlags & (TME_HOVER | TME_LEAVE);
    if (tme->dwFlags & TME_CANCEL) {
        w->trackFlags &= ~flags;
        return true;
    }
    w->trackFlags |= flags;
    if (flags & TME_HOVER) {
        DWORD hover = tme->dwHoverTime == HOVER_DEFAULT ? 400 : tme->dwHoverTime;
        w->hoverDue = w->core->Now() + hover;
    }
    if ((flags & TME_LEAVE) && w->core->mouseWindow != tme->hwndTrack) {
        w->trackFlags &= ~TME_LEAVE;
        w->core->PostTo(w, WM_MOUSELEAVE, 0, 0);
    }
    return true;
}

std::int16_t GetKeyState(int vk) {
    detail::DisplayCore* core = ThisCore();
    if (!core) {
        return 0;
    }
    bool down = false;
    switch (vk) {
        case VK_SHIFT:
            down = core->shiftDown;
            break;
        case VK_CONTROL:
            down = core->controlDown;
            break;
        case VK_MENU:
            down = core->altDown;
            break;
        case 0x01:  // left button
            down = core->buttons & MK_LBUTTON;
            break;
        case 0x02:
            down = core->buttons & MK_RBUTTON;
            break;
        default:
            break;
    }
    return down ? static_cast<std::int16_t>(0x8000) : 0;
}

}  // namespace display
