#pragma once
// The seam between the shared window logic (DisplayCore) and a window system. Backends only
// translate: downward they create, place and fill top-level native windows; upward they report what
// happened to one of them through EventSink. Child windows, messages, timers, focus rules, hit
// testing and caption dragging live once in the core.

#include <cairo.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "display/headless.h"
#include "display/win_types.h"

namespace display::detail {

using NativeId = std::uint64_t;  // 0 = none

struct NativeParams {
    RECT rect;  // screen coordinates
    std::wstring title;
    NativeId owner = 0;
    bool popup = false;        // no taskbar entry expected
    bool layered = false;      // per-pixel alpha content (ARGB visual)
    bool transparent = false;  // the mouse passes through
    bool noActivate = false;   // never takes the keyboard focus
};

class EventSink {
public:
    virtual ~EventSink() = default;
    virtual void OnPointerMove(NativeId id, POINT client, POINT screen) = 0;
    virtual void OnPointerButton(NativeId id, MouseButton button, bool down, POINT client, POINT screen) = 0;
    virtual void OnPointerWheel(NativeId id, int delta, POINT screen) = 0;
    virtual void OnPointerLeave(NativeId id) = 0;
    virtual void OnModifiers(bool shift, bool control, bool alt) = 0;
    virtual void OnKey(NativeId id, UINT vk, bool down, const std::wstring& text) = 0;
    virtual void OnText(NativeId id, const std::wstring& text) = 0;
    virtual void OnConfigured(NativeId id, const RECT& screenRect) = 0;
    virtual void OnExposed(NativeId id, const RECT& clientRect) = 0;
    virtual void OnFocusChanged(NativeId id, bool focused) = 0;
    virtual void OnCloseRequested(NativeId id) = 0;
    virtual void OnMoveResizeEnded(NativeId id) = 0;
};

class Backend {
public:
    virtual ~Backend() = default;
    virtual const std::string& Name() const = 0;
    virtual void SetSink(EventSink* sink) = 0;
    virtual std::uint64_t NowMs() const = 0;

    virtual NativeId CreateNative(const NativeParams& params) = 0;
    virtual void DestroyNative(NativeId id) = 0;
    virtual void ShowNative(NativeId id, bool show, bool activate) = 0;
    virtual void SetMinimized(NativeId id, bool minimized) = 0;
    virtual void SetNativeRect(NativeId id, const RECT& screenRect) = 0;
    // Copies `area` (client coordinates) of an opaque client surface to the screen.
    virtual void Present(NativeId id, cairo_surface_t* surface, const RECT& area) = 0;
    // Shows a whole premultiplied surface as the window's per-pixel-alpha picture.
    virtual void PresentLayered(NativeId id, cairo_surface_t* surface) = 0;
    virtual void SetShape(NativeId id, const Region* region) = 0;  // null: rectangular
    virtual void SetOpacity(NativeId id, BYTE alpha) = 0;
    virtual void SetTitle(NativeId id, const std::wstring& title) = 0;
    virtual void SetIcons(NativeId id, const std::vector<cairo_surface_t*>& icons) = 0;
    virtual void SetCursorShape(NativeId id, int cursorId) = 0;
    virtual void Activate(NativeId id) = 0;  // raise and take the keyboard focus
    // Starts an interactive move (HTCAPTION) or resize (HTLEFT..HTBOTTOMRIGHT). True when the window
    // system tracks it and will report OnConfigured and OnMoveResizeEnded; false lets the core move
    // the window itself from pointer motion.
    virtual bool BeginMoveResize(NativeId id, LRESULT hitCode, POINT screen) = 0;

    virtual RECT WorkArea() const = 0;
    virtual bool LayeredAvailable() const = 0;
    virtual void SetClipboard(const std::wstring& text) = 0;
    virtual std::wstring GetClipboard() = 0;
    virtual void ShowMessageBox(const std::wstring& text, const std::wstring& caption) = 0;

    // Translates pending native events into sink calls (window thread).
    virtual void PumpEvents() = 0;
    // Waits for a native event, a wake-up on `wakeFd`, or `timeoutMs` (-1: no limit).
    virtual void Wait(int wakeFd, int timeoutMs) = 0;
    virtual HeadlessScreen* Headless() { return nullptr; }
};

std::unique_ptr<Backend> CreateHeadlessBackend();
// Null with `error` filled when the X server cannot be opened.
std::unique_ptr<Backend> CreateX11Backend(std::string* error);

}  // namespace display::detail
