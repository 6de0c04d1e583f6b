#include "skinui/render_resources.h"

#include <gtest/gtest.h>

namespace SkinUI {
namespace {

// A window host's resources over the embedded skin, with a shared cache and font table of the test.
struct Hosts {
    Hosts() {
        store.SetSkinArchive7z(true);
        store.LoadSkinResource(kSkinResourceId);
    }
    ResourceStore store;
    ImageCache sharedImages;
    FontTable sharedFonts;
    LanguageTexts texts;
    RenderResources first{store, sharedImages, sharedFonts, texts};
    RenderResources second{store, sharedImages, sharedFonts, texts};
};

TEST(RenderResourcesTest, ImagesAreDecodedOncePerCache) {
    Hosts h;
    auto a = h.first.FindOrLoadImage(L"res\\test\\frame.png", L"", 0, false);
    ASSERT_TRUE(a);
    EXPECT_EQ(h.first.FindOrLoadImage(L"res\\test\\frame.png", L"", 0, false), a);
    EXPECT_EQ(h.first.images().size(), 1u);
    // The key is the name as written: another spelling is another entry.
    EXPECT_NE(h.first.FindOrLoadImage(L"RES\\test\\frame.png", L"", 0, false), a);
    // Each window has its own cache.
    EXPECT_NE(h.second.FindOrLoadImage(L"res\\test\\frame.png", L"", 0, false), a);
    EXPECT_FALSE(h.first.FindOrLoadImage(L"res\\missing.png", L"", 0, false));
    EXPECT_FALSE(h.first.GetImage(L"res\\missing.png"));
}

TEST(RenderResourcesTest, SharedImagesServeEveryWindow) {
    Hosts h;
    auto shared = h.first.AddImage(L"res\\test\\icon.png", L"", 0, false, true);
    ASSERT_TRUE(shared);
    EXPECT_EQ(h.second.GetImage(L"res\\test\\icon.png"), shared);
    EXPECT_EQ(h.second.FindOrLoadImage(L"res\\test\\icon.png", L"", 0, false), shared);
    EXPECT_EQ(h.first.images().size(), 0u);

    h.second.SetUseSharedResources(true);
    auto viaSetting = h.second.AddImage(L"res\\test\\frame.png", L"", 0, false, false);
    EXPECT_EQ(h.first.GetImage(L"res\\test\\frame.png"), viaSetting);
}

TEST(RenderResourcesTest, ReplacingAnImageKeepsItsUsersValid) {
    Hosts h;
    auto old = h.first.AddImage(L"res\\test\\button.png", L"", 0, false, false);
    auto masked = h.first.AddImage(L"res\\test\\button.png", L"", 0xFFFF00FF, true, false);
    ASSERT_TRUE(old && masked);
    EXPECT_EQ(h.first.GetImage(L"res\\test\\button.png"), masked);
    EXPECT_EQ(old->Pixel(0, 0), 0xFFFF00FFu);  // still readable
    EXPECT_EQ(masked->mask, 0xFFFF00FFu);
    EXPECT_EQ(masked->savedBits.size(), 24u * 12u);
    EXPECT_EQ(masked->savedBits[0], 0u);
    EXPECT_TRUE(old->savedBits.empty());
    EXPECT_TRUE(h.first.RemoveImage(L"res\\test\\button.png"));
    EXPECT_FALSE(h.first.GetImage(L"res\\test\\button.png"));
}

TEST(RenderResourcesTest, FontsByIdThenSharedThenDefault) {
    Hosts h;
    h.first.AddFont(1, L"微软雅黑", 14, true, false, false, false);
    h.first.AddFont(2, L"Shared", 20, false, true, false, true);
    h.first.AddFont(2, L"Own", 9, false, false, true, false);
    EXPECT_EQ(h.first.GetFont(1).size(), 14);
    EXPECT_TRUE(h.first.GetFont(1).bold());
    EXPECT_EQ(h.first.GetFont(2).face(), L"Own");      // own before shared
    EXPECT_EQ(h.second.GetFont(2).face(), L"Shared");  // the other window sees the shared one
    EXPECT_EQ(h.second.GetFont(1).face(), kDefaultFontFace);
    EXPECT_EQ(h.second.GetFont(-1).size(), kDefaultFontSize);
    h.second.SetDefaultFont(L"Other", 16, false, false, false);
    EXPECT_EQ(h.second.GetFont(1).face(), L"Other");
    EXPECT_EQ(pango_font_description_get_size(h.first.GetFont(1).description()), 14 * PANGO_SCALE);
    EXPECT_TRUE(pango_font_description_get_size_is_absolute(h.first.GetFont(1).description()));
}

}  // namespace
}  // namespace SkinUI
