// glintcap-check install --url URL --instdir DIR [--type N] [--previous-uninstaller PATH]
// The whole orchestrated run: removal of the previous version when an uninstaller is given, download
// with the downloader kind N (DownloadType), install. Prints every report until the run ends; exits
// 0 when the install succeeded, else 1. It writes no install records.

#include <curl/curl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "install/download_installer.h"
#include "installer_settings.h"
#include "report_printer.h"
#include "utils/system_checks.h"
#include "utils/text.h"

int RunInstallCommand(int argc, char** argv) {
    std::string url, instdir, previous;
    int type = 1;
    bool valid = argc % 2 == 1;
    for (int i = 1; valid && i + 1 < argc; i += 2) {
        std::string name = argv[i];
        if (name == "--url") {
            url = argv[i + 1];
        } else if (name == "--instdir") {
            instdir = argv[i + 1];
        } else if (name == "--previous-uninstaller") {
            previous = argv[i + 1];
        } else if (name == "--type") {
            char* end = nullptr;
            type = static_cast<int>(std::strtol(argv[i + 1], &end, 10));
            valid = *end == '\0';
        } else {
            valid = false;
        }
    }
    if (!valid || url.empty() || instdir.empty()) {
        std::fprintf(stderr,
                     "usage: glintcap-check install --url URL --instdir DIR [--type N] "
                     "[--previous-uninstaller PATH]\n");
        return 2;
    }
    // Before any thread, as the installer's start-up does.
    if (curl_global_init(CURL_GLOBAL_ALL) != CURLE_OK) {
        Settings().CurlReady = false;
    }
    Settings().DownloadType = type;
    std::wstring consoleUser;
    bool consoleUserIsAdmin = Utils::GetConsoleUserName(consoleUser) && Utils::IsAdminAccount(consoleUser);
    ReportPrinter printer;
    {
        CDownloadInstaller installer(
            [&printer](int code, double value, const wchar_t* text) { printer.Print(code, value, text); });
        installer.SetParams(Utils::ToWide(url, Utils::kCodePageUtf8), L"",
                            Utils::ToWide(previous, Utils::kCodePageAnsi),
                            Utils::ToWide(instdir, Utils::kCodePageAnsi), true, true, consoleUserIsAdmin,
                            Utils::IsUserAdmin());
        installer.Start();
        printer.WaitForAny(
            {IST_CODE_SUCCESS, IST_CODE_FAIL, DL_CODE_FAIL, UNIST_CODE_FAIL, UNIST_CODE_ERROR});
    }  // joins every worker
    curl_global_cleanup();
    return printer.Seen(IST_CODE_SUCCESS) && !printer.Seen(IST_CODE_FAIL) ? 0 : 1;
}
