// Translating X events into what the shared window logic understands.
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/keysym.h>

#include "display/win_constants.h"
#include "platform/utf.h"
#include "x11_backend.h"

namespace display::detail {

namespace {

UINT VirtualKeyOf(KeySym sym) {
    if (sym >= XK_a && sym <= XK_z) {
        return static_cast<UINT>(sym - XK_a + 'A');
    }
    if ((sym >= XK_A && sym <= XK_Z) || (sym >= XK_0 && sym <= XK_9)) {
        return static_cast<UINT>(sym);
    }
    if (sym >= XK_F1 && sym <= XK_F24) {
        return static_cast<UINT>(0x70 + (sym - XK_F1));
    }
    switch (sym) {
        case XK_BackSpace:
            return VK_BACK;
        case XK_Tab:
            return VK_TAB;
        case XK_Return:
        case XK_KP_Enter:
            return VK_RETURN;
        case XK_Escape:
            return VK_ESCAPE;
        case XK_space:
            return VK_SPACE;
        case XK_Delete:
        case XK_KP_Delete:
            return VK_DELETE;
        case XK_Insert:
            return VK_INSERT;
        case XK_Home:
        case XK_KP_Home:
            return VK_HOME;
        case XK_End:
        case XK_KP_End:
            return VK_END;
        case XK_Left:
        case XK_KP_Left:
            return VK_LEFT;
        case XK_Right:
        case XK_KP_Right:
            return VK_RIGHT;
        case XK_Up:
        case XK_KP_Up:
            return VK_UP;
        case XK_Down:
        case XK_KP_Down:
            return VK_DOWN;
        case XK_Prior:
            return VK_PRIOR;
        case XK_Next:
            return VK_NEXT;
        case XK_Shift_L:
        case XK_Shift_R:
            return VK_SHIFT;
        case XK_Control_L:
        case XK_Control_R:
            return VK_CONTROL;
        case XK_Alt_L:
        case XK_Alt_R:
            return VK_MENU;
        default:
            return 0;
    }
}

POINT Pt(int x, int y) {
    return {x, y};
}

}  // namespace

void X11Backend::PumpEvents() {
    while (XPending(display_)) {
        XEvent event;
        XNextEvent(display_, &event);
        if (XFilterEvent(&event, 0)) {
            continue;  // consumed by the input method
        }
        Dispatch(event);
    }
}

void X11Backend::HandleKey(NativeId id, XKeyEvent& key) {
    sink_->OnModifiers(key.state & ShiftMask, key.state & ControlMask, key.state & Mod1Mask);
    KeySym sym = XLookupKeysym(&key, 0);
    UINT vk = VirtualKeyOf(sym);
    if (key.type == KeyRelease) {
        sink_->OnKey(id, vk, false, L"");
        return;
    }
    std::string text;
    X11Native* n = Find(id);
    char buffer[64];
    KeySym looked = 0;
    int length = 0;
    if (n && n->ic) {
        Status status;
        length = Xutf8LookupString(n->ic, &key, buffer, sizeof buffer - 1, &looked, &status);
        if (status == XBufferOverflow) {
            std::vector<char> big(static_cast<std::size_t>(length) + 1);
            length = Xutf8LookupString(n->ic, &key, big.data(), length, &looked, &status);
            text.assign(big.data(), static_cast<std::size_t>(std::max(length, 0)));
        } else if (status == XLookupChars || status == XLookupBoth) {
            text.assign(buffer, static_cast<std::size_t>(std::max(length, 0)));
        }
    } else {
        length = XLookupString(&key, buffer, sizeof buffer - 1, &looked, nullptr);
        // Without an input method the bytes are Latin-1.
        for (int i = 0; i < length; ++i) {
            text += platform::Utf8FromWide(
                std::wstring(1, static_cast<wchar_t>(static_cast<unsigned char>(buffer[i]))));
        }
    }
    std::wstring wide = platform::WideFromUtf8(text);
    std::erase(wide, L'\x7f');  // Delete is a key, not a character
    sink_->OnKey(id, vk, true, wide);
}

void X11Backend::Dispatch(XEvent& event) {
    if (event.type == SelectionRequest) {
        HandleSelectionRequest(event.xselectionrequest);
        return;
    }
    if (event.type == SelectionClear && event.xselectionclear.window == selectionWindow_) {
        ownClipboard_ = false;
        clipboard_.clear();
        return;
    }
    NativeId id = IdOf(event.xany.window);
    if (!id) {
        return;
    }
    X11Native& n = natives_[id];
    switch (event.type) {
        case MotionNotify: {
            XMotionEvent& m = event.xmotion;
            if (wmMoving_ == id && !(m.state & Button1Mask)) {
                wmMoving_ = 0;
                sink_->OnMoveResizeEnded(id);
            }
            sink_->OnModifiers(m.state & ShiftMask, m.state & ControlMask, m.state & Mod1Mask);
            sink_->OnPointerMove(id, Pt(m.x, m.y), Pt(m.x_root, m.y_root));
            break;
        }
        case ButtonPress:
        case ButtonRelease: {
            XButtonEvent& b = event.xbutton;
            bool down = event.type == ButtonPress;
            if (!down && wmMoving_ == id) {
                wmMoving_ = 0;
                sink_->OnMoveResizeEnded(id);
            }
            sink_->OnModifiers(b.state & ShiftMask, b.state & ControlMask, b.state & Mod1Mask);
            if (b.button == Button4 || b.button == Button5) {
                if (down) {
                    sink_->OnPointerWheel(id, b.button == Button4 ? WHEEL_DELTA : -WHEEL_DELTA,
                                          Pt(b.x_root, b.y_root));
                }
                break;
            }
            MouseButton button = b.button == Button1   ? MouseButton::Left
                                 : b.button == Button3 ? MouseButton::Right
                                                       : MouseButton::Middle;
            if (b.button > Button3) {
                break;
            }
            sink_->OnPointerButton(id, button, down, Pt(b.x, b.y), Pt(b.x_root, b.y_root));
            break;
        }
        case EnterNotify:
            sink_->OnPointerMove(id, Pt(event.xcrossing.x, event.xcrossing.y),
                                 Pt(event.xcrossing.x_root, event.xcrossing.y_root));
            break;
        case LeaveNotify:
            if (event.xcrossing.mode == NotifyNormal) {
                sink_->OnPointerLeave(id);
            }
            break;
        case KeyPress:
        case KeyRelease:
            HandleKey(id, event.xkey);
            break;
        case Expose: {
            XExposeEvent& e = event.xexpose;
            sink_->OnExposed(id, {e.x, e.y, e.x + e.width, e.y + e.height});
            break;
        }
        case ConfigureNotify: {
            // Only the latest placement matters.
            while (XCheckTypedWindowEvent(display_, n.window, ConfigureNotify, &event)) {
            }
            XConfigureEvent& c = event.xconfigure;
            int x = c.x, y = c.y;
            if (!c.send_event) {
                ::Window child;
                XTranslateCoordinates(display_, n.window, root_, 0, 0, &x, &y, &child);
            }
            n.rect = {x, y, x + c.width, y + c.height};
            sink_->OnConfigured(id, n.rect);
            break;
        }
        case MapNotify:
            n.mapped = true;
            if (pendingFocus_ == id) {
                FocusWhenMapped(id);
            }
            break;
        case UnmapNotify:
            n.mapped = false;
            break;
        case FocusIn:
            if (event.xfocus.mode != NotifyGrab && event.xfocus.mode != NotifyUngrab &&
                event.xfocus.detail != NotifyPointer) {
                if (n.ic) {
                    XSetICFocus(n.ic);
                }
                sink_->OnFocusChanged(id, true);
            }
            break;
        case FocusOut:
            if (event.xfocus.mode != NotifyGrab && event.xfocus.mode != NotifyUngrab &&
                event.xfocus.detail != NotifyPointer) {
                if (n.ic) {
                    XUnsetICFocus(n.ic);
                }
                sink_->OnFocusChanged(id, false);
            }
            break;
        case ClientMessage:
            if (event.xclient.message_type == A("WM_PROTOCOLS") &&
                static_cast<Atom>(event.xclient.data.l[0]) == A("WM_DELETE_WINDOW")) {
                sink_->OnCloseRequested(id);
            }
            break;
        default:
            break;
    }
}

}  // namespace display::detail
