#pragma once
// One HTTP POST to the collector on a fresh libcurl easy handle. The process must have called
// curl_global_init before any thread starts.

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace usage_collect {

inline constexpr char kUserAgent[] = "UsageCollect CPP SDK 0.7";
inline constexpr long kPostTimeoutSeconds = 3;

using RequestHeaders = std::vector<std::pair<std::string, std::string>>;

struct PostResult {
    long status = -1;  // the response code, or -1 when the transfer failed
    std::string body;  // the response body, or the error text when the transfer failed
    std::map<std::string, std::string> headers;
};

class CollectorClient {
public:
    CollectorClient(std::string url, RequestHeaders headers)
        : url_(std::move(url)), headers_(std::move(headers)) {}

    const std::string& url() const { return url_; }
    const RequestHeaders& headers() const { return headers_; }

    // Never throws: a failure of libcurl itself is written to standard error and returned as -1.
    static PostResult Post(const std::string& url, const std::string& body, const RequestHeaders& headers);

private:
    std::string url_;
    RequestHeaders headers_;
};

}  // namespace usage_collect
