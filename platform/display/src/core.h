#pragma once
// Shared window logic behind every backend: window records, per-thread message queues, timers,
// invalidation and painting, activation and focus, input routing with hit testing and caption drag.

#include <atomic>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "backend.h"
#include "display/display.h"
#include "display/window_api.h"
#include "objects.h"
#include "region.h"

namespace display::detail {

class DisplayCore;

// Per-window state a built-in class keeps (the edit window).
class WindowExtension {
public:
    virtual ~WindowExtension() = default;
};

struct Window {
    std::uint64_t id = 0;
    HWND handle = nullptr;
    DisplayCore* core = nullptr;
    std::shared_ptr<class ThreadQueue> queue;
    std::atomic<bool> alive{true};
    bool destroying = false;

    std::wstring className;
    UINT classStyle = 0;
    HCURSOR classCursor = nullptr;
    WNDPROC proc = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND owner = nullptr;
    HWND parent = nullptr;  // for WS_CHILD windows
    std::vector<HWND> children;
    LONG_PTR userData = 0;
    LONG_PTR controlId = 0;
    std::wstring text;
    std::map<std::wstring, void*> props;

    RECT rect;         // top-level: screen; child: parent's client coordinates
    RECT restoreRect;  // normal placement while minimised or maximised
    bool maximizedBeforeMinimize = false;
    std::unique_ptr<Region> region;  // window coordinates
    BYTE opacity = 255;

    bool invalid = false;
    RECT invalidRect;
    cairo_surface_t* surface = nullptr;   // client backing store (or the layered picture)
    cairo_surface_t* composed = nullptr;  // top-level: the backing store with the children drawn over
    bool layeredPicture = false;          // UpdateLayeredWindow content replaces painting
    NativeId native = 0;
    HICON iconBig = nullptr;
    HICON iconSmall = nullptr;
    DWORD trackFlags = 0;
    std::uint64_t hoverDue = 0;
    std::unique_ptr<WindowExtension> extension;

    bool IsChild() const { return (style & WS_CHILD) != 0; }
    bool Visible() const { return (style & WS_VISIBLE) != 0; }
    bool Enabled() const { return (style & WS_DISABLED) == 0; }
    int Width() const { return rect.right - rect.left; }
    int Height() const { return rect.bottom - rect.top; }
};

struct QueuedMessage {
    MSG msg;
    std::wstring text;  // characters typed with a key-down
};

struct Timer {
    HWND hwnd = nullptr;
    UINT_PTR id = 0;
    std::uint64_t period = 0;
    std::uint64_t due = 0;
};

// One thread's queue. Posting is thread-safe (mutex + eventfd); everything else belongs to the thread.
class ThreadQueue {
public:
    ThreadQueue(DisplayCore* core, std::thread::id thread);
    ~ThreadQueue();
    void Post(QueuedMessage message, bool front = false);
    void PostQuit(int code);
    // Moves out the next posted message, or reports quit; false when there is nothing.
    bool TakePosted(QueuedMessage* out, bool remove);
    bool TakeQuit(int* code);
    void DrainWake();
    int WakeFd() const { return wakeFd_; }
    // Coalesces mouse moves: replaces the last queued WM_MOUSEMOVE for the same window.
    void PostMouseMove(const MSG& msg);

    DisplayCore* const core;
    const std::thread::id thread;
    std::atomic<bool> closed{false};

    // Window-thread state.
    std::vector<Timer> timers;
    std::uint64_t translateSerial = 0;
    std::wstring translateText;
    std::uint64_t nextSerial = 1;

private:
    std::mutex mutex_;
    std::deque<QueuedMessage> posted_;
    bool quit_ = false;
    int quitCode_ = 0;
    int wakeFd_ = -1;
};

// Handle registry: process-wide, so a handle from any display answers IsWindow safely.
std::shared_ptr<Window> LookupWindow(HWND hwnd);
// A live window of the calling thread, or null.
Window* LiveWindow(HWND hwnd);
std::shared_ptr<ThreadQueue> CurrentQueue();

class DisplayCore : public EventSink {
public:
    explicit DisplayCore(std::unique_ptr<Backend> backend);
    ~DisplayCore() override;

    Backend& backend() { return *backend_; }
    std::uint64_t Now() const { return backend_->NowMs(); }
    std::shared_ptr<ThreadQueue> QueueForThisThread();

    // Classes.
    bool RegisterClass(const WNDCLASS& wc);
    bool GetClassInfo(const wchar_t* name, WNDCLASS* out) const;
    HWND CreateWindow(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style, int x,
                      int y, int width, int height, HWND parent, LONG_PTR menu, void* param);

