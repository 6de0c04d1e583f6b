#include "testing/http_file_server.h"

#include <httplib.h>
#include <openssl/evp.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

namespace glintcap_testing {
namespace {

// A served body: its length and a reader of any slice of it.
struct Body {
    std::uint64_t size = 0;
    std::function<bool(std::uint64_t offset, char* out, std::size_t count)> read;
};

Body MemoryBody(std::string content) {
    auto data = std::make_shared<const std::string>(std::move(content));
    Body body;
    body.size = data->size();
    body.read = [data](std::uint64_t offset, char* out, std::size_t count) {
        std::copy_n(data->data() + offset, count, out);
        return true;
    };
    return body;
}

std::optional<Body> DiskBody(const std::string& diskPath) {
    std::ifstream probe(diskPath, std::ios::binary | std::ios::ate);
    if (!probe) {
        return std::nullopt;
    }
    Body body;
    body.size = static_cast<std::uint64_t>(probe.tellg());
    body.read = [diskPath](std::uint64_t offset, char* out, std::size_t count) {
        // One stream per read keeps concurrent connections independent.
        std::ifstream in(diskPath, std::ios::binary);
        in.seekg(static_cast<std::streamoff>(offset));
        in.read(out, static_cast<std::streamsize>(count));
        return static_cast<std::size_t>(in.gcount()) == count;
    };
    return body;
}

// "bytes=a-b" or "bytes=a-" against a body of `size`; nullopt when the header is unusable or the
// range cannot be satisfied.
struct ByteRange {
    std::uint64_t first, last;
};
std::optional<ByteRange> ParseRange(const std::string& header, std::uint64_t size) {
    const std::string prefix = "bytes=";
    if (header.compare(0, prefix.size(), prefix) != 0) {
        return std::nullopt;
    }
    const std::string spec = header.substr(prefix.size());
    const auto dash = spec.find('-');
    if (dash == std::string::npos || dash == 0 || spec.find(',') != std::string::npos) {
        return std::nullopt;
    }
    try {
        ByteRange range{std::stoull(spec.substr(0, dash)), size == 0 ? 0 : size - 1};
        if (dash + 1 < spec.size()) {
            range.last = std::min<std::uint64_t>(std::stoull(spec.substr(dash + 1)), range.last);
        }
        if (range.first >= size || range.first > range.last) {
            return std::nullopt;
        }
        return range;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

}  // namespace

struct HttpFileServer::Impl {
    httplib::Server server;
    std::thread listener;
    std::atomic<bool> listenerDone{false};
    int port = -1;

    mutable std::mutex mutex;
    std::condition_variable stopped;
    bool stopping = false;
    std::map<std::string, Body> files;
    std::map<std::string, std::string> redirects;
    std::deque<ServerFault> faults;
    std::uint64_t rateLimit = 0;
    std::vector<RecordedRequest> requests;

    void Handle(const httplib::Request& req, httplib::Response& res);
    std::optional<ServerFault> TakeFault(const std::string& method, const std::string& path,
                                         const std::string& range);
    bool Provide(const Body& body, std::optional<ServerFault> fault, std::uint64_t rate, std::uint64_t offset,
                 std::uint64_t length, httplib::DataSink& sink);
    // Waits up to `duration`; false when the server is stopping.
    bool Pause(std::chrono::steady_clock::duration duration) {
        std::unique_lock lock(mutex);
        return !stopped.wait_for(lock, duration, [this] { return stopping; });
    }
};

std::optional<ServerFault> HttpFileServer::Impl::TakeFault(const std::string& method, const std::string& path,
                                                           const std::string& range) {
    std::lock_guard lock(mutex);
    for (auto it = faults.begin(); it != faults.end(); ++it) {
        if ((it->method.empty() || it->method == method) && (it->path.empty() || it->path == path) &&
            (it->range.empty() || it->range == range)) {
            ServerFault fault = *it;
            faults.erase(it);
            return fault;
        }
    }
    return std::nullopt;
}

void HttpFileServer::Impl::Handle(const httplib::Request& req, httplib::Response& res) {
    const std::string range = req.get_header_value("Range");
    std::optional<Body> body;
    std::optional<std::string> redirect;
    std::uint64_t rate = 0;
    {
        std::lock_guard lock(mutex);
        requests.push_back({req.method, req.path, range});
        if (auto it = redirects.find(req.path); it != redirects.end()) {
            redirect = it->second;
        } else if (auto file = files.find(req.path); file != files.end()) {
            body = file->second;
        }
        rate = rateLimit;
    }
    std::optional<ServerFault> fault = TakeFault(req.method, req.path, range);
    if (fault && fault->kind == ServerFault::Kind::kStatus) {
        res.status = fault->status;
        return;
    }
    if (redirect) {
        res.status = 302;
        res.set_header("Location", redirect->front() == '/'
                                       ? "http://127.0.0.1:" + std::to_string(port) + *redirect
                                       : *redirect);
        return;
    }
    if (!body) {
        res.status = 404;
        return;
    }
    if (fault && fault->kind == ServerFault::Kind::kIgnoreRange) {
        // A chunked body is never sliced by the library: the whole file goes out with status 200.
        res.status = 200;
        const std::uint64_t end = fault->bytes > 0 ? std::min(fault->bytes, body->size) : body->size;
        res.set_chunked_content_provider(
            "application/octet-stream", [body = *body, end](std::size_t offset, httplib::DataSink& sink) {
                std::vector<char> chunk(std::min<std::uint64_t>(65536, end - offset));
                if (!chunk.empty() && (!body.read(offset, chunk.data(), chunk.size()) ||
                                       !sink.write(chunk.data(), chunk.size()))) {
                    return false;
                }
                if (offset + chunk.size() >= end) {
                    sink.done();
                }
                return true;
            });
        return;
    }
    res.set_header("Accept-Ranges", "bytes");
    if (!range.empty() && !ParseRange(range, body->size)) {
        // The library's own range handling is wrong past the end of a streamed body.
        res.status = 416;
        res.set_header("Content-Range", "bytes */" + std::to_string(body->size));
        return;
    }
    // The library slices a single valid range out of the provider and sets the 206 headers.
    res.set_content_provider(
        static_cast<std::size_t>(body->size), "application/octet-stream",
        [this, body = *body, fault, rate](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
            return Provide(body, fault, rate, offset, length, sink);
        });
}

bool HttpFileServer::Impl::Provide(const Body& body, std::optional<ServerFault> fault, std::uint64_t rate,
                                   std::uint64_t offset, std::uint64_t length, httplib::DataSink& sink) {
    using Kind = ServerFault::Kind;
    const auto started = std::chrono::steady_clock::now();
    const std::size_t chunkSize = rate > 0 ? std::clamp<std::size_t>(rate / 50, 1024, 65536) : 65536;
    std::vector<char> chunk(chunkSize);
    std::uint64_t sent = 0;
    const bool cuts = fault && (fault->kind == Kind::kCloseAfterBytes || fault->kind == Kind::kStall);
    while (sent < length) {
        std::uint64_t want = std::min<std::uint64_t>(chunkSize, length - sent);
        if (cuts) {
            if (sent >= fault->bytes) {
                if (fault->kind == Kind::kStall) {
                    Pause(fault->stall);
                }
                return false;  // the library closes the connection mid-body
            }
            want = std::min<std::uint64_t>(want, fault->bytes - sent);
        }
        if (rate > 0) {
            const auto due = started + std::chrono::microseconds((sent * 1000000) / rate);
            if (due > std::chrono::steady_clock::now() && !Pause(due - std::chrono::steady_clock::now())) {
                return false;
            }
        }
        if (!body.read(offset + sent, chunk.data(), want)) {
            return false;
        }
        if (fault && fault->kind == Kind::kWrongBytes) {
            for (std::uint64_t i = 0; i < want; ++i) {
                chunk[i] = static_cast<char>(~chunk[i]);
            }
        }
        if (!sink.write(chunk.data(), want)) {
            return false;
        }
        sent += want;
    }
    return true;
}

HttpFileServer::HttpFileServer() : impl_(std::make_unique<Impl>()) {}

HttpFileServer::~HttpFileServer() {
    Stop();
}

bool HttpFileServer::Start() {
    impl_->server.set_keep_alive_timeout(1);
    impl_->server.Get(
        ".*", [this](const httplib::Request& req, httplib::Response& res) { impl_->Handle(req, res); });
    impl_->port = impl_->server.bind_to_any_port("127.0.0.1");
    if (impl_->port <= 0) {
        return false;
    }
    impl_->listener = std::thread([this] {
        impl_->server.listen_after_bind();
        impl_->listenerDone = true;
    });
    return true;
}

void HttpFileServer::Stop() {
    {
        std::lock_guard lock(impl_->mutex);
        impl_->stopping = true;
    }
    impl_->stopped.notify_all();
    if (impl_->listener.joinable()) {
        // stop() before the loop has begun would be lost; wait until it runs.
        while (!impl_->server.is_running() && !impl_->listenerDone) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        impl_->server.stop();
        impl_->listener.join();
    }
}

int HttpFileServer::port() const {
    return impl_->port;
}

std::string HttpFileServer::BaseUrl() const {
    return "http://127.0.0.1:" + std::to_string(impl_->port);
}

std::string HttpFileServer::AddPackage(const std::string& name, std::string content) {
    const std::string path = "/" + Md5Hex(content) + "/" + name;
    AddFile(path, std::move(content));
    return path;
}

void HttpFileServer::AddFile(const std::string& path, std::string content) {
    std::lock_guard lock(impl_->mutex);
    impl_->files[path] = MemoryBody(std::move(content));
}

void HttpFileServer::AddDiskFile(const std::string& path, const std::string& diskPath) {
    auto body = DiskBody(diskPath);
    std::lock_guard lock(impl_->mutex);
    if (body) {
        impl_->files[path] = std::move(*body);
    }
}

void HttpFileServer::AddRedirect(const std::string& from, const std::string& to) {
    std::lock_guard lock(impl_->mutex);
    impl_->redirects[from] = to;
}

void HttpFileServer::QueueFault(const ServerFault& fault) {
    QueueFaults(fault, 1);
}

void HttpFileServer::QueueFaults(const ServerFault& fault, int count) {
    std::lock_guard lock(impl_->mutex);
    for (int i = 0; i < count; ++i) {
        impl_->faults.push_back(fault);
    }
}

void HttpFileServer::SetRateLimit(std::uint64_t bytesPerSecond) {
    std::lock_guard lock(impl_->mutex);
    impl_->rateLimit = bytesPerSecond;
}

std::vector<RecordedRequest> HttpFileServer::Requests() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->requests;
}

std::vector<RecordedRequest> HttpFileServer::Requests(const std::string& method) const {
    std::vector<RecordedRequest> matching;
    for (auto& request : Requests()) {
        if (request.method == method) {
            matching.push_back(request);
        }
    }
    return matching;
}

void HttpFileServer::ClearRequests() {
    std::lock_guard lock(impl_->mutex);
    impl_->requests.clear();
}

std::string Md5Hex(const std::string& data) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    EVP_Digest(data.data(), data.size(), digest, &size, EVP_md5(), nullptr);
    static const char kHex[] = "0123456789abcdef";
    std::string hex;
    for (unsigned int i = 0; i < size; ++i) {
        hex += kHex[digest[i] >> 4];
        hex += kHex[digest[i] & 15];
    }
    return hex;
}

std::string PatternBytes(std::size_t size, std::uint32_t seed) {
    // xorshift64, eight bytes per step: large test files are made quickly even under sanitizers.
    std::string bytes(size, '\0');
    std::uint64_t state = (static_cast<std::uint64_t>(seed) << 32) ^ 0x9E3779B97F4A7C15ull;
    for (std::size_t i = 0; i < size; i += 8) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        std::memcpy(&bytes[i], &state, std::min<std::size_t>(8, size - i));
    }
    return bytes;
}

}  // namespace glintcap_testing
