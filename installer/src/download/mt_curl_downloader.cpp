#include "download/mt_curl_downloader.h"

#include <cinttypes>

#include "download/curl_support.h"
#include "download/integrity_check.h"
#include "download/part_plan.h"
#include "installer_settings.h"
#include "log_line.h"
#include "platform/paths.h"
#include "utils/checksum.h"

CMTCurlDownloader::CMTCurlDownloader(DownloadCallback callback, std::wstring url, std::wstring targetPath,
                                     DownloadTimings timings)
    : callback_(std::move(callback)),
      targetPath_(std::move(targetPath)),
      url_(std::move(url)),
      timings_(timings) {
    platform::RemoveFile(AnsiPath(targetPath_));
    RemovePartFiles();
}

CMTCurlDownloader::~CMTCurlDownloader() {
    stopping_ = true;  // part transfers abort at their next progress callback
    threads_.JoinAll();
    for (auto& thread : partThreads_) {
        if (thread.joinable()) {
            thread.join();
        }
    }
    ReleaseParts();
    RemovePartFiles();  // no later run of this object can resume them
}

std::string CMTCurlDownloader::PartPath(int index) const {
    return AnsiPath(targetPath_) + "_" + std::to_string(index);
}

void CMTCurlDownloader::RemovePartFiles() {
    platform::RemoveFile(PartPath(0));
    platform::RemoveFile(PartPath(1));
}

void CMTCurlDownloader::Start() {
    threads_.JoinOthers();
    threads_.Spawn([this] { Start_Down(); });
}

void CMTCurlDownloader::Report(int code, double value, const wchar_t* text) {
    if (!stopping_) {
        callback_(code, value, text);
    }
}

void CMTCurlDownloader::Start_Down() {
    Report(DL_CODE_START, 1.0, L"");
    LOG_LINE("start download\r\n");
    const std::string target = AnsiPath(targetPath_);
    const std::string url = CurlUrlText(url_);

    platform::RemoveFile(target);
    double lastPercent;
    {
        std::lock_guard lock(progressMutex_);
        lastPercent = lastPercent_;
    }
    if (lastPercent == 0.0) {
        RemovePartFiles();
    }
    if (!(!realUrl_.empty() && fileLength_ >= kMinimumLength) && !getRealDownloadUrl(url)) {
        Report(DL_CODE_FAIL, 0.0, kLibCurlText);
        return;
    }

    const std::vector<PartRange> plan = PlanParts(fileLength_);
    for (std::size_t i = 0; i < plan.size(); ++i) {
        auto part = std::make_unique<DownloadPartNode>();
        part->partPath = PartPath(static_cast<int>(i));
        const auto size = platform::FileSize(part->partPath);
        const std::int64_t existing = size ? static_cast<std::int64_t>(*size) : 0;
        part->downloaded = existing;
        part->nextByte = plan[i].first + existing;
        part->lastByte = plan[i].last;
        part->handle = curl_easy_init();
        part->url = realUrl_;
        if (part->nextByte > part->lastByte) {
            part->state = 0;  // already complete: joined without a transfer
        } else if ((part->file = std::fopen(part->partPath.c_str(), "ab+")) == nullptr) {
            part->state = kPartFileError;
        }
        parts_.push_back(std::move(part));
    }

    partThreads_.clear();  // the previous run's threads were joined by its joining thread
    for (auto& part : parts_) {
        if (part->state != -1) {
            continue;
        }
        try {
            partThreads_.emplace_back([this, node = part.get()] { downloadThreadFun(node); });
        } catch (const std::system_error&) {
            continue;  // the part keeps state -1 and fails the run
        }
        std::this_thread::sleep_for(timings_.partStartGap);
    }
    // Refused only while the destructor runs; it then joins the part threads itself.
    threads_.Spawn([this] { waitForFinishThreadFun(); });
}

bool CMTCurlDownloader::getRealDownloadUrl(const std::string& url) {
    realUrl_.clear();
    expectedMd5_.clear();
    fileLength_ = 0;
    if (!Settings().CurlReady) {
        return false;
    }
    CURL* handle = curl_easy_init();
    if (handle == nullptr) {
        return false;
    }
    curl_slist* headers = curl_slist_append(nullptr, "Connection: keep-alive");
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers);
    CurlOptions options(handle);
    options.BodilessProbe(url).Set(CURLOPT_FOLLOWLOCATION, 1L);
    if (options.ok() && curl_easy_perform(handle) == CURLE_OK) {
        char* effective = nullptr;
        if (curl_easy_getinfo(handle, CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK && effective &&
            *effective) {
            realUrl_ = effective;
            LOG_LINE("Download File real url %s\r\n", effective);
            expectedMd5_ = Utils::UrlMd5(realUrl_);
        }
        curl_off_t length = -1;
        long status = 0;
        if (curl_easy_getinfo(handle, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) == CURLE_OK &&
            curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status) == CURLE_OK && status >= 200 &&
            status <= 399) {
            fileLength_ = static_cast<std::int64_t>(length);
            LOG_LINE("Download File Length %lld\r\n", static_cast<long long>(fileLength_));
        }
    }
    curl_easy_cleanup(handle);
    curl_slist_free_all(headers);
    return !realUrl_.empty() && fileLength_ >= kMinimumLength;
}