    // Window operations (window thread).
    LRESULT Send(Window* w, UINT msg, WPARAM wParam, LPARAM lParam);
    bool Destroy(Window* w);
    bool Show(Window* w, int command);
    bool SetPos(Window* w, int x, int y, int cx, int cy, UINT flags);
    void ApplyRect(Window* w, const RECT& rect, bool fromSystem);
    RECT ScreenRectOf(const Window* w) const;
    Window* TopLevelOf(Window* w);
    bool EffectivelyVisible(const Window* w) const;
    void SetStyle(Window* w, DWORD style);
    void SetExStyle(Window* w, DWORD exStyle);
    MINMAXINFO MinMaxInfo(Window* w);

    // Focus and activation.
    void Activate(Window* w, WPARAM how, bool fromSystem);
    void Deactivate(Window* w);
    HWND SetFocusTo(Window* w);
    HWND active = nullptr;
    HWND focus = nullptr;
    HWND capture = nullptr;
    HWND mouseWindow = nullptr;   // deepest window under the pointer
    HWND cursorWindow = nullptr;  // top-level whose native window shows the cursor
    POINT cursorScreen;
    unsigned buttons = 0;  // MK_LBUTTON | MK_RBUTTON | MK_MBUTTON
    bool shiftDown = false, controlDown = false, altDown = false;
    int cursorId = 32512;
    void ReleaseCaptureInternal();

    // Painting.
    void Invalidate(Window* w, const RECT* rect);
    bool FindPaint(ThreadQueue* queue, MSG* msg);
    void EnsureSurface(Window* w);
    void Present(Window* w, const RECT& clientArea);
    void ApplyShape(Window* w);

    // Timers and messages.
    bool NextTimer(ThreadQueue* queue, MSG* msg, bool remove);
    std::int64_t MsUntilNextTimer(ThreadQueue* queue) const;
    int Retrieve(MSG* msg, bool remove, bool wait, std::int64_t timeoutMs);
    void PostTo(Window* w, UINT msg, WPARAM wParam, LPARAM lParam, std::wstring text = {});

    // EventSink.
    void OnPointerMove(NativeId id, POINT client, POINT screen) override;
    void OnPointerButton(NativeId id, MouseButton button, bool down, POINT client, POINT screen) override;
    void OnPointerWheel(NativeId id, int delta, POINT screen) override;
    void OnPointerLeave(NativeId id) override;
    void OnModifiers(bool shift, bool control, bool alt) override;
    void OnKey(NativeId id, UINT vk, bool down, const std::wstring& text) override;
    void OnText(NativeId id, const std::wstring& text) override;
    void OnConfigured(NativeId id, const RECT& screenRect) override;
    void OnExposed(NativeId id, const RECT& clientRect) override;
    void OnFocusChanged(NativeId id, bool focused) override;
    void OnCloseRequested(NativeId id) override;
    void OnMoveResizeEnded(NativeId id) override;

    // Interactive move and resize done by the core.
    bool StartMoveResize(Window* w, LRESULT hitCode, POINT pressed);
    void TrackMoveResize(POINT screen);
    void EndMoveResize();

    Window* ByNative(NativeId id);
    Window* ChildAt(Window* top, POINT client, POINT* childClient);
    WPARAM MouseKeyFlags() const;
    std::vector<std::shared_ptr<Window>>& windows() { return windows_; }

private:
    void SetMouseWindow(Window* w);
    void Finalize(Window* w);
    void SendDestroy(Window* w);
    void SendNcDestroy(Window* w);
    void UpdateHover(std::uint64_t now);

    std::unique_ptr<Backend> backend_;
    std::thread::id ownerThread_;
    std::map<std::wstring, WNDCLASS> classes_;      // lower-case names
    std::vector<std::shared_ptr<Window>> windows_;  // creation order; dead ones stay until the end
    std::mutex queuesMutex_;
    std::map<std::thread::id, std::shared_ptr<ThreadQueue>> queues_;

    struct MoveResize {
        HWND hwnd = nullptr;
        LRESULT hit = 0;
        bool bySystem = false;
        POINT start;
        RECT startRect;
    } moveResize_;
    struct LastClick {
        HWND hwnd = nullptr;
        UINT message = 0;
        std::uint64_t time = 0;
        POINT pt;
    } lastClick_;
};

// Built-in edit window procedure (edit/edit_window.cpp).
LRESULT EditWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

std::wstring ToLower(const std::wstring& s);
RECT Intersect(const RECT& a, const RECT& b);
RECT Unite(const RECT& a, const RECT& b);
bool IsEmpty(const RECT& r);

}  // namespace display::detail
