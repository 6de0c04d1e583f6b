#include "skinui/image_attribute.h"

#include <gtest/gtest.h>

namespace SkinUI {
namespace {

TEST(ImageAttributeTest, PlainNameIsTheWholeString) {
    ImageAttribute a = ParseImageAttribute(L"res\\mainWnd\\bg1.png");
    EXPECT_EQ(a.imageName, L"res\\mainWnd\\bg1.png");
    EXPECT_EQ(a.fade, 255);
    EXPECT_TRUE(a.destOffset.IsZero());
    EXPECT_FALSE(a.useResourceType);
}

TEST(ImageAttributeTest, EveryKeyOfTheInstallerLayouts) {
    ImageAttribute a = ParseImageAttribute(
        L"file='res\\common\\minbtn1.png' dest='0,2,16,18' source='1,2,3,4' corner='2,3,4,5' "
        L"mask='#FF00FF' fade='100' hole='true' xtiled='true' ytiled='true' hsl='true'");
    EXPECT_EQ(a.imageName, L"res\\common\\minbtn1.png");
    EXPECT_EQ(a.destOffset, (Rect{0, 2, 16, 18}));
    EXPECT_EQ(a.source, (Rect{1, 2, 3, 4}));
    EXPECT_EQ(a.corners, (Rect{2, 3, 4, 5}));
    EXPECT_EQ(a.mask, 0x00FF00FFu);
    EXPECT_EQ(a.fade, 100);
    EXPECT_TRUE(a.hole);
    EXPECT_TRUE(a.xTiled);
    EXPECT_TRUE(a.yTiled);
    EXPECT_TRUE(a.hsl);
}

// Where the list of pairs stops decides which keys take effect.
TEST(ImageAttributeTest, SeparatorRules) {
    struct Case {
        const wchar_t* text;
        std::uint8_t fade;
    } cases[] = {
        {L"file='a.png' fade='100'", 100},
        {L"file='a.png'fade='100'", 255},           // no space after the quote ends the list
        {L"file='a.png'  fade='100'", 100},         // the second space is leading white space
        {L"file='a.png'\tfade='100'", 255},         // a tab is not the separator
        {L"file='a.png' \tfade='100'", 100},        // after the space, any blank is skipped
        {L"file = 'a.png' fade = '100'", 100},      // blanks around '='
        {L"file='a.png' fade=100", 255},            // value without quotes
        {L"file='a.png' fade='100", 255},           // unterminated value
        {L"file='a.png' fade '100'", 255},          // no '='
        {L"file='a.png' fade='' fade='100'", 100},  // an empty value is skipped, the list goes on
        {L"file='a.png' bogus='x' fade='100'", 100},
    };
    for (const Case& c : cases) {
        ImageAttribute a = ParseImageAttribute(c.text);
        EXPECT_EQ(a.imageName, L"a.png") << c.text;
        EXPECT_EQ(a.fade, c.fade) << c.text;
    }
}

TEST(ImageAttributeTest, ValueReaders) {
    struct Case {
        const wchar_t* text;
        Rect dest;
        Color mask;
        std::uint8_t fade;
        bool hole;
    } cases[] = {
        {L"dest='1,2,3,4'", {1, 2, 3, 4}, 0, 255, false},
        {L"dest='-1;2 3x4'", {-1, 2, 3, 4}, 0, 255, false},  // any single separator character
        {L"dest='5'", {5, 0, 0, 0}, 0, 255, false},          // a short list stops at its end
        {L"dest='1,,3,4'", {1, 0, 3, 4}, 0, 255, false},
        {L"dest='99999999999,0,0,0'", {2147483647, 0, 0, 0}, 0, 255, false},
        {L"mask='#FF0000'", {}, 0x00FF0000u, 255, false},
        {L"mask='0xFF123456'", {}, 0xFF123456u, 255, false},
        {L"mask='ff00ff00'", {}, 0xFF00FF00u, 255, false},
        {L"fade='300'", {}, 0, 255, false},  // clamped to the byte range
        {L"fade='-4'", {}, 0, 0, false},
        {L"fade='abc'", {}, 0, 0, false},
        {L"hole='TRUE'", {}, 0, 255, false},  // exactly "true"
        {L"hole='true'", {}, 0, 255, true},
    };
    for (const Case& c : cases) {
        ImageAttribute a = ParseImageAttribute(c.text);
        EXPECT_EQ(a.destOffset, c.dest) << c.text;
        EXPECT_EQ(a.mask, c.mask) << c.text;
        EXPECT_EQ(a.fade, c.fade) << c.text;
        EXPECT_EQ(a.hole, c.hole) << c.text;
    }
}

TEST(ImageAttributeTest, ResourceAndColourKeys) {
    ImageAttribute res = ParseImageAttribute(L"res='145' restype='PNG'");
    EXPECT_EQ(res.imageName, L"145");
    EXPECT_EQ(res.resourceType, L"PNG");
    EXPECT_TRUE(res.useResourceType);

    ImageAttribute typedFile = ParseImageAttribute(L"file='a.png' restype='PNG'");
    EXPECT_FALSE(typedFile.useResourceType);

    ImageAttribute color = ParseImageAttribute(L"color='#80FF0000' scale9='1,1,1,1'");
    EXPECT_EQ(color.imageName, L"#80FF0000");
    EXPECT_EQ(color.resourceType, L"*COLOR*");
    EXPECT_TRUE(color.useResourceType);
    EXPECT_EQ(color.corners, (Rect{1, 1, 1, 1}));
}

TEST(ImageAttributeTest, KeysAreCaseSensitive) {
    ImageAttribute a = ParseImageAttribute(L"FILE='a.png' Fade='3'");
    EXPECT_EQ(a.imageName, L"FILE='a.png' Fade='3'");
    EXPECT_EQ(a.fade, 255);
}

TEST(ColorTest, WrittenForms) {
    struct Case {
        const wchar_t* text;
        Color value;
    } cases[] = {
        {L"#FF303F56", 0xFF303F56u},
        {L"FF303F56", 0xFF303F56u},
        {L"0xFF303F56", 0xFF303F56u},
        {L"  #ff303f56", 0xFF303F56u},
        {L"#FF0000", 0x00FF0000u},
        {L"#123456789", 0xFFFFFFFFu},
        {L"", 0u},
        {L"#zz", 0u},
        {L"0x", 0u},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseColor(c.text), c.value) << c.text;
    }
}

TEST(DrawRecordTest, ResetForgetsTheParseAndTheImage) {
    DrawRecord record(L"a.png");
    record.loaded = true;
    record.parsed.fade = 3;
    record.Reset(L"b.png");
    EXPECT_EQ(record.attribute, L"b.png");
    EXPECT_FALSE(record.loaded);
    EXPECT_EQ(record.parsed.fade, 255);
}

}  // namespace
}  // namespace SkinUI
