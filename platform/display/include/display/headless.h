#pragma once
// The headless backend is a window-system simulator for tests: windows live in memory, input is
// injected synchronously, a virtual clock drives timers, and each window's pixels can be read back.
//
// Time: the virtual clock moves only by Advance() or when a blocking GetMessage has nothing to do but
// wait for a timer, in which case it jumps to that timer. Actions queued with WhenIdle() run, one per
// wait, before such a jump, so a test can act inside a nested (modal) loop.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "display/win_types.h"

namespace display {

enum class MouseButton { Left, Right, Middle };

// What a window would show on screen: ARGB32 pixels, premultiplied, row-major, width * height.
struct WindowImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

class HeadlessScreen {
public:
    virtual ~HeadlessScreen() = default;

    // Input at screen coordinates, delivered to the topmost visible window there (like a pointer).
    // Each call returns after the resulting messages are queued; Pump() dispatches them.
    virtual void MouseMove(int screenX, int screenY) = 0;
    virtual void MouseDown(MouseButton button) = 0;
    virtual void MouseUp(MouseButton button) = 0;
    virtual void Wheel(int delta) = 0;
    // A key press with the text an input method produced for it (may be empty).
    virtual void KeyDown(UINT vk, const std::wstring& text = L"") = 0;
    virtual void KeyUp(UINT vk) = 0;
    // Text committed by an input method without a key (a composed word).
    virtual void CommitText(const std::wstring& text) = 0;
    // The window manager's close button.
    virtual void RequestClose(HWND topLevel) = 0;
    virtual void SetModifiers(bool shift, bool control, bool alt) = 0;

    // Conveniences: inject, then Pump().
    virtual void Click(HWND hwnd, int clientX, int clientY, MouseButton button = MouseButton::Left) = 0;
    virtual void Drag(HWND hwnd, POINT fromClient, POINT toClient) = 0;
    virtual void Type(const std::wstring& text) = 0;  // one key press per character
    virtual void Press(UINT vk) = 0;                  // key down and up, no text

    // Dispatches every message that is ready now (no clock movement). Returns how many.
    virtual int Pump() = 0;
    // Moves the virtual clock by `ms`, firing timers in order and dispatching as it goes.
    virtual void Advance(std::uint64_t ms) = 0;
    virtual std::uint64_t NowMs() const = 0;
    virtual void WhenIdle(std::function<void()> action) = 0;

    // Window-system state.
    virtual WindowImage Capture(HWND topLevel) const = 0;  // region applied: outside is 0
    virtual bool SavePng(HWND topLevel, const std::string& path) const = 0;
    virtual int CursorId() const = 0;  // IDC_* shown under the pointer
    virtual std::wstring Title(HWND topLevel) const = 0;
    virtual int IconCount(HWND topLevel) const = 0;
    virtual BYTE Opacity(HWND topLevel) const = 0;
    virtual std::vector<std::wstring> MessageBoxes() const = 0;  // texts of boxes shown so far
    virtual void SetWorkArea(const RECT& area) = 0;
    virtual void SetLayeredAvailable(bool available) = 0;
};

}  // namespace display
