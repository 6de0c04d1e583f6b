#pragma once
// Operations on windows, the calling thread's message queue, timers, painting and input state.
// They follow the window-message model: a stale or null handle makes a call fail (false, 0, null)
// without effect.

#include <cstdint>
#include <span>
#include <string>

#include "display/win_constants.h"
#include "display/win_types.h"

namespace display {

// --- Lifetime and procedure ---------------------------------------------------------------------
// Destroys owned windows first, then sends WM_DESTROY (the window, then its children) and WM_NCDESTROY
// (children first). Afterwards the handle is dead: its queued messages are dropped and its timers gone.
// Safe to call from inside the window's own procedure.
bool DestroyWindow(HWND hwnd);
bool IsWindow(HWND hwnd);  // any thread
LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// GWLP_WNDPROC (replace the procedure: subclassing), GWLP_USERDATA, GWLP_ID, GWL_STYLE, GWL_EXSTYLE.
// Returns the previous value. Style changes update the window's visual state where they matter.
LONG_PTR GetWindowLongPtr(HWND hwnd, int index);
LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value);
// Named window properties (untyped pointers).
bool SetProp(HWND hwnd, const wchar_t* name, void* value);
void* GetProp(HWND hwnd, const wchar_t* name);
void* RemoveProp(HWND hwnd, const wchar_t* name);
HWND GetWindow(HWND hwnd, UINT relation);  // GW_OWNER
HWND GetParent(HWND hwnd);                 // the parent of a child window, else the owner
bool SetWindowText(HWND hwnd, const wchar_t* text);
std::wstring GetWindowText(HWND hwnd);

// --- Messages ------------------------------------------------------------------------------------
// Same-thread only: calls the window procedure at once.
LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Any thread: queues the message for the window's thread and wakes its loop. False for a dead window.
bool PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Retrieves the next message of the calling thread: posted and input messages in order, then WM_QUIT,
// then WM_PAINT for an invalid window, then due WM_TIMERs; waits otherwise. Returns 0 for WM_QUIT, -1
// when the thread has no queue, 1 otherwise. Only a null `filter` is supported.
int GetMessage(MSG* msg, HWND filter = nullptr, UINT min = 0, UINT max = 0);
bool PeekMessage(MSG* msg, HWND filter, UINT min, UINT max, UINT removeFlags);
// Like GetMessage but returns false when nothing arrived within `timeoutMs` (used by pumps that must
// not block past a deadline).
bool GetMessageTimeout(MSG* msg, std::uint32_t timeoutMs, int* result);
// Turns a WM_KEYDOWN into the WM_CHAR messages of the text typed with it.
bool TranslateMessage(const MSG* msg);
LRESULT DispatchMessage(const MSG* msg);
void PostQuitMessage(int exitCode);
// Milliseconds of the calling thread's display clock (virtual under the headless backend), wrapping.
DWORD GetTickCount();

// --- Timers (window thread) ----------------------------------------------------------------------
// WM_TIMER with `id` in wParam every `periodMs`, clamped to [USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM].
// Setting an existing id replaces its period. Returns `id` (or 1 for id 0), 0 on failure. Timers die
// with their window; no WM_TIMER is delivered after KillTimer.
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT periodMs, void* unused = nullptr);
bool KillTimer(HWND hwnd, UINT_PTR id);

// --- Geometry and state --------------------------------------------------------------------------
// SW_HIDE, SW_SHOWNORMAL, SW_SHOW, SW_SHOWNOACTIVATE, SW_SHOWNA, SW_MINIMIZE, SW_SHOWMINIMIZED,
// SW_SHOWMINNOACTIVE, SW_MAXIMIZE, SW_RESTORE, with the messages a window manager causes
// (WM_SHOWWINDOW, WM_GETMINMAXINFO, WM_SIZE with its kind, WM_MOVE, WM_ACTIVATE). Returns whether the
// window was visible before.
bool ShowWindow(HWND hwnd, int command);
bool SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
bool MoveWindow(HWND hwnd, int x, int y, int width, int height, bool repaint);
bool GetWindowRect(HWND hwnd, RECT* rect);  // screen coordinates
bool GetClientRect(HWND hwnd, RECT* rect);  // (0, 0, width, height)
bool ClientToScreen(HWND hwnd, POINT* pt);
bool ScreenToClient(HWND hwnd, POINT* pt);
bool IsWindowVisible(HWND hwnd);
bool IsWindowEnabled(HWND hwnd);
bool IsIconic(HWND hwnd);
bool IsZoomed(HWND hwnd);
// Disabled windows get no mouse or keyboard input; a click on a disabled owner activates its enabled
// owned window instead. Returns whether the window was disabled before.
bool EnableWindow(HWND hwnd, bool enable);
HMONITOR MonitorFromWindow(HWND hwnd, DWORD flags);
bool GetMonitorInfo(HMONITOR monitor, MONITORINFO* info);

