#include "download/curl_downloader.h"

#include <thread>

#include "download/curl_support.h"
#include "download/integrity_check.h"
#include "log_line.h"
#include "platform/paths.h"
#include "utils/checksum.h"

CCurlDownloader::CCurlDownloader(DownloadCallback callback, std::wstring url, std::wstring targetPath,
                                 DownloadTimings timings)
    : callback_(std::move(callback)),
      targetPath_(std::move(targetPath)),
      url_(std::move(url)),
      client_(url_, targetPath_, this, &CCurlDownloader::RelayProgress),
      timings_(timings) {
    platform::RemoveFile(client_.PartPath());
}

CCurlDownloader::~CCurlDownloader() {
    stopping_ = true;
    client_.Stop();
    threads_.JoinAll();
}

void CCurlDownloader::Start() {
    threads_.JoinOthers();
    threads_.Spawn([this] { dlThreadFun(); });
}

void CCurlDownloader::Report(int code, double value, const wchar_t* text) {
    // During destruction the owner is going away: its callback is no longer called.
    if (!stopping_) {
        callback_(code, value, text);
    }
}

void CCurlDownloader::RelayProgress(void* owner, double bytesPerSecond, double, double percent) {
    if (bytesPerSecond > 0 && percent <= 100.0) {
        static_cast<CCurlDownloader*>(owner)->Report(DL_CODE_PROGRESS, percent / 100.0, L"");
    }
}

void CCurlDownloader::dlThreadFun() {
    Report(DL_CODE_START, 1.0, L"");
    // Each failure costs 2, a connection that ended early (CURLE_PARTIAL_FILE) only 1: at most 6
    // attempts, or 12 when every failure was partial. The part file stays, so each attempt resumes.
    int budget = 12;
    int result = client_.Start();
    while (result != 0) {
        budget -= result == CURLE_PARTIAL_FILE ? 1 : 2;
        if (budget <= 0) {
            Report(DL_CODE_FAIL, result, kLibCurlText);
            return;
        }
        LOG_LINE("CurlDownLoader Code=%d\r\n", result);
        std::this_thread::sleep_for(timings_.retryPause);
        if (stopping_) {
            return;
        }
        result = client_.Start();
    }

    switch (CheckIntegrity(Utils::UrlMd5(client_.realUrl()), AnsiPath(targetPath_))) {
        case IntegrityVerdict::kMismatch:
            Report(DL_CODE_INFO, 0.0, L"curl文件md5校验失败");
            // A package known to be wrong is not left where the installer would run it.
            platform::RemoveFile(AnsiPath(targetPath_));
            // The owner's answer to DL_CODE_RETRY starts the next run from inside this report.
            Report(CodeAfterMismatch(retried_), 0.0, kLibCurlText);
            return;
        case IntegrityVerdict::kMissingUrlMd5:
            Report(DL_CODE_INFO, 0.0, L"curl获取url-md5失败");
            break;
        case IntegrityVerdict::kGood:
            break;
    }
    Report(DL_CODE_SUCCESS, 0.0, kLibCurlText);
}
