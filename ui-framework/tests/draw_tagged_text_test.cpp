#include <gtest/gtest.h>

#include "canvas.h"
#include "skinui/draw_kit.h"
#include "skinui/render_resources.h"

namespace SkinUI {
namespace {

using testing::Canvas;

constexpr std::uint32_t kWhite = 0xFFFFFFFF;

struct TaggedTextTest : ::testing::Test {
    TaggedTextTest() {
        store.SetSkinArchive7z(true);
        store.LoadSkinResource(kSkinResourceId);
        host.AddFont(1, L"微软雅黑", 14, false, false, false, false);
        host.AddFont(2, L"微软雅黑", 28, false, false, false, false);
    }

    Rect Measure(const wchar_t* text, unsigned format = 0, int width = 1000) {
        Rect rect{0, 0, width, 400};
        DrawKit::DrawTaggedText(canvas.dc(), host, rect, text, 0xFF000000, nullptr, 1, format | DT_CALCRECT);
        return rect;
    }
    Rect MeasurePlain(const wchar_t* text) {
        Rect rect{0, 0, 1000, 400};
        DrawKit::DrawText(canvas.dc(), host, rect, text, 0xFF000000, 1, DT_CALCRECT);
        return rect;
    }
    // Pixels touched when `text` is drawn on a fresh canvas (the CJK face has no bold of its own:
    // pango emboldens it, which adds ink but no width).
    int Ink(const wchar_t* text) {
        Canvas fresh(300, 60, kWhite);
        Rect rect{0, 0, 300, 60};
        DrawKit::DrawTaggedText(fresh.dc(), host, rect, text, 0xFF000000, nullptr, 1, DT_SINGLELINE);
        return fresh.CountNot(kWhite, 0, 0, 300, 60);
    }
    int CountPixels(std::uint32_t value) const {
        return canvas.width() * canvas.height() -
               canvas.CountNot(value, 0, 0, canvas.width(), canvas.height());
    }

