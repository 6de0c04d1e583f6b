#include "fixture.h"

namespace display::testing {
namespace {

using PaintTest = HeadlessTest;

constexpr std::uint32_t kBlue = 0xFF0000FF, kRed = 0xFFFF0000, kGreen = 0xFF00FF00;

TEST_F(PaintTest, InvalidatedRectanglesAreCoalescedIntoOnePaint) {
    Recorder r;
    std::vector<RECT> painted;
    r.handler = [&](HWND hwnd, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (msg == WM_PAINT) {
            RECT update;
            GetUpdateRect(hwnd, &update, false);
            painted.push_back(update);
            return PaintSolid(hwnd, kBlue);
        }
        return std::nullopt;
    };
    HWND hwnd = Create(&r);
    screen_->Pump();
    ASSERT_EQ(painted.size(), 1u);  // the first paint covers the whole window
    painted.clear();
    RECT a{10, 10, 20, 20}, b{50, 40, 60, 45}, c{15, 5, 30, 12};
    InvalidateRect(hwnd, &a, false);
    InvalidateRect(hwnd, &b, false);
    InvalidateRect(hwnd, &c, false);
    screen_->Pump();
    ASSERT_EQ(painted.size(), 1u);
    EXPECT_EQ(painted[0].left, 10);
    EXPECT_EQ(painted[0].top, 5);
    EXPECT_EQ(painted[0].right, 60);
    EXPECT_EQ(painted[0].bottom, 45);
}

TEST_F(PaintTest, PaintedPixelsReachTheScreenOnlyInsideTheUpdateRectangle) {
    Recorder r;
    std::uint32_t colour = kBlue;
    r.handler = [&](HWND hwnd, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (msg == WM_PAINT) {
            return PaintSolid(hwnd, colour);
        }
        return std::nullopt;
    };
    HWND hwnd = Create(&r, 0, 0, 40, 30);
    screen_->Pump();
    colour = kRed;
    RECT part{10, 10, 20, 15};
    InvalidateRect(hwnd, &part, false);
    screen_->Pump();
    WindowImage image = screen_->Capture(hwnd);
    ASSERT_EQ(image.width, 40);
    ASSERT_EQ(image.height, 30);
    EXPECT_EQ(image.At(0, 0), kBlue);
    EXPECT_EQ(image.At(9, 10), kBlue);
    EXPECT_EQ(image.At(10, 10), kRed);
    EXPECT_EQ(image.At(19, 14), kRed);
    EXPECT_EQ(image.At(20, 14), kBlue);
    EXPECT_EQ(image.At(19, 15), kBlue);
}

TEST_F(PaintTest, AHiddenWindowIsPaintedWhenShown) {
    Recorder r;
    HWND hwnd = Create(&r, 0, 0, 40, 30, WS_POPUP);
    screen_->Pump();
    EXPECT_EQ(r.Count(WM_PAINT), 0);
    ShowWindow(hwnd, SW_SHOWNA);
    screen_->Pump();
    EXPECT_EQ(r.Count(WM_PAINT), 1);
}

TEST_F(PaintTest, ChildWindowsAreDrawnOverTheirParent) {
    Recorder parent, child;
    parent.handler = [&](HWND hwnd, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
        return msg == WM_PAINT ? PaintSolid(hwnd, kBlue) : std::nullopt;
    };
    child.handler = [&](HWND hwnd, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
        return msg == WM_PAINT ? PaintSolid(hwnd, kRed) : std::nullopt;
    };
    HWND top = Create(&parent, 0, 0, 40, 30);
    HWND inner = Create(&child, 10, 5, 8, 6, WS_CHILD | WS_VISIBLE, top);
    screen_->Pump();
    // The parent repaints everything: its child must still show.
    InvalidateRect(top, nullptr, false);
    screen_->Pump();
    WindowImage image = screen_->Capture(top);
    EXPECT_EQ(image.At(9, 5), kBlue);
    EXPECT_EQ(image.At(10, 5), kRed);
    EXPECT_EQ(image.At(17, 10), kRed);
    EXPECT_EQ(image.At(18, 10), kBlue);
    ShowWindow(inner, SW_HIDE);
    screen_->Pump();
    EXPECT_EQ(screen_->Capture(top).At(10, 5), kBlue);
}

TEST_F(PaintTest, ARoundedRegionCutsTheCornersAndCanBeReadBack) {
    Recorder r;
    r.handler = [&](HWND hwnd, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
        return msg == WM_PAINT ? PaintSolid(hwnd, kGreen) : std::nullopt;
    };
    HWND hwnd = Create(&r, 0, 0, 60, 40);
    HRGN rounded = CreateRoundRectRgn(0, 0, 61, 41, 12, 12);
    ASSERT_TRUE(SetWindowRgn(hwnd, rounded, true));
    DeleteObject(rounded);  // the window keeps its own copy
    screen_->Pump();
    struct Case {
        int x, y;
        bool inside;
    } cases[] = {{0, 0, false},  {59, 0, false}, {0, 39, false},  {59, 39, false},
                 {1, 1, false},  {30, 0, true},  {0, 20, true},   {59, 20, true},
                 {30, 39, true}, {6, 6, true},   {60, 20, false}, {30, 40, false}};
    WindowImage image = screen_->Capture(hwnd);
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(GetWindowRgn(hwnd, copy), SIMPLEREGION);
    for (const Case& c : cases) {
        EXPECT_EQ(PtInRegion(copy, c.x, c.y), c.inside) << c.x << "," << c.y;
        if (c.x < 60 && c.y < 40) {
            EXPECT_EQ(image.At(c.x, c.y), c.inside ? kGreen : 0u) << c.x << "," << c.y;
        }
    }
    DeleteObject(copy);
    Recorder plain;
    HWND other = Create(&plain);
    HRGN none = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(other, none), ERROR_REGION);
    DeleteObject(none);
}

TEST_F(PaintTest, LayeredPictureIsShownAsGivenAndTransparentWindowsLetClicksThrough) {
    Recorder below, shadow;
    HWND under = Create(&below, 0, 0, 100, 100);
    HWND layered = Create(&shadow, 0, 0, 0, 0, WS_POPUP, under, WS_EX_LAYERED | WS_EX_TRANSPARENT);
    ASSERT_TRUE(layered);
    ShowWindow(layered, SW_SHOWNA);
    cairo_surface_t* picture = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 50, 50);
    auto* pixels = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(picture));
    for (int i = 0; i < 50 * 50; ++i) {
        pixels[i] = 0x14000000 | (i % 50 == 0 ? 0x000F0000 : 0);  // premultiplied, alpha 20
    }
    cairo_surface_mark_dirty(picture);
    POINT at{20, 20};
    SIZE size{50, 50};
    POINT origin{0, 0};
    ASSERT_TRUE(UpdateLayeredWindow(layered, &at, &size, picture, &origin, 255));
    cairo_surface_destroy(picture);
    screen_->Pump();
    EXPECT_EQ(shadow.Count(WM_PAINT), 0);
    WindowImage image = screen_->Capture(layered);
    ASSERT_EQ(image.width, 50);
    EXPECT_EQ(image.At(0, 3), 0x140F0000u);
    EXPECT_EQ(image.At(1, 3), 0x14000000u);
    RECT rect;
    GetWindowRect(layered, &rect);
    EXPECT_EQ(rect.left, 20);
    EXPECT_EQ(rect.bottom, 70);
    screen_->Click(under, 30, 30);
    EXPECT_EQ(below.Count(WM_LBUTTONDOWN), 1);
    EXPECT_EQ(shadow.Count(WM_LBUTTONDOWN), 0);
    EXPECT_NE(GetActiveWindow(), layered);
}

TEST_F(PaintTest, WholeWindowOpacityNeedsTheLayeredStyle) {
    Recorder r, s;
    HWND plain = Create(&r);
    HWND layered = Create(&s, 0, 0, 10, 10, WS_POPUP | WS_VISIBLE, nullptr, WS_EX_LAYERED);
    EXPECT_FALSE(SetLayeredWindowAttributes(plain, 0, 128, LWA_ALPHA));
    EXPECT_TRUE(SetLayeredWindowAttributes(layered, 0, 128, LWA_ALPHA));
    EXPECT_EQ(screen_->Opacity(layered), 128);
    EXPECT_EQ(screen_->Opacity(plain), 255);
}

}  // namespace
}  // namespace display::testing
