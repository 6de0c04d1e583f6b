#pragma once
// Keeps the calling thread's window messages flowing for a short while (about 100 ms), for example
// before handing the screen to another program.

#include <display/win_types.h>

namespace Utils {

// Dispatches the calling thread's messages until 100 ms have passed, as long as `window` is null or
// still exists. A WM_QUIT is posted again and ends the pump with false; a window that goes away ends
// it with false; otherwise true. Runs on the thread that owns the window. Never waits past the
// 100 ms, even when no message arrives.
bool PumpMessages(display::HWND window);

}  // namespace Utils
