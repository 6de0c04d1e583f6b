#pragma once
// The display: one connection to a window system, chosen once at start-up and passed to whoever creates
// windows. Everything else (messages, timers, painting, input state) is reached through window handles
// and the calling thread's message queue, declared in display/window_api.h.
//
// Contract, shared by every backend:
// - Windows are created on the thread that opened the display and belong to it; its queue receives
//   their messages. From other threads only PostMessage and IsWindow may be called (and GetMessage,
//   PostQuitMessage on a thread's own queue after AttachThread).
// - Top-level windows have no non-client frame: the client rectangle is the window rectangle. Caption
//   dragging and resizing are asked for through WM_NCHITTEST and done by the layer.

#include <memory>
#include <string>
#include <string_view>

#include "display/win_constants.h"
#include "display/win_types.h"

namespace display {

namespace detail {
class DisplayCore;
}
class HeadlessScreen;

class Display {
public:
    explicit Display(std::unique_ptr<detail::DisplayCore> core);
    ~Display();  // destroys the windows still open, without sending them messages
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;

    const std::string& BackendName() const;

    // Window classes: an existing class name is accepted (returns true) and left unchanged.
    bool RegisterClass(const WNDCLASS& wc);
    bool GetClassInfo(const wchar_t* className, WNDCLASS* out) const;

    // Creates a window of a registered class. Sends WM_GETMINMAXINFO, WM_NCCREATE (false aborts),
    // WM_CREATE (-1 aborts; lParam is a CREATESTRUCT* carrying `param`), WM_SIZE, WM_MOVE, and shows
    // the window when `style` has WS_VISIBLE. WS_CHILD windows live inside `parent`'s client area;
    // otherwise `parent` is the owner. CW_USEDEFAULT picks a position (and 640x480 for overlapped
    // windows, 0x0 for popups). Returns null on failure.
    HWND CreateWindowEx(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style, int x,
                        int y, int width, int height, HWND parent, LONG_PTR menuOrId, void* param);

    // Binds the calling thread's message queue to this display (done by CreateWindowEx as well), so
    // that GetMessage and PostQuitMessage work on a thread that has no window yet.
    void AttachThread();

    // The monitor's work area (screen minus panels) in screen coordinates.
    RECT GetWorkArea() const;
    // Whether per-pixel-alpha windows (WS_EX_LAYERED + UpdateLayeredWindow) are shown as such. When
    // false, callers must not create them (X11 without a compositing manager shows their raw pixels).
    bool LayeredWindowsAvailable() const;

    // A blocking message box with an OK button, for fatal start-up errors. Also written to stderr.
    int MessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);

    // The clipboard (CLIPBOARD selection on X11).
    void SetClipboardText(std::wstring_view text);
    std::wstring GetClipboardText();

    // Milliseconds of the display's clock (virtual under the headless backend), wrapping.
    DWORD GetTickCount() const;

    // The simulator controls, or null when the backend is not the headless one.
    HeadlessScreen* Headless();

    detail::DisplayCore& Core() { return *core_; }

private:
    std::unique_ptr<detail::DisplayCore> core_;
};

// Opens a backend by name: "headless" (only when asked for), "x11", or "" to choose automatically (X11
// when $DISPLAY names a reachable server). Returns null and fills `error` when none can be opened.
std::unique_ptr<Display> OpenDisplay(std::string_view backendName, std::string* error);

}  // namespace display