void CMTCurlDownloader::downloadThreadFun(DownloadPartNode* part) {
    // Each failure costs 2, a connection that ended early 1: at most 7 attempts, or 13.
    int budget = 12;
    int result = downloadExe(part);
    while (result != 0 && budget > 0 && !stopping_) {
        budget -= result == CURLE_PARTIAL_FILE ? 1 : 2;
        LOG_LINE("CurlDownLoader Code=%d\r\n", result);
        std::this_thread::sleep_for(timings_.partRetryPause);
        if (stopping_) {
            break;
        }
        result = downloadExe(part);
    }
    if (part->file != nullptr) {
        std::fclose(part->file);
        part->file = nullptr;
    }
}

int CMTCurlDownloader::downloadExe(DownloadPartNode* part) {
    if (part->handle == nullptr) {
        return CURLE_FAILED_INIT;
    }
    char range[64];
    std::snprintf(range, sizeof range, "%" PRId64 "-%" PRId64, part->nextByte, part->lastByte);
    CurlOptions options(part->handle);
    options.Set(CURLOPT_NOSIGNAL, 1L)
        .Set(CURLOPT_URL, part->url.c_str())
        .Set(CURLOPT_TIMEOUT, 0L)
        .Set(CURLOPT_FOLLOWLOCATION, 1L)
        .Set(CURLOPT_WRITEFUNCTION, &CMTCurlDownloader::WritePart)
        .Set(CURLOPT_WRITEDATA, part)
        .Set(CURLOPT_NOPROGRESS, 0L)
        .Set(CURLOPT_XFERINFOFUNCTION, &CMTCurlDownloader::ProgressCallback)
        .Set(CURLOPT_XFERINFODATA, this)
        .Set(CURLOPT_FAILONERROR, 1L)
        .Set(CURLOPT_CONNECTTIMEOUT, 60L)
        .Set(CURLOPT_LOW_SPEED_LIMIT, 1L)
        .Set(CURLOPT_LOW_SPEED_TIME, timings_.lowSpeedTimeSeconds)
        .Set(CURLOPT_RANGE, range)
        .Set(CURLOPT_BUFFERSIZE, kTransferBufferSize);
    if (!options.ok()) {
        return options.code();  // the part's state stays as it was
    }
    part->answerChecked = false;
    const CURLcode performed = curl_easy_perform(part->handle);
    if (performed != CURLE_OK) {
        LOG_LINE("error:%d:%s\r\n", static_cast<int>(performed), curl_easy_strerror(performed));
    } else {
        LOG_LINE("curl_easy_cleanup\r\n");
    }
    curl_easy_reset(part->handle);

    int result = performed;
    const bool complete = part->nextByte > part->lastByte;
    if (result != CURLE_OK && complete) {
        result = CURLE_OK;  // every byte of the range arrived; only the rest of the answer was refused
    } else if (result == CURLE_OK && !complete) {
        result = CURLE_PARTIAL_FILE;  // the answer ended before the range did
    }
    if (result == CURLE_OK && part->file != nullptr) {
        if (std::fclose(part->file) != 0) {
            result = CURLE_WRITE_ERROR;
        }
        part->file = nullptr;
    }
    part->state = result;
    return result;
}

std::size_t CMTCurlDownloader::WritePart(char* data, std::size_t size, std::size_t count, void* node) {
    auto* part = static_cast<DownloadPartNode*>(node);
    if (part->file == nullptr || part->nextByte > part->lastByte) {
        return 0;
    }
    if (!part->answerChecked) {
        // A whole body (200) only lines up with the part when the part starts at byte 0.
        long status = 0;
        curl_easy_getinfo(part->handle, CURLINFO_RESPONSE_CODE, &status);
        if (status == 200 && part->nextByte != 0) {
            return 0;
        }
        part->answerChecked = true;
    }
    const std::int64_t offered = static_cast<std::int64_t>(size * count);
    const std::int64_t room = part->lastByte - part->nextByte + 1;
    const std::size_t take = static_cast<std::size_t>(offered > room ? room : offered);
    const std::size_t written = std::fwrite(data, 1, take, part->file);
    part->nextByte += static_cast<std::int64_t>(written);
    part->downloaded += static_cast<std::int64_t>(written);
    return written;
}

