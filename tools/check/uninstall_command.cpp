// glintcap-check uninstall --uninstaller PATH --folder DIR
// Runs an uninstaller the way the installer removes a previous version (but from where it is, not
// from a copy), prints its command line and every report. Exits 0 when it reported success (5003)
// and no failure (5004, 5005), else 1.

#include <cstdio>
#include <string>

#include "install/uninstaller.h"
#include "report_printer.h"
#include "utils/text.h"

int RunUninstallCommand(int argc, char** argv) {
    std::string uninstaller, folder;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string name = argv[i];
        if (name == "--uninstaller") {
            uninstaller = argv[i + 1];
        } else if (name == "--folder") {
            folder = argv[i + 1];
        } else {
            uninstaller.clear();
            break;
        }
    }
    if (argc % 2 != 1 || uninstaller.empty()) {
        std::fprintf(stderr, "usage: glintcap-check uninstall --uninstaller PATH --folder DIR\n");
        return 2;
    }
    ReportPrinter printer;
    {
        UnInstaller run(
            [&printer](int code, double value, const wchar_t* text) { printer.Print(code, value, text); },
            Utils::ToWide(uninstaller, Utils::kCodePageAnsi), Utils::ToWide(folder, Utils::kCodePageAnsi));
        std::printf("cmdline\t%s\n", Utils::ToNarrow(run.BuildCommandLine(), Utils::kCodePageUtf8).c_str());
        std::fflush(stdout);
        run.Start();
    }  // waits for the uninstaller to end
    return printer.Seen(UNIST_CODE_SUCCESS) && !printer.Seen(UNIST_CODE_FAIL) &&
                   !printer.Seen(UNIST_CODE_ERROR)
               ? 0
               : 1;
}
