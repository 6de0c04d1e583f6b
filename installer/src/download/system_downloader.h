#pragma once
// The downloader of DownloadType 2. It hands the whole transfer to the system's download tool (on
// this platform the curl command-line program, run as a child process) and turns the tool's
// progress into DL_CODE_PROGRESS: three attempts one second apart, no resume, no integrity check,
// never a retry request. Its thread is created at construction and started once by Start.

#include <atomic>
#include <string>
#include <string_view>

#include "download/download_timings.h"
#include "download/downloader.h"
#include "utils/thread.h"

class CWinDownloader : public CDownloader {
public:
    CWinDownloader(DownloadCallback callback, std::wstring url, std::wstring targetPath,
                   DownloadTimings timings = {});
    // Ends a running transfer (the child is killed) and joins the thread.
    ~CWinDownloader() override;

    // Has an effect only the first time.
    void Start() override;

    // The address as handed to the tool: "file:///" addresses unchanged, others escaped.
    static std::wstring EscapeUrl(const std::wstring& url);
    // The tool's command line for one attempt (Windows quoting rules, as the child launcher splits it).
    static std::string CommandLine(const std::string& url, const std::string& outputPath);
    // One argument quoted so that the Windows splitting rules give it back unchanged.
    static std::string QuoteArgument(std::string_view argument);

private:
    void SystemDownloadThread();
    // Exit code of the tool, or -1 when it could not be started; reports progress on the way.
    int RunTool(const std::string& url, const std::string& outputPath);
    void Report(int code, double value, const wchar_t* text);

    DownloadCallback progressCallback_;  // copied from callback_ by Start
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> started_{false};
    DownloadCallback callback_;
    std::wstring targetPath_;
    std::wstring url_;
    DownloadTimings timings_;
    Utils::Thread worker_;  // last: joined before the members above are destroyed
};
