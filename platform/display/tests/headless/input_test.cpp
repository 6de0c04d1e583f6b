#include "fixture.h"

namespace display::testing {
namespace {

using InputTest = HeadlessTest;

// A skinned window's answer: a caption strip on top, resize borders of 4 pixels.
std::optional<LRESULT> SkinHitTest(HWND hwnd, UINT msg, LPARAM lp) {
    if (msg != WM_NCHITTEST) {
        return std::nullopt;
    }
    POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    ScreenToClient(hwnd, &pt);
    RECT rc;
    GetClientRect(hwnd, &rc);
    if (pt.x >= rc.right - 4 && pt.y >= rc.bottom - 4) {
        return HTBOTTOMRIGHT;
    }
    return pt.y < 30 ? HTCAPTION : HTCLIENT;
}

TEST_F(InputTest, ClicksArriveInClientCoordinatesAfterAHitTestInScreenCoordinates) {
    Recorder r;
    HWND hwnd = Create(&r, 100, 50);
    screen_->Click(hwnd, 12, 34);
    auto hits = r.Only(WM_NCHITTEST);
    ASSERT_FALSE(hits.empty());
    EXPECT_EQ(GET_X_LPARAM(hits.back().lParam), 112);
    EXPECT_EQ(GET_Y_LPARAM(hits.back().lParam), 84);
    auto downs = r.Only(WM_LBUTTONDOWN);
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(GET_X_LPARAM(downs[0].lParam), 12);
    EXPECT_EQ(GET_Y_LPARAM(downs[0].lParam), 34);
    EXPECT_EQ(downs[0].wParam & MK_LBUTTON, MK_LBUTTON);
    EXPECT_EQ(r.Count(WM_LBUTTONUP), 1);
}

TEST_F(InputTest, ASecondQuickClickIsADoubleClick) {
    Recorder r;
    HWND hwnd = Create(&r);
    screen_->Click(hwnd, 10, 10);
    screen_->Advance(200);
    screen_->Click(hwnd, 11, 10);
    EXPECT_EQ(r.Count(WM_LBUTTONDBLCLK), 1);
    screen_->Advance(600);
    screen_->Click(hwnd, 11, 10);
    EXPECT_EQ(r.Count(WM_LBUTTONDBLCLK), 1);
    EXPECT_EQ(r.Count(WM_LBUTTONDOWN), 2);
}

TEST_F(InputTest, DraggingTheCaptionMovesTheWindowAndEndsTheMove) {
    Recorder r;
    r.handler = [](HWND h, UINT m, WPARAM, LPARAM l) { return SkinHitTest(h, m, l); };
    HWND hwnd = Create(&r, 100, 100, 200, 150);
    screen_->Drag(hwnd, {50, 10}, {80, 50});
    RECT rect;
    GetWindowRect(hwnd, &rect);
    EXPECT_EQ(rect.left, 130);
    EXPECT_EQ(rect.top, 140);
    EXPECT_EQ(rect.right - rect.left, 200);
    auto moves = r.Only(WM_MOVE);
    ASSERT_FALSE(moves.empty());
    EXPECT_EQ(GET_X_LPARAM(moves.back().lParam), 130);
    EXPECT_EQ(r.Sequence({WM_ENTERSIZEMOVE, WM_EXITSIZEMOVE}),
              (std::vector<UINT>{WM_ENTERSIZEMOVE, WM_EXITSIZEMOVE}));
    EXPECT_EQ(r.Count(WM_LBUTTONDOWN), 0);
    // In the client area the same drag is plain mouse input.
    screen_->Drag(hwnd, {50, 80}, {80, 120});
    GetWindowRect(hwnd, &rect);
    EXPECT_EQ(rect.left, 130);
    EXPECT_EQ(r.Count(WM_LBUTTONDOWN), 1);
}

TEST_F(InputTest, ResizingByTheBorderRespectsTheMinimumTrackingSize) {
    Recorder r;
    r.handler = [](HWND h, UINT m, WPARAM, LPARAM l) -> std::optional<LRESULT> {
        if (m == WM_GETMINMAXINFO) {
            reinterpret_cast<MINMAXINFO*>(l)->ptMinTrackSize = {150, 120};
            return 0;
        }
        return SkinHitTest(h, m, l);
    };
    HWND hwnd = Create(&r, 0, 0, 200, 150);
    screen_->Drag(hwnd, {198, 148}, {228, 178});
    RECT rect;
    GetWindowRect(hwnd, &rect);
    EXPECT_EQ(rect.right, 230);
    EXPECT_EQ(rect.bottom, 180);
    auto sizes = r.Only(WM_SIZE);
    EXPECT_EQ(GET_X_LPARAM(sizes.back().lParam), 230);
    screen_->Drag(hwnd, {228, 178}, {10, 10});
    GetWindowRect(hwnd, &rect);
    EXPECT_EQ(rect.right - rect.left, 150);
    EXPECT_EQ(rect.bottom - rect.top, 120);
}

TEST_F(InputTest, ADisabledOwnerGetsNoInputAndBringsItsModalWindowForward) {
    Recorder owner, modal;
    HWND main = Create(&owner, 0, 0, 300, 300);
    HWND box = Create(&modal, 400, 0, 100, 100, WS_POPUP | WS_VISIBLE, main);
    EnableWindow(main, false);
    SetActiveWindow(main);
    EXPECT_EQ(GetActiveWindow(), box);  // a disabled window cannot be activated
    SetFocus(nullptr);
    screen_->Click(main, 50, 50);
    screen_->Type(L"x");
    EXPECT_EQ(owner.Count(WM_LBUTTONDOWN), 0);
    EXPECT_EQ(owner.Count(WM_KEYDOWN), 0);
    EXPECT_EQ(GetActiveWindow(), box);
    EnableWindow(main, true);
    screen_->Click(main, 50, 50);
    EXPECT_EQ(owner.Count(WM_LBUTTONDOWN), 1);
    EXPECT_EQ(GetActiveWindow(), main);
}

TEST_F(InputTest, KeysCarryTheirTextAsCharactersAfterTranslation) {
    Recorder r;
    HWND hwnd = Create(&r);
    screen_->Pump();
    EXPECT_EQ(GetFocus(), hwnd);
    screen_->Type(L"aB");
    screen_->KeyDown(VK_LEFT);
    screen_->CommitText(L"中文");
    screen_->Pump();
    auto keys = r.Only(WM_KEYDOWN);
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[0].wParam, static_cast<WPARAM>('A'));
    EXPECT_EQ(keys[1].wParam, static_cast<WPARAM>('B'));
    EXPECT_EQ(keys[2].wParam, static_cast<WPARAM>(VK_LEFT));
    std::wstring chars;
    for (const Seen& s : r.Only(WM_CHAR)) {
        chars += static_cast<wchar_t>(s.wParam);
    }
    EXPECT_EQ(chars, L"aB中文");
    auto order = r.Sequence({WM_KEYDOWN, WM_CHAR, WM_KEYUP});
    ASSERT_GE(order.size(), 3u);
    EXPECT_EQ(std::vector<UINT>(order.begin(), order.begin() + 3),
              (std::vector<UINT>{WM_KEYDOWN, WM_CHAR, WM_KEYUP}));
}

TEST_F(InputTest, AltF4AndTheWindowManagersCloseBecomeWmClose) {
    for (bool altF4 : {true, false}) {
        Recorder r;
        HWND hwnd = Create(&r);
        screen_->Pump();
        if (altF4) {
            screen_->SetModifiers(false, false, true);
            screen_->Press(VK_F4);
            screen_->SetModifiers(false, false, false);
        } else {
            screen_->RequestClose(hwnd);
            screen_->Pump();
        }
        EXPECT_EQ(r.Sequence({WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY}),
                  (std::vector<UINT>{WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY}))
            << altF4;
        EXPECT_EQ(r.Only(WM_SYSCOMMAND).front().wParam, SC_CLOSE);
        EXPECT_FALSE(IsWindow(hwnd));
    }
}

TEST_F(InputTest, LeavingATrackedWindowSendsOneMouseLeave) {
    Recorder a, b;
    HWND left = Create(&a, 0, 0, 100, 100);
    HWND right = Create(&b, 200, 0, 100, 100);
    a.handler = [&](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_MOUSEMOVE) {
            TRACKMOUSEEVENT tme;
            tme.dwFlags = TME_LEAVE;
            tme.hwndTrack = h;
            TrackMouseEvent(&tme);
        }
        return std::nullopt;
    };
    screen_->MouseMove(10, 10);
    screen_->Pump();
    screen_->MouseMove(20, 10);
    screen_->Pump();
    EXPECT_EQ(a.Count(WM_MOUSELEAVE), 0);
    EXPECT_EQ(a.Count(WM_MOUSEHOVER), 0);
    TRACKMOUSEEVENT hover;
    hover.dwFlags = TME_HOVER;
    hover.hwndTrack = left;
    hover.dwHoverTime = HOVER_DEFAULT;
    TrackMouseEvent(&hover);
    MSG msg;
    ASSERT_GT(GetMessage(&msg), 0);  // the clock runs on to the hover time
    EXPECT_EQ(msg.message, WM_MOUSEHOVER);
    EXPECT_EQ(GET_X_LPARAM(msg.lParam), 20);
    DispatchMessage(&msg);
    screen_->MouseMove(250, 10);
    screen_->Pump();
    EXPECT_EQ(a.Count(WM_MOUSELEAVE), 1);
    EXPECT_EQ(b.Count(WM_MOUSEMOVE), 1);
    (void)right;
}

