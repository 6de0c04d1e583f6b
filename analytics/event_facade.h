#pragma once
// The installer's usage events: a thin facade over the one process-wide tracker. Every operation is
// safe to call at any time from any thread: before InitEventFacade, after ShutdownEventFacade, or
// with usage events switched off it does nothing.

#include <map>
#include <string>

// What the facade takes from the installer settings when it starts.
struct EventFacadeConfig {
    bool IsEnableAppAnalytics = true;
    std::wstring ProductName;
    std::wstring InstallerVersion;
    std::wstring ExeFileName;
    std::wstring DlAppNameSuffix;
    std::wstring m_DlAppVersion;
    std::string serverUrl;  // empty: the default collector endpoint
    std::string dataFolder; // empty: the user's data folder (tests point it elsewhere)
};

using ExtraProperties = std::map<std::wstring, std::wstring>;

void InitEventFacade(const EventFacadeConfig& config);
void ShutdownEventFacade();
void ReportTask(const std::wstring& name, float elapsedSeconds, ExtraProperties extra, const std::wstring& detail);
void ReportClick(ExtraProperties extra, const std::wstring& name);
void ReportView(ExtraProperties extra);
void ReportCrash();
