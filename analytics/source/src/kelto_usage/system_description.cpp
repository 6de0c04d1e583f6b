#include "kelto_usage/system_description.h"

#include "platform/system_info.h"

namespace kelto::usage {

OsDescription DescribeOs() {
    platform::OsRelease release = platform::GetOsRelease();
    OsDescription os;
    os.name = release.systemName;
    os.version = release.prettyName.empty() ? release.kernelRelease : release.prettyName;
    os.is64Bit = platform::Is64BitMachine();
    return os;
}

std::string WindowsVersionLabel(int major, int minor, int build, bool is64Bit, bool isServerR2) {
    if (major <= 4) {
        return "XP-";
    }
    if (major == 5) {
        switch (minor) {
            case 0:
                return "2K";
            case 1:
                return "XP";
            case 2:
                return is64Bit ? "XP64" : isServerR2 ? "Server 2003 R2" : "Server 2003";
            default:
                return "XP+";
        }
    }
    if (major == 6) {
        switch (minor) {
            case 0:
                return is64Bit ? "Vista64" : "Vista";
            case 1:
                return is64Bit ? "7" : "7-32";
            case 2:
                return is64Bit ? "8" : "8-32";
            case 3:
                return "8.1";
            default:
                return "8.1+";
        }
    }
    if (major == 10) {
        return minor == 0 ? "10" : "10+";
    }
    return std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(build & 0xFFFF);
}

std::string UserAgentText(const OsDescription& os) {
    return "Mozilla/5.0(" + os.name + " " + os.version + "; Win" + (os.is64Bit ? "64;)" : "32;)");
}

LocaleDescription DescribeLocale(const std::string& trackerLocale, const std::string& userLocaleName) {
    LocaleDescription result;
    auto underscore = trackerLocale.find('_');
    if (underscore != std::string::npos) {
        result.language = trackerLocale.substr(0, underscore);
        result.country = trackerLocale.substr(underscore + 1);
        result.locale = trackerLocale;
    }
    if (!result.language.empty()) {
        return result;
    }
    // "ll_CC.charset@modifier": the language and country parts only; "C" and "POSIX" say nothing.
    std::string name = userLocaleName.substr(0, userLocaleName.find_first_of(".@"));
    underscore = name.find('_');
    if (underscore == std::string::npos || underscore == 0 || underscore + 1 == name.size()) {
        return LocaleDescription{};
    }
    result.language = name.substr(0, underscore);
    result.country = name.substr(underscore + 1);
    result.locale = result.language + "_" + result.country;
    return result;
}

}  // namespace kelto::usage
