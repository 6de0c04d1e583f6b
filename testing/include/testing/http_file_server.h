#pragma once
// A file server on 127.0.0.1 for download tests and benchmarks. Packages live under a final
// address "/<32 hex digits of their MD5>/<name>", reached through redirects; HEAD answers with the
// length, single byte ranges are honoured, and faults can be queued for the next requests: close
// the connection after N body bytes, stall, answer a status, or serve wrong bytes. Every request is
// recorded (method, path, Range header) for the test to check.

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace glintcap_testing {

struct RecordedRequest {
    std::string method;
    std::string path;
    std::string range;  // the Range header as sent, empty when none
};

struct ServerFault {
    enum class Kind {
        kCloseAfterBytes,  // send `bytes` body bytes, then drop the connection
        kStall,        // send `bytes` body bytes, then nothing until `stall` has passed (or the server stops)
        kStatus,       // answer `status` with a short text body
        kWrongBytes,   // serve the right length with every byte inverted
        kIgnoreRange,  // answer 200 with the whole body (chunked) whatever range was asked for
    };
    Kind kind = Kind::kStatus;
    std::uint64_t bytes = 0;
    std::chrono::milliseconds stall{60000};
    int status = 500;
    std::string method = "GET";  // the requests it applies to: "GET", "HEAD" or "" for both
    std::string path;            // "" for any path
    std::string range;           // "" for any request, else only requests with this Range header
};

class HttpFileServer {
public:
    HttpFileServer();
    ~HttpFileServer();
    HttpFileServer(const HttpFileServer&) = delete;
    HttpFileServer& operator=(const HttpFileServer&) = delete;

    // Listens on an ephemeral port of 127.0.0.1. False when it cannot.
    bool Start();
    void Stop();
    int port() const;
    // "http://127.0.0.1:<port>"
    std::string BaseUrl() const;
    std::string UrlFor(const std::string& path) const { return BaseUrl() + path; }

    // Serves `content` at its final address "/<md5>/<name>" and returns that path.
    std::string AddPackage(const std::string& name, std::string content);
    // Serves `content` at exactly `path` (for addresses without an MD5 folder).
    void AddFile(const std::string& path, std::string content);
    // Serves the file at `path` from disk without loading it (large benchmark files).
    void AddDiskFile(const std::string& path, const std::string& diskPath);
    // Answers `from` with 302 and Location `to` (a path of this server or a full address).
    void AddRedirect(const std::string& from, const std::string& to);

    // Faults apply to the next matching requests, one request each, in the order queued.
    void QueueFault(const ServerFault& fault);
    void QueueFaults(const ServerFault& fault, int count);
    // Limits every response body to this many bytes per second (0: no limit).
    void SetRateLimit(std::uint64_t bytesPerSecond);

    std::vector<RecordedRequest> Requests() const;
    std::vector<RecordedRequest> Requests(const std::string& method) const;
    void ClearRequests();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Lower-case hex MD5 of a byte string.
std::string Md5Hex(const std::string& data);
// Deterministic bytes that do not repeat with a short period (so shifted data never matches).
std::string PatternBytes(std::size_t size, std::uint32_t seed = 1);

}  // namespace glintcap_testing
