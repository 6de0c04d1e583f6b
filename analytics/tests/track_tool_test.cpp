// glintcap-check track, run as a child process against the test collector.

#include <gtest/gtest.h>

#include "platform/child_process.h"
#include "platform/paths.h"
#include "test_support.h"
#include "testing/collector_server.h"

namespace analytics_test {
namespace {

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

ToolRun RunTrack(const std::string& server, const std::string& dataDir, const std::string& input) {
    ToolRun run;
    platform::ChildProcess child;
    std::string error;
    std::string command = std::string("\"") + GLINTCAP_CHECK_PATH + "\" track --server \"" + server +
                          "\" --data-dir \"" + dataDir + "\"";
    if (!child.Start(command, &error)) {
        ADD_FAILURE() << error;
        return run;
    }
    child.WriteInput(input);
    child.CloseInput();
    char buffer[4096];
    std::size_t got = 0;
    while (child.ReadOutput(buffer, sizeof buffer, 20000, &got) ==
           platform::ChildProcess::ReadStatus::kData) {
        run.out.append(buffer, got);
    }
    while (child.ReadError(buffer, sizeof buffer, 20000, &got) == platform::ChildProcess::ReadStatus::kData) {
        run.err.append(buffer, got);
    }
    EXPECT_TRUE(child.Wait(20000));
    run.exitCode = child.ExitCode();
    return run;
}

class TrackToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!platform::IsRegularFile(GLINTCAP_CHECK_PATH)) {
            GTEST_SKIP() << "glintcap-check is not built";
        }
    }
    TempFolder folder_;
    glintcap_testing::CollectorServer collector_;
};

TEST_F(TrackToolTest, SendsTheEventsAtTheEndOfInput) {
    ToolRun run = RunTrack(collector_.Url(), folder_.path(),
                           "click\t立即安装\nview\t安装中\ntask\t大包下载完毕\t12."
                           "5\t\ntask\t下载失败原因\t0\t:1.code=3；2.msg=x\n");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");
    auto requests = collector_.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].decodeError, "");
    auto records = collector_.DeliveredRecords();
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0]["properties"]["kt_name"].text, "立即安装");
    EXPECT_EQ(records[1]["properties"]["kt_name"].text, "安装中");
    EXPECT_EQ(records[2]["properties"]["kt_task_elapsed"].text, "12.5");
    EXPECT_EQ(records[3]["properties"]["kt_reason"].text, ":1.code=3；2.msg=x");
    for (const auto& record : records) {
        EXPECT_EQ(record["properties"]["ktc_ab"].text, "IN");
        EXPECT_EQ(record["properties"]["kt_app_id"].text, "Glintcap.downloader");
    }
    EXPECT_TRUE(platform::IsDirectory(folder_.path() + "/KTLocal/Glintcap.downloader"));
}

TEST_F(TrackToolTest, ACrashSendsAtOnceAndBadLinesAreNamed) {
    ToolRun run = RunTrack(collector_.Url(), folder_.path(),
                           "task\t崩溃退出\t0\ncrash\t崩溃\nfly\taway\ntask\tx\tslow\n");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err,
              "track: line 3 is not an event: fly\taway\ntrack: line 4 is not an event: task\tx\tslow\n");
    auto records = collector_.DeliveredRecords();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1]["event"].text, "AppCrashed");
}

}  // namespace
}  // namespace analytics_test
