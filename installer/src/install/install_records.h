#pragma once
// The records an installation leaves behind: the per-user registry key that names the install folder
// and the uninstaller, "set.ini" in the install folder, and the analytics settings file in the user's
// data folder. The main window reads them at start-up and writes them around the package's run.

#include <string>

#include "platform/user_registry.h"

inline constexpr const char* kInstallRecordKey = "Software\\KeltoSoft\\Glintcap";

struct InstallRecord {
    std::wstring installPath;  // empty when not recorded
    std::wstring uninstallEp;  // "uninst.ep" in the install folder when only the folder is recorded
};

// The recorded installation; both empty for a fresh machine.
InstallRecord ReadInstallRecord(const platform::UserRegistry& registry = platform::UserRegistry());

// The folder the records name: the one the package reported with "InstPath=" when it did, else the
// one the user chose.
std::wstring RecordedInstallFolder(const std::wstring& chosenFolder, const std::wstring& reportedFolder);

// Records the install folder, and the uninstaller (the one the package reported with "UninstEp=", else
// "uninst.ep" in the folder) when that file exists; otherwise "UnInstallEp" keeps its old value.
void WriteInstallRecord(const std::wstring& installFolder, const std::wstring& reportedUninstaller,
                        const platform::UserRegistry& registry = platform::UserRegistry());

// The data folder: the user's application-data folder + "/KeltoData/Glintcap"; empty when unknown.
std::wstring DataFolder();
std::wstring DataFolderIn(const std::wstring& applicationDataFolder);

// Writes "set.ini" in the install folder (with a new "DeviceID" every time) and "UpdateTime" into
// "KTUsageAnalytics.ini" in the data folder. Without a data folder only "set.ini" is written, and
// without "KTUsageAnalyticsIni".
void WriteSetIni(const std::wstring& installFolder);
void WriteSetIni(const std::wstring& installFolder, const std::wstring& dataFolder);
