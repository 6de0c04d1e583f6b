#include "usage_collect/collector_client.h"

#include <curl/curl.h>

#include <iostream>
#include <memory>
#include <stdexcept>

namespace usage_collect {
namespace {

struct EasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct ListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

std::string Trim(std::string_view text) {
    const char* blanks = " \t\r\n";
    auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) {
        return {};
    }
    auto last = text.find_last_not_of(blanks);
    return std::string(text.substr(first, last - first + 1));
}

size_t CollectBody(char* data, size_t size, size_t count, void* user) {
    static_cast<std::string*>(user)->append(data, size * count);
    return size * count;
}

size_t CollectHeader(char* data, size_t size, size_t count, void* user) {
    auto* headers = static_cast<std::map<std::string, std::string>*>(user);
    std::string_view line(data, size * count);
    auto colon = line.find(':');
    if (colon == std::string_view::npos) {
        std::string name = Trim(line);
        if (!name.empty()) {
            (*headers)[name] = "present";
        }
    } else {
        (*headers)[Trim(line.substr(0, colon))] = Trim(line.substr(colon + 1));
    }
    return size * count;
}

// Sets one option; a refused option is a programming or build fault, reported like a failed transfer.
template <typename T>
void SetOption(CURL* handle, CURLoption option, T value) {
    CURLcode code = curl_easy_setopt(handle, option, value);
    if (code != CURLE_OK) {
        throw std::runtime_error(std::string("curl_easy_setopt failed: ") + curl_easy_strerror(code));
    }
}

PostResult PostOnce(const std::string& url, const std::string& body, const RequestHeaders& headers) {
    std::unique_ptr<CURL, EasyDeleter> handle(curl_easy_init());
    if (!handle) {
        throw std::runtime_error("Couldn't initialize curl handle");
    }
    PostResult result;
    std::unique_ptr<curl_slist, ListDeleter> headerList;
    for (const auto& [name, value] : headers) {
        curl_slist* grown = curl_slist_append(headerList.get(), (name + ": " + value).c_str());
        if (grown == nullptr) {
            throw std::runtime_error("curl_slist_append failed");
        }
        headerList.release();
        headerList.reset(grown);
    }
    char errorText[CURL_ERROR_SIZE] = {};
    CURL* h = handle.get();
    // Peer and host verification stay at libcurl's default (on): the records must not be readable or
    // forgeable by anyone on the path to the collector.
    SetOption(h, CURLOPT_ERRORBUFFER, errorText);
    SetOption(h, CURLOPT_URL, url.c_str());
    SetOption(h, CURLOPT_WRITEFUNCTION, &CollectBody);
    SetOption(h, CURLOPT_WRITEDATA, &result.body);
    SetOption(h, CURLOPT_HEADERFUNCTION, &CollectHeader);
    SetOption(h, CURLOPT_HEADERDATA, &result.headers);
    if (headerList) {
        SetOption(h, CURLOPT_HTTPHEADER, headerList.get());
    }
    SetOption(h, CURLOPT_USERAGENT, kUserAgent);
    SetOption(h, CURLOPT_TIMEOUT, kPostTimeoutSeconds);
    SetOption(h, CURLOPT_NOSIGNAL, 1L);
    SetOption(h, CURLOPT_FOLLOWLOCATION, 0L);
    SetOption(h, CURLOPT_POST, 1L);
    SetOption(h, CURLOPT_POSTFIELDS, body.c_str());
    SetOption(h, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));

    CURLcode code = curl_easy_perform(h);
    if (code != CURLE_OK) {
        result.status = -1;
        result.body = errorText[0] != '\0' ? errorText : curl_easy_strerror(code);
        return result;
    }
    long status = 0;
    code = curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
    if (code != CURLE_OK) {
        result.status = -1;
        result.body = curl_easy_strerror(code);
        return result;
    }
    result.status = status;
    return result;
}

}  // namespace

PostResult CollectorClient::Post(const std::string& url, const std::string& body,
                                 const RequestHeaders& headers) {
    try {
        return PostOnce(url, body, headers);
    } catch (const std::exception& e) {
        std::cerr << e.what() << std::endl;
        PostResult failed;
        failed.body = e.what();
        return failed;
    }
}

}  // namespace usage_collect
