// Throughput of each downloader kind against curl and aria2c (-x2 -s2) on the same file served
// from 127.0.0.1, printed as ratios to curl measured in the same run; then the same with the server
// limiting every connection's rate, where two parts should reach about twice one stream.
//
// bench_download [--mib N] [--rate-mib N] [--repeat N]
//   defaults: a 256 MiB file, 32 MiB/s per connection, best of 3 interleaved runs

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "download/downloader.h"
#include "platform/system_info.h"
#include "testing/http_file_server.h"
#include "utils/checksum.h"
#include "utils/text.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Contender {
    const char* name;
    std::function<bool(const std::string& url, const std::string& out)> run;
};

std::string Quote(const std::string& text) {
    return "'" + text + "'";
}

bool RunCommand(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

bool RunDownloader(int type, const std::string& url, const std::string& out) {
    std::mutex mutex;
    std::condition_variable done;
    int finalCode = 0;
    CDownloader* running = nullptr;
    auto downloader = CreateDownloader(
        type,
        [&](int code, double, const wchar_t*) {
            if (code == DL_CODE_RETRY) {
                running->Start();
            }
            if (code == DL_CODE_SUCCESS || code == DL_CODE_FAIL) {
                std::lock_guard lock(mutex);
                finalCode = code;
                done.notify_all();
            }
        },
        Utils::ToWide(url, Utils::kCodePageUtf8), Utils::ToWide(out, Utils::kCodePageAnsi));
    running = downloader.get();
    downloader->Start();
    {
        std::unique_lock lock(mutex);
        done.wait(lock, [&] { return finalCode != 0; });
    }
    downloader.reset();
    return finalCode == DL_CODE_SUCCESS;
}

std::vector<Contender> Contenders(const std::string& folder) {
    return {
        {"curl",
         [](const std::string& url, const std::string& out) {
             return RunCommand("curl -q -s -f -o " + Quote(out) + " " + Quote(url));
         }},
        {"curl, then md5sum",
         [](const std::string& url, const std::string& out) {
             return RunCommand("curl -q -s -f -o " + Quote(out) + " " + Quote(url)) &&
                    RunCommand("md5sum " + Quote(out));
         }},
        {"aria2c -x2 -s2",
         [folder](const std::string& url, const std::string& out) {
             return RunCommand("aria2c -q -x2 -s2 --allow-overwrite=true --auto-file-renaming=false -d " +
                               Quote(folder) + " -o " +
                               Quote(std::filesystem::path(out).filename().string()) + " " + Quote(url));
         }},
        {"CCurlDownloader (type 1)",
         [](const std::string& url, const std::string& out) { return RunDownloader(1, url, out); }},
        {"CWinDownloader (type 2)",
         [](const std::string& url, const std::string& out) { return RunDownloader(2, url, out); }},
        {"CMTCurlDownloader (type 3)",
         [](const std::string& url, const std::string& out) { return RunDownloader(3, url, out); }},
    };
}

// Runs every contender `repeat` times, interleaved, and prints the best time of each as MiB/s and
// as a ratio to curl.
void Round(const char* title, const std::vector<Contender>& contenders, const std::string& url,
           const std::string& out, const std::string& md5, double mib, int repeat) {
    std::vector<double> best(contenders.size(), 1e300);
    std::vector<bool> intact(contenders.size(), true);
    for (int r = 0; r < repeat; ++r) {
        for (std::size_t i = 0; i < contenders.size(); ++i) {
            std::filesystem::remove(out);
            const auto started = Clock::now();
            const bool ok = contenders[i].run(url, out);
            const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
            intact[i] = intact[i] && ok && Utils::FileMd5(out) == md5;
            best[i] = std::min(best[i], seconds);
        }
    }
    std::printf("\n%s (best of %d)\n%-28s %10s %10s %14s\n", title, repeat, "contender", "seconds", "MiB/s",
                "ratio to curl");
    const double curlRate = mib / best[0];
    double singleRate = 0.0;
    for (std::size_t i = 0; i < contenders.size(); ++i) {
        const std::string name = contenders[i].name;
        const double rate = mib / best[i];
        std::printf("%-28s %10.2f %10.1f %14.2f%s\n", name.c_str(), best[i], rate, rate / curlRate,
                    intact[i] ? "" : "   (FAILED or wrong bytes)");
        if (name.rfind("CCurlDownloader", 0) == 0) {
            singleRate = rate;
        }
        if (name.rfind("CMTCurlDownloader", 0) == 0 && singleRate > 0) {
            std::printf("%-28s %10s %10s %14.2f\n", "  two parts / one stream", "", "", rate / singleRate);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::size_t mib = 256;
    std::uint64_t rateMib = 32;
    int repeat = 3;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::string(argv[i]) == "--mib") {
            mib = std::strtoul(argv[i + 1], nullptr, 10);
        } else if (std::string(argv[i]) == "--rate-mib") {
            rateMib = std::strtoul(argv[i + 1], nullptr, 10);
        } else if (std::string(argv[i]) == "--repeat") {
            repeat = std::max(1, std::atoi(argv[i + 1]));
        }
    }
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // rows appear as they are measured
    if (curl_global_init(CURL_GLOBAL_ALL) != CURLE_OK) {
        return 1;
    }
    const auto folder = std::filesystem::temp_directory_path() /
                        ("glintcap-bench-download-" + std::to_string(platform::CurrentProcessId()));
    std::filesystem::create_directories(folder);
    const std::string out = (folder / "package.exe").string();

    glintcap_testing::HttpFileServer server;
    if (!server.Start()) {
        return 1;
    }
    const std::string content = glintcap_testing::PatternBytes(mib << 20, 99);
    const std::string md5 = glintcap_testing::Md5Hex(content);
    const std::string url = server.UrlFor(server.AddPackage("package.exe", content));
    const auto contenders = Contenders(folder.string());

    std::printf("download of %zu MiB from 127.0.0.1 (the curl downloaders include their MD5 check)\n", mib);
    Round("unlimited", contenders, url, out, md5, static_cast<double>(mib), repeat);
    server.SetRateLimit(rateMib << 20);
    char title[96];
    std::snprintf(title, sizeof title, "each connection limited to %llu MiB/s",
                  static_cast<unsigned long long>(rateMib));
    Round(title, contenders, url, out, md5, static_cast<double>(mib), repeat);

    server.Stop();
    std::filesystem::remove_all(folder);
    curl_global_cleanup();
    return 0;
}
