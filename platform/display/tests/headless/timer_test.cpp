#include "fixture.h"

namespace display::testing {
namespace {

using TimerTest = HeadlessTest;

TEST_F(TimerTest, TimersFireOnTheVirtualClockWithTheirIdAndStopWhenKilled) {
    Recorder a, b;
    HWND first = Create(&a);
    HWND second = Create(&b);
    screen_->Pump();
    // Ids are per window: both use 2100.
    ASSERT_EQ(SetTimer(first, 2100, 30), 2100u);
    ASSERT_EQ(SetTimer(second, 2100, 50), 2100u);
    screen_->Advance(150);
    EXPECT_EQ(a.Count(WM_TIMER), 5);
    EXPECT_EQ(b.Count(WM_TIMER), 3);
    EXPECT_EQ(a.Only(WM_TIMER).front().wParam, 2100u);
    EXPECT_TRUE(KillTimer(first, 2100));
    EXPECT_FALSE(KillTimer(first, 2100));
    screen_->Advance(150);
    EXPECT_EQ(a.Count(WM_TIMER), 5);
    EXPECT_EQ(b.Count(WM_TIMER), 6);
}

TEST_F(TimerTest, PeriodsAreClampedLikeTheWindowSystemDoes) {
    struct Case {
        UINT period;
        std::uint64_t silentFor;  // no WM_TIMER before this
    } cases[] = {{0xFFFFFFFF, USER_TIMER_MAXIMUM}, {1, USER_TIMER_MINIMUM}, {0, USER_TIMER_MINIMUM}};
    for (const Case& c : cases) {
        Recorder r;
        HWND hwnd = Create(&r);
        screen_->Pump();
        SetTimer(hwnd, 4396, c.period);
        screen_->Advance(c.silentFor - 1);
        EXPECT_EQ(r.Count(WM_TIMER), 0) << c.period;
        screen_->Advance(1);
        EXPECT_EQ(r.Count(WM_TIMER), 1) << c.period;
        DestroyWindow(hwnd);
    }
}

TEST_F(TimerTest, SettingAnExistingIdReplacesItsPeriod) {
    Recorder r;
    HWND hwnd = Create(&r);
    SetTimer(hwnd, 11, 100);
    SetTimer(hwnd, 11, 40);
    screen_->Advance(120);
    EXPECT_EQ(r.Count(WM_TIMER), 3);
}

TEST_F(TimerTest, TimersDieWithTheirWindowAndNoneIsDeliveredLate) {
    Recorder r;
    HWND hwnd = Create(&r);
    SetTimer(hwnd, 1, 10);
    r.handler = [&](HWND h, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (msg == WM_TIMER) {
            DestroyWindow(h);
            return 0;
        }
        return std::nullopt;
    };
    screen_->Advance(100);
    EXPECT_EQ(r.Count(WM_TIMER), 1);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(SetTimer(hwnd, 1, 10), 0u);
}

TEST_F(TimerTest, ABlockingLoopJumpsTheClockToTheNextTimer) {
    Recorder r;
    HWND hwnd = Create(&r);
    screen_->Pump();
    std::uint64_t start = screen_->NowMs();
    SetTimer(hwnd, 3, 2500);
    MSG msg;
    ASSERT_GT(GetMessage(&msg), 0);
    EXPECT_EQ(msg.message, WM_TIMER);
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_EQ(screen_->NowMs() - start, 2500u);
    EXPECT_EQ(GetTickCount(), static_cast<DWORD>(screen_->NowMs()));
}

}  // namespace
}  // namespace display::testing
