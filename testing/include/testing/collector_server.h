#pragma once
// A usage-event collector on 127.0.0.1 (ephemeral port, plain http). Each POST is decoded (form field
// "data_list": URL decoding, Base64, gunzip, JSON) and kept for the test. The test chooses each
// answer: a status code, or a dropped connection.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "testing/collector_json.h"

namespace httplib {
class Server;
}

namespace glintcap_testing {

class CollectorServer {
public:
    // Answer plan entry that closes the connection in the middle of the response.
    static constexpr int kCloseConnection = -1;

    struct Request {
        std::string path;
        std::string query;  // e.g. "project=pc"
        std::string userAgent;
        std::string contentType;
        std::string cookie;
        std::string body;         // the raw form text
        std::string gzipField;    // value of the "gzip" field
        std::string batchText;    // the decoded JSON text of the batch
        JsonValue batch;          // the parsed batch (an array of records)
        std::string decodeError;  // empty when every step of decoding worked
        int answer = 200;         // what the server answered (kCloseConnection for a dropped connection)
    };

    CollectorServer();
    CollectorServer(const CollectorServer&) = delete;
    CollectorServer& operator=(const CollectorServer&) = delete;
    ~CollectorServer();

    // "http://127.0.0.1:<port>/collect?project=pc"
    std::string Url() const;
    int port() const { return port_; }

    // The next requests are answered with these, in order; afterwards with the default status.
    void PlanAnswers(std::vector<int> answers);
    void SetDefaultAnswer(int answer);
    // Runs on the server's thread for each request, after it is decoded and before it is answered.
    void SetRequestHook(std::function<void()> hook);

    std::vector<Request> Requests() const;
    // Records of the requests answered with 200, in arrival order.
    std::vector<JsonValue> DeliveredRecords() const;
    // Waits until at least `count` requests have arrived.
    bool WaitForRequests(std::size_t count, std::chrono::milliseconds timeout) const;

    // The decoding steps, public for the fixture's own tests.
    static std::string UrlDecode(const std::string& text);
    static bool Base64Decode(const std::string& text, std::string* bytes);
    static bool Gunzip(const std::string& compressed, std::string* text);

private:
    int NextAnswer();
    void Decode(Request* request) const;

    std::unique_ptr<httplib::Server> server_;
    int port_ = 0;
    std::thread thread_;
    mutable std::mutex lock_;
    mutable std::condition_variable arrived_;
    std::deque<int> plan_;
    int defaultAnswer_ = 200;
    std::function<void()> hook_;
    std::vector<Request> requests_;
};

}  // namespace glintcap_testing
