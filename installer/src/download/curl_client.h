#pragma once
// One URL into one file over a single libcurl transfer, resuming from what earlier attempts left
// in the part file (target + ".part"). Before the first transfer it learns the final address and
// the length with body-less requests and refuses files below 1 MiB. Knows nothing of retries or
// report codes: CCurlDownloader drives it.

#include <curl/curl.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

class CurlClient {
public:
    // (owner, bytes per second, always 0.0, percent)
    using ProgressHook = void (*)(void* owner, double bytesPerSecond, double unused, double percent);
    // Receives the detail text of a "下载失败原因" task event.
    using FailureReasonSink = std::function<void(const std::wstring& detail)>;

    // The client's own results besides libcurl's codes.
    static constexpr int kTooSmall = -998;       // length unknown or below 1 MiB after both probes
    static constexpr int kNoHandle = -997;       // no easy handle could be created
    static constexpr int kPartFileError = -996;  // the part file could not be opened
    static constexpr int kRenameFailed = -995;   // the complete part file could not become the target
    static constexpr std::int64_t kMinimumLength = 1048576;

    CurlClient(std::wstring url, std::wstring targetPath, void* owner, ProgressHook hook);
    CurlClient(const CurlClient&) = delete;
    CurlClient& operator=(const CurlClient&) = delete;
    // Removes the part file and raises the stop flag.
    ~CurlClient();

    // One download attempt on the calling thread: 0 when the target file is complete, otherwise a
    // libcurl result or one of the codes above.
    int Start();
    // Makes the running transfer (and later ones) abort at their next progress callback. Any thread.
    void Stop() { stop_ = true; }

    // Body-less request following redirections; the caller queries and cleans up the handle.
    static CURL* Head(const std::string& url);
    // The length a finished request reported when its status is 200-399, else -1.
    std::int64_t GetDownloadFileLength(CURL* handle);
    // Its own body-less request (no redirections); the length reported, -1 when none.
    std::int64_t GetDownloadFileLength_Str(const std::string& url);
    // The effective address after redirections, or `url` when there is none.
    static std::string GetRealUrl_Str(const std::string& url);

    const std::string& realUrl() const { return realUrl_; }
    std::int64_t fileLength() const { return fileLength_; }
    // Bytes already in the part file when the last transfer began (-1 before any).
    std::int64_t resumeOffset() const { return resumeOffset_; }
    std::string PartPath() const;

    // Replaces the event facade as the receiver of failure reasons (tests).
    void SetFailureReasonSink(FailureReasonSink sink) { failureReasonSink_ = std::move(sink); }

private:
    static int ProgressCallback(void* client, curl_off_t downloadTotal, curl_off_t downloadedNow,
                                curl_off_t uploadTotal, curl_off_t uploadedNow);
    int Transfer(std::FILE* partFile);
    void ReportFailureReason(long status);

    std::wstring url_;
    std::wstring targetPath_;
    void* owner_;
    CURL* handle_ = nullptr;
    ProgressHook progressHook_;
    std::int64_t fileLength_ = -1;
    std::int64_t resumeOffset_ = -1;
    long long lastReportTime_ = 0;
    std::atomic<bool> stop_{false};
    std::string realUrl_;
    FailureReasonSink failureReasonSink_;
};