int CMTCurlDownloader::ProgressCallback(void* downloader, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto* self = static_cast<CMTCurlDownloader*>(downloader);
    if (self->stopping_) {
        return 1;  // the downloader is being destroyed
    }
    // Under the lock, so that reports from different part threads never go backwards.
    std::lock_guard lock(self->progressMutex_);
    const long long now = NowSeconds();
    if (now <= self->lastProgressTime_) {
        return 0;
    }
    self->lastProgressTime_ = now;
    double percent = 0.0;
    if (self->fileLength_ >= kMinimumLength) {
        for (const auto& part : self->parts_) {
            const std::int64_t downloaded = part->downloaded;
            if (downloaded > 0) {
                percent += static_cast<double>(downloaded) * 100.0 / static_cast<double>(self->fileLength_);
            }
        }
        if (percent > 100.0) {
            return 0;
        }
    }
    if (percent - self->lastPercent_ >= 1.0) {
        self->lastPercent_ = percent;
        self->Report(DL_CODE_PROGRESS, percent / 100.0, L"");
    }
    return 0;
}

void CMTCurlDownloader::waitForFinishThreadFun() {
    for (auto& thread : partThreads_) {
        if (thread.joinable()) {
            thread.join();
        }
    }
    if (stopping_) {
        return;  // the destructor releases the parts
    }
    int firstError = 0;
    for (const auto& part : parts_) {
        if (part->state != 0) {
            firstError = part->state;
            break;
        }
    }
    const std::string target = AnsiPath(targetPath_);
    if (firstError == 0) {
        {
            std::lock_guard lock(progressMutex_);
            lastPercent_ = 0.0;
        }
        if (JoinPartFiles(target)) {
            FinishJoined(target);
            return;
        }
        firstError = kPartFileError;
    }
    FinishFailed(firstError);
}

bool CMTCurlDownloader::JoinPartFiles(const std::string& target) {
    std::FILE* joined = std::fopen(PartPath(0).c_str(), "ab+");
    if (joined == nullptr) {
        // Nothing to append to: the run fails instead of writing to a missing stream.
        LOG_LINE("cannot reopen partPath::%s\r\n", PartPath(0).c_str());
        return false;
    }
    bool ok = true;
    // Larger blocks than 1 KiB copy the same bytes with far fewer calls.
    std::vector<char> block(1 << 20);
    for (std::size_t i = 1; i < parts_.size(); ++i) {
        std::FILE* part = std::fopen(parts_[i]->partPath.c_str(), "rb");
        if (part == nullptr) {
            ok = false;
            continue;
        }
        std::size_t got;
        while ((got = std::fread(block.data(), 1, block.size(), part)) > 0) {
            if (std::fwrite(block.data(), 1, got, joined) != got) {
                ok = false;
                break;
            }
        }
        ok = ok && !std::ferror(part);
        std::fclose(part);
        LOG_LINE("partPath::%s\r\n", parts_[i]->partPath.c_str());
    }
    ok = std::fclose(joined) == 0 && ok;
    // A short or overlong join is a broken package whatever its address says.
    const auto size = platform::FileSize(PartPath(0));
    ok = ok && size && static_cast<std::int64_t>(*size) == fileLength_;
    ok = ok && platform::RenameFile(PartPath(0), target);
    RemovePartFiles();
    return ok;
}

void CMTCurlDownloader::FinishJoined(const std::string& target) {
    switch (CheckIntegrity(expectedMd5_, target)) {
        case IntegrityVerdict::kMismatch: {
            Report(DL_CODE_INFO, 0.0, L"mtcurl文件md5校验失败");
            platform::RemoveFile(target);
            ReleaseParts();
            const bool alreadyRetried = retried_;
            LOG_LINE(alreadyRetried ? "finish recv, md5 chaek failed and retry failed.\r\n"
                                    : "finish recv, md5 chaek failed retry once.\r\n");
            // The owner's answer to DL_CODE_RETRY starts the next run from inside this report.
            Report(CodeAfterMismatch(retried_), 0.0, kLibCurlText);
            return;
        }
        case IntegrityVerdict::kMissingUrlMd5:
            Report(DL_CODE_INFO, 0.0, L"mtcurl获取url-md5失败");
            break;
        case IntegrityVerdict::kGood:
            break;
    }
    LOG_LINE("finish recv\r\n");
    ReleaseParts();
    Report(DL_CODE_SUCCESS, 0.0, kLibCurlText);
}

void CMTCurlDownloader::FinishFailed(int firstError) {
    ReleaseParts();
    {
        std::lock_guard lock(progressMutex_);
        // Part files of a run that reported progress are kept for the next run to resume.
        if (lastPercent_ == 0.0) {
            RemovePartFiles();
        }
        if (retried_) {
            lastPercent_ = 0.0;
        }
    }
    if (retried_) {
        RemovePartFiles();  // nothing is left to resume once the run has failed for good
        Report(DL_CODE_FAIL, firstError, kLibCurlText);
        return;
    }
    retried_ = true;
    Report(DL_CODE_RETRY, firstError, kLibCurlText);
}

void CMTCurlDownloader::ReleaseParts() {
    for (auto& part : parts_) {
        if (part->handle != nullptr) {
            curl_easy_cleanup(part->handle);
        }
        if (part->file != nullptr) {
            std::fclose(part->file);
        }
    }
    parts_.clear();
}