    ResourceStore store;
    ImageCache images;
    FontTable fonts;
    LanguageTexts texts;
    RenderResources host{store, images, fonts, texts};
    Canvas canvas{300, 120, kWhite};
};

TEST_F(TaggedTextTest, TagsChangeTheTextTheyEnclose) {
    EXPECT_GT(Ink(L"<b>Install now</b>"), Ink(L"Install now") * 11 / 10);
    EXPECT_EQ(Measure(L"{b}Install now{/b}"), Measure(L"<b>Install now</b>"));
    EXPECT_GT(Measure(L"<f 2>Install</f>").Height(), Measure(L"Install").Height());
    EXPECT_EQ(Measure(L"<f 微软雅黑 28 bold>Install</f>").Height(), Measure(L"<f 2>Install</f>").Height());
    EXPECT_GT(Ink(L"<f 微软雅黑 28 bold>Install</f>"), Ink(L"<f 2>Install</f>") * 11 / 10);
    EXPECT_EQ(Measure(L"<u>Install</u> <s>now</s>").Width(), MeasurePlain(L"Install now").Width());
    EXPECT_EQ(Measure(L"A<x 20>B").Width(), MeasurePlain(L"AB").Width() + 20);
}

TEST_F(TaggedTextTest, WhatIsNoTagIsText) {
    struct Case {
        const wchar_t* tagged;
        const wchar_t* plain;
    } cases[] = {
        {L"a < b", L"a < b"},
        {L"<B>x</B>", L"<B>x</B>"},           // upper case is no tag
        {L"<bx>", L"<bx>"},                   // one letter only
        {L"<b", L"<b"},                       // never closed
        {L"<r><b>x</b></r>y", L"<b>x</b>y"},  // raw text
        {L"{r}<b>x</b>", L"<b>x</b>"},        // raw to the end
        {L"x</b>y", L"xy"},                   // an end tag without its tag is dropped
        {L"<q>x</q>", L"x"},                  // unknown tags are dropped
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Measure(c.tagged).Width(), MeasurePlain(c.plain).Width()) << static_cast<int>(c.tagged[1]);
    }
}

TEST_F(TaggedTextTest, LinesAndParagraphs) {
    int line = Measure(L"one").Height();
    EXPECT_EQ(Measure(L"one<n>two").Height(), 2 * line);
    EXPECT_EQ(Measure(L"one<p 10>two").Height(), 2 * line + 10);
    EXPECT_EQ(Measure(L"<y 40>one<n>two</y>").Height(), 80);
    Rect wrapped = Measure(L"one two three four five six seven eight nine ten", DT_WORDBREAK, 80);
    EXPECT_LE(wrapped.Width(), 80);
    EXPECT_GE(wrapped.Height(), 3 * line);
}

TEST_F(TaggedTextTest, LinksReportTheirTextAndRectangles) {
    std::vector<TextLink> links;
    Rect rect{10, 10, 290, 110};
    DrawKit::DrawTaggedText(canvas.dc(), host, rect,
                            L"Read the <a https://example.com/l>licence</a> and <a>terms</a>", 0xFF000000,
                            &links, 1, DT_SINGLELINE);
    ASSERT_EQ(links.size(), 2u);
    EXPECT_EQ(links[0].text, L"https://example.com/l");
    EXPECT_EQ(links[1].text, L"terms");
    ASSERT_EQ(links[0].rects.size(), 1u);
    const Rect& r = links[0].rects[0];
    EXPECT_EQ(r.left, 10 + MeasurePlain(L"Read the ").Width());
    EXPECT_EQ(r.Width(), MeasurePlain(L"licence").Width());
    EXPECT_EQ(r.top, 10);
    EXPECT_GT(links[1].rects[0].left, r.right);

    links.clear();
    Rect narrow{0, 0, 60, 200};
    DrawKit::DrawTaggedText(canvas.dc(), host, narrow, L"<a>one two three four</a>", 0xFF000000, &links, 1,
                            DT_WORDBREAK);
    ASSERT_EQ(links.size(), 1u);
    EXPECT_GE(links[0].rects.size(), 2u);  // one rectangle per line
}

TEST_F(TaggedTextTest, ColoursAndInlineImagesAreDrawn) {
    Rect rect{0, 0, 300, 120};
    DrawKit::DrawTaggedText(canvas.dc(), host, rect, L"<f 2><c #FFFF0000>\u2588\u2588</c></f>", 0xFF000000,
                            nullptr, 1, DT_SINGLELINE);
    EXPECT_GT(CountPixels(0xFFFF0000), 20);
    EXPECT_EQ(CountPixels(0xFF000000), 0);

    Canvas withImage(100, 40, kWhite);
    Rect r2{0, 0, 100, 40};
    DrawKit::DrawTaggedText(withImage.dc(), host, r2, L"A<i file='res\\test\\frame.png'>B", 0xFF000000,
                            nullptr, 1, DT_SINGLELINE);
    int corners = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 100; ++x) {
            corners += withImage.Pixel(x, y) == 0xFFFF0000u || withImage.Pixel(x, y) == 0xFFFFFF00u;
        }
    }
    EXPECT_EQ(corners, 8);  // the frame's red and yellow 2x2 corners, unscaled
    EXPECT_EQ(Measure(L"A<i res\\test\\frame.png>B").Width(), MeasurePlain(L"AB").Width() + 8);
    EXPECT_EQ(Measure(L"A<i res\\test\\none.png>B").Width(), MeasurePlain(L"AB").Width());
}

TEST_F(TaggedTextTest, VerticalAlignmentOfInlineImages) {
    // Row of the frame image's red top-left corner, drawn beside 28-pixel text.
    auto imageTop = [&](const wchar_t* text) {
        Canvas fresh(200, 60, kWhite);
        Rect rect{0, 0, 200, 60};
        DrawKit::DrawTaggedText(fresh.dc(), host, rect, text, 0xFF000000, nullptr, 2, DT_SINGLELINE);
        for (int y = 0; y < 60; ++y) {
            for (int x = 0; x < 200; ++x) {
                if (fresh.Pixel(x, y) == 0xFFFF0000u) {
                    return y;
                }
            }
        }
        return -1;
    };
    int baseline = imageTop(L"Ag<i res\\test\\frame.png>");
    int top = imageTop(L"Ag<v top><i res\\test\\frame.png></v>");
    int center = imageTop(L"Ag<v center><i res\\test\\frame.png></v>");
    int bottom = imageTop(L"Ag<v bottom><i res\\test\\frame.png></v>");
    EXPECT_EQ(top, 0);
    EXPECT_LT(top, center);
    EXPECT_LT(center, baseline);
    EXPECT_LT(baseline, bottom);
}

}  // namespace
}  // namespace SkinUI
