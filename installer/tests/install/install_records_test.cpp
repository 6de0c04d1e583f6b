#include "install/install_records.h"

#include <gtest/gtest.h>

#include <regex>

#include "fake_programs.h"
#include "install/package_installer.h"
#include "platform/ini_file.h"
#include "platform/paths.h"
#include "report_recorder.h"
#include "testing/test_folder.h"
#include "utils/text.h"

namespace {

std::wstring Wide(const std::string& text) {
    return Utils::ToWide(text, Utils::kCodePageUtf8);
}

class InstallRecords : public ::testing::Test {
protected:
    TestFolder folder_;
    platform::UserRegistry registry_{folder_.Child("registry")};
};

TEST_F(InstallRecords, ReadingWithTheUninstallerRule) {
    struct Case {
        const char* installPath;  // nullptr: value missing
        const char* uninstallEp;
        InstallRecord expected;
    } cases[] = {
        {nullptr, nullptr, {L"", L""}},
        {"/apps/Glintcap", nullptr, {L"/apps/Glintcap", L"/apps/Glintcap/uninst.ep"}},
        {"/apps/Glintcap", "/elsewhere/u.ep", {L"/apps/Glintcap", L"/elsewhere/u.ep"}},
        {nullptr, "/elsewhere/u.ep", {L"", L"/elsewhere/u.ep"}},
    };
    int n = 0;
    for (const Case& c : cases) {
        platform::UserRegistry registry(folder_.Child("registry" + std::to_string(n++)));
        if (c.installPath) {
            registry.SetString(kInstallRecordKey, "InstallPath", c.installPath);
        }
        if (c.uninstallEp) {
            registry.SetString(kInstallRecordKey, "UnInstallEp", c.uninstallEp);
        }
        InstallRecord record = ReadInstallRecord(registry);
        EXPECT_EQ(record.installPath, c.expected.installPath);
        EXPECT_EQ(record.uninstallEp, c.expected.uninstallEp);
    }
}

TEST_F(InstallRecords, MissingUninstallerKeepsTheOldValue) {
    std::string first = folder_.Child("first");
    std::string second = folder_.Child("second");
    ASSERT_TRUE(platform::MakeDirectory(first) && platform::MakeDirectory(second));
    ASSERT_TRUE(platform::WriteFileAtomic(first + "/uninst.ep", "u"));

    WriteInstallRecord(Wide(first), L"", registry_);
    EXPECT_EQ(ReadInstallRecord(registry_).uninstallEp, Wide(first + "/uninst.ep"));

    WriteInstallRecord(Wide(second), Wide(second + "/reported.ep"), registry_);
    InstallRecord record = ReadInstallRecord(registry_);
    EXPECT_EQ(record.installPath, Wide(second));
    EXPECT_EQ(record.uninstallEp, Wide(first + "/uninst.ep"));

    ASSERT_TRUE(platform::WriteFileAtomic(second + "/reported.ep", "u"));
    WriteInstallRecord(Wide(second), Wide(second + "/reported.ep"), registry_);
    EXPECT_EQ(ReadInstallRecord(registry_).uninstallEp, Wide(second + "/reported.ep"));
}

TEST_F(InstallRecords, PackageReportedFolderMovesTheRecords) {
    std::string chosen = folder_.Child("chosen");
    std::string reported = folder_.Child("reported");
    ASSERT_TRUE(platform::MakeDirectory(chosen));
    std::string package =
        ScriptedProgram(kFakePackage, folder_.Child("pkg.exe"),
                        "install-product\nprint InstPath=" + reported + "\nprint UninstEp=" + reported +
                            "/uninst.ep\nprint State=Success\n");
    // The package installs into the reported folder whatever it was asked for.
    ASSERT_TRUE(platform::MakeDirectory(reported));
    std::wstring reportedFolder, reportedUninstaller;
    {
        PackageInstaller installer(
            [&](int code, double, const wchar_t* text) {
                if (code == IST_CODE_INST_PATH) {
                    reportedFolder = text;
                } else if (code == IST_CODE_UNINST_EP) {
                    reportedUninstaller = text;
                }
            },
            L"\"" + Wide(package) + L"\"", Wide(reported));
        installer.RunPackage();
    }
    std::wstring folder = RecordedInstallFolder(Wide(chosen), reportedFolder);
    WriteInstallRecord(folder, reportedUninstaller, registry_);
    WriteSetIni(folder, Wide(folder_.Child("appdata/KeltoData/Glintcap")));

    InstallRecord record = ReadInstallRecord(registry_);
    EXPECT_EQ(record.installPath, Wide(reported));
    EXPECT_EQ(record.uninstallEp, Wide(reported + "/uninst.ep"));
    EXPECT_TRUE(platform::PathExists(reported + "/set.ini"));
    EXPECT_FALSE(platform::PathExists(chosen + "/set.ini"));
    EXPECT_EQ(RecordedInstallFolder(Wide(chosen), L""), Wide(chosen));
}

TEST_F(InstallRecords, SetIniAndAnalyticsSettings) {
    std::string install = folder_.Child("install");
    std::string data = folder_.Child("appdata/KeltoData/Glintcap");
    ASSERT_TRUE(platform::MakeDirectory(install));
    platform::IniFile setIni(install + "/set.ini");

    WriteSetIni(Wide(install), Wide(data));
    std::string firstId = setIni.GetString("Install", "DeviceID", "");
    WriteSetIni(Wide(install), Wide(data));
    std::string secondId = setIni.GetString("Install", "DeviceID", "");

    EXPECT_TRUE(std::regex_match(firstId, std::regex("[0-9A-F]{12}[0-9a-f]{4}[0-9A-F]{16}"))) << firstId;
    EXPECT_NE(firstId, secondId);
    EXPECT_EQ(setIni.GetString("Install", "AppName", ""), "Glintcap");
    EXPECT_EQ(setIni.GetString("Install", "APPStore", ""), platform::FileNameOf(platform::ExecutablePath()));
    EXPECT_EQ(setIni.GetString("Install", "KTUsageAnalyticsIni", ""), data + "/KTUsageAnalytics.ini");
    std::string updateTime =
        platform::IniFile(data + "/KTUsageAnalytics.ini").GetString("Init", "UpdateTime", "");
    EXPECT_TRUE(std::regex_match(updateTime, std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)"))) << updateTime;
}

TEST_F(InstallRecords, DataFolderThatCannotBeCreated) {
    std::string install = folder_.Child("install");
    ASSERT_TRUE(platform::MakeDirectory(install));
    ASSERT_TRUE(platform::WriteFileAtomic(folder_.Child("blocker"), "a file where a folder should be"));

    WriteSetIni(Wide(install), Wide(folder_.Child("blocker/KeltoData/Glintcap")));
    platform::IniFile setIni(install + "/set.ini");
    EXPECT_EQ(setIni.GetString("Install", "AppName", ""), "Glintcap");
    EXPECT_FALSE(setIni.Find("Install", "KTUsageAnalyticsIni").has_value());
    EXPECT_EQ(DataFolderIn(L"/home/u/.local/share"), L"/home/u/.local/share/KeltoData/Glintcap");
}

}  // namespace
