#include "download/curl_client.h"

#include <gtest/gtest.h>

#include "download_test_support.h"
#include "event_facade.h"
#include "testing/collector_server.h"
#include "testing/http_file_server.h"
#include "testing/test_folder.h"

namespace {

using download_test::ReadFile;
using download_test::Wide;
using download_test::WriteFile;
using glintcap_testing::HttpFileServer;
using glintcap_testing::PatternBytes;
using glintcap_testing::ServerFault;

void IgnoreProgress(void*, double, double, double) {}

class CurlClientTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.Start()); }

    CurlClient& Client(const std::string& path) {
        client =
            std::make_unique<CurlClient>(Wide(server.UrlFor(path)), Wide(target), nullptr, &IgnoreProgress);
        client->SetFailureReasonSink([this](const std::wstring& detail) { reasons.push_back(detail); });
        return *client;
    }

    HttpFileServer server;
    TestFolder folder;
    std::string target = folder.Child("package.exe");
    std::unique_ptr<CurlClient> client;
    std::vector<std::wstring> reasons;
};

TEST_F(CurlClientTest, RefusesFilesBelowOneMebibyteWithoutTransfer) {
    for (std::size_t size : {std::size_t{1048575}, std::size_t{1048576}}) {
        const std::string content = PatternBytes(size);
        const std::string path = server.AddPackage("size" + std::to_string(size) + ".exe", content);
        server.ClearRequests();
        const int result = Client(path).Start();
        if (size < 1048576) {
            EXPECT_EQ(result, CurlClient::kTooSmall);
            EXPECT_TRUE(server.Requests("GET").empty());
            bool exists = true;
            ReadFile(target, &exists);
            EXPECT_FALSE(exists);
        } else {
            EXPECT_EQ(result, 0);
            EXPECT_EQ(ReadFile(target), content);
        }
    }
}

TEST_F(CurlClientTest, ResumesFromWhatThePartFileHolds) {
    const std::string content = PatternBytes(1 << 21);
    const std::string path = server.AddPackage("package.exe", content);
    WriteFile(target + ".part", content.substr(0, 500));
    ASSERT_EQ(Client(path).Start(), 0);
    EXPECT_EQ(client->resumeOffset(), 500);
    const auto gets = server.Requests("GET");
    ASSERT_EQ(gets.size(), 1u);
    EXPECT_EQ(gets[0].range, "bytes=500-");
    EXPECT_EQ(ReadFile(target), content);
    bool partLeft = true;
    ReadFile(target + ".part", &partLeft);
    EXPECT_FALSE(partLeft);

    // A server that answers a resumed request with the whole file is refused, and the part
    // file keeps what it had.
    WriteFile(target + ".part", content.substr(0, 500));
    ServerFault ignoreRange;
    ignoreRange.kind = ServerFault::Kind::kIgnoreRange;
    server.QueueFault(ignoreRange);
    EXPECT_EQ(client->Start(), CURLE_RANGE_ERROR);
    EXPECT_EQ(ReadFile(target + ".part"), content.substr(0, 500));
    ASSERT_EQ(client->Start(), 0);
    EXPECT_EQ(ReadFile(target), content);

    // An empty part file asks for no range.
    WriteFile(target + ".part", "");
    server.ClearRequests();
    ASSERT_EQ(client->Start(), 0);
    EXPECT_EQ(server.Requests("GET").at(0).range, "");
    EXPECT_EQ(ReadFile(target), content);
}

TEST_F(CurlClientTest, ProbesARedirectOnceAcrossAttempts) {
    const std::string content = PatternBytes(1 << 20, 7);
    const std::string finalPath = server.AddPackage("package.exe", content);
    server.AddRedirect("/download/latest", finalPath);
    ServerFault cut;
    cut.kind = ServerFault::Kind::kCloseAfterBytes;
    cut.bytes = 300000;
    server.QueueFault(cut);

    CurlClient& curl = Client("/download/latest");
    EXPECT_EQ(curl.Start(), CURLE_PARTIAL_FILE);
    EXPECT_EQ(curl.realUrl(), server.UrlFor(finalPath));
    EXPECT_EQ(curl.fileLength(), static_cast<std::int64_t>(content.size()));
    const auto headsAfterFirst = server.Requests("HEAD").size();
    EXPECT_EQ(curl.Start(), 0);
    EXPECT_EQ(server.Requests("HEAD").size(), headsAfterFirst);
    const auto gets = server.Requests("GET");
    ASSERT_EQ(gets.size(), 2u);
    EXPECT_EQ(gets[1].path, finalPath);  // straight to the final address
    EXPECT_EQ(gets[1].range, "bytes=300000-");
    EXPECT_EQ(ReadFile(target), content);
}

