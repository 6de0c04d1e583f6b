#pragma once
// The value types of the display layer. The UI code above is written in the window-message model
// (handles, messages with two parameters, rectangles in pixels), so these are our own declarations of
// that model: same names and meanings, no platform header behind them.

#include <cairo.h>

#include <cstdint>

namespace display {

using UINT = std::uint32_t;
using DWORD = std::uint32_t;
using BYTE = std::uint8_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;

// Opaque handles. A window handle names a window until it is destroyed and is never reused, so a
// stale handle is safely answered by IsWindow (false) and ignored by every other call.
struct HWND__;
using HWND = HWND__*;
struct HCURSOR__;
using HCURSOR = HCURSOR__*;
struct HMONITOR__;
using HMONITOR = HMONITOR__*;
struct Region;
using HRGN = Region*;
struct Icon;
using HICON = Icon*;
struct Font;
using HFONT = Font*;

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

struct POINT {
    int x = 0;
    int y = 0;
};
struct SIZE {
    int cx = 0;
    int cy = 0;
};
struct RECT {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

struct MSG {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD time = 0;
    POINT pt;
    // Layer-private: links a key-down to the text the input method produced for it, which
    // TranslateMessage turns into WM_CHAR messages.
    std::uint64_t textSerial = 0;
};

// Painting: `surface` is the window's client-sized ARGB32 (premultiplied) cairo image surface. Draw
// inside rcPaint; EndPaint copies the result to the screen.
struct PAINTSTRUCT {
    cairo_surface_t* surface = nullptr;
    RECT rcPaint;
    bool fErase = false;
};

struct CREATESTRUCT {
    void* lpCreateParams = nullptr;
    LONG_PTR hMenu = 0;
    HWND hwndParent = nullptr;
    int cy = 0, cx = 0, y = 0, x = 0;
    DWORD style = 0;
    const wchar_t* lpszName = nullptr;
    const wchar_t* lpszClass = nullptr;
    DWORD dwExStyle = 0;
};

struct MINMAXINFO {
    POINT ptReserved;
    POINT ptMaxSize;
    POINT ptMaxPosition;
    POINT ptMinTrackSize;
    POINT ptMaxTrackSize;
};

struct WNDCLASS {
    UINT style = 0;
    WNDPROC lpfnWndProc = nullptr;
    HCURSOR hCursor = nullptr;
    const wchar_t* lpszClassName = nullptr;
};

struct MONITORINFO {
    RECT rcMonitor;
    RECT rcWork;
    DWORD dwFlags = 0;
};

struct TRACKMOUSEEVENT {
    DWORD dwFlags = 0;
    HWND hwndTrack = nullptr;
    DWORD dwHoverTime = 0;
};

// Parameter packing helpers, as the message parameters define them.
constexpr std::uint16_t LOWORD(std::uintptr_t v) {
    return static_cast<std::uint16_t>(v & 0xFFFF);
}
constexpr std::uint16_t HIWORD(std::uintptr_t v) {
    return static_cast<std::uint16_t>((v >> 16) & 0xFFFF);
}
constexpr LPARAM MAKELPARAM(int lo, int hi) {
    return static_cast<LPARAM>(static_cast<std::uint32_t>((static_cast<std::uint32_t>(hi) & 0xFFFF) << 16 |
                                                          (static_cast<std::uint32_t>(lo) & 0xFFFF)));
}
constexpr WPARAM MAKEWPARAM(int lo, int hi) {
    return static_cast<WPARAM>(MAKELPARAM(lo, hi)) & 0xFFFFFFFF;
}
constexpr int GET_X_LPARAM(LPARAM lp) {
    return static_cast<std::int16_t>(LOWORD(static_cast<std::uintptr_t>(lp)));
}
constexpr int GET_Y_LPARAM(LPARAM lp) {
    return static_cast<std::int16_t>(HIWORD(static_cast<std::uintptr_t>(lp)));
}
constexpr int GET_WHEEL_DELTA_WPARAM(WPARAM wp) {
    return static_cast<std::int16_t>(HIWORD(wp));
}

}  // namespace display
