#include "download/mt_curl_downloader.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "download_test_support.h"
#include "installer_settings.h"
#include "testing/http_file_server.h"
#include "testing/test_folder.h"

namespace {

using download_test::FastTimings;
using download_test::ReadFile;
using download_test::ReportLog;
using download_test::Wide;
using glintcap_testing::HttpFileServer;
using glintcap_testing::PatternBytes;
using glintcap_testing::RecordedRequest;
using glintcap_testing::ServerFault;

class MtCurlDownloaderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.Start()); }

    void Run(const std::string& path, DownloadTimings timings = FastTimings()) {
        downloader = std::make_unique<CMTCurlDownloader>(log.Callback(), Wide(server.UrlFor(path)),
                                                         Wide(target), timings);
        log.AnswerRetriesWith(downloader.get());
        downloader->Start();
        ASSERT_TRUE(log.WaitForEnd());
        downloader.reset();
    }

    static bool Exists(const std::string& path) {
        bool exists = false;
        ReadFile(path, &exists);
        return exists;
    }

    std::vector<std::string> GetRanges() const {
        std::vector<std::string> ranges;
        for (const RecordedRequest& request : server.Requests("GET")) {
            ranges.push_back(request.range);
        }
        std::sort(ranges.begin(), ranges.end());
        return ranges;
    }

    HttpFileServer server;
    TestFolder folder;
    std::string target = folder.Child("package.exe");
    ReportLog log;
    std::unique_ptr<CMTCurlDownloader> downloader;
};

