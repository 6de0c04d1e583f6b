#include <gtest/gtest.h>
#include <platform/utf.h>

#include <set>

#include "canvas.h"
#include "skinui/draw_kit.h"
#include "skinui/render_resources.h"
#include "text_layout.h"

namespace SkinUI {
namespace {

using testing::Canvas;

constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr wchar_t kParagraph[] =
    L"Glintcap records your screen and your voice. The installer downloads the package and keeps you "
    L"informed of its progress while it works.";

struct TextTest : ::testing::Test {
    TextTest() { host.AddFont(1, L"微软雅黑", 14, false, false, false, false); }

    // The faces pango chose for the runs of `text` and the number of glyphs no face had.
    std::pair<std::set<std::string>, int> FacesOf(std::wstring_view text) {
        text::LayoutPtr layout =
            text::PlainTextLayout(canvas.dc(), host.GetFont(1), text, {0, 0, 400, 30}, DT_SINGLELINE);
        std::set<std::string> faces;
        PangoLayoutIter* it = pango_layout_get_iter(layout.get());
        do {
            if (PangoLayoutRun* run = pango_layout_iter_get_run_readonly(it)) {
                PangoFontDescription* d = pango_font_describe(run->item->analysis.font);
                faces.insert(pango_font_description_get_family(d));
                pango_font_description_free(d);
            }
        } while (pango_layout_iter_next_run(it));
        pango_layout_iter_free(it);
        return {faces, pango_layout_get_unknown_glyphs_count(layout.get())};
    }

    // Columns and rows with ink (pixels that are not white).
    static Rect InkBounds(const Canvas& canvas) {
        Rect ink{canvas.width(), canvas.height(), 0, 0};
        for (int y = 0; y < canvas.height(); ++y) {
            for (int x = 0; x < canvas.width(); ++x) {
                if (canvas.Pixel(x, y) != kWhite) {
                    ink = {std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x + 1),
                           std::max(ink.bottom, y + 1)};
                }
            }
        }
        return ink;
    }

