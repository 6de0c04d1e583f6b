#pragma once
// The default downloader: one CurlClient on a worker thread, retried with resume within a budget,
// then checked against the MD5 of its final address.

#include <atomic>
#include <string>

#include "download/curl_client.h"
#include "download/download_timings.h"
#include "download/downloader.h"
#include "download/downloader_threads.h"

class CCurlDownloader : public CDownloader {
public:
    // Removes a part file left by an earlier run for the same target; the target itself stays.
    CCurlDownloader(DownloadCallback callback, std::wstring url, std::wstring targetPath,
                    DownloadTimings timings = {});
    // Stops the running transfer and joins the worker.
    ~CCurlDownloader() override;

    void Start() override;

    // The client, for tests that look at what it learnt.
    CurlClient& client() { return client_; }

private:
    void dlThreadFun();
    static void RelayProgress(void* owner, double bytesPerSecond, double unused, double percent);
    void Report(int code, double value, const wchar_t* text);

    DownloadCallback callback_;
    std::wstring targetPath_;
    std::wstring url_;
    CurlClient client_;
    bool retried_ = false;
    DownloadTimings timings_;
    std::atomic<bool> stopping_{false};
    DownloaderThreads threads_;  // last: joined before the members above are destroyed
};
