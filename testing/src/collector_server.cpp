#include "testing/collector_server.h"

#include <httplib.h>
#include <openssl/evp.h>
#include <zlib.h>

#include <stdexcept>

namespace glintcap_testing {
namespace {

// Splits "a=1&b=2" and returns the raw (still encoded) value of `name`.
std::string FormField(const std::string& body, const std::string& name) {
    std::size_t start = 0;
    while (start <= body.size()) {
        std::size_t end = body.find('&', start);
        if (end == std::string::npos) {
            end = body.size();
        }
        std::string pair = body.substr(start, end - start);
        std::size_t equals = pair.find('=');
        if (equals != std::string::npos && pair.substr(0, equals) == name) {
            return pair.substr(equals + 1);
        }
        start = end + 1;
    }
    return {};
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}  // namespace

CollectorServer::CollectorServer() : server_(std::make_unique<httplib::Server>()) {
    server_->Post("/collect", [this](const httplib::Request& req, httplib::Response& res) {
        Request request;
        request.path = req.path;
        std::string target = req.target;
        std::size_t question = target.find('?');
        request.query = question == std::string::npos ? "" : target.substr(question + 1);
        request.userAgent = req.get_header_value("User-Agent");
        request.contentType = req.get_header_value("Content-Type");
        request.cookie = req.get_header_value("Cookie");
        request.body = req.body;
        Decode(&request);
        std::function<void()> hook;
        {
            std::lock_guard<std::mutex> lock(lock_);
            hook = hook_;
        }
        if (hook) {
            hook();
        }
        int answer = NextAnswer();
        request.answer = answer;
        {
            std::lock_guard<std::mutex> lock(lock_);
            requests_.push_back(std::move(request));
        }
        arrived_.notify_all();
        if (answer == kCloseConnection) {
            // Headers promise a body that never comes: the client sees the connection close mid-answer.
            res.set_content_provider(64, "text/plain",
                                     [](size_t, size_t, httplib::DataSink&) { return false; });
            return;
        }
        res.status = answer;
        res.set_content(answer == 200 ? "ok" : "collector says " + std::to_string(answer), "text/plain");
    });
    port_ = server_->bind_to_any_port("127.0.0.1");
    if (port_ <= 0) {
        throw std::runtime_error("collector server cannot bind to 127.0.0.1");
    }
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    // stop() is ignored until the accept loop runs, so the server must be running before anyone can stop it.
    while (!server_->is_running()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

CollectorServer::~CollectorServer() {
    server_->stop();
    thread_.join();
}

std::string CollectorServer::Url() const {
    return "http://127.0.0.1:" + std::to_string(port_) + "/collect?project=pc";
}

void CollectorServer::PlanAnswers(std::vector<int> answers) {
    std::lock_guard<std::mutex> lock(lock_);
    plan_.insert(plan_.end(), answers.begin(), answers.end());
}

void CollectorServer::SetDefaultAnswer(int answer) {
    std::lock_guard<std::mutex> lock(lock_);
    defaultAnswer_ = answer;
}

void CollectorServer::SetRequestHook(std::function<void()> hook) {
    std::lock_guard<std::mutex> lock(lock_);
    hook_ = std::move(hook);
}

int CollectorServer::NextAnswer() {
    std::lock_guard<std::mutex> lock(lock_);
    if (plan_.empty()) {
        return defaultAnswer_;
    }
    int answer = plan_.front();
    plan_.pop_front();
    return answer;
}

std::vector<CollectorServer::Request> CollectorServer::Requests() const {
    std::lock_guard<std::mutex> lock(lock_);
    return requests_;
}

std::vector<JsonValue> CollectorServer::DeliveredRecords() const {
    std::lock_guard<std::mutex> lock(lock_);
    std::vector<JsonValue> records;
    for (const auto& request : requests_) {
        if (request.answer == 200) {
            records.insert(records.end(), request.batch.items.begin(), request.batch.items.end());
        }
    }
    return records;
}

bool CollectorServer::WaitForRequests(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock<std::mutex> lock(lock_);
    return arrived_.wait_for(lock, timeout, [&] { return requests_.size() >= count; });
}

void CollectorServer::Decode(Request* request) const {
    request->gzipField = FormField(request->body, "gzip");
    std::string compressed;
    if (!Base64Decode(UrlDecode(FormField(request->body, "data_list")), &compressed)) {
        request->decodeError = "bad Base64";
        return;
    }
    if (!Gunzip(compressed, &request->batchText)) {
        request->decodeError = "bad gzip";
        return;
    }
    std::string error;
    if (!ParseJson(request->batchText, &request->batch, &error)) {
        request->decodeError = "bad JSON: " + error;
        return;
    }
    if (request->batch.kind != JsonValue::kArray) {
        request->decodeError = "batch is not an array";
    }
}

std::string CollectorServer::UrlDecode(const std::string& text) {
    std::string decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 &&
            HexDigit(text[i + 2]) >= 0) {
            decoded.push_back(static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2])));
            i += 2;
        } else if (text[i] == '+') {
            decoded.push_back(' ');
        } else {
            decoded.push_back(text[i]);
        }
    }
    return decoded;
}

bool CollectorServer::Base64Decode(const std::string& text, std::string* bytes) {
    if (text.size() % 4 != 0) {
        return false;
    }
    bytes->assign(text.size() / 4 * 3, '\0');
    int length =
        EVP_DecodeBlock(reinterpret_cast<unsigned char*>(bytes->data()),
                        reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
    if (length < 0) {
        return false;
    }
    std::size_t padding = 0;
    for (std::size_t i = text.size(); i > 0 && text[i - 1] == '='; --i) {
        ++padding;
    }
    bytes->resize(static_cast<std::size_t>(length) - padding);
    return true;
}

bool CollectorServer::Gunzip(const std::string& compressed, std::string* text) {
    z_stream stream{};
    if (inflateInit2(&stream, 31) != Z_OK) {
        return false;
    }
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
    stream.avail_in = static_cast<uInt>(compressed.size());
    text->clear();
    char chunk[16384];
    int result = Z_OK;
    while (result == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef*>(chunk);
        stream.avail_out = sizeof chunk;
        result = inflate(&stream, Z_NO_FLUSH);
        text->append(chunk, sizeof chunk - stream.avail_out);
        if (result == Z_BUF_ERROR && stream.avail_in == 0) {
            break;
        }
    }
    bool complete = result == Z_STREAM_END && stream.avail_in == 0;
    inflateEnd(&stream);
    return complete;
}

}  // namespace glintcap_testing
