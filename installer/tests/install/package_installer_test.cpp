#include "install/package_installer.h"

#include <gtest/gtest.h>
#include <signal.h>

#include "fake_programs.h"
#include "installer_settings.h"
#include "platform/paths.h"
#include "report_recorder.h"
#include "testing/test_folder.h"
#include "utils/text.h"

namespace {

std::wstring Wide(const std::string& text) {
    return Utils::ToWide(text, Utils::kCodePageUtf8);
}

// Sets the process-wide InstCmd for one test.
class ScopedInstCmd {
public:
    explicit ScopedInstCmd(std::wstring text) : saved_(Settings().InstCmd) {
        Settings().InstCmd = std::move(text);
    }
    ~ScopedInstCmd() { Settings().InstCmd = saved_; }

private:
    std::wstring saved_;
};

const Report kStart{IST_CODE_START, 0.0, L""};
const Report kZeroProgress{IST_CODE_PROGRESS, 0.0, L""};
const Report kEndedByItself{IST_CODE_SUCCESS, 1.0, L""};

TEST(PackageInstallerCommandLine, SwitchesInTheirOrder) {
    struct Case {
        std::wstring folder;
        std::wstring instCmd;
        bool dsc, ssc, consoleAdmin, processAdmin;
        std::wstring expected;
    } cases[] = {
        {L"/opt/Glintcap", L"", true, true, true, true,
         L"\"/p/pkg.exe\" /S -console=show -version=1.0.0 -adminact=true -authorizationact=true -dsc=true "
         L"-ssc=true -instdir=\"/opt/Glintcap\" /D=/opt/Glintcap"},
        {L"", L"-lang=zh", false, true, false, true,
         L"\"/p/pkg.exe\" /S -console=show -version=1.0.0 -adminact=false -authorizationact=true -dsc=false "
         L"-ssc=true -lang=zh"},
        {L"/home/a b/G", L"-x=1 -y", true, false, true, false,
         L"\"/p/pkg.exe\" /S -console=show -version=1.0.0 -adminact=true -authorizationact=false -dsc=true "
         L"-ssc=false -x=1 -y -instdir=\"/home/a b/G\" /D=/home/a b/G"},
    };
    for (const Case& c : cases) {
        ScopedInstCmd instCmd(c.instCmd);
        PackageInstaller installer([](int, double, const wchar_t*) {}, L"\"/p/pkg.exe\"", L"unused");
        installer.SetInstallFolder(c.folder);
        installer.SetFlags(c.dsc, c.ssc, c.consoleAdmin, c.processAdmin);
        EXPECT_EQ(installer.BuildCommandLine(), c.expected);
    }
}

TEST(PackageInstallerParse, EveryKeyAndTheFinalLines) {
    std::wstring longest(771, L'v');
    struct Case {
        std::wstring chunk;
        std::vector<Report> reports;
        int result;
    } cases[] = {
        {L"Progress=0.5\nState=Success\n", {{2002, 0.5, L""}, {2003, 0.0, L""}}, kParseSuccess},
        {L"Progress=abc\nProgress= +0.25\n", {{2002, 0.0, L""}, {2002, 0.25, L""}}, kParseNoFinalLine},
        {L"State=success\nState=Fail \n", {{2004, 0.0, L"安装包安装失败"}}, kParseFailure},
        {L"Error=disk full\nMessage=after the end\n",
         {{2004, 1000.0, L"disk full"}, {3009, 0.0, L"after the end"}},
         kParseFailure},
        {L"State=Fail\nState=Success\n", {{2004, 0.0, L"安装包安装失败"}, {2003, 0.0, L""}}, kParseSuccess},
        {L"InstPath=\nInstPath=/opt/G\r\n", {{3000, 0.0, L""}, {3000, 0.0, L"/opt/G\r"}}, kParseNoFinalLine},
        {L"ExePath=/a\nStartExe=/b\nUninstExePath=/c\nUninstExe=/d\nUninstEp=/e\nStartUrl=http://x\n",
         {{3001, 0.0, L"/a"},
          {3001, 0.0, L"/b"},
          {3002, 0.0, L"/c"},
          {3002, 0.0, L"/d"},
          {3003, 0.0, L"/e"},
          {3004, 0.0, L"http://x"}},
         kParseNoFinalLine},
        {L"StartupStyle=Something\nStartupStyle= "
         L"AutoStartup\nStartupStyle=UserStartup\nStartupStyle=NonStartup\n",
         {{3005, 0.0, L""}, {3005, 1.0, L""}, {3005, 2.0, L""}, {3005, 0.0, L""}},
         kParseNoFinalLine},
        {L"TopShowDetention=1500\nFinsihCloseDetention=-1\nTopShowDetention=x\n",
         {{3007, 1500.0, L""}, {3008, 4294967295.0, L""}, {3007, 0.0, L""}},
         kParseNoFinalLine},
        {L"Message=" + longest + L"\nMessage=" + longest + L"w\n",
         {{3009, 0.0, longest}, {3009, 0.0, L""}},
         kParseNoFinalLine},
        {L"progress=0.5\n Progress=0.5\nEncode=UTF8\nInstallVersion=1.2.3\nunknown\n", {}, kParseNoFinalLine},
    };
    for (const Case& c : cases) {
        ReportRecorder recorder;
        PackageInstaller installer(recorder.Callback(), L"\"/p\"", L"");
        EXPECT_EQ(installer.ParseOutput(c.chunk), c.result) << Utils::ToNarrow(c.chunk, Utils::kCodePageUtf8);
        EXPECT_EQ(recorder.Reports(), c.reports) << Utils::ToNarrow(c.chunk, Utils::kCodePageUtf8);
    }
}

TEST(PackageInstallerParse, InstallVersionIsKept) {
    PackageInstaller installer([](int, double, const wchar_t*) {}, L"\"/p\"", L"");
    installer.ParseOutput(L"InstallVersion=2.10.7\n");
    EXPECT_EQ(installer.InstalledVersion().major, 2);
    EXPECT_EQ(installer.InstalledVersion().minor, 10);
    EXPECT_EQ(installer.InstalledVersion().patch, 7);
}

class PackageRun : public ::testing::Test {
protected:
    // Runs a fake package with `script` to its end and returns every report.
    std::vector<Report> Run(const std::string& script, const std::wstring& installFolder = L"") {
        std::string package = ScriptedProgram(kFakePackage, folder_.Child("__Package_Glintcap.exe"), script);
        return RunPath(Wide(package), installFolder);
    }
    std::vector<Report> RunPath(const std::wstring& package, const std::wstring& installFolder) {
        ReportRecorder recorder;
        {
            PackageInstaller installer(recorder.Callback(), L"\"" + package + L"\"", installFolder);
            installer.SetFlags(true, false, false, true);
            installer.RunPackage();
        }  // the destructor waits for the run to end
        return recorder.Reports();
    }
    static std::vector<Report> Started(std::vector<Report> rest) {
        rest.insert(rest.begin(), {kStart, kZeroProgress});
        return rest;
    }

