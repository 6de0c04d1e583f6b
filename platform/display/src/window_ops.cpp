// Window lifetime, placement, show states and the per-window attributes.
#include <algorithm>

#include "core.h"

namespace display {
namespace detail {

void UnregisterWindow(HWND hwnd);

Window* DisplayCore::TopLevelOf(Window* w) {
    while (w && w->IsChild()) {
        Window* parent = LiveWindow(w->parent);
        if (!parent) {
            break;
        }
        w = parent;
    }
    return w;
}

RECT DisplayCore::ScreenRectOf(const Window* w) const {
    RECT r = w->rect;
    const Window* cur = w;
    while (cur->IsChild()) {
        auto parent = LookupWindow(cur->parent);
        if (!parent) {
            break;
        }
        r.left += parent->rect.left;
        r.right += parent->rect.left;
        r.top += parent->rect.top;
        r.bottom += parent->rect.top;
        cur = parent.get();
    }
    return r;
}

bool DisplayCore::EffectivelyVisible(const Window* w) const {
    const Window* cur = w;
    while (cur) {
        if (!cur->Visible() || (cur->style & WS_MINIMIZE)) {
            return false;
        }
        if (!cur->IsChild()) {
            return true;
        }
        auto parent = LookupWindow(cur->parent);
        cur = parent.get();
    }
    return false;
}

MINMAXINFO DisplayCore::MinMaxInfo(Window* w) {
    RECT work = backend_->WorkArea();
    MINMAXINFO mmi;
    mmi.ptMaxSize = {work.right - work.left, work.bottom - work.top};
    mmi.ptMaxPosition = {0, 0};
    mmi.ptMinTrackSize = {1, 1};
    mmi.ptMaxTrackSize = {std::max(mmi.ptMaxSize.x, 1) * 4, std::max(mmi.ptMaxSize.y, 1) * 4};
    Send(w, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    return mmi;
}

void DisplayCore::ApplyRect(Window* w, const RECT& rect, bool fromSystem) {
    RECT old = w->rect;
    bool moved = old.left != rect.left || old.top != rect.top;
    bool sized = (old.right - old.left) != (rect.right - rect.left) ||
                 (old.bottom - old.top) != (rect.bottom - rect.top);
    if (!moved && !sized) {
        return;
    }
    HWND handle = w->handle;
    w->rect = rect;
    if (!(w->style & (WS_MINIMIZE | WS_MAXIMIZE))) {
        w->restoreRect = rect;
    }
    if (!w->IsChild() && !fromSystem && w->native) {
        backend_->SetNativeRect(w->native, rect);
    }
    if (w->IsChild()) {
        if (Window* parent = LiveWindow(w->parent)) {
            Invalidate(parent, &old);
            Invalidate(parent, &rect);
        }
    }
    if (sized) {
        if (!w->layeredPicture) {
            EnsureSurface(w);
            Invalidate(w, nullptr);
        }
        WPARAM kind = (w->style & WS_MAXIMIZE) ? SIZE_MAXIMIZED : SIZE_RESTORED;
        Send(w, WM_SIZE, kind, MAKELPARAM(w->Width(), w->Height()));
    }
    if (moved && LiveWindow(handle)) {
        Send(w, WM_MOVE, 0, MAKELPARAM(w->rect.left, w->rect.top));
    }
}

bool DisplayCore::SetPos(Window* w, int x, int y, int cx, int cy, UINT flags) {
    HWND handle = w->handle;
    RECT r = w->rect;
    if (!(flags & SWP_NOMOVE)) {
        r = {x, y, x + (r.right - r.left), y + (r.bottom - r.top)};
    }
    if (!(flags & SWP_NOSIZE)) {
        r.right = r.left + std::max(cx, 0);
        r.bottom = r.top + std::max(cy, 0);
    }
    ApplyRect(w, r, false);
    if (!LiveWindow(handle)) {
        return true;
    }
    if (flags & SWP_SHOWWINDOW) {
        Show(w, (flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    } else if (flags & SWP_HIDEWINDOW) {
        Show(w, SW_HIDE);
    }
    return true;
}

void DisplayCore::SetStyle(Window* w, DWORD style) {
    DWORD keep = WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE | WS_CHILD;
    w->style = (w->style & keep) | (style & ~keep);
}

void DisplayCore::SetExStyle(Window* w, DWORD exStyle) {
    w->exStyle = exStyle;
}

bool DisplayCore::Show(Window* w, int command) {
    HWND handle = w->handle;
    bool wasVisible = w->Visible();
    bool activate = false;
    auto makeVisible = [&](bool withActivation) {
        if (!w->Visible()) {
            Send(w, WM_SHOWWINDOW, 1, 0);
            if (!LiveWindow(handle)) {
                return;
            }
            w->style |= WS_VISIBLE;
            Invalidate(w, nullptr);
            if (w->IsChild()) {
                if (Window* parent = LiveWindow(w->parent)) {
                    Invalidate(parent, &w->rect);
                }
            } else if (w->native) {
                backend_->ShowNative(w->native, true, withActivation);
            }
        }
        activate = withActivation;
    };
    auto restoreFromMinimized = [&]() {
        w->style &= ~WS_MINIMIZE;
        if (w->native) {
            backend_->SetMinimized(w->native, false);
        }
        Invalidate(w, nullptr);
    };
    auto toNormal = [&]() {
        bool wasMin = (w->style & WS_MINIMIZE) != 0;
        bool wasMax = (w->style & WS_MAXIMIZE) != 0;
        if (wasMin) {
            restoreFromMinimized();
        }
        if (wasMax) {
            w->style &= ~WS_MAXIMIZE;
            RECT r = w->restoreRect;
            ApplyRect(w, r, false);
        }
        if ((wasMin || wasMax) && LiveWindow(handle)) {
            Send(w, WM_SIZE, SIZE_RESTORED, MAKELPARAM(w->Width(), w->Height()));
        }
    };
    auto toMaximized = [&]() {
        if (w->style & WS_MINIMIZE) {
            restoreFromMinimized();
        }
        if (!(w->style & WS_MAXIMIZE)) {
            w->restoreRect = w->rect;
        }
        MINMAXINFO mmi = MinMaxInfo(w);
        if (!LiveWindow(handle)) {
            return;
        }
        RECT work = backend_->WorkArea();
        int cx = std::min(mmi.ptMaxSize.x, mmi.ptMaxTrackSize.x);
        int cy = std::min(mmi.ptMaxSize.y, mmi.ptMaxTrackSize.y);
        w->style |= WS_MAXIMIZE;
        RECT r{work.left + mmi.ptMaxPosition.x, work.top + mmi.ptMaxPosition.y, 0, 0};
        r.right = r.left + cx;
        r.bottom = r.top + cy;
        bool same = r.left == w->rect.left && r.top == w->rect.top && cx == w->Width() && cy == w->Height();
        ApplyRect(w, r, false);
        if (same && LiveWindow(handle)) {
            Send(w, WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(w->Width(), w->Height()));
        }
    };
    auto toMinimized = [&]() {
        if (w->style & WS_MINIMIZE) {
            return;
        }
        w->maximizedBeforeMinimize = (w->style & WS_MAXIMIZE) != 0;
        w->style |= WS_MINIMIZE;
        if (w->native) {
            backend_->SetMinimized(w->native, true);
        }
        Send(w, WM_SIZE, SIZE_MINIMIZED, 0);
        if (LiveWindow(handle) && active == handle) {
            Deactivate(w);
        }
    };

    switch (command) {
        case SW_HIDE:
            if (w->Visible()) {
                Send(w, WM_SHOWWINDOW, 0, 0);
                if (!LiveWindow(handle)) {
                    break;
                }
                w->style &= ~WS_VISIBLE;
                if (w->IsChild()) {
                    if (Window* parent = LiveWindow(w->parent)) {
                        Invalidate(parent, &w->rect);
                    }
                    if (focus == handle) {
                        SetFocusTo(nullptr);
                    }
                } else {
                    if (w->native) {
                        backend_->ShowNative(w->native, false, false);
                    }
                    if (active == handle) {
                        Deactivate(w);
                        Window* owner = LiveWindow(w->owner);
                        if (owner && owner->Visible() && owner->Enabled()) {
                            Activate(owner, WA_ACTIVE, false);
                        }
                    }
                }
            }
            return wasVisible;
        case SW_SHOWNORMAL:
            makeVisible(true);
            toNormal();
            break;
        case SW_RESTORE:
            makeVisible(true);
            if ((w->style & WS_MINIMIZE) && w->maximizedBeforeMinimize) {
                restoreFromMinimized();
                Send(w, WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(w->Width(), w->Height()));
            } else {
                toNormal();
            }
            break;
        case SW_SHOW:
            makeVisible(true);
            break;
        case SW_SHOWNOACTIVATE:
            makeVisible(false);
            toNormal();
            break;
        case SW_SHOWNA:
            makeVisible(false);
            break;
        case SW_MAXIMIZE:
            makeVisible(true);
            toMaximized();
            break;
        case SW_MINIMIZE:
        case SW_SHOWMINIMIZED:
        case SW_SHOWMINNOACTIVE:
            makeVisible(false);
            toMinimized();
            activate = false;
            break;
        default:
            makeVisible(true);
            break;
    }
    if (activate && LiveWindow(handle) && !w->IsChild() && !(w->style & WS_MINIMIZE)) {
        Activate(w, WA_ACTIVE, false);
    }
    return wasVisible;
}

void DisplayCore::SendDestroy(Window* w) {
    Send(w, WM_DESTROY, 0, 0);
    std::vector<HWND> children = w->children;
    for (HWND c : children) {
        if (Window* child = LiveWindow(c)) {
            if (!child->destroying) {
                child->destroying = true;
                SendDestroy(child);
            }
        }
    }
}

void DisplayCore::SendNcDestroy(Window* w) {
    std::vector<HWND> children = w->children;
    for (HWND c : children) {
        if (Window* child = LiveWindow(c)) {
            SendNcDestroy(child);
        }
    }
    Send(w, WM_NCDESTROY, 0, 0);
    Finalize(w);
}

void DisplayCore::Finalize(Window* w) {
    HWND handle = w->handle;
    w->alive = false;
    UnregisterWindow(handle);
    auto& timers = w->queue->timers;
    timers.erase(
        std::remove_if(timers.begin(), timers.end(), [&](const Timer& t) { return t.hwnd == handle; }),
        timers.end());
    if (Window* parent = LiveWindow(w->parent)) {
        auto& list = parent->children;
        list.erase(std::remove(list.begin(), list.end(), handle), list.end());
        Invalidate(parent, &w->rect);
    }
    for (HWND* ref : {&active, &focus, &capture, &mouseWindow, &cursorWindow, &moveResize_.hwnd}) {
        if (*ref == handle) {
            *ref = nullptr;
        }
    }
    if (lastClick_.hwnd == handle) {
        lastClick_ = {};
    }
    w->extension.reset();
    w->region.reset();
    for (cairo_surface_t** s : {&w->surface, &w->composed}) {
        if (*s) {
            cairo_surface_destroy(*s);
            *s = nullptr;
        }
    }
    if (w->native) {
        backend_->DestroyNative(w->native);
        w->native = 0;
    }
}

bool DisplayCore::Destroy(Window* w) {
    if (w->destroying) {
        return false;
    }
    w->destroying = true;
    HWND handle = w->handle;
    // Owned windows go first, as on every desktop the owner's end takes its popups with it.
    std::vector<std::shared_ptr<Window>> owned;
    for (auto& other : windows_) {
        if (other->alive.load() && other->owner == handle) {
            owned.push_back(other);
        }
    }
    for (auto& o : owned) {
        if (o->alive.load() && !o->destroying) {
            Destroy(o.get());
        }
    }
    bool wasActive = active == handle;
    HWND owner = w->owner;
    if (w->Visible()) {
        w->style &= ~WS_VISIBLE;
        if (w->native) {
            backend_->ShowNative(w->native, false, false);
        }
    }
    // Focus and capture leave the window before it hears WM_DESTROY.
    for (Window* f = LiveWindow(focus); f; f = f->IsChild() ? LiveWindow(f->parent) : nullptr) {
        if (f == w) {
            SetFocusTo(nullptr);
            break;
        }
    }
    if (wasActive) {
        active = nullptr;
    }
    if (capture == handle) {
        ReleaseCaptureInternal();
    }
    SendDestroy(w);
    SendNcDestroy(w);
    if (wasActive) {
        Window* ownerWindow = LiveWindow(owner);
        if (ownerWindow && ownerWindow->Visible() && ownerWindow->Enabled()) {
            Activate(ownerWindow, WA_ACTIVE, false);
        }
    }
    return true;
}

}  // namespace detail

using detail::LiveWindow;

bool DestroyWindow(HWND hwnd) {
    detail::Window* w = LiveWindow(hwnd);
    return w && w->core->Destroy(w);
}

bool IsWindow(HWND hwnd) {
    return detail::LookupWindow(hwnd) != nullptr;
}

LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return proc ? proc(hwnd, msg, wParam, lParam) : 0;
}

LONG_PTR GetWindowLongPtr(HWND hwnd, int index) {
    detail::Window* w = LiveWindow(hwnd);
    if (!w) {
        return 0;
    }
    switch (index) {
        case GWLP_WNDPROC:
            return reinterpret_cast<LONG_PTR>(w->proc);
        case GWLP_USERDATA:
            return w->userData;
        case GWLP_ID:
            return w->controlId;
        case GWL_STYLE:
            return static_cast<LONG_PTR>(w->style);
        case GWL_EXSTYLE:
            return static_cast<LONG_PTR>(w->exStyle);
        default:
            return 0;
    }
}

LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value) {
    detail::Window* w = LiveWindow(hwnd);
    if (!w) {
        return 0;
    }
    LONG_PTR old = GetWindowLongPtr(hwnd, index);
    switch (index) {
        case GWLP_WNDPROC:
            if (value) {
                w->proc = reinterpret_cast<WNDPROC>(value);
            }
            break;
        case GWLP_USERDATA:
            w->userData = value;
            break;
        case GWLP_ID:
            w->controlId = value;
            break;
        case GWL_STYLE:
            w->core->SetStyle(w, static_cast<DWORD>(value));
            break;
        case GWL_EXSTYLE:
            w->core->SetExStyle(w, static_cast<DWORD>(value));
            break;
        default:
            break;
    }
    return old;
}

bool SetProp(HWND hwnd, const wchar_t* name, void* value) {
    detail::Window* w = LiveWindow(hwnd);
    if (!w || !name) {
        return false;
    }
    w->props[name] = value;
    return true;
}

void* GetProp(HWND hwnd, const wchar_t* name) {
    detail::Window* w = LiveWindow(hwnd);
    if (!w || !name) {
        return nullptr;
    }
    auto it = w->props.find(name);
    return it == w->props.end() ? nullptr : it->second;
}

void* RemoveProp(HWND hwnd, const wchar_t* name) {
    detail::Window* w = LiveWindow(hwnd);
    if (!w || !name) {
        return nullptr;
    }
    auto it = w->props.find(name);
    if (it == w->props.end()) {
        return nullptr;
    }
    void* value = it->second;
    w->props.erase(it);
    return value;
}

HWND GetWindow(HWND hwnd, UINT relation) {
    detail::Window* w = LiveWindow(hwnd);
    if (!w || relation != GW_OWNER) {
        return nullptr;
    }
    return IsWindow(w->owner) ? w->owner : nullptr;
}

HWND GetParent(HWND hwnd) {
    detail::Window* w = LiveWindow(hwnd);
    if (!w) {
        return nullptr;
    }
    HWND p = w->IsChild() ? w->parent : w->owner;
    return IsWindow(p) ? p : nullptr;
}

bool SetWindowText(HWND hwnd, const wchar_t* text) {
    return LiveWindow(hwnd) && SendMessage(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : L""));
}

std::wstring GetWindowText(HWND hwnd) {
    if (!LiveWindow(hwnd)) {
        return {};
    }
    auto length = static_cast<std::size_t>(SendMessage(hwnd, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(length + 1, L'\0');
    auto copied = static_cast<std::size_t>(
        SendMessage(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
    text.resize(std::min(copied, length));
    return text;
}

bool ShowWindow(HWND hwnd, int command) {
    detail::Window* w = LiveWindow(hwnd);
    return w && w->core->Show(w, command);
}

bool SetWindowPos(HWND hwnd, HWND, int x, int y, int cx, int cy, UINT flags) {
    detail::Window* w = LiveWindow(hwnd);
    return w && w->core->SetPos(w, x, y, cx, cy, flags);
}

bool MoveWindow(HWND hwnd, int x, int y, int width, int height, bool repaint) {
    return SetWindowPos(hwnd, nullptr, x, y, width, height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

bool GetWindowRect(HWND hwnd, RECT* rect) {
    detail::Window* w = LiveWindow(hwnd);
    if (!w || !rect) {
        return false;
    }
    *rect = w->core->ScreenRectOf(w);
    return true;
}

bool GetClientRect(HWND hwnd, RECT* rect) {
    detail::Window* w = LiveWindow(hwnd);
    if (!w || !rect) {
        return false;
    }
    *rect = {0, 0, w->Width(), w->Height()};
    return true;
}

bool ClientToScreen(HWND hwnd, POINT* pt) {
    RECT r;
    if (!pt || !GetWindowRect(hwnd, &r)) {
        return false;
    }
    pt->x += r.left;
    pt->y += r.top;
    return true;
}

bool ScreenToClient(HWND hwnd, POINT* pt) {
    RECT r;
    if (!pt || !GetWindowRect(hwnd, &r)) {
        return false;
    }
    pt->x -= r.left;
    pt->y -= r.top;
    return true;
}

bool IsWindowVisible(HWND hwnd) {
    // Visible when it and all its parents have WS_VISIBLE (a minimised window still counts).
    for (detail::Window* w = LiveWindow(hwnd); w; w = LiveWindow(w->parent)) {
        if (!w->Visible()) {
            return false;
        }
        if (!w->IsChild()) {
            return true;
        }
    }
    return false;
}

bool IsWindowEnabled(HWND hwnd) {
    detail::Window* w = LiveWindow(hwnd);
    return w && w->Enabled();
}

bool IsIconic(HWND hwnd) {
    detail::Window* w = LiveWindow(hwnd);
    return w && (w->style & WS_MINIMIZE);
}

bool IsZoomed(HWND hwnd) {
    detail::Window* w = LiveWindow(hwnd);
    return w && (w->style & WS_MAXIMIZE);
}

bool EnableWindow(HWND hwnd, bool enable) {
    detail::Window* w = LiveWindow(hwnd);
    if (!w) {
        return false;
    }
    bool wasDisabled = !w->Enabled();
    if (wasDisabled == !enable) {
        return wasDisabled;
    }
    if (enable) {
        w->style &= ~WS_DISABLED;
    } else {
        w->style |= WS_DISABLED;
        detail::DisplayCore* core = w->core;
        if (core->focus == hwnd) {
            core->SetFocusTo(nullptr);
        }
        if (core->capture == hwnd) {
            core->ReleaseCaptureInternal();
        }
    }
    SendMessage(hwnd, WM_ENABLE, enable ? 1 : 0, 0);
    return wasDisabled;
}

HMONITOR MonitorFromWindow(HWND, DWORD) {
    return reinterpret_cast<HMONITOR>(std::uintptr_t{1});
}

bool GetMonitorInfo(HMONITOR monitor, MONITORINFO* info) {
    auto queue = detail::CurrentQueue();
    if (!monitor || !info || !queue) {
        return false;
    }
    info->rcWork = queue->core->backend().WorkArea();
    info->rcMonitor = info->rcWork;
    info->dwFlags = 1;
    return true;
}

}  // namespace display