TEST_F(MtCurlDownloaderTest, RequestsThePlannedRangesAndJoinsThem) {
    struct Case {
        std::size_t length;
        std::vector<std::string> ranges;
    };
    const Case cases[] = {
        {20971519, {"bytes=0-20971518"}},
        {25165825, {"bytes=0-12582911", "bytes=12582912-25165824"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        log.Clear();
        server.ClearRequests();
        const std::string content = PatternBytes(c.length, 21);
        Run(server.AddPackage("package" + std::to_string(c.length) + ".exe", content));
        EXPECT_EQ(log.Codes(), (std::vector<int>{DL_CODE_START, DL_CODE_SUCCESS}));
        EXPECT_EQ(GetRanges(), c.ranges);
        EXPECT_EQ(server.Requests("HEAD").size(), 1u);
        EXPECT_EQ(ReadFile(target), content);
        EXPECT_FALSE(Exists(target + "_0"));
        EXPECT_FALSE(Exists(target + "_1"));
    }
}

TEST_F(MtCurlDownloaderTest, ProbeAcceptsTwoHundredFiftySixBytesAndRefusesFewer) {
    for (std::size_t length : {std::size_t{255}, std::size_t{256}}) {
        SCOPED_TRACE(length);
        log.Clear();
        server.ClearRequests();
        const std::string content = PatternBytes(length, 22);
        Run(server.AddPackage("p" + std::to_string(length) + ".exe", content));
        if (length == 255) {
            EXPECT_EQ(log.Codes(), (std::vector<int>{DL_CODE_START, DL_CODE_FAIL}));
            EXPECT_EQ(log.Last(DL_CODE_FAIL)->value, 0.0);
            EXPECT_TRUE(server.Requests("GET").empty());
            EXPECT_FALSE(Exists(target));
        } else {
            EXPECT_EQ(log.Codes(), (std::vector<int>{DL_CODE_START, DL_CODE_SUCCESS}));
            EXPECT_EQ(ReadFile(target), content);
        }
    }
}

TEST_F(MtCurlDownloaderTest, DoesNotProbeWhenLibcurlIsNotReady) {
    Settings().CurlReady = false;
    Run(server.AddPackage("package.exe", PatternBytes(4096, 20)));
    Settings().CurlReady = true;
    EXPECT_EQ(log.Codes(), (std::vector<int>{DL_CODE_START, DL_CODE_FAIL}));
    EXPECT_EQ(log.Last(DL_CODE_FAIL)->value, 0.0);
    EXPECT_TRUE(server.Requests().empty());
}

TEST_F(MtCurlDownloaderTest, ResumesAPartAfterADroppedOrStalledConnection) {
    struct Case {
        const char* name;
        ServerFault::Kind kind;
    };
    const Case cases[] = {{"dropped", ServerFault::Kind::kCloseAfterBytes},
                          {"stalled", ServerFault::Kind::kStall}};
    const std::string content = PatternBytes(2 << 20, 23);
    const std::string path = server.AddPackage("package.exe", content);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        log.Clear();
        server.ClearRequests();
        ServerFault fault;
        fault.kind = c.kind;
        fault.bytes = 100000;
        server.QueueFault(fault);
        Run(path);
        EXPECT_EQ(log.Codes(), (std::vector<int>{DL_CODE_START, DL_CODE_SUCCESS}));
        EXPECT_EQ(GetRanges(), (std::vector<std::string>{"bytes=0-2097151", "bytes=100000-2097151"}));
        EXPECT_EQ(ReadFile(target), content);
    }
}

TEST_F(MtCurlDownloaderTest, KeepsACompletePartAcrossRunsAndFetchesOnlyTheRest) {
    // Part 1 fails for good in the first run while part 0 completes; the run reported progress, so
    // its part files stay and the run asked for by DL_CODE_RETRY fetches only part 1.
    const std::string content = PatternBytes(20971520, 24);
    const std::string path = server.AddPackage("package.exe", content);
    ServerFault unavailable;
    unavailable.status = 503;
    unavailable.range = "bytes=10485760-20971519";
    server.QueueFaults(unavailable, 7);
    DownloadTimings timings = FastTimings();
    timings.partRetryPause = std::chrono::milliseconds(250);  // the failing part outlasts a progress second
    Run(path, timings);

    EXPECT_EQ(log.Codes(), (std::vector<int>{DL_CODE_START, DL_CODE_RETRY, DL_CODE_START, DL_CODE_SUCCESS}));
    EXPECT_EQ(log.Last(DL_CODE_RETRY)->value, CURLE_HTTP_RETURNED_ERROR);
    std::vector<std::string> part0, part1;
    for (const RecordedRequest& request : server.Requests("GET")) {
        (request.range == "bytes=0-10485759" ? part0 : part1).push_back(request.range);
    }
    EXPECT_EQ(part0.size(), 1u);
    EXPECT_EQ(part1.size(), 8u);  // seven attempts in the first run, one in the second
    EXPECT_EQ(server.Requests("HEAD").size(), 1u);
    EXPECT_EQ(ReadFile(target), content);
}

TEST_F(MtCurlDownloaderTest, FailsAfterOneRetryAndRemovesThePartFiles) {
    const std::string path = server.AddPackage("package.exe", PatternBytes(4096, 25));
    ServerFault unavailable;
    unavailable.status = 503;
    server.QueueFaults(unavailable, 14);
    Run(path);
    EXPECT_EQ(log.Codes(), (std::vector<int>{DL_CODE_START, DL_CODE_RETRY, DL_CODE_START, DL_CODE_FAIL}));
    EXPECT_EQ(log.Last(DL_CODE_FAIL)->value, CURLE_HTTP_RETURNED_ERROR);
    EXPECT_EQ(server.Requests("GET").size(), 14u);  // seven attempts per run
    EXPECT_FALSE(Exists(target));
    EXPECT_FALSE(Exists(target + "_0"));
}

TEST_F(MtCurlDownloaderTest, ChecksTheJoinedFileAgainstTheAddressMd5) {
    const std::string content = PatternBytes(4096, 26);
    const std::string path = server.AddPackage("package.exe", content);
    for (int wrongAnswers : {1, 2}) {
        SCOPED_TRACE(wrongAnswers);
        log.Clear();
        ServerFault wrong;
        wrong.kind = ServerFault::Kind::kWrongBytes;
        server.QueueFaults(wrong, wrongAnswers);
        Run(path);
        const std::vector<int> expected =
            wrongAnswers == 1
                ? std::vector<int>{DL_CODE_START, DL_CODE_INFO, DL_CODE_RETRY, DL_CODE_START, DL_CODE_SUCCESS}
                : std::vector<int>{DL_CODE_START, DL_CODE_INFO, DL_CODE_RETRY,
                                   DL_CODE_START, DL_CODE_INFO, DL_CODE_FAIL};
        EXPECT_EQ(log.Codes(), expected);
        EXPECT_EQ(log.Last(DL_CODE_INFO)->text, L"mtcurl文件md5校验失败");
        if (wrongAnswers == 1) {
            EXPECT_EQ(ReadFile(target), content);
        } else {
            EXPECT_EQ(log.Last(DL_CODE_FAIL)->value, 0.0);
            EXPECT_FALSE(Exists(target));
        }
    }
}

TEST_F(MtCurlDownloaderTest, AcceptsAnAddressWithoutMd5WithARemark) {
    const std::string content = PatternBytes(4096, 27);
    server.AddFile("/files/package.exe", content);
    server.AddRedirect("/latest", "/files/package.exe");
    Run("/latest");
    EXPECT_EQ(log.Codes(), (std::vector<int>{DL_CODE_START, DL_CODE_INFO, DL_CODE_SUCCESS}));
    EXPECT_EQ(log.Last(DL_CODE_INFO)->text, L"mtcurl获取url-md5失败");
    EXPECT_EQ(ReadFile(target), content);
}

TEST_F(MtCurlDownloaderTest, RefusesAWholeBodyForARangeThatDoesNotStartAtZero) {
    // A server that ignores ranges must not get its first bytes written into the second part.
    const std::string content = PatternBytes(20971520, 28);
    server.AddFile("/files/package.exe", content);
    server.QueueFault([] {
        ServerFault ignoreRange;
        ignoreRange.kind = ServerFault::Kind::kIgnoreRange;
        ignoreRange.range = "bytes=10485760-20971519";
        return ignoreRange;
    }());
    Run("/files/package.exe");
    EXPECT_EQ(log.Codes(), (std::vector<int>{DL_CODE_START, DL_CODE_INFO, DL_CODE_SUCCESS}));
    EXPECT_EQ(ReadFile(target), content);
}

}  // namespace
