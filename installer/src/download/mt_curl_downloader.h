#pragma once
// The downloader of DownloadType 3: one body-less probe for the final address, the length and the
// expected MD5; one or two byte ranges fetched in parallel into part files (each with its own
// retries and resume, also across runs); a joining thread that puts the parts together, checks
// the result and reports.

#include <curl/curl.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "download/download_timings.h"
#include "download/downloader.h"
#include "download/downloader_threads.h"

struct DownloadPartNode {
    std::FILE* file = nullptr;   // the part file, opened for appending; null when closed
    std::int64_t nextByte = 0;   // absolute offset of the next byte to request
    std::int64_t lastByte = -1;  // absolute offset of the part's last byte (inclusive)
    CURL* handle = nullptr;      // reused for every attempt of this part
    std::string url;
    std::string partPath;
    int state = -1;  // -1 to download, 0 complete, -2 part file error, else a libcurl result
    std::atomic<std::int64_t> downloaded{0};  // bytes of this part on disk
    bool answerChecked = false;  // the current attempt's answer was checked to be the requested range
};

class CMTCurlDownloader : public CDownloader {
public:
    static constexpr int kPartFileError = -2;
    static constexpr std::int64_t kMinimumLength = 256;

    // Removes the target file and both part files of an earlier run.
    CMTCurlDownloader(DownloadCallback callback, std::wstring url, std::wstring targetPath,
                      DownloadTimings timings = {});
    // Aborts the part transfers, joins every thread and removes the part files.
    ~CMTCurlDownloader() override;

    void Start() override;

    // The part file of index 0 or 1: the target path + "_" + index.
    std::string PartPath(int index) const;

private:
    void Start_Down();
    bool getRealDownloadUrl(const std::string& url);
    void downloadThreadFun(DownloadPartNode* part);
    int downloadExe(DownloadPartNode* part);
    void waitForFinishThreadFun();
    void FinishJoined(const std::string& target);
    void FinishFailed(int firstError);
    bool JoinPartFiles(const std::string& target);
    void ReleaseParts();
    void RemovePartFiles();
    static std::size_t WritePart(char* data, std::size_t size, std::size_t count, void* part);
    static int ProgressCallback(void* downloader, curl_off_t, curl_off_t, curl_off_t, curl_off_t);
    void Report(int code, double value, const wchar_t* text);

    std::vector<std::unique_ptr<DownloadPartNode>> parts_;
    DownloadCallback callback_;
    std::wstring targetPath_;
    std::wstring url_;
    std::string realUrl_;
    std::int64_t fileLength_ = -1;
    std::string expectedMd5_;
    bool retried_ = false;
    DownloadTimings timings_;
    std::atomic<bool> stopping_{false};

    std::mutex progressMutex_;  // guards the two fields below
    double lastPercent_ = 0.0;  // 0.0 also means the part files hold nothing worth resuming
    long long lastProgressTime_ = 0;

    std::vector<std::thread> partThreads_;  // joined by the joining thread, or by the destructor
    DownloaderThreads threads_;             // last: joined before the members above are destroyed
};
