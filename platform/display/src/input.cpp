// Input routing: what the window system reports becomes hit tests, activation, mouse and key messages,
// and interactive moves and resizes.
#include <algorithm>
#include <cstdlib>

#include "core.h"

namespace display::detail {

namespace {

constexpr std::uint64_t kDoubleClickMs = 500;
constexpr int kDoubleClickSlop = 2;

bool ActivatableTop(const Window* w) {
    return w->Visible() && w->Enabled() && !(w->exStyle & WS_EX_NOACTIVATE) &&
           !((w->exStyle & WS_EX_LAYERED) && (w->exStyle & WS_EX_TRANSPARENT));
}

unsigned ButtonBit(MouseButton b) {
    switch (b) {
        case MouseButton::Left:
            return MK_LBUTTON;
        case MouseButton::Right:
            return MK_RBUTTON;
        default:
            return MK_MBUTTON;
    }
}

UINT DownMessage(MouseButton b) {
    switch (b) {
        case MouseButton::Left:
            return WM_LBUTTONDOWN;
        case MouseButton::Right:
            return WM_RBUTTONDOWN;
        default:
            return WM_MBUTTONDOWN;
    }
}

}  // namespace

Window* DisplayCore::ByNative(NativeId id) {
    if (!id) {
        return nullptr;
    }
    for (auto& w : windows_) {
        if (w->native == id && w->alive.load()) {
            return w.get();
        }
    }
    return nullptr;
}

Window* DisplayCore::ChildAt(Window* top, POINT client, POINT* childClient) {
    for (auto it = top->children.rbegin(); it != top->children.rend(); ++it) {
        Window* c = LiveWindow(*it);
        if (c && c->Visible() && client.x >= c->rect.left && client.x < c->rect.right &&
            client.y >= c->rect.top && client.y < c->rect.bottom) {
            return ChildAt(c, {client.x - c->rect.left, client.y - c->rect.top}, childClient);
        }
    }
    *childClient = client;
    return top;
}

WPARAM DisplayCore::MouseKeyFlags() const {
    return buttons | (shiftDown ? MK_SHIFT : 0) | (controlDown ? MK_CONTROL : 0);
}

void DisplayCore::SetMouseWindow(Window* w) {
    HWND handle = w ? w->handle : nullptr;
    if (mouseWindow == handle) {
        return;
    }
    if (Window* old = LiveWindow(mouseWindow)) {
        old->trackFlags &= ~TME_HOVER;
        if (old->trackFlags & TME_LEAVE) {
            old->trackFlags &= ~TME_LEAVE;
            PostTo(old, WM_MOUSELEAVE, 0, 0);
        }
    }
    mouseWindow = handle;
}

void DisplayCore::UpdateHover(std::uint64_t now) {
    Window* w = LiveWindow(mouseWindow);
    if (w && (w->trackFlags & TME_HOVER) && w->hoverDue <= now) {
        w->trackFlags &= ~TME_HOVER;
        RECT r = ScreenRectOf(w);
        PostTo(w, WM_MOUSEHOVER, MouseKeyFlags(),
               MAKELPARAM(cursorScreen.x - r.left, cursorScreen.y - r.top));
    }
}

void DisplayCore::TrackMoveResize(POINT screen) {
    Window* w = LiveWindow(moveResize_.hwnd);
    if (!w) {
        EndMoveResize();
        return;
    }
    int dx = screen.x - moveResize_.start.x;
    int dy = screen.y - moveResize_.start.y;
    RECT r = moveResize_.startRect;
    LRESULT hit = moveResize_.hit;
    if (hit == HTCAPTION) {
        r = {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
    } else {
        bool left = hit == HTLEFT || hit == HTTOPLEFT || hit == HTBOTTOMLEFT;
        bool right = hit == HTRIGHT || hit == HTTOPRIGHT || hit == HTBOTTOMRIGHT;
        bool top = hit == HTTOP || hit == HTTOPLEFT || hit == HTTOPRIGHT;
        bool bottom = hit == HTBOTTOM || hit == HTBOTTOMLEFT || hit == HTBOTTOMRIGHT;
        r.left += left ? dx : 0;
        r.right += right ? dx : 0;
        r.top += top ? dy : 0;
        r.bottom += bottom ? dy : 0;
        MINMAXINFO mmi = MinMaxInfo(w);
        if (!LiveWindow(moveResize_.hwnd)) {
            return;
        }
        int cx = std::clamp(r.right - r.left, mmi.ptMinTrackSize.x,
                            std::max(mmi.ptMinTrackSize.x, mmi.ptMaxTrackSize.x));
        int cy = std::clamp(r.bottom - r.top, mmi.ptMinTrackSize.y,
                            std::max(mmi.ptMinTrackSize.y, mmi.ptMaxTrackSize.y));
        if (left) {
            r.left = r.right - cx;
        } else {
            r.right = r.left + cx;
        }
        if (top) {
            r.top = r.bottom - cy;
        } else {
            r.bottom = r.top + cy;
        }
    }
    ApplyRect(w, r, false);
}

void DisplayCore::OnPointerMove(NativeId id, POINT client, POINT screen) {
    cursorScreen = screen;
    if (moveResize_.hwnd && !moveResize_.bySystem) {
        TrackMoveResize(screen);
        return;
    }
    Window* top = ByNative(id);
    if (!top) {
        return;
    }
    cursorWindow = top->handle;
    POINT pt;
    Window* under = ChildAt(top, client, &pt);
    SetMouseWindow(under);
    Window* target = under;
    if (Window* c = LiveWindow(capture)) {
        target = c;
        RECT r = ScreenRectOf(c);
        pt = {screen.x - r.left, screen.y - r.top};
    } else {
        if (!top->Enabled() || !under->Enabled()) {
            SetCursor(LoadCursor(nullptr, IDC_ARROW));
            return;
        }
        HWND th = target->handle;
        LRESULT hit = Send(target, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
        if (!LiveWindow(th)) {
            return;
        }
        Send(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(th),
             MAKELPARAM(static_cast<int>(hit), WM_MOUSEMOVE));
        if (!LiveWindow(th) || hit != HTCLIENT) {
            return;
        }
    }
    if (target->trackFlags & TME_HOVER) {
        target->hoverDue = Now() + 400;
    }
    PostTo(target, WM_MOUSEMOVE, MouseKeyFlags(), MAKELPARAM(pt.x, pt.y));
}

void DisplayCore::OnPointerButton(NativeId id, MouseButton button, bool down, POINT client, POINT screen) {
    cursorScreen = screen;
    unsigned bit = ButtonBit(button);
    if (moveResize_.hwnd && !down && button == MouseButton::Left) {
        buttons &= ~bit;
        EndMoveResize();
        return;
    }
    Window* top = ByNative(id);
    if (!top) {
        return;
    }
    POINT pt;
    Window* target = ChildAt(top, client, &pt);
    Window* captured = LiveWindow(capture);
    if (captured) {
        target = captured;
        RECT r = ScreenRectOf(captured);
        pt = {screen.x - r.left, screen.y - r.top};
    }
    if (!down) {
        buttons &= ~bit;
        if (!captured && (!top->Enabled() || !target->Enabled())) {
            return;
        }
        PostTo(target, DownMessage(button) + 1, MouseKeyFlags(), MAKELPARAM(pt.x, pt.y));
        return;
    }
    if (!captured && (!top->Enabled() || !target->Enabled())) {
        // A click on a disabled owner brings its enabled (modal) window forward.
        if (!top->Enabled()) {
            for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
                Window* o = it->get();
                if (o->alive.load() && o->owner == top->handle && ActivatableTop(o)) {
                    Activate(o, WA_CLICKACTIVE, false);
                    break;
                }
            }
        }
        return;
    }
    HWND th = target->handle;
    HWND topHandle = top->handle;
    UINT downMsg = DownMessage(button);
    LRESULT hit = captured ? HTCLIENT : Send(target, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
    if (!LiveWindow(th)) {
        return;
    }
    if (active != topHandle && ActivatableTop(top)) {
        LRESULT r = Send(target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(topHandle),
                         MAKELPARAM(static_cast<int>(hit), static_cast<int>(downMsg)));
        if ((r == MA_ACTIVATE || r == MA_ACTIVATEANDEAT || r == 0) && LiveWindow(topHandle)) {
            Activate(top, WA_CLICKACTIVE, false);
        }
        if (r == MA_ACTIVATEANDEAT || r == MA_NOACTIVATEANDEAT || !LiveWindow(th)) {
            return;
        }
    }
    buttons |= bit;
    std::uint64_t now = Now();
    UINT message = hit == HTCLIENT ? downMsg : WM_NCLBUTTONDOWN;
    if (hit != HTCLIENT && button != MouseButton::Left) {
        return;
    }
    bool dbl = (target->classStyle & CS_DBLCLKS || hit != HTCLIENT) && lastClick_.hwnd == th &&
               lastClick_.message == message && now - lastClick_.time <= kDoubleClickMs &&
               std::abs(screen.x - lastClick_.pt.x) <= kDoubleClickSlop &&
               std::abs(screen.y - lastClick_.pt.y) <= kDoubleClickSlop;
    if (dbl) {
        lastClick_ = {};
    } else {
        lastClick_ = {th, message, now, screen};
    }
    if (hit == HTCLIENT) {
        PostTo(target, dbl ? downMsg + 2 : downMsg, MouseKeyFlags(), MAKELPARAM(pt.x, pt.y));
    } else {
        PostTo(target, dbl ? WM_NCLBUTTONDBLCLK : WM_NCLBUTTONDOWN, static_cast<WPARAM>(hit),
               MAKELPARAM(screen.x, screen.y));
    }
}

void DisplayCore::OnPointerWheel(NativeId id, int delta, POINT screen) {
    cursorScreen = screen;
    Window* top = ByNative(id);
    if (!top || !top->Enabled()) {
        return;
    }
    Window* target = LiveWindow(focus);
    if (!target || TopLevelOf(target) != top) {
        RECT r = top->rect;
        POINT pt;
        target = ChildAt(top, {screen.x - r.left, screen.y - r.top}, &pt);
    }
    if (!target->Enabled()) {
        return;
    }
    PostTo(target, WM_MOUSEWHEEL, MAKEWPARAM(static_cast<int>(MouseKeyFlags()), delta),
           MAKELPARAM(screen.x, screen.y));
}

void DisplayCore::OnPointerLeave(NativeId id) {
    Window* top = ByNative(id);
    if (!top) {
        return;
    }
    Window* under = LiveWindow(mouseWindow);
    if (under && TopLevelOf(under) == top) {
        SetMouseWindow(nullptr);
    }
    if (cursorWindow == top->handle) {
        cursorWindow = nullptr;
    }
}

void DisplayCore::OnModifiers(bool shift, bool control, bool alt) {
    shiftDown = shift;
    controlDown = control;
    altDown = alt;
}

void DisplayCore::OnKey(NativeId id, UINT vk, bool down, const std::wstring& text) {
    if (vk == VK_SHIFT) {
        shiftDown = down;
    } else if (vk == VK_CONTROL) {
        controlDown = down;
    } else if (vk == VK_MENU) {
        altDown = down;
    }
    Window* top = ByNative(id);
    if (!top) {
        return;
    }
    Window* target = LiveWindow(focus);
    if (!target || TopLevelOf(target) != top) {
        target = top;
    }
    if (!top->Enabled() || !target->Enabled()) {
        return;
    }
    bool sys = altDown && vk != VK_MENU;
    LPARAM lp = 1 | (altDown ? KF_ALTDOWN_LPARAM : 0) | (down ? 0 : static_cast<LPARAM>(0xC0000000u));
    UINT msg = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
    PostTo(target, msg, vk, lp, down ? text : std::wstring());
}

void DisplayCore::OnText(NativeId id, const std::wstring& text) {
    Window* top = ByNative(id);
    if (!top || !top->Enabled()) {
        return;
    }
    Window* target = LiveWindow(focus);
    if (!target || TopLevelOf(target) != top) {
        target = top;
    }
    for (wchar_t c : text) {
        PostTo(target, WM_CHAR, static_cast<WPARAM>(c), 1);
    }
}

void DisplayCore::OnConfigured(NativeId id, const RECT& screenRect) {
    Window* w = ByNative(id);
    if (!w || (w->style & WS_MINIMIZE)) {
        return;
    }
    ApplyRect(w, screenRect, true);
}

void DisplayCore::OnExposed(NativeId id, const RECT& clientRect) {
    Window* w = ByNative(id);
    if (!w) {
        return;
    }
    if (w->layeredPicture && w->surface) {
        backend_->PresentLayered(w->native, w->surface);
    } else if (w->surface) {
        Present(w, clientRect);
    } else {
        Invalidate(w, &clientRect);
    }
}

void DisplayCore::OnFocusChanged(NativeId id, bool focused) {
    Window* w = ByNative(id);
    if (!w) {
        return;
    }
    if (!focused) {
        Deactivate(w);
        return;
    }
    if (!w->Enabled()) {
        for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
            Window* o = it->get();
            if (o->alive.load() && o->owner == w->handle && ActivatableTop(o)) {
                Activate(o, WA_ACTIVE, false);
                return;
            }
        }
        return;
    }
    Activate(w, WA_ACTIVE, true);
}

void DisplayCore::OnCloseRequested(NativeId id) {
    Window* w = ByNative(id);
    if (w && w->Enabled()) {
        Send(w, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
}

void DisplayCore::OnMoveResizeEnded(NativeId id) {
    Window* w = ByNative(id);
    if (w && moveResize_.hwnd == w->handle) {
        EndMoveResize();
    }
}

bool DisplayCore::StartMoveResize(Window* w, LRESULT hitCode, POINT pressed) {
    w = TopLevelOf(w);
    if (!w || !(buttons & MK_LBUTTON) || (w->style & (WS_MAXIMIZE | WS_MINIMIZE)) || moveResize_.hwnd) {
        return false;
    }
    // Measured from where the button went down: pointer motion handled before this message was
    // dispatched still counts.
    moveResize_ = {w->handle, hitCode, false, pressed, w->rect};
    Send(w, WM_ENTERSIZEMOVE, 0, 0);
    if (!LiveWindow(moveResize_.hwnd)) {
        moveResize_ = {};
        return false;
    }
    moveResize_.bySystem = backend_->BeginMoveResize(w->native, hitCode, cursorScreen);
    if (moveResize_.bySystem) {
        buttons &= ~MK_LBUTTON;  // the window system owns the pointer now
    } else {
        TrackMoveResize(cursorScreen);
    }
    return true;
}

void DisplayCore::EndMoveResize() {
    HWND h = moveResize_.hwnd;
    moveResize_ = {};
    if (Window* w = LiveWindow(h)) {
        Send(w, WM_EXITSIZEMOVE, 0, 0);
    }
}

}  // namespace display::detail
