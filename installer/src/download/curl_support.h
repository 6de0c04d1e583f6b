#pragma once
// Text and small callbacks shared by the libcurl downloaders.

#include <curl/curl.h>

#include <cstddef>
#include <string>

// The URL as libcurl takes it: UTF-8, except a "file:///" address, which names a local file and
// goes in the ANSI code page like every other file name.
std::string CurlUrlText(const std::wstring& url);
// A file name for the C runtime's file functions (ANSI code page).
std::string AnsiPath(const std::wstring& path);
// The body sink of body-less probes: accepts and discards everything.
std::size_t DiscardBody(char* data, std::size_t size, std::size_t count, void* unused);
// Whole seconds since 1970, the clock of the once-a-second progress rule.
long long NowSeconds();

// Sets easy-handle options in a row, OR-ing their results, so a caller can refuse to transfer
// when any option was not taken.
class CurlOptions {
public:
    explicit CurlOptions(CURL* handle) : handle_(handle) {}
    template <typename Value>
    CurlOptions& Set(CURLoption option, Value value) {
        code_ |= static_cast<int>(curl_easy_setopt(handle_, option, value));
        return *this;
    }
    // The options every body-less probe shares: no signals, the address, no body, 60 s to connect.
    CurlOptions& BodilessProbe(const std::string& url) {
        return Set(CURLOPT_NOSIGNAL, 1L)
            .Set(CURLOPT_URL, url.c_str())
            .Set(CURLOPT_NOBODY, 1L)
            .Set(CURLOPT_WRITEFUNCTION, &DiscardBody)
            .Set(CURLOPT_CONNECTTIMEOUT, 60L);
    }
    int code() const { return code_; }
    bool ok() const { return code_ == 0; }

private:
    CURL* handle_;
    int code_ = 0;
};

// The receive buffer of package transfers: larger than libcurl's 16 KiB default, as the curl tool
// does, so that a fast local link costs fewer callbacks and writes.
inline constexpr long kTransferBufferSize = 512 * 1024;

// libcurl's text for a result; the downloaders' own negative codes get its text for an unknown code.
const char* CurlResultText(int result);
