#include <gtest/gtest.h>

#include <functional>

#include "canvas.h"
#include "skinui/draw_kit.h"
#include "skinui/render_resources.h"

namespace SkinUI {
namespace {

using testing::Canvas;

constexpr std::uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kYellow = 0xFFFFFF00;
constexpr std::uint32_t kGrey = 0xFF808080, kWhite = 0xFFFFFFFF, kBlack = 0xFF000000;
constexpr std::uint32_t kSentinel = 0xFF123456;

// The skin's 8x8 frame: 2-pixel corners red, green, blue, yellow; grey edges; white centre.
std::unique_ptr<Image> Frame() {
    ResourceStore store;
    store.SetSkinArchive7z(true);
    store.LoadSkinResource(kSkinResourceId);
    return DrawKit::LoadImage(store, L"res\\test\\frame.png");
}

std::unique_ptr<Image> Row(std::initializer_list<std::uint32_t> pixels) {
    std::unique_ptr<Image> image = Image::Create(static_cast<int>(pixels.size()), 1);
    int x = 0;
    for (std::uint32_t p : pixels) {
        image->Row(0)[x++] = p;
        image->alpha |= (p >> 24) != 255;
    }
    image->MarkDirty();
    return image;
}

// Compares every pixel of the canvas with `expected`, reporting the first few differences.
void ExpectPixels(const Canvas& canvas, const std::function<std::uint32_t(int, int)>& expected) {
    int failures = 0;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            if (canvas.Pixel(x, y) != expected(x, y) && ++failures <= 5) {
                ADD_FAILURE() << "pixel (" << x << "," << y << ") is " << std::hex << canvas.Pixel(x, y)
                              << ", expected " << expected(x, y);
            }
        }
    }
}

std::uint32_t FrameOnBar(int x, int y, int width, int height, bool hole, std::uint32_t background) {
    bool l = x < 2, r = x >= width - 2, t = y < 2, b = y >= height - 2;
    if (l && t)
        return kRed;
    if (r && t)
        return kGreen;
    if (l && b)
        return kBlue;
    if (r && b)
        return kYellow;
    if (l || r || t || b)
        return kGrey;
    return hole ? background : kWhite;
}

TEST(DrawImageTest, NineGridKeepsCornersOnA410x8Bar) {
    std::unique_ptr<Image> frame = Frame();
    ASSERT_TRUE(frame);
    Canvas canvas(410, 8, kSentinel);
    Rect bar{0, 0, 410, 8};
    DrawKit::DrawImage(canvas.dc(), *frame, bar, bar, {0, 0, 8, 8}, {2, 2, 2, 2}, frame->alpha);
    ExpectPixels(canvas, [](int x, int y) { return FrameOnBar(x, y, 410, 8, false, kSentinel); });
}

TEST(DrawImageTest, HoleLeavesTheCentreUntouched) {
    std::unique_ptr<Image> frame = Frame();
    ASSERT_TRUE(frame);
    Canvas canvas(30, 20, kSentinel);
    Rect all{0, 0, 30, 20};
    DrawKit::DrawImage(canvas.dc(), *frame, all, all, {0, 0, 8, 8}, {2, 2, 2, 2}, false, 255, true);
    ExpectPixels(canvas, [](int x, int y) { return FrameOnBar(x, y, 30, 20, true, kSentinel); });
}

TEST(DrawImageTest, PaintRectangleLimitsEveryPiece) {
    std::unique_ptr<Image> frame = Frame();
    ASSERT_TRUE(frame);
    Canvas canvas(30, 20, kSentinel);
    Rect paint{10, 0, 20, 20};
    DrawKit::DrawImage(canvas.dc(), *frame, {0, 0, 30, 20}, paint, {0, 0, 8, 8}, {2, 2, 2, 2}, false);
    ExpectPixels(canvas, [](int x, int y) {
        return x >= 10 && x < 20 ? FrameOnBar(x, y, 30, 20, false, kSentinel) : kSentinel;
    });
}

TEST(DrawImageTest, StretchingSamplesTheNearestPixel) {
    auto image = Row({kRed, kGreen, kBlue});
    Canvas canvas(6, 2, kSentinel);
    DrawKit::DrawImage(canvas.dc(), *image, {0, 0, 6, 2}, {0, 0, 6, 2}, {0, 0, 3, 1}, {}, false);
    const std::uint32_t expected[] = {kRed, kRed, kGreen, kGreen, kBlue, kBlue};
    ExpectPixels(canvas, [&](int x, int) { return expected[x]; });
}

TEST(DrawImageTest, TilingRepeatsTheCentreAndCutsTheLastTile) {
    auto image = Row({kRed, kGreen, kBlue});
    struct Case {
        bool xTiled;
        std::uint32_t row[8];
    } cases[] = {
        {true, {kRed, kGreen, kBlue, kRed, kGreen, kBlue, kRed, kGreen}},
        {false, {kRed, kRed, kRed, kGreen, kGreen, kBlue, kBlue, kBlue}},
    };
    for (const Case& c : cases) {
        Canvas canvas(8, 3, kSentinel);
        DrawKit::DrawImage(canvas.dc(), *image, {0, 0, 8, 3}, {0, 0, 8, 3}, {0, 0, 3, 1}, {}, false, 255,
                           false, c.xTiled, true);
        ExpectPixels(canvas, [&](int x, int) { return c.row[x]; });
    }
}

