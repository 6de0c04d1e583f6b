#pragma once
// Message numbers, style bits and codes of the window-message model, with the values the UI code
// relies on (WM_USER + 1000 is 2024, WS_VISIBLE | WS_OVERLAPPEDWINDOW is 0x10CF0000, ...).

#include "display/win_types.h"

namespace display {

// Messages.
inline constexpr UINT WM_NULL = 0x0000, WM_CREATE = 0x0001, WM_DESTROY = 0x0002, WM_MOVE = 0x0003,
                      WM_SIZE = 0x0005, WM_ACTIVATE = 0x0006, WM_SETFOCUS = 0x0007, WM_KILLFOCUS = 0x0008,
                      WM_ENABLE = 0x000A, WM_SETTEXT = 0x000C, WM_GETTEXT = 0x000D, WM_GETTEXTLENGTH = 0x000E,
                      WM_PAINT = 0x000F, WM_CLOSE = 0x0010, WM_QUIT = 0x0012, WM_ERASEBKGND = 0x0014,
                      WM_SHOWWINDOW = 0x0018, WM_SETCURSOR = 0x0020, WM_MOUSEACTIVATE = 0x0021,
                      WM_GETMINMAXINFO = 0x0024, WM_SETFONT = 0x0030, WM_GETFONT = 0x0031,
                      WM_CONTEXTMENU = 0x007B, WM_SETICON = 0x0080, WM_NCCREATE = 0x0081,
                      WM_NCDESTROY = 0x0082, WM_NCCALCSIZE = 0x0083, WM_NCHITTEST = 0x0084,
                      WM_NCPAINT = 0x0085, WM_NCACTIVATE = 0x0086, WM_NCLBUTTONDOWN = 0x00A1,
                      WM_NCLBUTTONUP = 0x00A2, WM_NCLBUTTONDBLCLK = 0x00A3, WM_KEYDOWN = 0x0100,
                      WM_KEYUP = 0x0101, WM_CHAR = 0x0102, WM_SYSKEYDOWN = 0x0104, WM_SYSKEYUP = 0x0105,
                      WM_SYSCHAR = 0x0106, WM_COMMAND = 0x0111, WM_SYSCOMMAND = 0x0112, WM_TIMER = 0x0113,
                      WM_MOUSEMOVE = 0x0200, WM_LBUTTONDOWN = 0x0201, WM_LBUTTONUP = 0x0202,
                      WM_LBUTTONDBLCLK = 0x0203, WM_RBUTTONDOWN = 0x0204, WM_RBUTTONUP = 0x0205,
                      WM_RBUTTONDBLCLK = 0x0206, WM_MBUTTONDOWN = 0x0207, WM_MBUTTONUP = 0x0208,
                      WM_MOUSEWHEEL = 0x020A, WM_CAPTURECHANGED = 0x0215, WM_ENTERSIZEMOVE = 0x0231,
                      WM_EXITSIZEMOVE = 0x0232, WM_MOUSEHOVER = 0x02A1, WM_MOUSELEAVE = 0x02A3,
                      WM_CUT = 0x0300, WM_COPY = 0x0301, WM_PASTE = 0x0302, WM_CLEAR = 0x0303,
                      WM_USER = 0x0400, WM_APP = 0x8000;

// Window styles and extended styles.
inline constexpr DWORD WS_OVERLAPPED = 0x00000000, WS_POPUP = 0x80000000, WS_CHILD = 0x40000000,
                       WS_MINIMIZE = 0x20000000, WS_VISIBLE = 0x10000000, WS_DISABLED = 0x08000000,
                       WS_CLIPSIBLINGS = 0x04000000, WS_CLIPCHILDREN = 0x02000000, WS_MAXIMIZE = 0x01000000,
                       WS_BORDER = 0x00800000, WS_DLGFRAME = 0x00400000, WS_CAPTION = 0x00C00000,
                       WS_SYSMENU = 0x00080000, WS_THICKFRAME = 0x00040000, WS_MINIMIZEBOX = 0x00020000,
                       WS_MAXIMIZEBOX = 0x00010000, WS_OVERLAPPEDWINDOW = 0x00CF0000,
                       WS_POPUPWINDOW = 0x80880000;
inline constexpr DWORD WS_EX_TOPMOST = 0x00000008, WS_EX_TRANSPARENT = 0x00000020,
                       WS_EX_TOOLWINDOW = 0x00000080, WS_EX_APPWINDOW = 0x00040000,
                       WS_EX_LAYERED = 0x00080000, WS_EX_NOACTIVATE = 0x08000000;
inline constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000);

