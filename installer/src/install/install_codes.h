#pragma once
// The report codes of the package installer and of the previous version's uninstaller. They travel
// through the same DownloadCallback as the downloaders' codes (1001-1006).

#include "download/downloader.h"  // DownloadCallback

inline constexpr int IST_CODE_START = 2001;     // the run thread has begun
inline constexpr int IST_CODE_PROGRESS = 2002;  // value: the fraction from a "Progress=" line
inline constexpr int IST_CODE_SUCCESS = 2003;   // 0.0 "State=Success", 1.0 ended without a final line
inline constexpr int IST_CODE_FAIL = 2004;      // 0.0 "State=Fail", 1000.0 "Error=", 2.0 not started
inline constexpr int IST_CODE_INST_PATH = 3000;
inline constexpr int IST_CODE_EXE_PATH = 3001;
inline constexpr int IST_CODE_UNINST_EXE = 3002;
inline constexpr int IST_CODE_UNINST_EP = 3003;
inline constexpr int IST_CODE_START_URL = 3004;
inline constexpr int IST_CODE_STARTUP_STYLE = 3005;
inline constexpr int IST_CODE_TOP_SHOW_DETENTION = 3007;
inline constexpr int IST_CODE_FINISH_CLOSE_DETENTION = 3008;
inline constexpr int IST_CODE_MESSAGE = 3009;

inline constexpr int UNIST_CODE_PROGRESS = 5002;  // 0.0 when found, then the "Progress=" fractions
inline constexpr int UNIST_CODE_SUCCESS = 5003;   // 0.0 "State=Success", 1.0 ended without a final line
inline constexpr int UNIST_CODE_FAIL = 5004;      // 1.0 file missing, 2.0 not started
inline constexpr int UNIST_CODE_ERROR = 5005;     // "State=Fail" or "Error=" reported

// Results of ParseOutput: no final line, success, failure.
inline constexpr int kParseNoFinalLine = 0;
inline constexpr int kParseSuccess = 1;
inline constexpr int kParseFailure = 1000;
