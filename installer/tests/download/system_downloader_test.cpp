#include "download/system_downloader.h"

#include <gtest/gtest.h>

#include "download/curl_tool_progress.h"
#include "download_test_support.h"
#include "platform/child_process.h"
#include "testing/http_file_server.h"
#include "testing/test_folder.h"

namespace {

using download_test::FastTimings;
using download_test::ReadFile;
using download_test::ReportLog;
using download_test::Wide;
using glintcap_testing::HttpFileServer;
using glintcap_testing::PatternBytes;

TEST(SystemDownloaderText, EscapesEveryByteOutsideVisibleAscii) {
    struct Case {
        std::wstring url, escaped;
    };
    const Case cases[] = {
        {L"http://h/a b/安.exe?x=%41", L"http://h/a+b/%E5%AE%89.exe?x=%41"},
        {L"https://h/\t~", L"https://h/%09~"},
        {L"file:///tmp/a b/安.exe", L"file:///tmp/a b/安.exe"},  // a local file name stays as it is
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CWinDownloader::EscapeUrl(c.url), c.escaped);
    }
}

TEST(SystemDownloaderText, QuotesArgumentsSoTheyAreSplitBackUnchanged) {
    const std::string path = R"(/tmp/dir with "quotes"/end\)";
    const std::string url = R"(http://h/a\"b\\c"d\)";
    const auto argv = platform::SplitCommandLine(CWinDownloader::CommandLine(url, path));
    const std::vector<std::string> expected = {"curl", "-q", "-g", "-#",    "-f",
                                               "-L",   "-o", path, "--url", url};
    EXPECT_EQ(argv, expected);
}

TEST(SystemDownloaderText, ReadsTheToolsProgressBar) {
    std::vector<double> fractions;
    CurlToolProgress progress([&](double fraction) { fractions.push_back(fraction); });
    // Redraws split across reads; the unknown-size animation and error lines carry no percentage.
    progress.Feed("\r#=#=#   ##O#-#\r####                39.");
    progress.Feed("0%\r#######     73.5%");
    progress.Feed("\r############ 100.0%\ncurl: (22) The requested URL returned error: 404 50%x\n");
    EXPECT_EQ(fractions, (std::vector<double>{0.39, 0.735, 1.0}));
}

class SystemDownloaderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.Start()); }

    void Run(const std::wstring& url, int starts = 1) {
        downloader = std::make_unique<CWinDownloader>(log.Callback(), url, Wide(target), FastTimings());
        for (int i = 0; i < starts; ++i) {
            downloader->Start();
        }
        ASSERT_TRUE(log.WaitForEnd());
        downloader.reset();
    }

    HttpFileServer server;
    TestFolder folder;
    std::string target = folder.Child("package.exe");
    ReportLog log;
    std::unique_ptr<CWinDownloader> downloader;
};

TEST_F(SystemDownloaderTest, FetchesAnEscapedAddressThroughRedirectsOnce) {
    const std::string content = PatternBytes(300000, 31);
    server.AddFile("/dir+x/安.exe", content);  // the server decodes the escaped path
    server.AddRedirect("/latest", "/dir+x/%E5%AE%89.exe");
    Run(Wide(server.UrlFor("/dir x/安.exe")), 2);
    EXPECT_EQ(log.Codes(), (std::vector<int>{DL_CODE_START, DL_CODE_SUCCESS}));
    EXPECT_EQ(log.Last(DL_CODE_SUCCESS)->text, L"URLDownloadToFile");
    EXPECT_EQ(server.Requests("GET").size(), 1u);  // the second Start had no effect
    EXPECT_EQ(ReadFile(target), content);

    log.Clear();
    Run(Wide(server.UrlFor("/latest")));
    EXPECT_EQ(log.Codes(), (std::vector<int>{DL_CODE_START, DL_CODE_SUCCESS}));
    EXPECT_EQ(ReadFile(target), content);
}

TEST_F(SystemDownloaderTest, FailsAfterThreeAttemptsWithTheToolsCode) {
    Run(Wide(server.UrlFor("/missing.exe")));
    EXPECT_EQ(log.Codes(), (std::vector<int>{DL_CODE_START, DL_CODE_FAIL}));
    EXPECT_EQ(log.Last(DL_CODE_FAIL)->value, 22.0);  // an HTTP error
    EXPECT_EQ(log.Last(DL_CODE_FAIL)->text, L"URLDownloadToFile");
    EXPECT_EQ(server.Requests("GET").size(), 3u);
    bool exists = true;
    ReadFile(target, &exists);
    EXPECT_FALSE(exists);
}

}  // namespace
