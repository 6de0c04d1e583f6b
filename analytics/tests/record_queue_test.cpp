// The record queue: its size limit, the put-back rule, the staging file and sending to a real
// collector on 127.0.0.1.

#include "usage_collect/record_queue.h"

#include <gtest/gtest.h>

#include <set>
#include <thread>

#include "test_support.h"
#include "testing/collector_server.h"

namespace analytics_test {
namespace {

using glintcap_testing::CollectorServer;
using usage_collect::RecordQueue;

std::string Record(int n) {
    return "{\"n\":" + std::to_string(n) + "}";
}

std::vector<std::string> Records(int from, int to) {
    std::vector<std::string> records;
    for (int n = from; n < to; ++n) {
        records.push_back(Record(n));
    }
    return records;
}

std::vector<int> Numbers(const std::vector<glintcap_testing::JsonValue>& records) {
    std::vector<int> numbers;
    for (const auto& record : records) {
        numbers.push_back(static_cast<int>(record["n"].number));
    }
    return numbers;
}

std::vector<int> Range(int from, int to) {
    std::vector<int> numbers;
    for (int n = from; n < to; ++n) {
        numbers.push_back(n);
    }
    return numbers;
}

class RecordQueueTest : public ::testing::Test {
protected:
    TempFolder folder_;
    std::string staging_ = folder_.File("staged.txt");
};

TEST_F(RecordQueueTest, OverflowDropsTheOldestRecord) {
    RecordQueue queue(kUnreachableUrl, staging_);
    for (int n = 0; n < 1025; ++n) {
        queue.AddRecord(Record(n));
    }
    EXPECT_EQ(queue.Snapshot(), Records(1, 1025));
}

TEST_F(RecordQueueTest, DebugLinesGoToStandardOutput) {
    CollectorServer collector;
    RecordQueue queue(collector.Url(), staging_, 2);
    queue.set_debug(true);
    ::testing::internal::CaptureStdout();
    for (int n = 0; n < 3; ++n) {
        queue.AddRecord(Record(n));
    }
    ASSERT_TRUE(queue.FlushAll());
    EXPECT_EQ(
        ::testing::internal::GetCapturedStdout(),
        "add record:{\"n\":0}\nadd record:{\"n\":1}\nadd record:{\"n\":2}\nrecord is full, delete record\n"
        "flush record : [{\"n\":1},{\"n\":2}]\n");
}

TEST_F(RecordQueueTest, FailedBatchPutsBackOnlyWhatFits) {
    CollectorServer collector;
    collector.SetDefaultAnswer(500);
    RecordQueue queue(collector.Url(), staging_);
    for (int n = 0; n < 1024; ++n) {
        queue.AddRecord(Record(n));
    }
    // While the batch 0..29 is on the wire, six more records arrive: 1000 are queued when it fails.
    collector.SetRequestHook([&] {
        for (int n = 1024; n < 1030; ++n) {
            queue.AddRecord(Record(n));
        }
    });
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(queue.FlushBatch());
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "UsageCollect SDK send failed: collector says 500\n");
    // Only the newest 24 of the batch fit back.
    std::vector<std::string> expected = Records(6, 1030);
    EXPECT_EQ(queue.Snapshot(), expected);
    ASSERT_EQ(collector.Requests().size(), 1u);
    EXPECT_EQ(Numbers(collector.Requests()[0].batch.items), Range(0, 30));
}

TEST_F(RecordQueueTest, CollectorFailuresLoseNothing) {
    CollectorServer collector;
    collector.PlanAnswers({500, CollectorServer::kCloseConnection, 404});
    RecordQueue queue(collector.Url(), staging_);
    for (int n = 0; n < 45; ++n) {
        queue.AddRecord(Record(n));
    }
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(queue.FlushAll());
    EXPECT_FALSE(queue.FlushAll());
    EXPECT_FALSE(queue.FlushAll());
    std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("UsageCollect SDK send failed: collector says 500"), std::string::npos) << err;
    EXPECT_NE(err.find("UsageCollect SDK send failed: collector says 404"), std::string::npos) << err;
    EXPECT_EQ(queue.Snapshot(), Records(0, 45));
    EXPECT_TRUE(queue.FlushAll());
    EXPECT_TRUE(queue.Snapshot().empty());
    // The first three attempts carried the same batch; then two batches of 30 and 15 arrived.
    auto requests = collector.Requests();
    ASSERT_EQ(requests.size(), 5u);
    EXPECT_EQ(Numbers(requests[3].batch.items), Range(0, 30));
    EXPECT_EQ(Numbers(collector.DeliveredRecords()), Range(0, 45));
}