// Class styles.
inline constexpr UINT CS_VREDRAW = 0x0001, CS_HREDRAW = 0x0002, CS_DBLCLKS = 0x0008;

// Window longs and relations.
inline constexpr int GWLP_WNDPROC = -4, GWLP_ID = -12, GWL_STYLE = -16, GWL_EXSTYLE = -20,
                     GWLP_USERDATA = -21;
inline constexpr UINT GW_OWNER = 4;

// Show commands.
inline constexpr int SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_SHOWMINIMIZED = 2, SW_SHOWMAXIMIZED = 3,
                     SW_MAXIMIZE = 3, SW_SHOWNOACTIVATE = 4, SW_SHOW = 5, SW_MINIMIZE = 6,
                     SW_SHOWMINNOACTIVE = 7, SW_SHOWNA = 8, SW_RESTORE = 9;

// SetWindowPos flags.
inline constexpr UINT SWP_NOSIZE = 0x0001, SWP_NOMOVE = 0x0002, SWP_NOZORDER = 0x0004, SWP_NOREDRAW = 0x0008,
                      SWP_NOACTIVATE = 0x0010, SWP_FRAMECHANGED = 0x0020, SWP_SHOWWINDOW = 0x0040,
                      SWP_HIDEWINDOW = 0x0080, SWP_NOOWNERZORDER = 0x0200;

// WM_SIZE kinds, WM_ACTIVATE states, WM_MOUSEACTIVATE answers.
inline constexpr WPARAM SIZE_RESTORED = 0, SIZE_MINIMIZED = 1, SIZE_MAXIMIZED = 2;
inline constexpr WPARAM WA_INACTIVE = 0, WA_ACTIVE = 1, WA_CLICKACTIVE = 2;
inline constexpr LRESULT MA_ACTIVATE = 1, MA_ACTIVATEANDEAT = 2, MA_NOACTIVATE = 3, MA_NOACTIVATEANDEAT = 4;

// Hit-test codes (WM_NCHITTEST answers).
inline constexpr LRESULT HTERROR = -2, HTTRANSPARENT = -1, HTNOWHERE = 0, HTCLIENT = 1, HTCAPTION = 2,
                         HTSYSMENU = 3, HTMINBUTTON = 8, HTMAXBUTTON = 9, HTLEFT = 10, HTRIGHT = 11,
                         HTTOP = 12, HTTOPLEFT = 13, HTTOPRIGHT = 14, HTBOTTOM = 15, HTBOTTOMLEFT = 16,
                         HTBOTTOMRIGHT = 17, HTCLOSE = 20;

// WM_SYSCOMMAND commands (the low four bits carry the sizing edge for SC_SIZE).
inline constexpr WPARAM SC_SIZE = 0xF000, SC_MOVE = 0xF010, SC_MINIMIZE = 0xF020, SC_MAXIMIZE = 0xF030,
                        SC_CLOSE = 0xF060, SC_RESTORE = 0xF120;

// Mouse-key flags in wParam of mouse messages; wheel step.
inline constexpr WPARAM MK_LBUTTON = 0x0001, MK_RBUTTON = 0x0002, MK_SHIFT = 0x0004, MK_CONTROL = 0x0008,
                        MK_MBUTTON = 0x0010;
