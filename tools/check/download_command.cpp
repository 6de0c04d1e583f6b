// glintcap-check download --type N --url URL --out PATH
// Runs one downloader kind the way the orchestrator does (DL_CODE_RETRY answered by Start), prints
// every report as "CODE<TAB>VALUE<TAB>TEXT" as it arrives, and exits once a final report has come
// and the downloader's threads are done: 0 after DL_CODE_SUCCESS, 1 after DL_CODE_FAIL.

#include <curl/curl.h>

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>

#include "download/downloader.h"
#include "installer_settings.h"
#include "utils/text.h"

namespace {

struct DownloadOptions {
    int type = 1;
    std::string url;
    std::string out;
};

bool ParseOptions(int argc, char** argv, DownloadOptions* options) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        if (name == "--type") {
            char* end = nullptr;
            options->type = static_cast<int>(std::strtol(argv[i + 1], &end, 10));
            if (*end != '\0') {
                return false;
            }
        } else if (name == "--url") {
            options->url = argv[i + 1];
        } else if (name == "--out") {
            options->out = argv[i + 1];
        } else {
            return false;
        }
    }
    return argc % 2 == 1 && !options->url.empty() && !options->out.empty();
}

// Collects the final report; prints every report on one line.
class ReportPrinter {
public:
    void Print(int code, double value, const wchar_t* text) {
        const std::string narrow = Utils::ToNarrow(text, Utils::kCodePageUtf8);
        std::lock_guard lock(mutex_);
        std::printf("%d\t%g\t%s\n", code, value, narrow.c_str());
        std::fflush(stdout);
        if (code == DL_CODE_SUCCESS || code == DL_CODE_FAIL) {
            finalCode_ = code;
            finished_.notify_all();
        }
    }
    int WaitForFinalCode() {
        std::unique_lock lock(mutex_);
        finished_.wait(lock, [this] { return finalCode_ != 0; });
        return finalCode_;
    }

private:
    std::mutex mutex_;
    std::condition_variable finished_;
    int finalCode_ = 0;
};

}  // namespace

int RunDownloadCommand(int argc, char** argv) {
    DownloadOptions options;
    if (!ParseOptions(argc, argv, &options)) {
        std::fprintf(stderr, "usage: glintcap-check download --type N --url URL --out PATH\n");
        return 2;
    }
    // Before any thread, as the installer's start-up does.
    if (curl_global_init(CURL_GLOBAL_ALL) != CURLE_OK) {
        Settings().CurlReady = false;
    }
    ReportPrinter printer;
    std::unique_ptr<CDownloader> downloader;
    CDownloader* running = nullptr;
    downloader = CreateDownloader(
        options.type,
        [&printer, &running](int code, double value, const wchar_t* text) {
            printer.Print(code, value, text);
            if (code == DL_CODE_RETRY) {
                running->Start();
            }
        },
        Utils::ToWide(options.url, Utils::kCodePageUtf8), Utils::ToWide(options.out, Utils::kCodePageAnsi));
    running = downloader.get();
    downloader->Start();
    const int finalCode = printer.WaitForFinalCode();
    downloader.reset();  // joins every thread of the downloader
    curl_global_cleanup();
    return finalCode == DL_CODE_SUCCESS ? 0 : 1;
}
