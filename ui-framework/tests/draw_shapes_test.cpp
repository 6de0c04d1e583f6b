#include <gtest/gtest.h>

#include "canvas.h"
#include "skinui/draw_kit.h"

namespace SkinUI {
namespace {

using testing::Canvas;

constexpr std::uint32_t kWhite = 0xFFFFFFFF, kBlack = 0xFF000000, kSentinel = 0xFF123456;

int Channel(std::uint32_t pixel, int shift) {
    return static_cast<int>(pixel >> shift & 0xFF);
}

TEST(DrawColorTest, AlphaDecides) {
    struct Case {
        Color color;
        std::uint32_t background;
        int red, green, blue;  // expected inside; -1: untouched
    } cases[] = {
        {0x00FFFFFF, kBlack, -1, -1, -1},        // alpha 0 draws nothing
        {0x80000000, kWhite, 127, 127, 127},     // darkens by half
        {0xFF336699, kWhite, 0x33, 0x66, 0x99},  // opaque
        {0x80FFFFFF, kBlack, 128, 128, 128},     // lightens by half, not to white
    };
    for (const Case& c : cases) {
        Canvas canvas(10, 10, c.background);
        DrawKit::DrawColor(canvas.dc(), {2, 2, 8, 8}, c.color);
        std::uint32_t inside = canvas.Pixel(5, 5);
        if (c.red < 0) {
            EXPECT_EQ(inside, c.background) << std::hex << c.color;
        } else {
            EXPECT_EQ(inside >> 24, 0xFFu);
            EXPECT_NEAR(Channel(inside, 16), c.red, 1) << std::hex << c.color;
            EXPECT_NEAR(Channel(inside, 8), c.green, 1) << std::hex << c.color;
            EXPECT_NEAR(Channel(inside, 0), c.blue, 1) << std::hex << c.color;
            EXPECT_EQ(canvas.CountNot(inside, 2, 2, 8, 8), 0);
        }
        EXPECT_EQ(canvas.Pixel(1, 1), c.background);
        EXPECT_EQ(canvas.Pixel(8, 8), c.background);
    }
}

TEST(DrawGradientTest, RunsFromFirstToSecondColour) {
    Canvas vertical(4, 64, kSentinel);
    DrawKit::DrawGradient(vertical.dc(), {0, 0, 4, 64}, 0xFF000000, 0xFFFFFFFF, true, 64);
    EXPECT_LE(Channel(vertical.Pixel(0, 0), 0), 4);
    EXPECT_GE(Channel(vertical.Pixel(0, 63), 0), 251);
    for (int y = 1; y < 64; ++y) {
        EXPECT_GE(Channel(vertical.Pixel(2, y), 8), Channel(vertical.Pixel(2, y - 1), 8));
    }
    EXPECT_EQ(vertical.Pixel(0, 10), vertical.Pixel(3, 10));  // constant across

    Canvas horizontal(64, 2, kSentinel);
    DrawKit::DrawGradient(horizontal.dc(), {0, 0, 64, 2}, 0xFFFF0000, 0xFF0000FF, false, 2);
    EXPECT_GE(Channel(horizontal.Pixel(0, 0), 16), 251);
    EXPECT_GE(Channel(horizontal.Pixel(63, 1), 0), 251);

    Canvas invisible(8, 8, kSentinel);
    DrawKit::DrawGradient(invisible.dc(), {0, 0, 8, 8}, 0x01000000, 0x00FFFFFF, true, 8);  // mean alpha 0
    EXPECT_EQ(invisible.CountNot(kSentinel, 0, 0, 8, 8), 0);

    Canvas half(8, 8, kBlack);
    DrawKit::DrawGradient(half.dc(), {0, 0, 8, 8}, 0x80FFFFFF, 0x80FFFFFF, true, 8);
    EXPECT_NEAR(Channel(half.Pixel(4, 4), 0), 128, 1);
}

TEST(OutlineTest, RectangleStaysInsideItsFrame) {
    for (int pen : {1, 2}) {
        Canvas canvas(12, 12, kSentinel);
        DrawKit::DrawRect(canvas.dc(), {2, 2, 10, 10}, pen, 0x80FF0000);  // alpha is dropped
        for (int y = 0; y < 12; ++y) {
            for (int x = 0; x < 12; ++x) {
                bool inside = x >= 2 && x < 10 && y >= 2 && y < 10;
                bool onPen = inside && (x < 2 + pen || x >= 10 - pen || y < 2 + pen || y >= 10 - pen);
                EXPECT_EQ(canvas.Pixel(x, y), onPen ? 0xFFFF0000u : kSentinel) << pen << " " << x << "," << y;
            }
        }
    }
}

TEST(OutlineTest, LineExcludesItsLastPoint) {
    Canvas canvas(10, 3, kSentinel);
    DrawKit::DrawLine(canvas.dc(), {1, 1, 7, 1}, 1, 0xFF00FF00);
    for (int x = 0; x < 10; ++x) {
        EXPECT_EQ(canvas.Pixel(x, 1), x >= 1 && x < 7 ? 0xFF00FF00u : kSentinel) << x;
    }
    EXPECT_EQ(canvas.CountNot(kSentinel, 0, 0, 10, 1), 0);
    EXPECT_EQ(canvas.CountNot(kSentinel, 0, 2, 10, 3), 0);
}

TEST(OutlineTest, NullPenDrawsNothingAndDashesLeaveGaps) {
    Canvas canvas(40, 4, kSentinel);
    DrawKit::DrawRect(canvas.dc(), {0, 0, 40, 4}, 1, kBlack, PS_NULL);
    EXPECT_EQ(canvas.CountNot(kSentinel, 0, 0, 40, 4), 0);
    DrawKit::DrawLine(canvas.dc(), {0, 1, 40, 1}, 1, kBlack, PS_DOT);
    int inked = 40 - canvas.CountNot(kBlack, 0, 1, 40, 2);
    EXPECT_GT(inked, 10);
    EXPECT_LT(inked, 30);
}

TEST(OutlineTest, RoundRectSparesItsCorners) {
    Canvas canvas(20, 20, kSentinel);
    DrawKit::DrawRoundRect(canvas.dc(), {0, 0, 20, 20}, 1, 8, 8, kBlack);
    EXPECT_EQ(canvas.Pixel(0, 0), kSentinel);
    EXPECT_EQ(canvas.Pixel(10, 0), kBlack);
    EXPECT_EQ(canvas.Pixel(0, 10), kBlack);
    EXPECT_EQ(canvas.Pixel(19, 10), kBlack);
    EXPECT_EQ(canvas.Pixel(10, 10), kSentinel);
}

TEST(ClipTest, ClipsEndWithTheirScope) {
    Canvas canvas(20, 20, kSentinel);
    {
        RectClip clip(canvas.dc(), {0, 0, 10, 20}, {0, 0, 20, 20});
        DrawKit::DrawColor(canvas.dc(), {0, 0, 20, 20}, kBlack);
    }
    EXPECT_EQ(canvas.CountNot(kBlack, 0, 0, 10, 20), 0);
    EXPECT_EQ(canvas.CountNot(kSentinel, 10, 0, 20, 20), 0);
    {
        RoundRectClip clip(canvas.dc(), {0, 0, 20, 20}, {0, 0, 20, 20}, 10, 10);
        DrawKit::DrawColor(canvas.dc(), {0, 0, 20, 20}, kWhite);
    }
    EXPECT_EQ(canvas.Pixel(0, 0), kBlack);  // the rounded corner kept the old pixel
    EXPECT_EQ(canvas.Pixel(19, 19), kSentinel);
    EXPECT_EQ(canvas.Pixel(10, 10), kWhite);
    DrawKit::DrawColor(canvas.dc(), {0, 0, 20, 20}, 0xFF00FF00);  // no clip any more
    EXPECT_EQ(canvas.CountNot(0xFF00FF00, 0, 0, 20, 20), 0);
}

}  // namespace
}  // namespace SkinUI
