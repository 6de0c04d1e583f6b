#include "download_test_support.h"

#include <curl/curl.h>

#include <cstdlib>
#include <fstream>

#include "utils/text.h"

namespace download_test {
namespace {

// libcurl's global state is set up once, before any test starts a thread.
class CurlEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        // Test servers are local: a proxy from the environment must not stand in between.
        setenv("no_proxy", "127.0.0.1,localhost", 1);
        ASSERT_EQ(curl_global_init(CURL_GLOBAL_ALL), CURLE_OK);
    }
    void TearDown() override { curl_global_cleanup(); }
};
const auto* const kCurlEnvironment = ::testing::AddGlobalTestEnvironment(new CurlEnvironment);

}  // namespace

DownloadTimings FastTimings() {
    DownloadTimings timings;
    timings.retryPause = std::chrono::milliseconds(5);
    timings.partRetryPause = std::chrono::milliseconds(5);
    timings.partStartGap = std::chrono::milliseconds(5);
    timings.lowSpeedTimeSeconds = 1;
    timings.systemAttemptPause = std::chrono::milliseconds(20);
    return timings;
}

DownloadCallback ReportLog::Callback() {
    return [this](int code, double value, const wchar_t* text) { Add(code, value, text); };
}

void ReportLog::Add(int code, double value, const wchar_t* text) {
    {
        std::lock_guard lock(mutex_);
        reports_.push_back({code, value, text, std::chrono::system_clock::now()});
    }
    changed_.notify_all();
    if (code == DL_CODE_RETRY) {
        if (CDownloader* downloader = downloader_) {
            downloader->Start();
        }
    }
}

bool ReportLog::WaitForEnd(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] {
        for (const auto& report : reports_) {
            if (report.code == DL_CODE_SUCCESS || report.code == DL_CODE_FAIL) {
                return true;
            }
        }
        return false;
    });
}

bool ReportLog::WaitFor(int code, int count, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] {
        int seen = 0;
        for (const auto& report : reports_) {
            seen += report.code == code;
        }
        return seen >= count;
    });
}

std::vector<Report> ReportLog::Reports() const {
    std::lock_guard lock(mutex_);
    return reports_;
}

std::vector<int> ReportLog::Codes() const {
    std::vector<int> codes;
    for (const auto& report : Reports()) {
        if (report.code != DL_CODE_PROGRESS) {
            codes.push_back(report.code);
        }
    }
    return codes;
}

std::vector<Report> ReportLog::Progress() const {
    std::vector<Report> progress;
    for (const auto& report : Reports()) {
        if (report.code == DL_CODE_PROGRESS) {
            progress.push_back(report);
        }
    }
    return progress;
}

std::optional<Report> ReportLog::Last(int code) const {
    std::lock_guard lock(mutex_);
    for (auto it = reports_.rbegin(); it != reports_.rend(); ++it) {
        if (it->code == code) {
            return *it;
        }
    }
    return std::nullopt;
}

void ReportLog::Clear() {
    std::lock_guard lock(mutex_);
    reports_.clear();
}

std::string ReadFile(const std::string& path, bool* exists) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (exists != nullptr) {
        *exists = static_cast<bool>(in);
    }
    if (!in) {
        return {};
    }
    std::string content(static_cast<std::size_t>(in.tellg()), '\0');
    in.seekg(0);
    in.read(content.data(), static_cast<std::streamsize>(content.size()));
    return content;
}

void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

std::wstring Wide(const std::string& text) {
    return Utils::ToWide(text, Utils::kCodePageUtf8);
}

}  // namespace download_test
