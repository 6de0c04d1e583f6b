#include "download/curl_support.h"

#include <chrono>

#include "utils/text.h"

std::string CurlUrlText(const std::wstring& url) {
    const bool localFile = url.rfind(L"file:///", 0) == 0;
    return Utils::ToNarrow(url, localFile ? Utils::kCodePageAnsi : Utils::kCodePageUtf8);
}

std::string AnsiPath(const std::wstring& path) {
    return Utils::ToNarrow(path, Utils::kCodePageAnsi);
}

std::size_t DiscardBody(char*, std::size_t size, std::size_t count, void*) {
    return size * count;
}

long long NowSeconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

const char* CurlResultText(int result) {
    const bool known = result >= 0 && result < static_cast<int>(CURL_LAST);
    return curl_easy_strerror(known ? static_cast<CURLcode>(result) : CURL_LAST);
}
