// glintcap-check package --package PATH --instdir DIR [--dsc B] [--ssc B] [--adminact B]
//                        [--authorizationact B] [--instcmd TEXT]
// Runs a package the way the installer does and prints "cmdline<TAB>" + its command line, then every
// report. Exits 0 when the package reported success (2003) and no failure (2004), else 1. This is how
// a package author checks a package against the protocol (docs/package-protocol.md).

#include <cstdio>
#include <map>
#include <string>

#include "install/package_installer.h"
#include "installer_settings.h"
#include "report_printer.h"
#include "utils/system_checks.h"
#include "utils/text.h"

namespace {

// "--name value" pairs; false for an odd count or an unknown name.
bool ParsePairs(int argc, char** argv, std::map<std::string, std::string>* options) {
    if (argc % 2 != 1) {
        return false;
    }
    for (int i = 1; i + 1 < argc; i += 2) {
        if (options->count(argv[i]) == 0) {
            return false;
        }
        (*options)[argv[i]] = argv[i + 1];
    }
    return true;
}

bool ConsoleUserIsAdmin() {
    std::wstring user;
    return Utils::GetConsoleUserName(user) && Utils::IsAdminAccount(user);
}

std::wstring Wide(const std::string& text) {
    return Utils::ToWide(text, Utils::kCodePageAnsi);
}

}  // namespace

int RunPackageCommand(int argc, char** argv) {
    std::map<std::string, std::string> options = {
        {"--package", ""},
        {"--instdir", ""},
        {"--dsc", "true"},
        {"--ssc", "true"},
        {"--adminact", ConsoleUserIsAdmin() ? "true" : "false"},
        {"--authorizationact", Utils::IsUserAdmin() ? "true" : "false"},
        {"--instcmd", ""},
    };
    if (!ParsePairs(argc, argv, &options) || options["--package"].empty()) {
        std::fprintf(stderr,
                     "usage: glintcap-check package --package PATH --instdir DIR [--dsc true|false] "
                     "[--ssc true|false] [--adminact true|false] [--authorizationact true|false] "
                     "[--instcmd TEXT]\n");
        return 2;
    }
    Settings().InstCmd = Wide(options["--instcmd"]);
    ReportPrinter printer;
    {
        PackageInstaller installer(
            [&printer](int code, double value, const wchar_t* text) { printer.Print(code, value, text); },
            L"\"" + Wide(options["--package"]) + L"\"", Wide(options["--instdir"]));
        installer.SetFlags(options["--dsc"] == "true", options["--ssc"] == "true",
                           options["--adminact"] == "true", options["--authorizationact"] == "true");
        std::printf("cmdline\t%s\n",
                    Utils::ToNarrow(installer.BuildCommandLine(), Utils::kCodePageUtf8).c_str());
        std::fflush(stdout);
        installer.RunPackage();
    }  // waits for the package to end
    return printer.Seen(IST_CODE_SUCCESS) && !printer.Seen(IST_CODE_FAIL) ? 0 : 1;
}
