#pragma once
// The pauses and time limits of the downloaders. Production uses the defaults; tests shorten
// them so that retry budgets and stalls can be exercised quickly.

#include <chrono>

struct DownloadTimings {
    // CCurlDownloader: between failed attempts of the single-stream client.
    std::chrono::milliseconds retryPause{500};
    // CMTCurlDownloader: between failed attempts of one part, and between part starts.
    std::chrono::milliseconds partRetryPause{400};
    std::chrono::milliseconds partStartGap{100};
    // CMTCurlDownloader: a part transfer below 1 byte per second for this long fails (whole seconds).
    long lowSpeedTimeSeconds = 5;
    // CWinDownloader: after each failed attempt of the system's transfer tool.
    std::chrono::milliseconds systemAttemptPause{1000};
};
