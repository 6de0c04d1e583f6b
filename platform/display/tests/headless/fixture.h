#pragma once
// A headless display per test and a window procedure that records messages and lets a test answer
// them.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "display/display.h"
#include "display/headless.h"
#include "display/window_api.h"

namespace display::testing {

struct Seen {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

struct Recorder {
    std::vector<Seen> log;
    std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)> handler;

    std::vector<Seen> Only(UINT message) const {
        std::vector<Seen> out;
        for (const Seen& s : log) {
            if (s.message == message) {
                out.push_back(s);
            }
        }
        return out;
    }
    int Count(UINT message) const { return static_cast<int>(Only(message).size()); }
    // Messages in `interesting`, in the order they arrived.
    std::vector<UINT> Sequence(std::initializer_list<UINT> interesting) const {
        std::vector<UINT> out;
        for (const Seen& s : log) {
            for (UINT m : interesting) {
                if (s.message == m) {
                    out.push_back(m);
                }
            }
        }
        return out;
    }
};

inline LRESULT RecorderProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCT*>(lParam);
        SetWindowLongPtr(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* recorder = reinterpret_cast<Recorder*>(GetWindowLongPtr(hwnd, GWLP_USERDATA));
    if (recorder) {
        recorder->log.push_back({msg, wParam, lParam});
        if (recorder->handler) {
            if (auto result = recorder->handler(hwnd, msg, wParam, lParam)) {
                return *result;
            }
        }
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

// Fills the update rectangle with one opaque colour on every WM_PAINT.
inline std::optional<LRESULT> PaintSolid(HWND hwnd, std::uint32_t argb) {
    PAINTSTRUCT ps;
    BeginPaint(hwnd, &ps);
    cairo_t* cr = cairo_create(ps.surface);
    cairo_rectangle(cr, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
                    ps.rcPaint.bottom - ps.rcPaint.top);
    cairo_set_source_rgba(cr, ((argb >> 16) & 0xFF) / 255.0, ((argb >> 8) & 0xFF) / 255.0,
                          (argb & 0xFF) / 255.0, (argb >> 24) / 255.0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_fill(cr);
    cairo_destroy(cr);
    EndPaint(hwnd, &ps);
    return 0;
}

class HeadlessTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        display_ = OpenDisplay("headless", &error);
        ASSERT_TRUE(display_) << error;
        WNDCLASS wc;
        wc.lpszClassName = L"Recorder";
        wc.lpfnWndProc = &RecorderProc;
        wc.style = CS_DBLCLKS;
        ASSERT_TRUE(display_->RegisterClass(wc));
        screen_ = display_->Headless();
        ASSERT_NE(screen_, nullptr);
    }

    HWND Create(Recorder* recorder, int x = 100, int y = 100, int width = 200, int height = 150,
                DWORD style = WS_POPUP | WS_VISIBLE, HWND parent = nullptr, DWORD exStyle = 0) {
        return display_->CreateWindowEx(exStyle, L"Recorder", L"test", style, x, y, width, height, parent, 0,
                                        recorder);
    }

    std::unique_ptr<Display> display_;
    HeadlessScreen* screen_ = nullptr;
};

}  // namespace display::testing