    TestFolder folder_;
};

TEST_F(PackageRun, ReportSequences) {
    struct Case {
        const char* name;
        std::string script;
        std::vector<Report> reports;
    } cases[] = {
        {"silent package with an exit code", "exit 3\n", {kEndedByItself}},
        {"progress and state in one chunk",
         "raw Progress=0.5\\nState=Success\\n\nsleep 300\n",
         {{2002, 0.5, L""}, {2003, 0.0, L""}}},
        {"line cut across two reads",
         "raw Progr\nsleep 300\nraw ess=0.25\\nInstPath=/o\\n\n",
         {{2002, 0.25, L""}, {3000, 0.0, L"/o"}, kEndedByItself}},
        {"unfinished last line",
         "raw Message=no line feed\n",
         {{3009, 0.0, L"no line feed"}, kEndedByItself}},
        {"lower-case state ignored",
         "print State=success\nprint StartupStyle=Something\n",
         {{3005, 0.0, L""}, kEndedByItself}},
        {"GBK after Encode=936",
         "print Encode=936\nsleep 300\nprint Message=\\xc4\\xe3\\xba\\xc3\n",
         {{3009, 0.0, L"你好"}, kEndedByItself}},
        {"UTF-8 after Encode=UTF8",
         "print Encode=UTF8\nsleep 300\nprint Message=\\xe4\\xbd\\xa0\n",
         {{3009, 0.0, L"你"}, kEndedByItself}},
        {"error line, then exit", "print Error=disk full\nexit 0\n", {{2004, 1000.0, L"disk full"}}},
        {"fail written just before the end",
         "print Progress=1\nprint State=Fail\nexit 1\n",
         {{2002, 1.0, L""}, {2004, 0.0, L"安装包安装失败"}}},
        {"chatty after its final line",
         "print State=Success\nflood 2000000\nprint Error=late\n",
         {{2003, 0.0, L""}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.script), Started(c.reports)) << c.name;
    }
}

TEST_F(PackageRun, EndsWhenThePackageEndsThoughItsProductHoldsTheOutput) {
    std::string pidFile = folder_.Child("holder.pid");
    // Without a look at the package's state between reads this run would wait the holder's ten minutes.
    EXPECT_EQ(Run("hold-output 600000 " + pidFile + "\nprint Progress=0.5\n"),
              Started({{2002, 0.5, L""}, kEndedByItself}));
    std::string pid;
    ASSERT_TRUE(platform::ReadWholeFile(pidFile, &pid));
    kill(std::stoi(pid), SIGKILL);
}

TEST_F(PackageRun, ArgumentsTheFakePackageReceives) {
    std::string folder = folder_.Child("a b");
    std::string argv = folder_.Child("argv.txt");
    EXPECT_EQ(Run("record-argv " + argv + "\nprint State=Success\n", Wide(folder)),
              Started({{2003, 0.0, L""}}));
    std::string recorded;
    ASSERT_TRUE(platform::ReadWholeFile(argv, &recorded));
    EXPECT_EQ(
        recorded,
        "/S\n-console=show\n-version=1.0.0\n-adminact=false\n-authorizationact=true\n-dsc=true\n-ssc=false\n"
        "-instdir=" +
            folder + "\n/D=" + folder_.Child("a") + "\nb\n");
}

TEST_F(PackageRun, StartFailuresRunNothing) {
    std::string argv = folder_.Child("argv.txt");
    std::string package =
        ScriptedProgram(kFakePackage, folder_.Child("pkg.exe"), "record-argv " + argv + "\n");
    struct Case {
        const char* name;
        std::wstring package;
        std::wstring folder;
    } cases[] = {
        {"missing package", Wide(folder_.Child("missing.exe")), L""},
        {"quote in the folder", Wide(package), Wide(folder_.Child("x\" -evil=1 \""))},
        {"backslash closing the folder", Wide(package), Wide(folder_.Child("x\\"))},
        {"command line over 1023 characters", Wide(package), Wide(folder_.Child(std::string(1000, 'f')))},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RunPath(c.package, c.folder), Started({{2004, 2.0, L""}})) << c.name;
        EXPECT_FALSE(platform::PathExists(argv)) << c.name;
    }
}

TEST_F(PackageRun, SecondRunStartsAnewWithTheDefaultEncoding) {
    std::string package = ScriptedProgram(kFakePackage, folder_.Child("pkg.exe"),
                                          "print Message=\\xe4\\xbd\\xa0\nprint Encode=936\n");
    ReportRecorder recorder;
    {
        PackageInstaller installer(recorder.Callback(), L"\"" + Wide(package) + L"\"", L"");
        installer.RunPackage();
        installer.RunPackage();  // waits for the first run, then starts anew
    }
    std::vector<Report> once = Started({{3009, 0.0, L"你"}, kEndedByItself});
    std::vector<Report> twice = once;
    twice.insert(twice.end(), once.begin(), once.end());
    EXPECT_EQ(recorder.Reports(), twice);
}

}  // namespace