TEST_F(InputTest, TheCursorFollowsWhatTheWindowAnswersToSetCursor) {
    Recorder r;
    r.handler = [](HWND, UINT m, WPARAM, LPARAM l) -> std::optional<LRESULT> {
        if (m == WM_SETCURSOR && LOWORD(static_cast<std::uintptr_t>(l)) == HTCLIENT) {
            SetCursor(LoadCursor(nullptr, IDC_HAND));
            return 1;
        }
        return SkinHitTest(GetActiveWindow(), m, l);
    };
    HWND hwnd = Create(&r, 0, 0, 200, 150);
    screen_->Pump();
    POINT p{50, 50};
    ClientToScreen(hwnd, &p);
    screen_->MouseMove(p.x, p.y);
    EXPECT_EQ(screen_->CursorId(), IDC_HAND);
    screen_->MouseMove(199, 149);  // the resize corner
    EXPECT_EQ(screen_->CursorId(), IDC_SIZENWSE);
}

TEST_F(InputTest, FocusAndActivationMovesSendTheirPairs) {
    Recorder a, b, c;
    HWND first = Create(&a, 0, 0, 100, 100);
    HWND child = Create(&c, 10, 10, 20, 20, WS_CHILD | WS_VISIBLE, first);
    HWND second = Create(&b, 200, 0, 100, 100);
    screen_->Pump();
    EXPECT_EQ(GetActiveWindow(), second);
    a.log.clear();
    EXPECT_EQ(SetFocus(child), second);
    EXPECT_EQ(GetActiveWindow(), first);
    EXPECT_EQ(GetFocus(), child);
    auto activations = b.Only(WM_ACTIVATE);
    ASSERT_FALSE(activations.empty());
    EXPECT_EQ(LOWORD(activations.back().wParam), WA_INACTIVE);
    EXPECT_EQ(b.Count(WM_KILLFOCUS), 1);
    EXPECT_EQ(c.Count(WM_SETFOCUS), 1);
    screen_->Click(second, 50, 50);
    EXPECT_EQ(GetActiveWindow(), second);
    EXPECT_EQ(c.Count(WM_KILLFOCUS), 1);
    EXPECT_EQ(LOWORD(b.Only(WM_ACTIVATE).back().wParam), WA_CLICKACTIVE);
}

