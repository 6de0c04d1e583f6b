#include "download/system_downloader.h"

#include <chrono>
#include <thread>

#include "download/curl_tool_progress.h"
#include "log_line.h"
#include "platform/child_process.h"
#include "platform/paths.h"
#include "utils/text.h"

CWinDownloader::CWinDownloader(DownloadCallback callback, std::wstring url, std::wstring targetPath,
                               DownloadTimings timings)
    : callback_(std::move(callback)),
      targetPath_(std::move(targetPath)),
      url_(std::move(url)),
      timings_(timings),
      worker_(this, L"ABDEF",
              [](void* self) { static_cast<CWinDownloader*>(self)->SystemDownloadThread(); }) {}

CWinDownloader::~CWinDownloader() {
    cancelled_ = true;
    worker_.Join();
}

void CWinDownloader::Start() {
    if (started_.exchange(true)) {
        return;
    }
    progressCallback_ = callback_;
    worker_.Resume();
}

void CWinDownloader::Report(int code, double value, const wchar_t* text) {
    if (!cancelled_) {
        callback_(code, value, text);
    }
}

std::wstring CWinDownloader::EscapeUrl(const std::wstring& url) {
    return url.rfind(L"file:///", 0) == 0 ? url : Utils::UrlEscape(url);
}

std::string CWinDownloader::QuoteArgument(std::string_view argument) {
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled, and the quote itself escaped.
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');  // they precede the closing quote
    quoted += '"';
    return quoted;
}

std::string CWinDownloader::CommandLine(const std::string& url, const std::string& outputPath) {
    // -q: no personal configuration file; -g: brackets in the address are not patterns; -#: the
    // progress bar we read; -f: an HTTP error fails; -L: follow redirections. TLS checks stay on.
    return "curl -q -g -# -f -L -o " + QuoteArgument(outputPath) + " --url " + QuoteArgument(url);
}

void CWinDownloader::SystemDownloadThread() {
    Report(DL_CODE_START, 1.0, L"");
    const std::string url = Utils::ToNarrow(EscapeUrl(url_), Utils::kCodePageUtf8);
    const std::string target = Utils::ToNarrow(targetPath_, Utils::kCodePageAnsi);
    int result = 0;
    for (int attempt = 0; attempt < 3 && !cancelled_; ++attempt) {
        result = RunTool(url, target);
        if (result == 0) {
            Report(DL_CODE_SUCCESS, 0.0, kSystemDownloadText);
            return;
        }
        // Each attempt starts the file anew; a broken one leaves nothing behind.
        platform::RemoveFile(target);
        if (cancelled_) {
            return;
        }
        LOG_LINE("URLDownloadToFile Code=%d\r\n", result);
        std::this_thread::sleep_for(timings_.systemAttemptPause);
    }
    Report(DL_CODE_FAIL, result, kSystemDownloadText);
}

int CWinDownloader::RunTool(const std::string& url, const std::string& outputPath) {
    platform::ChildProcess tool;
    std::string error;
    if (!tool.Start(CommandLine(url, outputPath), &error)) {
        LOG_LINE("cannot start curl: %s\r\n", error.c_str());
        return -1;
    }
    tool.CloseInput();
    CurlToolProgress progress([this](double fraction) {
        if (!cancelled_ && progressCallback_) {
            progressCallback_(DL_CODE_PROGRESS, fraction, L"");
        }
    });
    char buffer[4096];
    for (;;) {
        if (cancelled_) {
            tool.Kill();
            break;
        }
        std::size_t got = 0;
        const auto status = tool.ReadError(buffer, sizeof buffer, 100, &got);
        if (status == platform::ChildProcess::ReadStatus::kData) {
            progress.Feed(std::string_view(buffer, got));
        } else if (status != platform::ChildProcess::ReadStatus::kTimeout) {
            break;
        }
    }
    tool.Wait(-1);
    return tool.ExitCode();
}
