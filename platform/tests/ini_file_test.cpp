#include "platform/ini_file.h"

#include <gtest/gtest.h>

#include "platform/paths.h"
#include "testing/test_folder.h"

namespace {

using platform::IniFile;

TEST(IniFile, ReadingRules) {
    const char* text =
        "; comment=1\n"
        "orphan=before any section\n"
        "[ Install ]\r\n"
        "  DownloadType =  3  \r\n"
        "Quoted=\"a b\"\n"
        "Empty=\n"
        "NoEquals\n"
        "DownloadType=4\n"
        "garbage line = with = equals\n"
        "[Install]\n"
        "Second=section\n";
    struct Case {
        const char* section;
        const char* key;
        const char* expected;  // nullptr: missing
    } cases[] = {
        {"install", "downloadtype", "3"},  // names case-insensitive, values trimmed, first key wins
        {"Install", "Quoted", "\"a b\""},  // quotes kept
        {"Install", "Empty", ""},
        {"Install", "NoEquals", ""},
        {"Install", "garbage line", "with = equals"},
        {"Install", "Second", nullptr},  // only the first section of a name is read
        {"Install", "orphan", nullptr},
        {"Missing", "DownloadType", nullptr},
        {"", "orphan", nullptr},
    };
    for (const Case& c : cases) {
        std::optional<std::string> value = IniFile::FindInText(text, c.section, c.key);
        if (c.expected == nullptr) {
            EXPECT_FALSE(value.has_value()) << c.section << "/" << c.key;
        } else {
            EXPECT_EQ(value.value_or("<missing>"), c.expected) << c.section << "/" << c.key;
        }
    }
}

TEST(IniFile, ProfileIntegers) {
    struct Case {
        const char* text;
        int value;
    } cases[] = {{"3", 3},     {" 12abc", 12}, {"-5", -5}, {"+7", 7},
                 {"0x1F", 31}, {"abc", 0},     {"x", 0},   {"-", 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(IniFile::ParseProfileInt(c.text), c.value) << c.text;
    }
}

TEST(IniFile, WritingKeepsEverythingElse) {
    struct Case {
        const char* before;
        const char* section;
        const char* key;
        const char* value;
        const char* after;
    } cases[] = {
        {"", "Install", "A", "1", "[Install]\nA=1\n"},
        {"x=1", "S", "k", "v", "x=1\n[S]\nk=v\n"},
        {"[s]\nK=old\n; keep\n[t]\nK=t\n", "S", "k", "new", "[s]\nk=new\n; keep\n[t]\nK=t\n"},
        {"[s]\na=1\n\n[t]\n", "s", "b", "2", "[s]\na=1\nb=2\n\n[t]\n"},
        {"[s]\r\na=1\r\n", "s", "b", "2", "[s]\r\na=1\r\nb=2\r\n"},
        {"[s]", "s", "b", "2", "[s]\nb=2\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IniFile::SetStringInText(c.before, c.section, c.key, c.value), c.after) << c.before;
    }
}

TEST(IniFile, FileCreatedOnWriteAndReplacedWhole) {
    TestFolder folder;
    IniFile ini(folder.Child("set.ini"));
    EXPECT_EQ(ini.GetString("Install", "InstallPath", "fallback"), "fallback");
    EXPECT_EQ(ini.GetInt("Install", "N", 9), 9);
    ASSERT_TRUE(ini.SetString("Install", "InstallPath", "/opt/Glintcap"));
    ASSERT_TRUE(ini.SetString("Install", "N", " 5 "));
    EXPECT_EQ(ini.GetString("install", "installpath", ""), "/opt/Glintcap");
    EXPECT_EQ(ini.GetInt("Install", "N", 9), 5);
    // A value that would start a new line or a new key is refused, and the file is unchanged.
    std::string before;
    ASSERT_TRUE(platform::ReadWholeFile(ini.path(), &before));
    EXPECT_FALSE(ini.SetString("Install", "X", "a\n[Evil]"));
    EXPECT_FALSE(ini.SetString("Install", "a=b", "c"));
    std::string after;
    ASSERT_TRUE(platform::ReadWholeFile(ini.path(), &after));
    EXPECT_EQ(before, after);
    EXPECT_FALSE(IniFile(folder.Child("no/such/folder/x.ini")).SetString("S", "k", "v"));
}

}  // namespace