inline constexpr int WHEEL_DELTA = 120;

// Virtual keys.
inline constexpr UINT VK_BACK = 0x08, VK_TAB = 0x09, VK_RETURN = 0x0D, VK_SHIFT = 0x10, VK_CONTROL = 0x11,
                      VK_MENU = 0x12, VK_ESCAPE = 0x1B, VK_SPACE = 0x20, VK_PRIOR = 0x21, VK_NEXT = 0x22,
                      VK_END = 0x23, VK_HOME = 0x24, VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27,
                      VK_DOWN = 0x28, VK_INSERT = 0x2D, VK_DELETE = 0x2E, VK_F4 = 0x73;
// Key messages: lParam bit 29 says Alt was held.
inline constexpr LPARAM KF_ALTDOWN_LPARAM = 1 << 29;

// Message retrieval.
inline constexpr UINT PM_NOREMOVE = 0x0000, PM_REMOVE = 0x0001;

// Timers: periods are clamped to this range, as the window system does.
inline constexpr UINT USER_TIMER_MINIMUM = 0x0000000A, USER_TIMER_MAXIMUM = 0x7FFFFFFF;

// Mouse tracking.
inline constexpr DWORD TME_HOVER = 0x00000001, TME_LEAVE = 0x00000002, TME_CANCEL = 0x80000000;
inline constexpr DWORD HOVER_DEFAULT = 0xFFFFFFFF;

// Icons, layered windows, message boxes, monitors.
inline constexpr WPARAM ICON_SMALL = 0, ICON_BIG = 1;
inline constexpr DWORD LWA_ALPHA = 0x00000002;
inline constexpr UINT MB_OK = 0x00000000, MB_ICONERROR = 0x00000010;
inline constexpr int IDOK = 1;
inline constexpr DWORD MONITOR_DEFAULTTONEAREST = 0x00000002;

// Region kinds returned by GetWindowRgn.
inline constexpr int ERROR_REGION = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3;

// Standard cursors (LoadCursor with a null instance).
inline constexpr int IDC_ARROW = 32512, IDC_IBEAM = 32513, IDC_WAIT = 32514, IDC_SIZENWSE = 32642,
                     IDC_SIZENESW = 32643, IDC_SIZEWE = 32644, IDC_SIZENS = 32645, IDC_SIZEALL = 32646,
                     IDC_HAND = 32649;

// The single-line edit window (class L"Edit"): styles, messages, notifications (WM_COMMAND to the
// parent with MAKEWPARAM(id, code) and the edit window in lParam).
inline constexpr DWORD ES_LEFT = 0x0000, ES_CENTER = 0x0001, ES_RIGHT = 0x0002, ES_PASSWORD = 0x0020,
                       ES_AUTOHSCROLL = 0x0080, ES_READONLY = 0x0800, ES_NUMBER = 0x2000;
inline constexpr UINT EM_GETSEL = 0x00B0, EM_SETSEL = 0x00B1, EM_REPLACESEL = 0x00C2, EM_LIMITTEXT = 0x00C5,
                      EM_SETLIMITTEXT = 0x00C5, EM_SETPASSWORDCHAR = 0x00CC, EM_SETREADONLY = 0x00CF,
                      EM_SETMARGINS = 0x00D3, EM_GETLIMITTEXT = 0x00D5;
// Colours of the edit window as 0xAARRGGBB (our own messages; the background alpha 0 means "system
// default", white).
inline constexpr UINT EM_SETBKGNDCOLOR = WM_USER + 67, EM_SETTEXTCOLOR = WM_USER + 68;
inline constexpr UINT EN_SETFOCUS = 0x0100, EN_KILLFOCUS = 0x0200, EN_CHANGE = 0x0300, EN_MAXTEXT = 0x0501;
inline constexpr WPARAM EC_LEFTMARGIN = 0x0001, EC_RIGHTMARGIN = 0x0002;

}  // namespace display