TEST(DrawImageTest, FadeAndPerPixelAlphaBlend) {
    auto opaque = Row({kWhite});
    Canvas faded(4, 4, kBlack);
    DrawKit::DrawImage(faded.dc(), *opaque, {0, 0, 2, 4}, {0, 0, 4, 4}, {0, 0, 1, 1}, {}, false, 128);
    std::uint32_t half = faded.Pixel(0, 0);
    EXPECT_EQ(half >> 24, 0xFFu);
    EXPECT_NEAR(static_cast<int>(half & 0xFF), 128, 1);
    EXPECT_EQ(faded.Pixel(3, 3), kBlack);

    auto translucent = Row({0x80800000});  // premultiplied half red
    Canvas blended(2, 2, kWhite);
    DrawKit::DrawImage(blended.dc(), *translucent, {0, 0, 2, 2}, {0, 0, 2, 2}, {0, 0, 1, 1}, {}, true);
    std::uint32_t p = blended.Pixel(1, 1);
    EXPECT_EQ(p >> 16 & 0xFF, 0xFFu);
    EXPECT_NEAR(static_cast<int>(p & 0xFF), 127, 1);

    Canvas invisible(2, 2, kSentinel);
    DrawKit::DrawImage(invisible.dc(), *opaque, {0, 0, 2, 2}, {0, 0, 2, 2}, {0, 0, 1, 1}, {}, false, 0);
    EXPECT_EQ(invisible.CountNot(kSentinel, 0, 0, 2, 2), 0);
}

TEST(DrawImageTest, MaskedPixelStaysTransparent) {
    ResourceStore store;
    store.SetSkinArchive7z(true);
    store.LoadSkinResource(kSkinResourceId);
    std::unique_ptr<Image> button = DrawKit::LoadImage(store, L"res\\test\\button.png", L"", 0xFFFF00FF);
    ASSERT_TRUE(button);
    Canvas canvas(24, 12, kSentinel);
    Rect all{0, 0, 24, 12};
    DrawKit::DrawImage(canvas.dc(), *button, all, all, all, {}, button->alpha);
    EXPECT_EQ(canvas.Pixel(0, 0), kSentinel);
    EXPECT_EQ(canvas.Pixel(23, 11), kSentinel);
    EXPECT_EQ(canvas.Pixel(5, 5), 0xFF3080E0u);
}

// Counts look-ups so that a failed one can be shown not to repeat.
class CountingHost : public RenderResources {
public:
    std::shared_ptr<const Image> FindOrLoadImage(std::wstring_view name, std::wstring_view type, Color mask,
                                                 bool useHsl) override {
        ++lookups;
        return RenderResources::FindOrLoadImage(name, type, mask, useHsl);
    }
    int lookups = 0;
};

TEST(DrawImageAttributeTest, DestinationOffsetOnACheckBox) {
    CountingHost host;
    Canvas canvas(80, 30, kSentinel);
    Rect checkBox{10, 5, 78, 25};  // 68x20
    DrawRecord record(L"color='#FFFF0000' dest='0,2,16,18'");
    ASSERT_TRUE(DrawKit::DrawImageAttribute(canvas.dc(), host, checkBox, {0, 0, 80, 30}, record));
    ExpectPixels(canvas,
                 [](int x, int y) { return x >= 10 && x < 26 && y >= 7 && y < 23 ? kRed : kSentinel; });
    EXPECT_EQ(record.parsed.source, (Rect{0, 0, 1, 1}));
}

TEST(DrawImageAttributeTest, OffsetIsCutToTheControlAndSourceToTheImage) {
    CountingHost host;
    Canvas canvas(20, 20, kSentinel);
    DrawRecord record(L"color='#FF00FF00' dest='5,5,100,100' source='0,0,9,9'");
    ASSERT_TRUE(DrawKit::DrawImageAttribute(canvas.dc(), host, {0, 0, 10, 10}, {0, 0, 20, 20}, record));
    ExpectPixels(canvas,
                 [](int x, int y) { return x >= 5 && x < 10 && y >= 5 && y < 10 ? kGreen : kSentinel; });
}

TEST(DrawImageAttributeTest, FailedLookupIsNotRepeated) {
    CountingHost host;
    Canvas canvas(10, 10, kSentinel);
    DrawRecord record(L"file='res\\nowhere.png'");
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(DrawKit::DrawImageAttribute(canvas.dc(), host, {0, 0, 10, 10}, {0, 0, 10, 10}, record));
    }
    EXPECT_EQ(host.lookups, 1);
    EXPECT_EQ(canvas.CountNot(kSentinel, 0, 0, 10, 10), 0);
}

TEST(DrawImageAttributeTest, OutsideThePaintRectangleDrawsNothing) {
    CountingHost host;
    Canvas canvas(20, 10, kSentinel);
    DrawRecord record(L"color='#FFFF0000'");
    EXPECT_FALSE(DrawKit::DrawImageAttribute(canvas.dc(), host, {0, 0, 10, 10}, {10, 0, 20, 10}, record));
    EXPECT_EQ(canvas.CountNot(kSentinel, 0, 0, 20, 10), 0);
}

}  // namespace
}  // namespace SkinUI
