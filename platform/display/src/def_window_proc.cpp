// Default message processing: what the window system does for a message nobody handled.
#include <algorithm>
#include <cstring>

#include "core.h"

namespace display {

namespace {

int SizeCursorFor(LRESULT hit) {
    switch (hit) {
        case HTLEFT:
        case HTRIGHT:
            return IDC_SIZEWE;
        case HTTOP:
        case HTBOTTOM:
            return IDC_SIZENS;
        case HTTOPLEFT:
        case HTBOTTOMRIGHT:
            return IDC_SIZENWSE;
        case HTTOPRIGHT:
        case HTBOTTOMLEFT:
            return IDC_SIZENESW;
        default:
            return IDC_ARROW;
    }
}

bool IsSizingHit(LRESULT hit) {
    return hit >= HTLEFT && hit <= HTBOTTOMRIGHT;
}

// The screen point a move or size command starts from: its lParam, or the cursor when it has none.
POINT PressPoint(detail::DisplayCore* core, LPARAM lParam) {
    if (lParam == 0) {
        return core->cursorScreen;
    }
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

}  // namespace

LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    detail::Window* w = detail::LiveWindow(hwnd);
    if (!w) {
        return 0;
    }
    detail::DisplayCore* core = w->core;
    switch (msg) {
        case WM_NCCREATE:
            return 1;
        case WM_CLOSE:
            DestroyWindow(hwnd);
            return 0;
        case WM_SYSCOMMAND:
            switch (wParam & 0xFFF0) {
                case SC_CLOSE:
                    SendMessage(hwnd, WM_CLOSE, 0, 0);
                    break;
                case SC_MINIMIZE:
                    ShowWindow(hwnd, SW_MINIMIZE);
                    break;
                case SC_MAXIMIZE:
                    ShowWindow(hwnd, SW_MAXIMIZE);
                    break;
                case SC_RESTORE:
                    ShowWindow(hwnd, SW_RESTORE);
                    break;
                case SC_MOVE:
                    core->StartMoveResize(w, HTCAPTION, PressPoint(core, lParam));
                    break;
                case SC_SIZE:
                    if ((wParam & 0xF) != 0) {
                        core->StartMoveResize(w, static_cast<LRESULT>(9 + (wParam & 0xF)),
                                              PressPoint(core, lParam));
                    }
                    break;
                default:
                    break;
            }
            return 0;
        case WM_SYSKEYDOWN:
            if (wParam == VK_F4 && (lParam & KF_ALTDOWN_LPARAM)) {
                detail::Window* top = core->TopLevelOf(w);
                SendMessage(top->handle, WM_SYSCOMMAND, SC_CLOSE, 0);
            }
            return 0;
        case WM_NCLBUTTONDOWN:
            if (static_cast<LRESULT>(wParam) == HTCAPTION) {
                SendMessage(hwnd, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, lParam);
            } else if (IsSizingHit(static_cast<LRESULT>(wParam))) {
                SendMessage(hwnd, WM_SYSCOMMAND, SC_SIZE | (wParam - 9), lParam);
            }
            return 0;
        case WM_NCLBUTTONDBLCLK:
            if (static_cast<LRESULT>(wParam) == HTCAPTION && (w->style & WS_MAXIMIZEBOX)) {
                SendMessage(hwnd, WM_SYSCOMMAND, (w->style & WS_MAXIMIZE) ? SC_RESTORE : SC_MAXIMIZE, lParam);
            }
            return 0;
        case WM_NCHITTEST:
            return HTCLIENT;
        case WM_SETCURSOR: {
            if (w->IsChild() && SendMessage(w->parent, WM_SETCURSOR, wParam, lParam)) {
                return 1;
            }
            auto hit = static_cast<std::int16_t>(LOWORD(static_cast<std::uintptr_t>(lParam)));
            if (hit == HTCLIENT) {
                SetCursor(w->classCursor ? w->classCursor : LoadCursor(nullptr, IDC_ARROW));
            } else {
                SetCursor(LoadCursor(nullptr, SizeCursorFor(hit)));
            }
            return 0;
        }
        case WM_MOUSEACTIVATE:
            if (w->IsChild()) {
                LRESULT r = SendMessage(w->parent, WM_MOUSEACTIVATE, wParam, lParam);
                if (r) {
                    return r;
                }
            }
            return MA_ACTIVATE;
        case WM_MOUSEWHEEL:
        case WM_CONTEXTMENU:
            if (w->IsChild()) {
                return SendMessage(w->parent, msg, wParam, lParam);
            }
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE && !(w->style & WS_MINIMIZE)) {
                SetFocus(hwnd);
            }
            return 0;
        case WM_NCACTIVATE:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            BeginPaint(hwnd, &ps);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_SETTEXT: {
            const auto* text = reinterpret_cast<const wchar_t*>(lParam);
            w->text = text ? text : L"";
            if (w->native) {
                core->backend().SetTitle(w->native, w->text);
            }
            return 1;
        }
        case WM_GETTEXT: {
            auto* buffer = reinterpret_cast<wchar_t*>(lParam);
            if (!buffer || wParam == 0) {
                return 0;
            }
            std::size_t n = std::min<std::size_t>(w->text.size(), wParam - 1);
            std::wmemcpy(buffer, w->text.data(), n);
            buffer[n] = L'\0';
            return static_cast<LRESULT>(n);
        }
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(w->text.size());
        case WM_SETICON: {
            HICON icon = reinterpret_cast<HICON>(lParam);
            HICON& slot = wParam == ICON_BIG ? w->iconBig : w->iconSmall;
            HICON previous = slot;
            slot = icon;
            if (w->native) {
                std::vector<cairo_surface_t*> icons;
                for (HICON i : {w->iconBig, w->iconSmall}) {
                    if (i) {
                        icons.push_back(i->surface);
                    }
                }
                core->backend().SetIcons(w->native, icons);
            }
            return reinterpret_cast<LRESULT>(previous);
        }
        default:
            return 0;
    }
}

}  // namespace display
