#pragma once
// The X11 backend: one Xlib connection used by the thread that opened it. Top-level windows are
// undecorated (Motif hints), shaped with XShape, filled with XPutImage; layered windows use a 32-bit
// ARGB visual and need a compositing manager to look right.

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <map>
#include <string>

#include "../backend.h"

namespace display::detail {

struct X11Native {
    ::Window window = 0;
    bool layered = false;
    bool mapped = false;
    bool minimized = false;
    bool wantVisible = false;
    XIC ic = nullptr;
    RECT rect;
};

class X11Backend final : public Backend {
public:
    X11Backend(::Display* display);
    ~X11Backend() override;

    const std::string& Name() const override { return name_; }
    void SetSink(EventSink* sink) override { sink_ = sink; }
    std::uint64_t NowMs() const override;

    NativeId CreateNative(const NativeParams& params) override;
    void DestroyNative(NativeId id) override;
    void ShowNative(NativeId id, bool show, bool activate) override;
    void SetMinimized(NativeId id, bool minimized) override;
    void SetNativeRect(NativeId id, const RECT& screenRect) override;
    void Present(NativeId id, cairo_surface_t* surface, const RECT& area) override;
    void PresentLayered(NativeId id, cairo_surface_t* surface) override;
    void SetShape(NativeId id, const Region* region) override;
    void SetOpacity(NativeId id, BYTE alpha) override;
    void SetTitle(NativeId id, const std::wstring& title) override;
    void SetIcons(NativeId id, const std::vector<cairo_surface_t*>& icons) override;
    void SetCursorShape(NativeId id, int cursorId) override;
    void Activate(NativeId id) override;
    bool BeginMoveResize(NativeId id, LRESULT hitCode, POINT screen) override;
    RECT WorkArea() const override;
    bool LayeredAvailable() const override;
    void SetClipboard(const std::wstring& text) override;
    std::wstring GetClipboard() override;
    void ShowMessageBox(const std::wstring& text, const std::wstring& caption) override;
    void PumpEvents() override;
    void Wait(int wakeFd, int timeoutMs) override;

private:
    Atom A(const char* name) const;
    bool WindowManagerSupports(Atom atom) const;
    X11Native* Find(NativeId id);
    NativeId IdOf(::Window window) const;
    void Dispatch(XEvent& event);
    void HandleKey(NativeId id, XKeyEvent& key);
    void HandleSelectionRequest(const XSelectionRequestEvent& request);
    void PutImage(X11Native& n, cairo_surface_t* surface, const RECT& area, int depth);
    void FocusWhenMapped(NativeId id);

    std::string name_ = "x11";
    ::Display* display_;
    int screen_;
    ::Window root_;
    Visual* argbVisual_ = nullptr;
    Colormap argbColormap_ = 0;
    GC gc24_ = nullptr;
    GC gc32_ = nullptr;
    XIM im_ = nullptr;
    EventSink* sink_ = nullptr;
    NativeId nextId_ = 1;
    std::map<NativeId, X11Native> natives_;
    std::map<int, Cursor> cursors_;
    NativeId pendingFocus_ = 0;
    NativeId wmMoving_ = 0;
    ::Window selectionWindow_ = 0;
    std::string clipboard_;  // UTF-8, while we own CLIPBOARD
    bool ownClipboard_ = false;
};

}  // namespace display::detail
