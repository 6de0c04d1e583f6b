#include "fixture.h"

namespace display::testing {
namespace {

using ShowTest = HeadlessTest;

TEST_F(ShowTest, ShowModesSendWhatAWindowManagerWould) {
    Recorder r;
    screen_->SetWorkArea({0, 0, 1280, 760});
    HWND hwnd = Create(&r, 100, 100, 300, 200, WS_POPUP | WS_MAXIMIZEBOX);
    screen_->Pump();

    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_NE(GetActiveWindow(), hwnd);
    EXPECT_EQ(r.Only(WM_SHOWWINDOW).back().wParam, 1u);

    r.log.clear();
    ShowWindow(hwnd, SW_MAXIMIZE);
    EXPECT_TRUE(IsZoomed(hwnd));
    EXPECT_TRUE(GetWindowLongPtr(hwnd, GWL_STYLE) & WS_MAXIMIZE);
    EXPECT_EQ(r.Count(WM_GETMINMAXINFO), 1);
    auto size = r.Only(WM_SIZE).back();
    EXPECT_EQ(size.wParam, SIZE_MAXIMIZED);
    EXPECT_EQ(GET_X_LPARAM(size.lParam), 1280);
    EXPECT_EQ(GET_Y_LPARAM(size.lParam), 760);
    EXPECT_EQ(GetActiveWindow(), hwnd);

    ShowWindow(hwnd, SW_MINIMIZE);
    EXPECT_TRUE(IsIconic(hwnd));
    EXPECT_EQ(r.Only(WM_SIZE).back().wParam, SIZE_MINIMIZED);
    EXPECT_NE(GetActiveWindow(), hwnd);

    ShowWindow(hwnd, SW_RESTORE);  // back to maximised, as it was before
    EXPECT_FALSE(IsIconic(hwnd));
    EXPECT_EQ(r.Only(WM_SIZE).back().wParam, SIZE_MAXIMIZED);

    SendMessage(hwnd, WM_SYSCOMMAND, SC_RESTORE, 0);
    RECT rect;
    GetWindowRect(hwnd, &rect);
    EXPECT_EQ(rect.left, 100);
    EXPECT_EQ(rect.right, 400);
    EXPECT_EQ(r.Only(WM_SIZE).back().wParam, SIZE_RESTORED);
    EXPECT_EQ(GET_X_LPARAM(r.Only(WM_SIZE).back().lParam), 300);

    ShowWindow(hwnd, SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_EQ(r.Only(WM_SHOWWINDOW).back().wParam, 0u);
}

TEST_F(ShowTest, AMaximisedWindowUsesTheMinMaxInfoItIsGiven) {
    Recorder r;
    r.handler = [](HWND, UINT m, WPARAM, LPARAM l) -> std::optional<LRESULT> {
        if (m == WM_GETMINMAXINFO) {
            auto* mmi = reinterpret_cast<MINMAXINFO*>(l);
            mmi->ptMaxPosition = {10, 20};
            mmi->ptMaxSize = {800, 500};
            return 0;
        }
        return std::nullopt;
    };
    HWND hwnd = Create(&r);
    ShowWindow(hwnd, SW_MAXIMIZE);
    RECT rect;
    GetWindowRect(hwnd, &rect);
    EXPECT_EQ(rect.left, 10);
    EXPECT_EQ(rect.top, 20);
    EXPECT_EQ(rect.right, 810);
    EXPECT_EQ(rect.bottom, 520);
}

TEST_F(ShowTest, TheWorkAreaIsTheMonitorsAndHidingTheActiveWindowActivatesItsOwner) {
    screen_->SetWorkArea({0, 30, 1024, 768});
    MONITORINFO info;
    Recorder a, b;
    HWND owner = Create(&a);
    HWND popup = Create(&b, 0, 0, 10, 10, WS_POPUP | WS_VISIBLE, owner);
    ASSERT_TRUE(GetMonitorInfo(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &info));
    EXPECT_EQ(info.rcWork.top, 30);
    EXPECT_EQ(info.rcWork.right, 1024);
    EXPECT_EQ(GetActiveWindow(), popup);
    ShowWindow(popup, SW_HIDE);
    EXPECT_EQ(GetActiveWindow(), owner);
}

TEST_F(ShowTest, IconsTitlesAndMessageBoxesReachTheWindowSystem) {
    Recorder r;
    HWND hwnd = Create(&r);
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 16, 16);
    std::vector<std::uint8_t> png;
    cairo_surface_write_to_png_stream(
        s,
        [](void* closure, const unsigned char* data, unsigned int length) {
            auto* out = static_cast<std::vector<std::uint8_t>*>(closure);
            out->insert(out->end(), data, data + length);
            return CAIRO_STATUS_SUCCESS;
        },
        &png);
    cairo_surface_destroy(s);
    HICON icon = CreateIconFromPng(png);
    ASSERT_NE(icon, nullptr);
    std::vector<std::uint8_t> notPng{1, 2, 3};
    EXPECT_EQ(CreateIconFromPng(notPng), nullptr);
    SendMessage(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessage(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    EXPECT_EQ(screen_->IconCount(hwnd), 2);
    SetWindowText(hwnd, L"消息框");
    EXPECT_EQ(screen_->Title(hwnd), L"消息框");
    display_->MessageBox(nullptr, L"加载资源文件失败", L"SkinUI", MB_ICONERROR);
    EXPECT_EQ(screen_->MessageBoxes(), (std::vector<std::wstring>{L"加载资源文件失败"}));
    DestroyWindow(hwnd);
    DestroyIcon(icon);
}

TEST_F(ShowTest, BackendsAreChosenByName) {
    std::string error;
    EXPECT_EQ(OpenDisplay("wayland", &error), nullptr);
    EXPECT_NE(error.find("unknown display backend"), std::string::npos);
    EXPECT_EQ(display_->BackendName(), "headless");
}

}  // namespace
}  // namespace display::testing
