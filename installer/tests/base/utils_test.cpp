#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <thread>

#include "testing/test_folder.h"
#include "utils/checksum.h"
#include "utils/exception.h"
#include "utils/folders.h"
#include "utils/pipe_process.h"
#include "utils/system_checks.h"
#include "utils/text.h"
#include "utils/thread.h"

namespace {

TEST(Checksum, UrlMd5TakesTheSegmentBeforeTheLastSlash) {
    struct Case {
        const char* url;
        const char* md5;
    } cases[] = {{"a/b/c", "b"},
                 {"a/b", ""},
                 {"abc", ""},
                 {"", ""},
                 {"http://h/0123456789abcdef0123456789abcdef/setup.exe", "0123456789abcdef0123456789abcdef"}};
    for (const Case& c : cases) {
        EXPECT_EQ(Utils::UrlMd5(c.url), c.md5) << c.url;
    }
}

TEST(Checksum, FileMd5) {
    TestFolder folder;
    std::ofstream(folder.Child("empty"));
    std::ofstream(folder.Child("abc")) << "abc";
    EXPECT_EQ(Utils::FileMd5(folder.Child("empty")), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(Utils::FileMd5(folder.Child("abc")), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(Utils::FileMd5(folder.Child("missing")), "");
    EXPECT_EQ(Utils::FileMd5(""), "");
}

TEST(SystemChecks, VersionLabelTable) {
    struct Case {
        unsigned major, minor, build;
        bool r2;
        const wchar_t* label;
    } cases[] = {
        {0, 0, 0, false, L"XP-"},
        {4, 9, 0, false, L"XP-"},
        {5, 0, 0, false, L"2K"},
        {5, 1, 0, false, L"XP"},
        {5, 2, 0, false, L"Server 2003"},
        {5, 2, 0, true, L"Server 2003 R2"},
        {5, 3, 0, false, L"XP+"},
        {6, 0, 0, false, L"Vista"},
        {6, 1, 0, false, L"7"},
        {6, 2, 0, false, L"8"},
        {6, 3, 0, false, L"8.1"},
        {6, 4, 0, false, L"8.1+"},
        {10, 0, 0, false, L"10"},
        {10, 1, 0, false, L"10+"},
        {7, 2, 0x10000u + 19041u, false, L"7.2.19041"},
        {11, 0, 22000, false, L"11.0.22000"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utils::OsVersionLabel(c.major, c.minor, c.build, c.r2), c.label)
            << c.major << "." << c.minor;
    }
}

TEST(SystemChecks, SixtyFourBitRule) {
    EXPECT_EQ(Utils::Is64BitRule(false, true, true, 9), 0);
    EXPECT_EQ(Utils::Is64BitRule(true, true, true, 0), 1);
    EXPECT_EQ(Utils::Is64BitRule(true, true, false, 9), 0);
    EXPECT_EQ(Utils::Is64BitRule(true, false, false, 9), 1);
    EXPECT_EQ(Utils::Is64BitRule(true, false, false, 6), 1);
    EXPECT_EQ(Utils::Is64BitRule(true, false, false, 0), 0);
    EXPECT_EQ(Utils::Is64BitSystem(), sizeof(void*) == 8 ? 1 : Utils::Is64BitSystem());
}

TEST(SystemChecks, GuidTextShape) {
    std::set<std::wstring> seen;
    std::wregex shape(L"[0-9A-F]{12}[0-9a-f]{4}[0-9A-F]{16}");
    for (int i = 0; i < 50; ++i) {
        std::wstring guid = Utils::NewGuidText();
        EXPECT_TRUE(std::regex_match(guid, shape)) << Utils::ToNarrow(guid, 0);
        seen.insert(guid);
    }
    EXPECT_EQ(seen.size(), 50u);
}

TEST(SystemChecks, HostOfAnAddress) {
    std::string host;
    int port = 0;
    ASSERT_TRUE(Utils::HostAndPortOf(L"https://dl.glintcap.example/software/216", &host, &port));
    EXPECT_EQ(host, "dl.glintcap.example");
    EXPECT_EQ(port, 443);
    ASSERT_TRUE(Utils::HostAndPortOf(L"http://u@127.0.0.1:8080/x", &host, &port));
    EXPECT_EQ(host, "127.0.0.1");
    EXPECT_EQ(port, 8080);
    EXPECT_FALSE(Utils::HostAndPortOf(L"http:///x", &host, &port));
}

TEST(SystemChecks, FreeSpaceOfAFolderNotYetCreated) {
    TestFolder folder;
    Utils::HardDiskManager disk;
    ASSERT_TRUE(disk.CheckFreeSpace(Utils::ToWide(folder.Child("not/yet/there"), 0)));
    EXPECT_GT(disk.totalBytes, 0u);
    EXPECT_LE(disk.freeBytesForCaller, disk.totalFreeBytes);
}

TEST(Folders, CreateDirectories) {
    TestFolder folder;
    std::wstring base = Utils::ToWide(folder.path(), 0);
    EXPECT_TRUE(Utils::CreateDirectories(base + L"/a/b/c"));
    EXPECT_TRUE(std::filesystem::is_directory(folder.Child("a/b/c")));
    EXPECT_TRUE(Utils::CreateDirectories(base + L"/a/b/c/"));  // already there
    std::wstring tooLong = base + L"/" + std::wstring(261 - base.size() - 1, L'x');
    ASSERT_EQ(tooLong.size(), 261u);
    EXPECT_FALSE(Utils::CreateDirectories(tooLong));
    EXPECT_FALSE(std::filesystem::exists(Utils::ToNarrow(tooLong, 0)));
    std::ofstream(folder.Child("file"));
    EXPECT_FALSE(Utils::CreateDirectories(base + L"/file/sub"));
}

TEST(Folders, WorkTempDirIsPrivate) {
    std::wstring dir = Utils::GetWorkTempDir();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), L'/');
    auto status = std::filesystem::status(Utils::ToNarrow(dir, 0));
    EXPECT_EQ(status.permissions() & std::filesystem::perms::all, std::filesystem::perms::owner_all);
}

TEST(Thread, RunsOnlyWhenResumedAndJoins) {
    int value = 0;
    {
        Utils::Thread thread(&value, L"worker", [](void* arg) { *static_cast<int*>(arg) = 42; });
        EXPECT_EQ(thread.id(), 0u);
        EXPECT_EQ(value, 0);
        ASSERT_TRUE(thread.Resume());
        thread.Join();
        EXPECT_EQ(thread.id(), 0xFFFFFFFFu);
    }
    EXPECT_EQ(value, 42);
}

TEST(PipeProcess, ReadsOutputAndExitCode) {
    Utils::PipeProcess process;
    process.Create();
    process.Run(L"/bin/sh -c \"printf 'Progress=10\\n'; exit 3\"");
    std::string output;
    char buffer[1024];
    std::size_t got = 0;
    while (process.ReadOutput(buffer, sizeof buffer, 5000, &got) == Utils::PipeProcess::ReadStatus::kData) {
        output.append(buffer, got);
    }
    ASSERT_TRUE(process.Wait(5000));
    EXPECT_EQ(output, "Progress=10\n");
    EXPECT_EQ(process.ExitCode(), 3);
    process.Close();
}

TEST(PipeProcess, CommandThatCannotStartThrows) {
    Utils::PipeProcess process;
    EXPECT_THROW(process.Run(L"/nonexistent/program -x"), Utils::Exception);
    EXPECT_THROW(process.Run(L""), Utils::Exception);
    EXPECT_THROW(process.Run(std::wstring(1024, L'a')), Utils::Exception);
}

}  // namespace
