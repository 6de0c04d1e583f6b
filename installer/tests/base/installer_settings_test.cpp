#include "installer_settings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "testing/test_folder.h"

namespace {

struct SettingsCase {
    const char* name;
    const char* iniText;  // nullptr: no settings file
    std::vector<std::wstring> args;
    int downloadType;
    bool isCheckNet;
    bool isEnableAppAnalytics;
    double downloadScale;  // NaN: expected not-a-number
    std::wstring downloadUrl;
    std::wstring instCmd;
};

const std::wstring kBuiltIn = kDefaultDownloadUrl;

TEST(InstallerSettings, MergesDefaultsFileAndCommandLine) {
    const double nan = std::nan("");
    const SettingsCase cases[] = {
        {"no file, no options", nullptr, {L"/x/setup"}, 1, false, true, 0.7, kBuiltIn, L""},
        {"header only turns the network check on", "[Install]\n", {}, 1, true, true, 0.7, kBuiltIn, L""},
        {"True is not true",
         "[Install]\nIsCheckNet=True\nIsEnableAppAnalytics=false\n",
         {},
         1,
         false,
         false,
         0.7,
         kBuiltIn,
         L""},
        {"file values trimmed, keys any case",
         "[install]\n  downloadtype = 3 \nDownloadScale= 0.5x\nInstCmd=-a b\n",
         {},
         3,
         true,
         true,
         0.5,
         kBuiltIn,
         L"-a b"},
        {"unreadable file numbers",
         "[Install]\nDownloadType=abc\nDownloadScale=abc\n",
         {},
         0,
         true,
         true,
         0.0,
         kBuiltIn,
         L""},
        {"garbage lines are skipped",
         "junk\n[Install\nDownloadType=2\n=x\n[Other]\nDownloadType=9\n",
         {},
         2,
         true,
         true,
         0.7,
         kBuiltIn,
         L""},
        {"options override the file",
         "[Install]\nDownloadType=2\n",
         {L"prog", L"-downloadtype=3", L"-ischecknet=true", L"-instcmd=-lang=en"},
         3,
         true,
         true,
         0.7,
         kBuiltIn,
         L"-lang=en"},
        {"first of two options wins",
         nullptr,
         {L"-downloadurl=http://a/1", L"-downloadurl=http://b/2"},
         1,
         false,
         true,
         0.7,
         L"http://a/1",
         L""},
        {"x gives 0", nullptr, {L"-downloadtype=x"}, 0, false, true, 0.7, kBuiltIn, L""},
        {"wrong case and missing dash ignored",
         nullptr,
         {L"-DownloadType=3", L"downloadtype=3"},
         1,
         false,
         true,
         0.7,
         kBuiltIn,
         L""},
        {"bare option gives false and empty",
         nullptr,
         {L"-ischecknet", L"-isenableappanalytics", L"-downloadurl"},
         1,
         false,
         false,
         0.7,
         L"",
         L""},
        {"unreadable scale option is NaN",
         nullptr,
         {L"-downloadscale=abc", L"-downloadtype= -7z"},
         -7,
         false,
         true,
         nan,
         kBuiltIn,
         L""},
        {"huge numbers are unreadable",
         nullptr,
         {L"-downloadtype=99999999999", L"-downloadscale=1e999"},
         0,
         false,
         true,
         nan,
         kBuiltIn,
         L""},
        {"bare analytics option switches events off",
         nullptr,
         {L"-isenableappanalytics="},
         1,
         false,
         false,
         0.7,
         kBuiltIn,
         L""},
    };
    for (const SettingsCase& c : cases) {
        SCOPED_TRACE(c.name);
        TestFolder folder;
        if (c.iniText != nullptr) {
            std::ofstream(folder.Child("KeltoInstallerConfig.ini")) << c.iniText;
        }
        InstallerSettings settings(folder.Child("GlintcapSetup"), folder.path());
        settings.ParseOptions(c.args);
        EXPECT_EQ(settings.DownloadType, c.downloadType);
        EXPECT_EQ(settings.IsCheckNet, c.isCheckNet);
        EXPECT_EQ(settings.IsEnableAppAnalytics, c.isEnableAppAnalytics);
        if (std::isnan(c.downloadScale)) {
            EXPECT_TRUE(std::isnan(settings.DownloadScale));
        } else {
            EXPECT_DOUBLE_EQ(settings.DownloadScale, c.downloadScale);
        }
        EXPECT_EQ(settings.InstCmd, c.instCmd);
        EXPECT_EQ(settings.ProductName, L"Glintcap");
        EXPECT_EQ(settings.InstallerVersion, L"1.7.9");
        EXPECT_EQ(settings.ExeFileName, L"GlintcapSetup");
        EXPECT_EQ(settings.DownloadUrl, c.downloadUrl);
    }
}

TEST(InstallerSettings, BuiltInAddressHasThePackagePathAndNoPlaceholder) {
    std::wstring url = kDefaultDownloadUrl;
    EXPECT_EQ(url.rfind(L"https://", 0), 0u);
    EXPECT_NE(url.find(L".example/software/216"), std::wstring::npos);
    EXPECT_EQ(url.find(L"${ROUTE}"), std::wstring::npos);
}

TEST(InstallerSettings, RouteSubstitution) {
    EXPECT_EQ(InstallerSettings::RouteForVersionLabel(L"10"), L"download_silent");
    EXPECT_EQ(InstallerSettings::RouteForVersionLabel(L"XP"), L"download_silent_xp");
    EXPECT_EQ(InstallerSettings::RouteForVersionLabel(L"XP-"), L"download_silent_xp");
    EXPECT_EQ(InstallerSettings::RouteForVersionLabel(L"XP+"), L"download_silent_xp");
    EXPECT_EQ(InstallerSettings::RouteForVersionLabel(L"6.1.0"), L"download_silent");

    TestFolder folder;
    std::ofstream(folder.Child("KeltoInstallerConfig.ini"))
        << "[Install]\nDownloadUrl=http://h/${ROUTE}/${ROUTE}/setup.exe\n";
    InstallerSettings settings(folder.Child("setup"), folder.path());
    EXPECT_EQ(settings.DownloadUrl, L"http://h/download_silent/download_silent/setup.exe");
}

}  // namespace