TEST_F(InputTest, CaptureKeepsTheMouseOutsideTheWindowAndWheelGoesToTheFocus) {
    Recorder r;
    r.handler = [](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_LBUTTONDOWN) {
            SetCapture(h);
        } else if (m == WM_LBUTTONUP) {
            ReleaseCapture();
        }
        return std::nullopt;
    };
    HWND hwnd = Create(&r, 100, 100, 50, 50);
    screen_->MouseMove(110, 110);
    screen_->MouseDown(MouseButton::Left);
    screen_->Pump();
    EXPECT_EQ(GetCapture(), hwnd);
    screen_->MouseMove(90, 300);
    screen_->Pump();
    auto moves = r.Only(WM_MOUSEMOVE);
    EXPECT_EQ(GET_X_LPARAM(moves.back().lParam), -10);
    EXPECT_EQ(GET_Y_LPARAM(moves.back().lParam), 200);
    screen_->MouseUp(MouseButton::Left);
    screen_->Pump();
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(r.Count(WM_CAPTURECHANGED), 1);
    screen_->MouseMove(120, 120);
    screen_->Wheel(-WHEEL_DELTA);
    screen_->Pump();
    auto wheels = r.Only(WM_MOUSEWHEEL);
    ASSERT_EQ(wheels.size(), 1u);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheels[0].wParam), -120);
    EXPECT_EQ(GET_X_LPARAM(wheels[0].lParam), 120);
}

}  // namespace
}  // namespace display::testing
