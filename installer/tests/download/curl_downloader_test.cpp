#include "download/curl_downloader.h"

#include <gtest/gtest.h>

#include "download_test_support.h"
#include "testing/http_file_server.h"
#include "testing/test_folder.h"

namespace {

using download_test::FastTimings;
using download_test::ReadFile;
using download_test::ReportLog;
using download_test::Wide;
using glintcap_testing::HttpFileServer;
using glintcap_testing::PatternBytes;
using glintcap_testing::ServerFault;

class CurlDownloaderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.Start()); }

    // Runs one download the way the orchestrator does and waits for its final report.
    void Run(const std::string& path) {
        downloader = std::make_unique<CCurlDownloader>(log.Callback(), Wide(server.UrlFor(path)),
                                                       Wide(target), FastTimings());
        log.AnswerRetriesWith(downloader.get());
        downloader->Start();
        ASSERT_TRUE(log.WaitForEnd());
        downloader.reset();  // joins every thread
    }

    bool TargetExists() {
        bool exists = false;
        ReadFile(target, &exists);
        return exists;
    }

    HttpFileServer server;
    TestFolder folder;
    std::string target = folder.Child("package.exe");
    ReportLog log;
    std::unique_ptr<CCurlDownloader> downloader;
};

TEST_F(CurlDownloaderTest, SpendsItsBudgetOfTwelveOnFailedAttempts) {
    // Failures cost 2, connections that end early 1; the part file is resumed every time.
    struct Case {
        const char* name;
        ServerFault::Kind kind;
        int faults;
        int finalCode;
        double value;
    };
    const Case cases[] = {
        {"five errors then success", ServerFault::Kind::kStatus, 5, DL_CODE_SUCCESS, 0.0},
        {"six errors", ServerFault::Kind::kStatus, 6, DL_CODE_FAIL, CURLE_HTTP_RETURNED_ERROR},
        {"eleven partial then success", ServerFault::Kind::kCloseAfterBytes, 11, DL_CODE_SUCCESS, 0.0},
        {"twelve partial", ServerFault::Kind::kCloseAfterBytes, 12, DL_CODE_FAIL, CURLE_PARTIAL_FILE},
    };
    const std::string content = PatternBytes(1 << 20, 11);
    const std::string path = server.AddPackage("package.exe", content);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        log.Clear();
        server.ClearRequests();
        ServerFault fault;
        fault.kind = c.kind;
        fault.status = 503;
        fault.bytes = 1000;
        server.QueueFaults(fault, c.faults);
        Run(path);
        EXPECT_EQ(log.Codes(), (std::vector<int>{DL_CODE_START, c.finalCode}));
        EXPECT_EQ(log.Last(c.finalCode)->value, c.value);
        EXPECT_EQ(log.Last(c.finalCode)->text, L"LibCurl");
        const auto gets = server.Requests("GET");
        ASSERT_EQ(static_cast<int>(gets.size()), c.finalCode == DL_CODE_SUCCESS ? c.faults + 1 : c.faults);
        if (c.kind == ServerFault::Kind::kCloseAfterBytes) {
            for (std::size_t i = 1; i < gets.size(); ++i) {
                EXPECT_EQ(gets[i].range, "bytes=" + std::to_string(1000 * i) + "-");
            }
        }
        if (c.finalCode == DL_CODE_SUCCESS) {
            EXPECT_EQ(ReadFile(target), content);
        }
    }
}

TEST_F(CurlDownloaderTest, RetriesAPackageTooSmallLikeAnyFailure) {
    const std::string path = server.AddPackage("small.exe", PatternBytes(1048575));
    Run(path);
    EXPECT_EQ(log.Codes(), (std::vector<int>{DL_CODE_START, DL_CODE_FAIL}));
    EXPECT_EQ(log.Last(DL_CODE_FAIL)->value, CurlClient::kTooSmall);
    EXPECT_TRUE(server.Requests("GET").empty());
    EXPECT_EQ(server.Requests("HEAD").size(), 6u * 3u);  // six attempts of three probes
    EXPECT_FALSE(TargetExists());
}

TEST_F(CurlDownloaderTest, AsksForOneRetryWhenTheMd5DiffersFromTheAddress) {
    const std::string content = PatternBytes(1 << 20, 12);
    const std::string path = server.AddPackage("package.exe", content);
    for (int wrongAnswers : {1, 2}) {
        SCOPED_TRACE(wrongAnswers);
        log.Clear();
        server.ClearRequests();
        ServerFault wrong;
        wrong.kind = ServerFault::Kind::kWrongBytes;
        server.QueueFaults(wrong, wrongAnswers);
        Run(path);
        const int last = wrongAnswers == 1 ? DL_CODE_SUCCESS : DL_CODE_FAIL;
        const std::vector<int> expected =
            wrongAnswers == 1
                ? std::vector<int>{DL_CODE_START, DL_CODE_INFO, DL_CODE_RETRY, DL_CODE_START, last}
                : std::vector<int>{DL_CODE_START, DL_CODE_INFO, DL_CODE_RETRY,
                                   DL_CODE_START, DL_CODE_INFO, last};
        EXPECT_EQ(log.Codes(), expected);
        EXPECT_EQ(log.Last(DL_CODE_INFO)->text, L"curl文件md5校验失败");
        EXPECT_EQ(log.Last(DL_CODE_RETRY)->value, 0.0);
        EXPECT_EQ(log.Last(last)->value, 0.0);
        // The second run fetches the whole file again without probing again.
        const auto gets = server.Requests("GET");
        ASSERT_EQ(gets.size(), 2u);
        EXPECT_EQ(gets[1].range, "");
        EXPECT_EQ(server.Requests("HEAD").size(), 1u);
        if (last == DL_CODE_SUCCESS) {
            EXPECT_EQ(ReadFile(target), content);
        } else {
            EXPECT_FALSE(TargetExists());
        }
    }
}

TEST_F(CurlDownloaderTest, AcceptsAnAddressWithoutMd5WithARemark) {
    const std::string content = PatternBytes(1 << 20, 13);
    server.AddFile("/files/package.exe", content);
    Run("/files/package.exe");
    EXPECT_EQ(log.Codes(), (std::vector<int>{DL_CODE_START, DL_CODE_INFO, DL_CODE_SUCCESS}));
    EXPECT_EQ(log.Last(DL_CODE_INFO)->text, L"curl获取url-md5失败");
    EXPECT_EQ(ReadFile(target), content);
}

TEST_F(CurlDownloaderTest, LeavesNothingOfAnEarlierRunBehind) {
    download_test::WriteFile(target + ".part", "stale bytes of another package");
    const std::string content = PatternBytes(1 << 20, 14);
    Run(server.AddPackage("package.exe", content));
    EXPECT_EQ(server.Requests("GET").at(0).range, "");
    EXPECT_EQ(ReadFile(target), content);
}

}  // namespace
