#include "download/curl_client.h"

#include <cstdio>

#include "download/curl_support.h"
#include "event_facade.h"
#include "log_line.h"
#include "platform/paths.h"

namespace {

std::size_t WriteToFile(char* data, std::size_t size, std::size_t count, void* file) {
    return std::fwrite(data, 1, size * count, static_cast<std::FILE*>(file));
}

}  // namespace

CurlClient::CurlClient(std::wstring url, std::wstring targetPath, void* owner, ProgressHook hook)
    : url_(std::move(url)), targetPath_(std::move(targetPath)), owner_(owner), progressHook_(hook) {
    failureReasonSink_ = [](const std::wstring& detail) {
        ReportTask(L"下载失败原因", 0.0f, ExtraProperties{{L"AB", L"IN"}}, detail);
    };
}

CurlClient::~CurlClient() {
    platform::RemoveFile(PartPath());
    Stop();
}

std::string CurlClient::PartPath() const {
    return AnsiPath(targetPath_ + L".part");
}

int CurlClient::Start() {
    LOG_LINE("start download\r\n");
    const std::string partPath = PartPath();
    const std::string targetPath = AnsiPath(targetPath_);
    const std::string url = CurlUrlText(url_);

    // Once the final address and a usable length are known they are kept across attempts.
    if (realUrl_.empty() || fileLength_ < kMinimumLength) {
        if (CURL* head = Head(url)) {
            char* effective = nullptr;
            realUrl_ = curl_easy_getinfo(head, CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK && effective
                           ? effective
                           : "";
            fileLength_ = GetDownloadFileLength(head);
            curl_easy_cleanup(head);
        }
    }
    if (realUrl_.empty() || fileLength_ < kMinimumLength) {
        realUrl_ = GetRealUrl_Str(url);
        if (!realUrl_.empty()) {
            fileLength_ = GetDownloadFileLength_Str(realUrl_);
        }
    }

    int result = 0;
    std::FILE* partFile = nullptr;
    if (fileLength_ < kMinimumLength) {
        result = kTooSmall;
    } else if ((handle_ = curl_easy_init()) == nullptr) {
        result = kNoHandle;
    } else if ((partFile = std::fopen(partPath.c_str(), "ab+")) == nullptr) {
        result = kPartFileError;
    } else {
        result = Transfer(partFile);
    }
    LOG_LINE("error:%d:%s\r\n", result, CurlResultText(result));
    if (handle_ != nullptr) {
        curl_easy_cleanup(handle_);
        handle_ = nullptr;
    }
    // Bytes still buffered may fail to reach the disk; the file is then not complete.
    if (partFile != nullptr && std::fclose(partFile) != 0 && result == 0) {
        result = CURLE_WRITE_ERROR;
    }
    if (result == 0) {
        // A server that ends the body early without a length, or a file that changed on the server,
        // must not pass for a complete package.
        const auto size = platform::FileSize(partPath);
        const std::int64_t have = size ? static_cast<std::int64_t>(*size) : -1;
        if (have < fileLength_) {
            result = CURLE_PARTIAL_FILE;
        } else if (have > fileLength_) {
            platform::RemoveFile(partPath);
            result = CURLE_BAD_DOWNLOAD_RESUME;
        }
    }
    if (result == 0) {
        if (platform::PathExists(targetPath)) {
            platform::RemoveFile(targetPath);
        }
        if (!platform::RenameFile(partPath, targetPath)) {
            result = kRenameFailed;
        }
    }
    LOG_LINE("end download\r\n");
    return result;
}

int CurlClient::Transfer(std::FILE* partFile) {
    curl_slist* headers = curl_slist_append(nullptr, "Connection: keep-alive");
    headers = curl_slist_append(headers, "Accept-Encoding: gzip, deflate");
    curl_easy_setopt(handle_, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(handle_, CURLOPT_TCP_KEEPALIVE, 1L);
    curl_easy_setopt(handle_, CURLOPT_TCP_KEEPIDLE, 10L);
    curl_easy_setopt(handle_, CURLOPT_TCP_KEEPINTVL, 10L);
    curl_easy_setopt(handle_, CURLOPT_TIMEOUT, 0L);
    CurlOptions options(handle_);
    options.Set(CURLOPT_NOSIGNAL, 1L)
        .Set(CURLOPT_URL, realUrl_.c_str())
        .Set(CURLOPT_FOLLOWLOCATION, 1L)
        .Set(CURLOPT_WRITEFUNCTION, &WriteToFile)
        .Set(CURLOPT_WRITEDATA, partFile)
        .Set(CURLOPT_NOPROGRESS, 0L)
        .Set(CURLOPT_XFERINFOFUNCTION, &CurlClient::ProgressCallback)
        .Set(CURLOPT_XFERINFODATA, this)
        .Set(CURLOPT_FAILONERROR, 1L)
        .Set(CURLOPT_CONNECTTIMEOUT, 60L)
        .Set(CURLOPT_BUFFERSIZE, kTransferBufferSize);

    const auto partSize = platform::FileSize(PartPath());
    resumeOffset_ = partSize ? static_cast<std::int64_t>(*partSize) : -1;
    if (resumeOffset_ > 0) {
        options.Set(CURLOPT_RESUME_FROM_LARGE, static_cast<curl_off_t>(resumeOffset_));
    }
    const int result = options.ok() ? static_cast<int>(curl_easy_perform(handle_)) : options.code();
    curl_easy_setopt(handle_, CURLOPT_HTTPHEADER, nullptr);
    curl_slist_free_all(headers);
    return result;
}

int CurlClient::ProgressCallback(void* client, curl_off_t downloadTotal, curl_off_t downloadedNow, curl_off_t,
                                 curl_off_t) {
    auto* self = static_cast<CurlClient*>(client);
    if (self->stop_) {
        return 1;
    }
    const long long now = NowSeconds();
    if (now - self->lastReportTime_ < 1) {
        return 0;
    }
    self->lastReportTime_ = now;

    curl_off_t speed = 0;
    if (curl_easy_getinfo(self->handle_, CURLINFO_SPEED_DOWNLOAD_T, &speed) != CURLE_OK) {
        speed = 0;
    }
    double percent = 0.0;
    if (self->fileLength_ > kMinimumLength) {
        percent = static_cast<double>(self->resumeOffset_ + downloadedNow) * 100.0 /
                  static_cast<double>(self->fileLength_);
    } else if (downloadedNow > 0 && downloadTotal > 0) {
        percent = static_cast<double>(downloadedNow) * 100.0 / static_cast<double>(downloadTotal);
    } else {
        return 0;
    }
    if (percent == 0.0) {
        return 0;
    }
    self->progressHook_(self->owner_, static_cast<double>(speed), 0.0, percent);
    if (downloadTotal != 0) {
        LOG_LINE(" %dM %dM   progress:%f%%  speed:%f \n", static_cast<int>(downloadedNow / 1048576),
                 static_cast<int>(downloadTotal / 1048576), static_cast<double>(static_cast<float>(percent)),
                 static_cast<double>(static_cast<float>(speed / 1024.0)));
    }
    return 0;
}

CURL* CurlClient::Head(const std::string& url) {
    CURL* handle = curl_easy_init();
    if (handle == nullptr) {
        return nullptr;
    }
    CurlOptions options(handle);
    options.BodilessProbe(url).Set(CURLOPT_FOLLOWLOCATION, 1L);
    if (options.ok()) {
        const CURLcode result = curl_easy_perform(handle);
        if (result != CURLE_OK) {
            LOG_LINE("error:%d:%s\r\n", static_cast<int>(result), curl_easy_strerror(result));
        }
        LOG_LINE("error:%d:%s\r\n", static_cast<int>(result), curl_easy_strerror(result));
    }
    return handle;
}

std::int64_t CurlClient::GetDownloadFileLength(CURL* handle) {
    curl_off_t length = -1;
    const CURLcode lengthResult = curl_easy_getinfo(handle, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
    LOG_LINE("error:%d:%s\r\n", static_cast<int>(lengthResult), curl_easy_strerror(lengthResult));
    long status = 0;
    if (curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status) == CURLE_OK && status >= 200 &&
        status <= 399) {
        return lengthResult == CURLE_OK ? static_cast<std::int64_t>(length) : -1;
    }
    ReportFailureReason(status);
    return -1;
}

std::int64_t CurlClient::GetDownloadFileLength_Str(const std::string& url) {
    CURL* handle = curl_easy_init();
    if (handle == nullptr) {
        return -1;
    }
    CurlOptions options(handle);
    options.BodilessProbe(url).Set(CURLOPT_HEADER, 1L);
    curl_off_t length = -1;
    int lastResult = options.code();
    if (options.ok()) {
        curl_easy_perform(handle);  // a failed request shows as a missing status below
        if (curl_easy_getinfo(handle, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) != CURLE_OK) {
            length = -1;
        }
        long status = 0;
        const CURLcode statusResult = curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
        lastResult = statusResult;
        if (statusResult != CURLE_OK || status < 200 || status > 400) {
            ReportFailureReason(statusResult == CURLE_OK ? status : 0);
        }
    }
    LOG_LINE("error:%d:%s\r\n", lastResult, CurlResultText(lastResult));
    curl_easy_cleanup(handle);
    return static_cast<std::int64_t>(length);
}

std::string CurlClient::GetRealUrl_Str(const std::string& url) {
    CURL* handle = curl_easy_init();
    if (handle == nullptr) {
        return url;
    }
    CurlOptions options(handle);
    options.BodilessProbe(url).Set(CURLOPT_FOLLOWLOCATION, 1L);
    std::string effectiveUrl;
    if (options.ok()) {
        const CURLcode result = curl_easy_perform(handle);
        char* effective = nullptr;
        if (result != CURLE_OK) {
            LOG_LINE("error:%d:%s\r\n", static_cast<int>(result), curl_easy_strerror(result));
        } else if (curl_easy_getinfo(handle, CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK && effective) {
            effectiveUrl = effective;
        }
    }
    curl_easy_cleanup(handle);
    return effectiveUrl.empty() ? url : effectiveUrl;
}

void CurlClient::ReportFailureReason(long status) {
    if (failureReasonSink_) {
        failureReasonSink_(L"1.获取文件大小的状态码为=" + std::to_wstring(status) + L"；");
    }
}
