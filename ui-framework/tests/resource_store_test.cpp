#include "skinui/resource_store.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace SkinUI {
namespace {

using testing::MakeArchive;
using testing::TempFolder;

std::span<const std::uint8_t> Bytes(const std::string& s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

std::wstring ReadLayoutError(const ResourceStore& store, const wchar_t* name) {
    std::string bytes;
    return LayoutErrorText(store.ReadLayout(name, &bytes));
}

// The limits and messages of layout files, the same from the folder and from a 7z archive.
TEST(ResourceStoreTest, LayoutLimitsAndMessages) {
    std::vector<testing::ArchiveItem> items = {
        {"exact.xml", std::string(4194304, 'x')},
        {"over.xml", std::string(4194305, 'x')},
        {"empty.xml", ""},
        {"small.xml", "<Window/>"},
    };
    TempFolder folder;
    for (const auto& item : items) {
        folder.Write(item.name, item.bytes);
    }
    folder.Write("skin.7z", MakeArchive(ArchiveFormat::kSevenZip, items));

    ResourceStore onDisk;
    onDisk.SetSkinFolder(folder.wide());
    ResourceStore zipped;
    zipped.SetSkinFolder(folder.wide());
    zipped.SetSkinArchive7z(true);
    zipped.SetSkinArchive(L"skin.7z", true);

    struct Case {
        const wchar_t* name;
        const wchar_t* error;
    } cases[] = {
        {L"exact.xml", L""},
        {L"over.xml", L"File too large"},
        {L"empty.xml", L"File is empty"},
        {L"small.xml", L""},
    };
    for (const ResourceStore* store : {&onDisk, &zipped}) {
        for (const Case& c : cases) {
            EXPECT_EQ(ReadLayoutError(*store, c.name), c.error) << c.name;
        }
    }
    EXPECT_EQ(ReadLayoutError(onDisk, L"missing.xml"), L"Error opening file");
    EXPECT_EQ(ReadLayoutError(zipped, L"missing.xml"), L"Could not find ziped file");

    std::string bytes;
    ASSERT_EQ(zipped.ReadLayout(L"EXACT.XML", &bytes), ReadError::kNone);
    EXPECT_EQ(bytes.size(), 4194304u);
    // Images have no size limit.
    EXPECT_EQ(zipped.ReadItem(L"over.xml", &bytes), ReadError::kNone);
    EXPECT_EQ(bytes.size(), 4194305u);
}

TEST(ResourceStoreTest, SkinFolderGetsASeparator) {
    struct Case {
        const wchar_t* given;
        const wchar_t* kept;
    } cases[] = {{L"/opt/skin", L"/opt/skin/"},
                 {L"/opt/skin/", L"/opt/skin/"},
                 {L"C:\\skin\\", L"C:\\skin\\"},
                 {L"", L""}};
    for (const Case& c : cases) {
        ResourceStore store;
        store.SetSkinFolder(c.given);
        EXPECT_EQ(store.GetSkinFolder(), c.kept);
    }
}

TEST(ResourceStoreTest, NamesWithBackslashesFindFilesOnDisk) {
    TempFolder folder;
    folder.Write("res/mainWnd/a.xml", "<a/>");
    ResourceStore store;
    store.SetSkinFolder(folder.wide());
    std::string bytes;
    ASSERT_EQ(store.ReadLayout(L"res\\mainWnd\\a.xml", &bytes), ReadError::kNone);
    EXPECT_EQ(bytes, "<a/>");
}

TEST(ResourceStoreTest, SecondMemoryArchiveKeepsTheFirst) {
    std::string first = MakeArchive(ArchiveFormat::kSevenZip, {{"a.xml", "first"}});
    std::string second = MakeArchive(ArchiveFormat::kSevenZip, {{"a.xml", "second"}, {"b.xml", "b"}});
    ResourceStore store;
    store.SetSkinArchive7z(true);
    store.SetSkinArchive(Bytes(first));
    store.SetSkinArchive(Bytes(second));
    EXPECT_EQ(store.GetSkinArchive(), L"membuffer");
    EXPECT_TRUE(store.IsSkinArchiveCached());
    std::string bytes;
    ASSERT_EQ(store.ReadLayout(L"a.xml", &bytes), ReadError::kNone);
    EXPECT_EQ(bytes, "first");
    EXPECT_EQ(store.ReadLayout(L"b.xml", &bytes), ReadError::kNotFound);
}

TEST(ResourceStoreTest, BrokenArchivesFailEveryLookup) {
    ResourceStore fromMemory;
    fromMemory.SetSkinArchive7z(true);
    std::string junk = "7z but not really";
    fromMemory.SetSkinArchive(Bytes(junk));
    EXPECT_EQ(ReadLayoutError(fromMemory, L"a.xml"), L"Error opening zip file");

    TempFolder folder;
    ResourceStore missingFile;
    missingFile.SetSkinFolder(folder.wide());
    missingFile.SetSkinArchive7z(true);
    missingFile.SetSkinArchive(L"absent.7z", false);
    EXPECT_EQ(ReadLayoutError(missingFile, L"a.xml"), L"Error opening zip file");
}

TEST(ResourceStoreTest, UncachedArchiveIsReopenedForEachRead) {
    TempFolder folder;
    folder.Write("skin.zip", MakeArchive(ArchiveFormat::kZip, {{"a.xml", "one"}}));
    ResourceStore store;
    store.SetSkinFolder(folder.wide());
    store.SetSkinArchive(L"skin.zip", false);
    std::string bytes;
    ASSERT_EQ(store.ReadLayout(L"a.xml", &bytes), ReadError::kNone);
    EXPECT_EQ(bytes, "one");
    folder.Write("skin.zip", MakeArchive(ArchiveFormat::kZip, {{"a.xml", "two"}}));
    ASSERT_EQ(store.ReadLayout(L"a.xml", &bytes), ReadError::kNone);
    EXPECT_EQ(bytes, "two");
}

// The build packs skin/ with bsdtar and links it as "ZIPRES" 147.
TEST(ResourceStoreTest, EmbeddedSkinArchive) {
    ResourceStore store;
    store.SetSkinArchive7z(true);
    ASSERT_TRUE(store.LoadSkinResource(kSkinResourceId));
    EXPECT_FALSE(store.LoadSkinResource(148));
    std::string bytes;
    ASSERT_EQ(store.ReadLayout(L"test.xml", &bytes), ReadError::kNone);
    EXPECT_NE(bytes.find("<Window"), std::string::npos);
    EXPECT_EQ(store.ReadItem(L"res\\mainWnd\\BG.png", &bytes), ReadError::kNone);
    EXPECT_EQ(bytes.substr(1, 3), "PNG");
    EXPECT_EQ(store.ReadItem(L"res\\test\\中文图.png", &bytes), ReadError::kNone);
    EXPECT_EQ(store.ReadItem(L"res\\test", &bytes), ReadError::kNotFound);
}

}  // namespace
}  // namespace SkinUI