TEST_F(RecordQueueTest, WireFormat) {
    CollectorServer collector;
    RecordQueue queue(collector.Url(), staging_);
    queue.set_cookie("session=1");
    queue.AddRecord(R"({"a":"x y+z/é"})");
    ASSERT_TRUE(queue.FlushAll());
    auto requests = collector.Requests();
    ASSERT_EQ(requests.size(), 1u);
    const auto& request = requests[0];
    EXPECT_EQ(request.decodeError, "");
    EXPECT_EQ(request.query, "project=pc");
    EXPECT_EQ(request.userAgent, "UsageCollect CPP SDK 0.7");
    EXPECT_EQ(request.contentType, "application/x-www-form-urlencoded");
    EXPECT_EQ(request.cookie, "session=1");
    EXPECT_EQ(request.gzipField, "1");
    EXPECT_EQ(request.batchText, R"([{"a":"x y+z/é"}])");
    // Only unreserved characters stay literal in the encoded field.
    std::string field = request.body.substr(10, request.body.size() - 10 - 7);
    EXPECT_EQ(request.body.substr(0, 10), "data_list=");
    EXPECT_EQ(request.body.substr(request.body.size() - 7), "&gzip=1");
    EXPECT_EQ(field.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789%"),
              std::string::npos);
}

TEST_F(RecordQueueTest, UnreachableCollectorKeepsTheBatch) {
    RecordQueue queue(kUnreachableUrl, staging_);
    queue.AddRecord(Record(1));
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(queue.FlushBatch());
    std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.rfind("UsageCollect SDK send failed: ", 0), 0u) << err;
    EXPECT_GT(err.size(), std::string("UsageCollect SDK send failed: \n").size());
    EXPECT_EQ(queue.Snapshot(), Records(1, 2));
}

TEST_F(RecordQueueTest, StagingFileKeepsOnlyRecordLinesAndIsEmptiedOnLoad) {
    WriteFile(staging_, "\n" + Record(1) + "\nplain text\n{broken\n" + Record(2) + "\r\n");
    RecordQueue queue(kUnreachableUrl, staging_);
    queue.AddRecord(Record(3));
    queue.LoadStaged();
    EXPECT_EQ(queue.Snapshot(), Records(1, 4));
    EXPECT_EQ(ReadFile(staging_), "");
    // Loaded once per run: a second load does not read the file again.
    WriteFile(staging_, Record(9) + "\n");
    queue.LoadStaged();
    EXPECT_EQ(queue.Snapshot(), Records(1, 4));
}

TEST_F(RecordQueueTest, StagedRecordsFillOnlyTheFreeRoomKeepingTheNewest) {
    std::string content;
    for (int n = 0; n < 10; ++n) {
        content += Record(n) + "\n";
    }
    WriteFile(staging_, content);
    RecordQueue queue(kUnreachableUrl, staging_);
    for (int n = 100; n < 1120; ++n) {
        queue.AddRecord(Record(n));
    }
    queue.LoadStaged();
    auto queued = queue.Snapshot();
    ASSERT_EQ(queued.size(), 1024u);
    EXPECT_EQ(std::vector<std::string>(queued.begin(), queued.begin() + 4), Records(6, 10));
    EXPECT_EQ(queued[4], Record(100));
}

TEST_F(RecordQueueTest, UnsentRecordsSurviveARestart) {
    CollectorServer collector;
    {
        RecordQueue first(collector.Url(), staging_);
        for (int n = 0; n < 3; ++n) {
            first.AddRecord(Record(n));
        }
    }
    EXPECT_EQ(Lines(ReadFile(staging_)), Records(0, 3));
    RecordQueue second(collector.Url(), staging_);
    second.AddRecord(Record(3));
    ASSERT_TRUE(second.FlushAll());
    EXPECT_EQ(Numbers(collector.DeliveredRecords()), Range(0, 4));
    second.CloseQueue();
    EXPECT_EQ(ReadFile(staging_), "");
}

// Run under ThreadSanitizer: producers add while a flusher sends; nothing is lost or sent twice.
TEST_F(RecordQueueTest, ConcurrentAddsAndFlushes) {
    CollectorServer collector;
    collector.PlanAnswers({500, 200, 500});
    RecordQueue queue(collector.Url(), staging_);
    constexpr int kProducers = 4, kEach = 200;
    std::atomic<int> producing{kProducers};
    std::vector<std::thread> threads;
    for (int p = 0; p < kProducers; ++p) {
        threads.emplace_back([&, p] {
            for (int i = 0; i < kEach; ++i) {
                queue.AddRecord(Record(p * kEach + i));
            }
            --producing;
        });
    }
    ::testing::internal::CaptureStderr();
    std::thread flusher([&] {
        while (producing.load() > 0) {
            queue.FlushBatch();
        }
    });
    for (auto& thread : threads) {
        thread.join();
    }
    flusher.join();
    bool sent = false;
    for (int attempt = 0; attempt < 5 && !sent; ++attempt) {
        sent = queue.FlushAll();
    }
    ::testing::internal::GetCapturedStderr();
    ASSERT_TRUE(sent);
    auto delivered = Numbers(collector.DeliveredRecords());
    std::multiset<int> unique(delivered.begin(), delivered.end());
    EXPECT_EQ(delivered.size(), static_cast<std::size_t>(kProducers * kEach));
    EXPECT_EQ(std::set<int>(delivered.begin(), delivered.end()).size(), delivered.size());
    for (const auto& request : collector.Requests()) {
        EXPECT_LE(request.batch.items.size(), 30u);
    }
}

}  // namespace
}  // namespace analytics_test
