// analytics_bench: how fast the collection core turns property sets into queued records, and how
// long one 30-record batch takes to compress and encode, each printed beside a plain peer measured
// in the same run: a std::ostringstream JSON writer appending to a deque, and the `gzip -9` program
// on the same batch text.

#include <chrono>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <sstream>
#include <string>

#include "platform/child_process.h"
#include "usage_collect/batch_encoding.h"
#include "usage_collect/sdk.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

usage_collect::PropertiesNode SampleProperties(int i) {
    usage_collect::PropertiesNode p;
    p.SetString("kt_task_name", "大包下载完毕");
    p.SetString("kt_reason", "1.code=1004；2.msg=\"timeout\"");
    p.SetNumber("kt_task_elapsed", 12.5 + i);
    p.SetString("kt_task_result", "Success");
    p.SetBool("$is_first_time", true);
    p.SetString("ktc_ab", "IN");
    p.SetInteger("kt_attempt", i);
    p.SetString("kt_app_id", "Glintcap.downloader");
    return p;
}

void StreamString(std::ostringstream& out, const std::string& text) {
    out << '"';
    for (char c : text) {
        if (c == '"' || c == '\\') {
            out << '\\' << c;
        } else if (c == '\n') {
            out << "\\n";
        } else {
            out << c;
        }
    }
    out << '"';
}

// The peer: the same record written with an ostringstream, no validation, into an unbounded deque.
std::string StreamRecord(const usage_collect::PropertiesNode& p, long long time) {
    std::ostringstream out;
    out << "{\"distinct_id\":\"anon-1\",\"event\":\"KtEventTask\",\"lib\":{\"$lib\":\"cpp\",\"$lib_method\":"
           "\"code\","
           "\"$lib_version\":\"0.7\"},\"properties\":{";
    bool first = true;
    for (const auto& [key, value] : p.members()) {
        out << (first ? "" : ",") << '"' << key << "\":";
        first = false;
        switch (value.type()) {
            case usage_collect::PropertyValue::kNumber:
                out << value.number();
                break;
            case usage_collect::PropertyValue::kInteger:
                out << value.integer();
                break;
            case usage_collect::PropertyValue::kBool:
                out << (value.boolean() ? "true" : "false");
                break;
            default:
                StreamString(out, value.string());
        }
    }
    out << "},\"time\":" << time << ",\"type\":\"track\"}";
    return out.str();
}

double GzipProgramSeconds(const std::string& text, int runs, std::size_t* compressedSize) {
    auto start = Clock::now();
    for (int i = 0; i < runs; ++i) {
        platform::ChildProcess gzip;
        std::string error;
        if (!gzip.Start("gzip -9 -c", &error)) {
            std::fprintf(stderr, "cannot run gzip: %s\n", error.c_str());
            return -1;
        }
        gzip.WriteInput(text);
        gzip.CloseInput();
        char buffer[65536];
        std::size_t got = 0, total = 0;
        while (gzip.ReadOutput(buffer, sizeof buffer, 10000, &got) ==
               platform::ChildProcess::ReadStatus::kData) {
            total += got;
        }
        gzip.Wait(10000);
        *compressedSize = total;
    }
    return SecondsSince(start) / runs;
}

}  // namespace

int main() {
    constexpr int kRecords = 200000;
    std::filesystem::path folder = std::filesystem::temp_directory_path() / "glintcap-analytics-bench";
    std::filesystem::create_directories(folder);
    std::string staging = (folder / "staged.txt").string();

    // Pass 1: records per second through the core (validation, merge, serialisation, queue).
    std::vector<usage_collect::PropertiesNode> samples;
    for (int i = 0; i < 64; ++i) {
        samples.push_back(SampleProperties(i));
    }
    usage_collect::Sdk::Init(staging, "http://127.0.0.1:9/collect?project=pc", "anon-1", false);
    auto start = Clock::now();
    for (int i = 0; i < kRecords; ++i) {
        usage_collect::Sdk::TrackEvent("KtEventTask", samples[i % samples.size()]);
    }
    double coreSeconds = SecondsSince(start);
    std::vector<std::string> batchRecords = usage_collect::Sdk::Instance()->queue().Snapshot();
    batchRecords.resize(30);
    usage_collect::Sdk::Shutdown();

    std::deque<std::string> peerQueue;
    start = Clock::now();
    for (int i = 0; i < kRecords; ++i) {
        peerQueue.push_back(StreamRecord(samples[i % samples.size()], 1700000000000LL + i));
        if (peerQueue.size() > 1024) {
            peerQueue.pop_front();
        }
    }
    double peerSeconds = SecondsSince(start);

    double coreRate = kRecords / coreSeconds, peerRate = kRecords / peerSeconds;
    std::printf(
        "records built, validated, serialised and queued: %.0f/s (ostringstream writer: %.0f/s), ratio "
        "%.2f\n",
        coreRate, peerRate, coreRate / peerRate);

    // Pass 2: one 30-record batch compressed (gzip level 9) and encoded into the request body.
    std::string batch = "[";
    for (std::size_t i = 0; i < batchRecords.size(); ++i) {
        batch += (i ? "," : "") + batchRecords[i];
    }
    batch += "]";
    constexpr int kEncodeRuns = 2000, kGzipRuns = 50;
    std::string body, error;
    start = Clock::now();
    for (int i = 0; i < kEncodeRuns; ++i) {
        usage_collect::BuildRequestBody(batch, &body, &error);
    }
    double encodeSeconds = SecondsSince(start) / kEncodeRuns;
    std::string compressed;
    usage_collect::GzipCompress(batch, &compressed, &error);
    std::size_t gzipSize = 0;
    double gzipSeconds = GzipProgramSeconds(batch, kGzipRuns, &gzipSize);
    std::printf(
        "30-record batch of %zu bytes: compress+Base64+URL-encode %.1f us (gzip %zu bytes, body %zu bytes); "
        "gzip -9 program, process start included, %.1f us (%zu bytes); time ratio %.3f\n",
        batch.size(), encodeSeconds * 1e6, compressed.size(), body.size(), gzipSeconds * 1e6, gzipSize,
        gzipSeconds > 0 ? encodeSeconds / gzipSeconds : 0.0);

    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return 0;
}