TEST_F(CurlClientTest, TakesABodyThatEndsBeforeTheLengthAsPartial) {
    // A whole body without a length that ends early looks complete to libcurl.
    const std::string content = PatternBytes(1 << 20, 8);
    const std::string path = server.AddPackage("package.exe", content);
    ServerFault shortBody;
    shortBody.kind = ServerFault::Kind::kIgnoreRange;
    shortBody.bytes = 1000;
    server.QueueFault(shortBody);
    CurlClient& curl = Client(path);
    EXPECT_EQ(curl.Start(), CURLE_PARTIAL_FILE);
    EXPECT_EQ(ReadFile(target + ".part"), content.substr(0, 1000));
    ASSERT_EQ(curl.Start(), 0);
    EXPECT_EQ(server.Requests("GET").back().range, "bytes=1000-");
    EXPECT_EQ(ReadFile(target), content);
}

TEST_F(CurlClientTest, ReportsAFailureReasonForUnusableProbeStatuses) {
    // Three body-less requests: the length probe (200-399 usable), the redirect probe, and the
    // length-as-text probe on the final address (200-400 usable).
    struct Case {
        int first, second, third;
        std::vector<std::wstring> reasons;
    };
    const Case cases[] = {
        {400, 200, 400, {L"1.获取文件大小的状态码为=400；"}},
        {400, 200, 401, {L"1.获取文件大小的状态码为=400；", L"1.获取文件大小的状态码为=401；"}},
        {399, 200, 200, {}},
    };
    const std::string path = server.AddPackage("package.exe", PatternBytes(1 << 20));
    for (const auto& c : cases) {
        for (int status : {c.first, c.second, c.third}) {
            ServerFault fault;
            fault.kind = ServerFault::Kind::kStatus;
            fault.status = status;
            fault.method = "HEAD";
            server.QueueFault(fault);
        }
        reasons.clear();
        const int result = Client(path).Start();
        EXPECT_EQ(reasons, c.reasons) << c.first << "/" << c.third;
        EXPECT_EQ(result, CurlClient::kTooSmall);
    }
}

TEST_F(CurlClientTest, PassesALocalFileAddressAsAFileName) {
    const std::string content = PatternBytes(1 << 20, 3);
    const std::string source = folder.Child("源.bin");
    WriteFile(source, content);
    client = std::make_unique<CurlClient>(Wide("file://" + source), Wide(target), nullptr, &IgnoreProgress);
    client->SetFailureReasonSink([](const std::wstring&) {});
    EXPECT_EQ(client->Start(), 0);
    EXPECT_EQ(ReadFile(target), content);
}

}  // namespace

namespace {

using glintcap_testing::CollectorServer;

TEST(CurlClientEvents, SendsTheFailureReasonThroughTheEventFacade) {
    CollectorServer collector;
    HttpFileServer server;
    ASSERT_TRUE(server.Start());
    TestFolder folder;
    EventFacadeConfig config;
    config.ProductName = L"Glintcap";
    config.InstallerVersion = L"1.7.9";
    config.ExeFileName = L"GlintcapSetup.exe";
    config.DlAppNameSuffix = L".downloader";
    config.serverUrl = collector.Url();
    config.dataFolder = folder.path();
    InitEventFacade(config);

    // The first length probe gets 404; the probes after it find the package.
    const std::string content = PatternBytes(1 << 20, 9);
    ServerFault notFound;
    notFound.kind = ServerFault::Kind::kStatus;
    notFound.status = 404;
    notFound.method = "HEAD";
    server.QueueFault(notFound);
    {
        CurlClient client(Wide(server.UrlFor(server.AddPackage("package.exe", content))),
                          Wide(folder.Child("package.exe")), nullptr, &IgnoreProgress);
        EXPECT_EQ(client.Start(), 0);
    }
    ShutdownEventFacade();

    std::vector<std::string> reasons;
    for (const auto& record : collector.DeliveredRecords()) {
        const auto& properties = record["properties"];
        if (record["event"].text == "KtEventTask" && properties["kt_task_name"].text == "下载失败原因") {
            reasons.push_back(properties["kt_reason"].text);
            EXPECT_EQ(properties["ktc_ab"].text, "IN");
        }
    }
    EXPECT_EQ(reasons, std::vector<std::string>{"1.获取文件大小的状态码为=404；"});
}

}  // namespace