// --- Focus, activation, capture, cursor ------------------------------------------------------------
HWND SetFocus(HWND hwnd);  // activates the top-level window when needed; returns the previous focus
HWND GetFocus();
HWND SetActiveWindow(HWND hwnd);
HWND GetActiveWindow();
bool SetForegroundWindow(HWND hwnd);
HWND GetForegroundWindow();
HWND SetCapture(HWND hwnd);
bool ReleaseCapture();
HWND GetCapture();
HCURSOR LoadCursor(void* instance, int id);  // IDC_ARROW, IDC_HAND, IDC_IBEAM, ...
HCURSOR SetCursor(HCURSOR cursor);           // for the window under the mouse
bool GetCursorPos(POINT* pt);
bool TrackMouseEvent(TRACKMOUSEEVENT* tme);  // TME_LEAVE (WM_MOUSELEAVE once), TME_HOVER
std::int16_t GetKeyState(int vk);            // high bit set while VK_SHIFT / VK_CONTROL / VK_MENU is down

// --- Painting --------------------------------------------------------------------------------------
// Invalid rectangles are united; one WM_PAINT is generated when the queue has nothing else to do.
bool InvalidateRect(HWND hwnd, const RECT* rect, bool erase);
bool ValidateRect(HWND hwnd, const RECT* rect);
bool UpdateWindow(HWND hwnd);  // sends WM_PAINT now when invalid
bool GetUpdateRect(HWND hwnd, RECT* rect, bool erase);
cairo_surface_t* BeginPaint(HWND hwnd, PAINTSTRUCT* ps);
bool EndPaint(HWND hwnd, const PAINTSTRUCT* ps);

// --- Regions, opacity, layered windows -----------------------------------------------------------------
HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight);
bool DeleteObject(HRGN region);
bool PtInRegion(HRGN region, int x, int y);
int GetRgnBox(HRGN region, RECT* box);
// The window keeps its own copy of `region` (null removes it): the caller keeps and deletes its object.
int SetWindowRgn(HWND hwnd, HRGN region, bool redraw);
// Copies the window's region into `region`; ERROR_REGION when the window has none.
int GetWindowRgn(HWND hwnd, HRGN region);
// Whole-window opacity (LWA_ALPHA) of a WS_EX_LAYERED window that paints normally.
bool SetLayeredWindowAttributes(HWND hwnd, DWORD colorKey, BYTE alpha, DWORD flags);
// Per-pixel alpha: shows `source` (premultiplied ARGB32, at least size) at `position` with `size`.
// The window then ignores paints. A WS_EX_TRANSPARENT window lets the mouse through.
bool UpdateLayeredWindow(HWND hwnd, const POINT* position, const SIZE* size, cairo_surface_t* source,
                         const POINT* sourcePoint, BYTE constantAlpha);

// --- Icons and fonts ----------------------------------------------------------------------------
// An icon from PNG bytes (sent with WM_SETICON); null when the bytes are not a PNG.
HICON CreateIconFromPng(std::span<const std::uint8_t> png);
bool DestroyIcon(HICON icon);
// A font for the edit window (WM_SETFONT): face, pixel height, weight flags.
HFONT CreateFont(const wchar_t* face, int pixelHeight, bool bold, bool italic, bool underline);
bool DeleteFont(HFONT font);

}  // namespace display
