#pragma once
// What every package downloader shares: the report callback, the report codes and the abstract
// base through which the orchestrator starts and destroys whichever kind DownloadType chose.

#include <functional>
#include <memory>
#include <string>

// (code, value, text); the text is never null, "no text" is an empty string.
using DownloadCallback = std::function<void(int code, double value, const wchar_t* text)>;

inline constexpr int DL_CODE_START = 1001;     // value 1.0: the worker thread has begun
inline constexpr int DL_CODE_PROGRESS = 1002;  // value: fraction done, 0.0 to 1.0
inline constexpr int DL_CODE_SUCCESS = 1003;   // the package file is complete at the target path
inline constexpr int DL_CODE_FAIL = 1004;      // value: the last error code, or 0.0
inline constexpr int DL_CODE_RETRY = 1005;     // the owner is asked to call Start again
inline constexpr int DL_CODE_INFO = 1006;      // a remark; the download goes on

// The texts of the final reports.
inline constexpr const wchar_t* kLibCurlText = L"LibCurl";
inline constexpr const wchar_t* kSystemDownloadText = L"URLDownloadToFile";

class CDownloader {
public:
    virtual ~CDownloader() = default;
    // Begins a run on a worker thread and returns at once; every outcome arrives through the
    // callback, on the downloader's own threads. May be called again from the callback that
    // reported DL_CODE_RETRY. Destroying the downloader stops a running transfer and joins every
    // thread; reports that would arrive during destruction are dropped.
    virtual void Start() = 0;
};

// The kind for a DownloadType value: 2 the system downloader, 3 the multi-part downloader, any
// other value the single-stream curl downloader.
std::unique_ptr<CDownloader> CreateDownloader(int downloadType, DownloadCallback callback, std::wstring url,
                                              std::wstring targetPath);
