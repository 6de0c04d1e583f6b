#include <gtest/gtest.h>

#include "canvas.h"
#include "skinui/draw_kit.h"
#include "test_support.h"

namespace SkinUI {
namespace {

using testing::EncodePng;
using testing::TempFolder;

TEST(LoadImageTest, ColourImagesArePremultiplied) {
    struct Case {
        const wchar_t* name;
        std::uint32_t pixel;
        bool alpha;
    } cases[] = {
        {L"#FF0000FF", 0xFF0000FFu, false},  // opaque blue
        {L"#80FF0000", 0x80800000u, true},   // red at half intensity
        {L"FF00FF00", 0xFF00FF00u, false},
        {L"#00FFFFFF", 0x00000000u, true},
    };
    for (const Case& c : cases) {
        std::unique_ptr<Image> image = DrawKit::LoadImage(c.name, L"*COLOR*");
        ASSERT_TRUE(image) << c.name;
        EXPECT_EQ(image->width(), 1);
        EXPECT_EQ(image->height(), 1);
        EXPECT_EQ(image->Pixel(0, 0), c.pixel) << c.name;
        EXPECT_EQ(image->alpha, c.alpha) << c.name;
    }
}

TEST(LoadImageTest, DecodesToPremultipliedPixelsAndAppliesTheMask) {
    TempFolder folder;
    // Opaque, translucent (200/255 of 0x64,0xC8,0xFA), transparent, and the mask colour.
    folder.Write("a.png", EncodePng(4, 1, {0xFF102030, 0xC864C8FA, 0x00FFFFFF, 0xFFFF00FF}));
    ResourceStore store;
    store.SetSkinFolder(folder.wide());

    std::unique_ptr<Image> plain = DrawKit::LoadImage(store, L"a.png");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->Pixel(0, 0), 0xFF102030u);
    EXPECT_EQ(plain->Pixel(1, 0), 0xC84E9CC4u);  // 100*200/255=78, 200*200/255=156, 250*200/255=196
    EXPECT_EQ(plain->Pixel(2, 0), 0u);
    EXPECT_EQ(plain->Pixel(3, 0), 0xFFFF00FFu);
    EXPECT_TRUE(plain->alpha);

    std::unique_ptr<Image> masked = DrawKit::LoadImage(store, L"a.png", L"", 0xFFFF00FF);
    ASSERT_TRUE(masked);
    EXPECT_EQ(masked->Pixel(3, 0), 0u);
    EXPECT_EQ(masked->Pixel(0, 0), 0xFF102030u);

    // An opaque image without the mask colour has no alpha; with it, it has.
    folder.Write("opaque.png", EncodePng(2, 1, {0xFF102030, 0xFFFF00FF}));
    EXPECT_FALSE(DrawKit::LoadImage(store, L"opaque.png")->alpha);
    std::unique_ptr<Image> opaqueMasked = DrawKit::LoadImage(store, L"opaque.png", L"", 0xFFFF00FF);
    EXPECT_TRUE(opaqueMasked->alpha);
    EXPECT_EQ(opaqueMasked->Pixel(1, 0), 0u);
}

TEST(LoadImageTest, SourcesInOrder) {
    ResourceStore store;
    store.SetSkinArchive7z(true);
    ASSERT_TRUE(store.LoadSkinResource(kSkinResourceId));
    TempFolder folder;
    folder.Write("outside.png", EncodePng(3, 2, std::vector<Color>(6, 0xFF00FF00)));
    std::wstring outside = folder.wide() + L"/outside.png";
    folder.Write("junk.png", "not an image");

    struct Case {
        std::wstring name;
        const wchar_t* type;
        int width;  // 0: no image
    } cases[] = {
        {L"res\\test\\frame.png", L"", 8},
        {L"RES\\MAINWND\\BG.PNG", L"", 40},
        {L"res\\test\\中文图.png", L"", 2},
        {outside, L"", 3},         // in no archive, but a file path
        {L"201", L"TESTPNG", 16},  // embedded resource by decimal id
        {L"202", L"TESTPNG", 0},
        {L"icon", L"TESTPNG", 0},
        {folder.wide() + L"/junk.png", L"", 0},
        {L"res\\test\\missing.png", L"", 0},
    };
    for (const Case& c : cases) {
        std::unique_ptr<Image> image = DrawKit::LoadImage(store, c.name, c.type);
        EXPECT_EQ(image ? image->width() : 0, c.width);
    }
}

}  // namespace
}  // namespace SkinUI
