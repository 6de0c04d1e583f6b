#include "install/uninstaller.h"

#include <gtest/gtest.h>

#include <regex>

#include "fake_programs.h"
#include "platform/paths.h"
#include "report_recorder.h"
#include "testing/test_folder.h"
#include "utils/text.h"

namespace {

std::wstring Wide(const std::string& text) {
    return Utils::ToWide(text, Utils::kCodePageUtf8);
}
std::string Utf8(const std::wstring& text) {
    return Utils::ToNarrow(text, Utils::kCodePageUtf8);
}

const Report kFound{UNIST_CODE_PROGRESS, 0.0, L""};

TEST(UnInstallerCommandLine, QuotedPathFirstAndTheFolderUnquotedLast) {
    UnInstaller uninstaller([](int, double, const wchar_t*) {}, L"/w/Glintcap_un_asa.exe",
                            L"/home/a b/Glintcap");
    std::string line = Utf8(uninstaller.BuildCommandLine());
    EXPECT_TRUE(std::regex_match(line, std::regex("\"/w/Glintcap_un_asa\\.exe\" /S -adminact=(true|false) "
                                                  "-authorizationact=(true|false) -console=show "
                                                  "_\\?=/home/a b/Glintcap")))
        << line;
}

TEST(UnInstallerParse, KeysAndResults) {
    struct Case {
        std::wstring chunk;
        std::vector<Report> reports;
        int result;
    } cases[] = {
        {L"Progress=0.3\nState=Success\n", {{5002, 0.3, L""}, {5003, 0.0, L""}}, kParseSuccess},
        {L"State=Success\nError=x\n", {{5003, 0.0, L""}, {5005, 0.0, L"x"}}, kParseFailure},
        {L"State= Fail\n", {{5005, 0.0, L"安装包卸载失败"}}, kParseFailure},
        {L"State=Done\nInstPath=/x\nEncode=936\n", {}, kParseNoFinalLine},
    };
    for (const Case& c : cases) {
        ReportRecorder recorder;
        UnInstaller uninstaller(recorder.Callback(), L"/u", L"/f");
        EXPECT_EQ(uninstaller.ParseOutput(c.chunk), c.result) << Utf8(c.chunk);
        EXPECT_EQ(recorder.Reports(), c.reports) << Utf8(c.chunk);
    }
}

class UninstallRun : public ::testing::Test {
protected:
    std::vector<Report> Run(const std::wstring& uninstaller, const std::wstring& folder) {
        ReportRecorder recorder;
        {
            UnInstaller run(recorder.Callback(), uninstaller, folder);
            run.Start();
        }  // the destructor waits for the run to end
        return recorder.Reports();
    }
    std::wstring Scripted(const std::string& script) {
        return Wide(ScriptedProgram(kFakeUninstaller, folder_.Child("Glintcap_un_asa.exe"), script));
    }

    TestFolder folder_;
};

TEST_F(UninstallRun, ReportSequences) {
    struct Case {
        const char* name;
        std::string script;
        std::vector<Report> reports;
    } cases[] = {
        {"prints nothing", "exit 1\n", {kFound, {5003, 1.0, L""}}},
        {"success, then an error",
         "print State=Success\nsleep 200\nprint Error=x\n",
         {kFound, {5003, 0.0, L""}, {5005, 0.0, L"x"}}},
        {"progress, cut line, fail",
         "print Progress=0.5\nraw Sta\nsleep 300\nprint te=Fail\n",
         {kFound, {5002, 0.5, L""}, {5005, 0.0, L"安装包卸载失败"}}},
        {"UTF-8 error text",
         "print Encode=UTF8\nsleep 300\nprint Error=\\xe5\\xa4\\xb1\\xe8\\xb4\\xa5\n",
         {kFound, {5005, 0.0, L"失败"}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(Scripted(c.script), L"/f"), c.reports) << c.name;
    }
}

TEST_F(UninstallRun, MissingOrUnstartableUninstaller) {
    std::string argv = folder_.Child("argv.txt");
    std::wstring recording = Scripted("record-argv " + argv + "\n");
    std::string notExecutable = folder_.Child("plain.ep");
    ASSERT_TRUE(platform::WriteFileAtomic(notExecutable, "not a program"));
    struct Case {
        const char* name;
        std::wstring uninstaller;
        std::wstring folder;
        std::vector<Report> reports;
    } cases[] = {
        {"empty path", L"", L"/f", {{5004, 1.0, L"可执行卸载文件不存在"}}},
        {"missing file", Wide(folder_.Child("gone.exe")), L"/f", {{5004, 1.0, L"可执行卸载文件不存在"}}},
        {"not a program", Wide(notExecutable), L"/f", {kFound, {5004, 2.0, L""}}},
        {"quote in the folder", recording, L"/f\" -x", {kFound, {5004, 2.0, L""}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.uninstaller, c.folder), c.reports) << c.name;
    }
    EXPECT_FALSE(platform::PathExists(argv));
}

TEST_F(UninstallRun, FolderWithBlanksReachesTheUninstaller) {
    std::string product = folder_.Child("old version");
    ASSERT_TRUE(platform::MakeDirectory(product));
    ASSERT_TRUE(platform::WriteFileAtomic(product + "/Glintcap.exe", "old"));
    std::string argv = folder_.Child("argv.txt");
    std::wstring uninstaller = Scripted("record-argv " + argv + "\nremove-product\nprint State=Success\n");
    EXPECT_EQ(Run(uninstaller, Wide(product)), (std::vector<Report>{kFound, {5003, 0.0, L""}}));
    EXPECT_FALSE(platform::PathExists(product + "/Glintcap.exe"));
    std::string recorded;
    ASSERT_TRUE(platform::ReadWholeFile(argv, &recorded));
    EXPECT_TRUE(recorded.ends_with("\n-console=show\n_?=" + folder_.Child("old") + "\nversion\n"))
        << recorded;
}

}  // namespace
