// What every downloader kind shares: the kind chosen by DownloadType, progress that never goes
// backwards, and destruction in the middle of a transfer.

#include <gtest/gtest.h>

#include <thread>

#include "download/curl_downloader.h"
#include "download/downloader.h"
#include "download/mt_curl_downloader.h"
#include "download/system_downloader.h"
#include "download_test_support.h"
#include "testing/http_file_server.h"
#include "testing/test_folder.h"

namespace {

using download_test::ReadFile;
using download_test::ReportLog;
using download_test::Wide;
using glintcap_testing::HttpFileServer;
using glintcap_testing::PatternBytes;

TEST(DownloaderKind, FollowsDownloadType) {
    TestFolder folder;
    const std::wstring target = Wide(folder.Child("package.exe"));
    for (int type : {-1, 0, 1, 2, 3, 4, 100}) {
        auto downloader = CreateDownloader(
            type, [](int, double, const wchar_t*) {}, L"http://127.0.0.1:9/", target);
        CDownloader* raw = downloader.get();
        EXPECT_EQ(dynamic_cast<CWinDownloader*>(raw) != nullptr, type == 2) << type;
        EXPECT_EQ(dynamic_cast<CMTCurlDownloader*>(raw) != nullptr, type == 3) << type;
        EXPECT_EQ(dynamic_cast<CCurlDownloader*>(raw) != nullptr, type != 2 && type != 3) << type;
    }
}

class EveryDownloader : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.Start());
        server.SetRateLimit(1 << 20);  // one MiB per second per connection
    }

    std::unique_ptr<CDownloader> Make(const std::string& path) {
        auto downloader =
            CreateDownloader(GetParam(), log.Callback(), Wide(server.UrlFor(path)), Wide(target));
        log.AnswerRetriesWith(downloader.get());
        return downloader;
    }

    bool Exists(const std::string& path) {
        bool exists = false;
        ReadFile(path, &exists);
        return exists;
    }

    HttpFileServer server;
    TestFolder folder;
    std::string target = folder.Child("package.exe");
    ReportLog log;
};

TEST_P(EveryDownloader, ReportsProgressForwardAndAtMostOncePerSecond) {
    const std::string content = PatternBytes(5 << 19, 41);  // 2.5 MiB: about three seconds
    auto downloader = Make(server.AddPackage("package.exe", content));
    downloader->Start();
    ASSERT_TRUE(log.WaitForEnd());
    downloader.reset();

    EXPECT_EQ(log.Codes(), (std::vector<int>{DL_CODE_START, DL_CODE_SUCCESS}));
    EXPECT_EQ(ReadFile(target), content);
    const auto progress = log.Progress();
    ASSERT_FALSE(progress.empty());
    for (std::size_t i = 0; i < progress.size(); ++i) {
        EXPECT_GT(progress[i].value, 0.0);
        EXPECT_LE(progress[i].value, 1.0);
        if (i == 0) {
            continue;
        }
        EXPECT_GE(progress[i].value, progress[i - 1].value);
        if (GetParam() != 2) {  // the system downloader passes on every notification of its tool
            using std::chrono::floor;
            using std::chrono::seconds;
            EXPECT_GT(floor<seconds>(progress[i].at), floor<seconds>(progress[i - 1].at));
        }
    }
}

TEST_P(EveryDownloader, StopsAndJoinsWhenDestroyedMidTransfer) {
    const std::string content = PatternBytes(24 << 20, 42);  // far longer than the test waits
    auto downloader = Make(server.AddPackage("package.exe", content));
    downloader->Start();
    ASSERT_TRUE(log.WaitFor(DL_CODE_PROGRESS));
    downloader.reset();  // must stop the transfer and join every thread it started

    const auto reportsAtDestruction = log.Reports().size();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(log.Reports().size(), reportsAtDestruction);
    EXPECT_EQ(log.Codes(), std::vector<int>{DL_CODE_START});
    EXPECT_FALSE(Exists(target));
    EXPECT_FALSE(Exists(target + ".part"));
    EXPECT_FALSE(Exists(target + "_0"));
    EXPECT_FALSE(Exists(target + "_1"));
}

INSTANTIATE_TEST_SUITE_P(Kinds, EveryDownloader, ::testing::Values(1, 2, 3), [](const auto& info) {
    return info.param == 1 ? std::string("SingleStream") : info.param == 2 ? "SystemTool" : "MultiPart";
});

}  // namespace
