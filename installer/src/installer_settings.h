#pragma once
// The installer's process-wide configuration: built-in defaults, then "KeltoInstallerConfig.ini"
// beside the executable, then the command line. Written only during start-up; read-only afterwards.

#include <atomic>
#include <string>
#include <vector>

// The built-in package address; it holds no route placeholder.
inline constexpr const wchar_t* kDefaultDownloadUrl = L"https://download.glintcap.example/software/216";

class InstallerSettings {
public:
    // Defaults, then the settings file beside the executable.
    InstallerSettings();
    // Defaults, then the settings file in `folder` with `exePath` as our own file (tests).
    InstallerSettings(const std::string& exePath, const std::string& settingsFolder);

    // Reads the settings file if it exists.
    void LoadSettings();
    // Stores `text` as DownloadUrl with every "${ROUTE}" replaced by the route for this system.
    void SetDownloadUrl(const std::wstring& text);
    // Applies the process's own command line (/proc/self/cmdline).
    void ParseOptions();
    // Applies the given arguments; element 0 (the program) takes part like any other.
    void ParseOptions(const std::vector<std::wstring>& args);

    std::wstring ProductName;
    std::wstring InstallerVersion;
    std::wstring ExeFileName;
    std::wstring DlAppNameSuffix;
    std::wstring m_DlAppVersion;
    std::wstring InstCmd;
    std::wstring DownloadUrl;
    int DownloadType;
    bool IsCheckNet;
    bool IsEnableAppAnalytics;
    double DownloadScale;
    // Cleared when libcurl's global initialisation fails; read by download threads.
    std::atomic<bool> CurlReady;
    std::wstring AbLabel;

    // The route placeholder's replacement for an OS version label ("XP" anywhere -> the XP route).
    static std::wstring RouteForVersionLabel(const std::wstring& label);

private:
    void SetDefaults();
    std::string exePath_;
    std::string settingsFolder_;
};

// The process-wide record, constructed (and loaded) during static initialisation.
InstallerSettings& Settings();
