#pragma once
// What the downloader tests share: libcurl's global set-up, short timings, and a recorder of
// reports that answers DL_CODE_RETRY by starting the downloader again, as the orchestrator does.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "download/download_timings.h"
#include "download/downloader.h"

namespace download_test {

DownloadTimings FastTimings();

struct Report {
    int code;
    double value;
    std::wstring text;
    std::chrono::system_clock::time_point at;
};

class ReportLog {
public:
    // The callback to give a downloader; reports go here.
    DownloadCallback Callback();
    // Answer DL_CODE_RETRY by calling Start on this downloader (set once it exists).
    void AnswerRetriesWith(CDownloader* downloader) { downloader_ = downloader; }
    // Waits until DL_CODE_SUCCESS or DL_CODE_FAIL has arrived. False after `timeout`.
    bool WaitForEnd(std::chrono::milliseconds timeout = std::chrono::seconds(60));
    // Waits until `count` reports with `code` have arrived.
    bool WaitFor(int code, int count = 1, std::chrono::milliseconds timeout = std::chrono::seconds(60));

    std::vector<Report> Reports() const;
    // The codes in order, without DL_CODE_PROGRESS.
    std::vector<int> Codes() const;
    std::vector<Report> Progress() const;
    std::optional<Report> Last(int code) const;
    void Clear();

private:
    void Add(int code, double value, const wchar_t* text);

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Report> reports_;
    std::atomic<CDownloader*> downloader_{nullptr};
};

// Reads a whole file; empty optional-like flag through `exists`.
std::string ReadFile(const std::string& path, bool* exists = nullptr);
void WriteFile(const std::string& path, const std::string& content);

std::wstring Wide(const std::string& text);

}  // namespace download_test
