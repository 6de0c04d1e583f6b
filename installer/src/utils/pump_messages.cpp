#include "utils/pump_messages.h"

#include <display/window_api.h>

namespace Utils {

bool PumpMessages(display::HWND window) {
    constexpr display::DWORD kDurationMs = 100;
    const display::DWORD start = display::GetTickCount();
    for (;;) {
        if (window && !display::IsWindow(window)) {
            return false;
        }
        display::DWORD elapsed = display::GetTickCount() - start;
        if (elapsed >= kDurationMs) {
            return true;
        }
        display::MSG msg;
        int result = 0;
        if (!display::GetMessageTimeout(&msg, kDurationMs - elapsed, &result)) {
            if (result < 0) {
                return window == nullptr || display::IsWindow(window);  // no queue on this thread
            }
            continue;  // time is up; the checks above decide
        }
        if (result == 0) {
            display::PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        display::TranslateMessage(&msg);
        display::DispatchMessage(&msg);
    }
}

}  // namespace Utils
