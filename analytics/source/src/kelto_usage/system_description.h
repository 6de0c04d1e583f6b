#pragma once
// What the tracker says about the system: OS name and version, the user agent text and the locale.

#include <string>

namespace kelto::usage {

struct OsDescription {
    std::string name;     // "$os", "kt_os"
    std::string version;  // "$os_version", "kt_os_version"
    bool is64Bit = false;
};

// The running system, reported truthfully: the kernel's name and the distribution's pretty name
// (the kernel release when the distribution does not say).
OsDescription DescribeOs();

// The label Windows versions are known by, from the NT version numbers: 6.1 on a 64-bit system is
// "7", on a 32-bit one "7-32"; a major of 4 or less is "XP-".
std::string WindowsVersionLabel(int major, int minor, int build, bool is64Bit, bool isServerR2);

// "Mozilla/5.0(" + name + " " + version + "; Win64;)" (or "; Win32;)").
std::string UserAgentText(const OsDescription& os);

struct LocaleDescription {
    std::string locale;    // "kt_l10n_locale", e.g. "zh_CN"
    std::string language;  // "kt_l10n_language", e.g. "zh"
    std::string country;   // "kt_l10n_country", e.g. "CN"
};

// From the tracker's locale text when it holds "_"; otherwise from the user's locale settings
// (`userLocaleName` such as "zh_CN.UTF-8"). Empty fields when neither says.
LocaleDescription DescribeLocale(const std::string& trackerLocale, const std::string& userLocaleName);

}  // namespace kelto::usage
