#include "install/install_records.h"

#include <cstdio>

#include "platform/folders.h"
#include "platform/ini_file.h"
#include "platform/paths.h"
#include "platform/system_info.h"
#include "utils/folders.h"
#include "utils/system_checks.h"
#include "utils/text.h"

namespace {

std::string Utf8(const std::wstring& text) {
    return Utils::ToNarrow(text, Utils::kCodePageUtf8);
}
std::wstring Wide(const std::string& text) {
    return Utils::ToWide(text, Utils::kCodePageUtf8);
}

std::wstring UninstallerIn(const std::wstring& installFolder) {
    return Wide(platform::JoinPath(Utf8(installFolder), "uninst.ep"));
}

std::string LocalTimeText() {
    platform::LocalTime now = platform::NowLocal();
    char text[64];
    std::snprintf(text, sizeof text, "%d-%02d-%02d %02d:%02d:%02d", now.year, now.month, now.day, now.hour,
                  now.minute, now.second);
    return text;
}

}  // namespace

InstallRecord ReadInstallRecord(const platform::UserRegistry& registry) {
    InstallRecord record;
    record.installPath = Wide(registry.GetString(kInstallRecordKey, "InstallPath").value_or(""));
    record.uninstallEp = Wide(registry.GetString(kInstallRecordKey, "UnInstallEp").value_or(""));
    if (record.uninstallEp.empty() && !record.installPath.empty()) {
        record.uninstallEp = UninstallerIn(record.installPath);
    }
    return record;
}

std::wstring RecordedInstallFolder(const std::wstring& chosenFolder, const std::wstring& reportedFolder) {
    return reportedFolder.empty() ? chosenFolder : reportedFolder;
}

void WriteInstallRecord(const std::wstring& installFolder, const std::wstring& reportedUninstaller,
                        const platform::UserRegistry& registry) {
    if (!registry.SetString(kInstallRecordKey, "InstallPath", Utf8(installFolder))) {
        return;
    }
    std::wstring uninstaller =
        reportedUninstaller.empty() ? UninstallerIn(installFolder) : reportedUninstaller;
    if (platform::PathExists(Utf8(uninstaller))) {
        registry.SetString(kInstallRecordKey, "UnInstallEp", Utf8(uninstaller));
    }
}

std::wstring DataFolderIn(const std::wstring& applicationDataFolder) {
    if (applicationDataFolder.empty()) {
        return {};
    }
    return Wide(platform::JoinPath(platform::JoinPath(Utf8(applicationDataFolder), "KeltoData"), "Glintcap"));
}

std::wstring DataFolder() {
    std::string appData = platform::GetSpecialFolder(platform::SpecialFolder::kApplicationData);
    if (appData.empty()) {
        appData = platform::GetSpecialFolder(platform::SpecialFolder::kCommonDocuments);
    }
    return DataFolderIn(Wide(appData));
}

void WriteSetIni(const std::wstring& installFolder) {
    WriteSetIni(installFolder, DataFolder());
}

void WriteSetIni(const std::wstring& installFolder, const std::wstring& dataFolder) {
    platform::IniFile setIni(platform::JoinPath(Utf8(installFolder), "set.ini"));
    setIni.SetString("Install", "APPStore", platform::FileNameOf(platform::ExecutablePath()));
    setIni.SetString("Install", "AppName", "Glintcap");
    setIni.SetString("Install", "DeviceID", Utf8(Utils::NewGuidText()));
    if (dataFolder.empty() || !Utils::CreateDirectories(dataFolder)) {
        return;
    }
    std::string analyticsIni = platform::JoinPath(Utf8(dataFolder), "KTUsageAnalytics.ini");
    setIni.SetString("Install", "KTUsageAnalyticsIni", analyticsIni);
    platform::IniFile(analyticsIni).SetString("Init", "UpdateTime", LocalTimeText());
}
