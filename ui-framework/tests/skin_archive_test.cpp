#include "skinui/skin_archive.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace SkinUI {
namespace {

using testing::ArchiveItem;
using testing::MakeArchive;

std::span<const std::uint8_t> Bytes(const std::string& s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

class SkinArchiveFormatTest : public ::testing::TestWithParam<ArchiveFormat> {};

TEST_P(SkinArchiveFormatTest, FindsItemsBySlashesAndCase) {
    std::string bytes = MakeArchive(GetParam(), {
                                                    {"./res/", ""},
                                                    {"./res/mainWnd/bg1.png", "lower"},
                                                    {"RES/MAINWND/BG2.PNG", "upper"},
                                                    {"./mainWnd.xml", "<Window/>"},
                                                    {"res/图片/按钮.png", "cjk"},
                                                });
    auto archive = SkinArchive::OpenMemory(Bytes(bytes), GetParam());
    ASSERT_TRUE(archive);
    ASSERT_EQ(archive->entries().size(), 4u);  // the folder is no entry

    struct Case {
        const wchar_t* name;
        const char* bytes;  // null: not found
    } cases[] = {
        {L"res\\mainWnd\\bg1.png", "lower"}, {L"res/mainWnd/bg1.png", "lower"},
        {L"RES\\MAINWND\\BG1.PNG", "lower"}, {L"res\\mainWnd\\bg2.png", "upper"},
        {L"MAINWND.XML", "<Window/>"},       {L"res\\图片\\按钮.png", "cjk"},
        {L"./mainWnd.xml", nullptr},         {L"mainWnd.xml ", nullptr},
        {L"res\\mainWnd\\bg1", nullptr},     {L"res", nullptr},
    };
    for (const Case& c : cases) {
        const SkinArchive::Entry* entry = archive->Find(c.name);
        if (c.bytes) {
            ASSERT_TRUE(entry) << c.name;
            EXPECT_EQ(entry->bytes, c.bytes) << c.name;
        } else {
            EXPECT_FALSE(entry) << c.name;
        }
    }
}

TEST_P(SkinArchiveFormatTest, RefusesWhatIsNoArchive) {
    std::string valid = MakeArchive(GetParam(), {{"a.xml", std::string(5000, 'x')}});
    for (const std::string& bytes :
         {std::string(), std::string("not an archive at all"), valid.substr(0, 40)}) {
        EXPECT_FALSE(SkinArchive::OpenMemory(Bytes(bytes), GetParam())) << bytes.size();
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, SkinArchiveFormatTest,
                         ::testing::Values(ArchiveFormat::kSevenZip, ArchiveFormat::kZip),
                         [](const auto& info) {
                             return info.param == ArchiveFormat::kZip ? "zip" : "sevenzip";
                         });

TEST(SkinArchiveTest, ZipIsNotReadIn7zMode) {
    std::string zip = MakeArchive(ArchiveFormat::kZip, {{"a.xml", "x"}});
    EXPECT_FALSE(SkinArchive::OpenMemory(Bytes(zip), ArchiveFormat::kSevenZip));
}

TEST(SkinArchiveTest, EveryTruncationOfA7zArchiveIsRefusedOrReadable) {
    std::string bytes =
        MakeArchive(ArchiveFormat::kSevenZip, {{"a.xml", std::string(3000, 'a')}, {"b.png", "b"}});
    for (size_t n = 0; n < bytes.size(); ++n) {
        auto archive = SkinArchive::OpenMemory(Bytes(bytes.substr(0, n)), ArchiveFormat::kSevenZip);
        if (archive) {
            for (const auto& entry : archive->entries()) {
                EXPECT_TRUE(entry.name == L"a.xml" || entry.name == L"b.png");
            }
        }
    }
}

TEST(SkinArchiveTest, EqualsIgnoringCaseNeedsTheSameLength) {
    EXPECT_TRUE(EqualsIgnoringCase(L"Ab/Ä.png", L"aB/ä.PNG"));
    EXPECT_FALSE(EqualsIgnoringCase(L"ab", L"abc"));
    EXPECT_FALSE(EqualsIgnoringCase(L"ab", L"ac"));
}

}  // namespace
}  // namespace SkinUI