    RenderResources host;
    Canvas canvas{400, 120, kWhite};
};

TEST_F(TextTest, ChineseAndLatinRenderInOneFaceWithoutMissingGlyphs) {
    for (const wchar_t* text : {L"安装完成，立即体验", L"Glintcap 安装程序 2.0 & more"}) {
        auto [faces, unknown] = FacesOf(text);
        EXPECT_EQ(unknown, 0) << platform::Utf8FromWide(text);
        EXPECT_EQ(faces, (std::set<std::string>{"WenQuanYi Micro Hei"})) << platform::Utf8FromWide(text);
    }
}

TEST_F(TextTest, SingleLineAgainstAWrappedParagraph) {
    Rect single{0, 0, 200, 0};
    DrawKit::DrawText(canvas.dc(), host, single, kParagraph, 0xFF000000, 1, DT_SINGLELINE | DT_CALCRECT);
    Rect wrapped{0, 0, 200, 0};
    DrawKit::DrawText(canvas.dc(), host, wrapped, kParagraph, 0xFF000000, 1, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_GT(single.Width(), 400);  // one long line
    EXPECT_LE(wrapped.Width(), 200);
    EXPECT_GE(wrapped.Height(), 4 * single.Height());
    EXPECT_EQ(canvas.CountNot(kWhite, 0, 0, 400, 120), 0);  // measuring draws nothing

    Rect lines{0, 0, 200, 0};
    DrawKit::DrawText(canvas.dc(), host, lines, L"one\ntwo", 0xFF000000, 1, DT_CALCRECT);
    EXPECT_EQ(lines.Height(), 2 * single.Height());
    Rect joined{0, 0, 200, 0};
    DrawKit::DrawText(canvas.dc(), host, joined, L"one\ntwo", 0xFF000000, 1, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(joined.Height(), single.Height());
}

TEST_F(TextTest, EndEllipsisFitsTheRectangle) {
    text::LayoutPtr cut = text::PlainTextLayout(canvas.dc(), host.GetFont(1), kParagraph, {0, 0, 150, 20},
                                                DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_TRUE(pango_layout_is_ellipsized(cut.get()));
    PangoRectangle logical;
    pango_layout_get_pixel_extents(cut.get(), nullptr, &logical);
    EXPECT_LE(logical.width, 150);
    const char* shown = pango_layout_get_text(cut.get());
    EXPECT_NE(std::string(shown).find("Glintcap"), std::string::npos);

    text::LayoutPtr whole = text::PlainTextLayout(canvas.dc(), host.GetFont(1), L"Short", {0, 0, 150, 20},
                                                  DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_FALSE(pango_layout_is_ellipsized(whole.get()));

    Rect rect{10, 10, 160, 30};
    DrawKit::DrawText(canvas.dc(), host, rect, kParagraph, 0xFF000000, 1, DT_SINGLELINE | DT_END_ELLIPSIS);
    Rect ink = InkBounds(canvas);
    EXPECT_GE(ink.left, 10);
    EXPECT_LE(ink.right, 160);
}

TEST_F(TextTest, AlignmentPlacesTheInk) {
    struct Case {
        unsigned format;
        Rect within;  // where all the ink must be
    } cases[] = {
        {DT_SINGLELINE, {100, 20, 200, 50}},
        {DT_SINGLELINE | DT_RIGHT, {240, 20, 300, 50}},
        {DT_SINGLELINE | DT_CENTER, {150, 20, 250, 50}},
        {DT_SINGLELINE | DT_BOTTOM, {100, 70, 200, 100}},
        {DT_SINGLELINE | DT_VCENTER | DT_CENTER, {150, 45, 250, 75}},
        {DT_VCENTER, {100, 20, 200, 50}},  // vertical placement needs a single line
    };
    for (const Case& c : cases) {
        Canvas canvas(400, 120, kWhite);
        Rect rect{100, 20, 300, 100};
        DrawKit::DrawText(canvas.dc(), host, rect, L"Install", 0xFF204080, 1, c.format);
        Rect ink = InkBounds(canvas);
        EXPECT_FALSE(ink.IsEmpty()) << c.format;
        EXPECT_EQ(Intersect(ink, c.within), ink)
            << c.format << ": " << ink.left << "," << ink.top << "," << ink.right << "," << ink.bottom;
    }
}

TEST_F(TextTest, TextIsClippedToItsRectangleUnlessNoClip) {
    Canvas clipped(400, 60, kWhite);
    Rect rect{0, 0, 60, 30};
    DrawKit::DrawText(clipped.dc(), host, rect, kParagraph, 0xFF000000, 1, DT_SINGLELINE);
    EXPECT_LE(InkBounds(clipped).right, 60);
    Canvas unclipped(400, 60, kWhite);
    DrawKit::DrawText(unclipped.dc(), host, rect, kParagraph, 0xFF000000, 1, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_GT(InkBounds(unclipped).right, 300);
}

TEST_F(TextTest, AmpersandIsShownAndLanguageTextsAreReplaced) {
    LanguageTexts texts;
    texts.Add(7, L"Install now");
    ResourceStore store;
    ImageCache images;
    FontTable fonts;
    RenderResources withTexts(store, images, fonts, texts);
    auto width = [&](const wchar_t* text) {
        return DrawKit::GetTextSize(canvas.dc(), withTexts, text, 0).cx;
    };
    EXPECT_GT(width(L"A&B"), width(L"AB"));
    EXPECT_EQ(width(L"%{7}"), width(L"Install now"));
    EXPECT_EQ(width(L"[%{7}]"), width(L"[Install now]"));
    EXPECT_GT(width(L"%{8}"), 0);  // no such text: the token stays
    EXPECT_EQ(width(L"%{8}"), width(L"%{8}"));
    EXPECT_NE(width(L"%{8}"), width(L""));
    EXPECT_GT(DrawKit::GetTextSize(canvas.dc(), withTexts, L"Ag", 0).cy, 10);
}

TEST_F(TextTest, ColourIsDrawnWithoutItsAlpha) {
    Canvas canvas(200, 40, kWhite);
    Rect rect{0, 0, 200, 40};
    host.AddFont(2, L"微软雅黑", 30, true, false, false, false);
    DrawKit::DrawText(canvas.dc(), host, rect, L"\u2588\u2588", 0x00FF0000, 2, DT_SINGLELINE);
    int red = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 200; ++x) {
            red += canvas.Pixel(x, y) == 0xFFFF0000u;
        }
    }
    EXPECT_GT(red, 20);
}

}  // namespace
}  // namespace SkinUI
