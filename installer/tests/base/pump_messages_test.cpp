#include "utils/pump_messages.h"

#include <display/display.h>
#include <display/headless.h>
#include <display/window_api.h>
#include <gtest/gtest.h>

namespace {

using namespace display;

int timerCount = 0;

LRESULT CountingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_TIMER) {
        ++timerCount;
        if (wParam == 2) {
            DestroyWindow(hwnd);
        }
        return 0;
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

class PumpMessagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        display_ = OpenDisplay("headless", &error);
        ASSERT_TRUE(display_) << error;
        WNDCLASS wc;
        wc.lpszClassName = L"Pumped";
        wc.lpfnWndProc = &CountingProc;
        display_->RegisterClass(wc);
        hwnd_ = display_->CreateWindowEx(0, L"Pumped", L"", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, 0,
                                         nullptr);
        ASSERT_TRUE(hwnd_);
        timerCount = 0;
    }
    std::unique_ptr<Display> display_;
    HWND hwnd_ = nullptr;
};

TEST_F(PumpMessagesTest, DispatchesForAHundredMillisecondsThenReturnsTrue) {
    SetTimer(hwnd_, 1, 30);
    DWORD start = GetTickCount();
    EXPECT_TRUE(Utils::PumpMessages(hwnd_));
    EXPECT_EQ(GetTickCount() - start, 100u);
    EXPECT_EQ(timerCount, 3);
    // With nothing to dispatch it still ends on time instead of waiting for a message.
    KillTimer(hwnd_, 1);
    EXPECT_TRUE(Utils::PumpMessages(nullptr));
}

TEST_F(PumpMessagesTest, QuitIsPostedAgainAndAGoneWindowEndsThePump) {
    PostQuitMessage(3);
    EXPECT_FALSE(Utils::PumpMessages(hwnd_));
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 3u);

    SetTimer(hwnd_, 2, 40);
    EXPECT_FALSE(Utils::PumpMessages(hwnd_));
    EXPECT_FALSE(IsWindow(hwnd_));
}

}  // namespace
