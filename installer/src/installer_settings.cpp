#include "installer_settings.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cwchar>
#include <limits>
#include <map>

#include "platform/ini_file.h"
#include "platform/paths.h"
#include "platform/process_arguments.h"
#include "utils/system_checks.h"
#include "utils/text.h"

namespace {

constexpr const char* kSettingsFileName = "KeltoInstallerConfig.ini";
constexpr const char* kSection = "Install";
constexpr const wchar_t* kRoutePlaceholder = L"${ROUTE}";

std::string Narrow(const std::wstring& text) {
    return Utils::ToNarrow(text, Utils::kCodePageUtf8);
}
std::wstring Wide(const std::string& text) {
    return Utils::ToWide(text, Utils::kCodePageUtf8);
}

// Leading blanks skipped, text after the number ignored; `unreadable` when no number begins.
double ParseDecimal(const std::wstring& text, double unreadable) {
    const wchar_t* begin = text.c_str();
    wchar_t* end = nullptr;
    errno = 0;
    double value = std::wcstod(begin, &end);
    if (end == begin || errno == ERANGE) {
        return unreadable;  // no number, or one too large to represent
    }
    return value;
}

// Leading blanks and a sign allowed, text after the digits ignored; 0 when no number begins.
int ParseInteger(const std::wstring& text) {
    const wchar_t* begin = text.c_str();
    wchar_t* end = nullptr;
    errno = 0;
    long value = std::wcstol(begin, &end, 10);
    if (end == begin || errno == ERANGE || value < std::numeric_limits<int>::min() ||
        value > std::numeric_limits<int>::max()) {
        return 0;
    }
    return static_cast<int>(value);
}

}  // namespace

InstallerSettings::InstallerSettings()
    : InstallerSettings(platform::ExecutablePath(), platform::DirectoryOf(platform::ExecutablePath())) {}

InstallerSettings::InstallerSettings(const std::string& exePath, const std::string& settingsFolder)
    : exePath_(exePath), settingsFolder_(settingsFolder) {
    SetDefaults();
    LoadSettings();
    ProductName = L"Glintcap";
    InstallerVersion = L"1.7.9";
}

void InstallerSettings::SetDefaults() {
    ProductName = L"Glintcap";
    InstallerVersion = L"1.7.9";
    ExeFileName = Wide(platform::FileNameOf(exePath_));
    DlAppNameSuffix = L".downloader";
    m_DlAppVersion.clear();
    InstCmd.clear();
    SetDownloadUrl(kDefaultDownloadUrl);
    DownloadType = 1;
    IsCheckNet = false;
    IsEnableAppAnalytics = true;
    DownloadScale = 0.7;
    CurlReady = true;
    AbLabel = L"IN";
}

void InstallerSettings::LoadSettings() {
    ExeFileName = Wide(platform::FileNameOf(exePath_));
    platform::IniFile ini(platform::JoinPath(settingsFolder_, kSettingsFileName));
    if (!platform::PathExists(ini.path())) {
        return;
    }
    auto get = [&](const char* key, const char* fallback) {
        return Wide(ini.GetString(kSection, key, fallback));
    };
    SetDownloadUrl(get("DownloadUrl", Narrow(kDefaultDownloadUrl).c_str()));
    DownloadType = ini.GetInt(kSection, "DownloadType", 1);
    IsCheckNet = get("IsCheckNet", "true") == L"true";
    IsEnableAppAnalytics = get("IsEnableAppAnalytics", "true") == L"true";
    DlAppNameSuffix = get("DlAppNameSuffix", ".downloader");
    m_DlAppVersion = get("m_DlAppVersion", "");
    DownloadScale = ParseDecimal(get("DownloadScale", "0.7"), 0.0);
    InstCmd = get("InstCmd", "");
}

std::wstring InstallerSettings::RouteForVersionLabel(const std::wstring& label) {
    return label.find(L"XP") != std::wstring::npos ? L"download_silent_xp" : L"download_silent";
}

void InstallerSettings::SetDownloadUrl(const std::wstring& text) {
    if (text.find(kRoutePlaceholder) == std::wstring::npos) {
        DownloadUrl = text;
        return;
    }
    std::wstring name, label;
    Utils::GetOsNameAndVersion(name, label);
    DownloadUrl = Utils::ReplaceAll(text, kRoutePlaceholder, RouteForVersionLabel(label));
}

void InstallerSettings::ParseOptions() {
    std::vector<std::wstring> args;
    for (const std::string& arg : platform::ProcessArguments()) {
        args.push_back(Wide(arg));
    }
    ParseOptions(args);
}

void InstallerSettings::ParseOptions(const std::vector<std::wstring>& args) {
    std::map<std::wstring, std::wstring> options;
    for (const std::wstring& arg : args) {
        size_t eq = arg.find(L'=');
        if (!arg.empty() && arg[0] == L'-' && eq != std::wstring::npos) {
            options.emplace(arg.substr(0, eq), arg.substr(eq + 1));  // the first occurrence stays
        } else {
            options.emplace(arg, L"");
        }
    }
    auto apply = [&](const wchar_t* key, auto&& set) {
        auto it = options.find(key);
        if (it != options.end()) {
            set(it->second);
        }
    };
    apply(L"-downloadurl", [&](const std::wstring& v) { SetDownloadUrl(v); });
    apply(L"-downloadtype", [&](const std::wstring& v) { DownloadType = ParseInteger(v); });
    apply(L"-downloadscale", [&](const std::wstring& v) {
        DownloadScale = ParseDecimal(v, std::numeric_limits<double>::quiet_NaN());
    });
    apply(L"-ischecknet", [&](const std::wstring& v) { IsCheckNet = v == L"true"; });
    apply(L"-isenableappanalytics", [&](const std::wstring& v) { IsEnableAppAnalytics = v == L"true"; });
    apply(L"-dlappnamesuffix", [&](const std::wstring& v) { DlAppNameSuffix = v; });
    apply(L"-dlappversion", [&](const std::wstring& v) { m_DlAppVersion = v; });
    apply(L"-instcmd", [&](const std::wstring& v) { InstCmd = v; });
}

InstallerSettings& Settings() {
    static InstallerSettings settings;
    return settings;
}
