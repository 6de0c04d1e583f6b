// The installer's event facade against a real collector on 127.0.0.1.

#include "event_facade.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "test_support.h"
#include "testing/collector_server.h"
#include "usage_collect/sdk.h"

namespace analytics_test {
namespace {

using glintcap_testing::CollectorServer;
using glintcap_testing::JsonValue;

const ExtraProperties kAb = {{L"AB", L"IN"}};

class EventFacadeTest : public ::testing::Test {
protected:
    void TearDown() override { ShutdownEventFacade(); }

    EventFacadeConfig Config(bool enabled = true) {
        EventFacadeConfig config;
        config.IsEnableAppAnalytics = enabled;
        config.ProductName = L"Glintcap";
        config.InstallerVersion = L"1.7.9";
        config.ExeFileName = L"GlintcapSetup.exe";
        config.DlAppNameSuffix = L".downloader";
        config.serverUrl = collector_.Url();
        config.dataFolder = folder_.path();
        return config;
    }

    std::vector<std::string> TaskNames(const std::vector<JsonValue>& records) {
        std::vector<std::string> names;
        for (const auto& record : records) {
            const auto& properties = record["properties"];
            names.push_back(record["event"].text + ":" +
                            (properties.Has("kt_task_name") ? properties["kt_task_name"].text
                                                            : properties["kt_name"].text));
        }
        return names;
    }

    TempFolder folder_;
    CollectorServer collector_;
};

TEST_F(EventFacadeTest, ReportsBeforeInitAndAfterShutdownDoNothing) {
    ReportTask(L"libcurl初始化失败", 0, kAb, L"");
    ReportClick(kAb, L"立即安装");
    ReportView(kAb);
    ReportCrash();
    ShutdownEventFacade();
    EXPECT_EQ(usage_collect::Sdk::Instance(), nullptr);
    EXPECT_TRUE(collector_.Requests().empty());
}

TEST_F(EventFacadeTest, SwitchedOffWritesNoFileAndSendsNothing) {
    InitEventFacade(Config(false));
    ReportTask(L"下载器启动", 0, kAb, L"");
    ReportCrash();
    ShutdownEventFacade();
    EXPECT_EQ(usage_collect::Sdk::Instance(), nullptr);
    EXPECT_TRUE(std::filesystem::is_empty(folder_.path()));
    EXPECT_TRUE(collector_.Requests().empty());
}

TEST_F(EventFacadeTest, DeferredEventsLeaveInOneBatchAtShutdown) {
    InitEventFacade(Config());
    for (int i = 0; i < 20; ++i) {
        ReportTask(L"大包下载完毕", 12.5f, kAb, L"");
    }
    EXPECT_TRUE(collector_.Requests().empty());
    ShutdownEventFacade();
    auto requests = collector_.Requests();
    ASSERT_EQ(requests.size(), 1u);
    ASSERT_EQ(requests[0].batch.items.size(), 20u);
    const JsonValue& record = requests[0].batch.items[0];
    EXPECT_EQ(record["event"].text, "KtEventTask");
    EXPECT_EQ(record["type"].text, "track");
    const JsonValue& p = record["properties"];
    EXPECT_EQ(p["kt_task_name"].text, "大包下载完毕");
    EXPECT_EQ(p["kt_task_elapsed"].text, "12.5");
    EXPECT_EQ(p["kt_task_result"].text, "Success");
    EXPECT_EQ(p["ktc_ab"].text, "IN");
    EXPECT_TRUE(p["$is_first_time"].boolean);
    EXPECT_FALSE(p.Has("kt_reason"));
    EXPECT_FALSE(p.Has("kt_aname"));
    EXPECT_EQ(p["kt_app_id"].text, "Glintcap.downloader");
    EXPECT_EQ(p["$app_version"].text, "1.7.9");
    EXPECT_EQ(p["kt_app_store"].text, "GlintcapSetup.exe");
    EXPECT_EQ(p["kt_dlapp_id"].text, "Glintcap");
    EXPECT_FALSE(p.Has("kt_dlapp_version"));
    EXPECT_EQ(p["kt_edition"].text, "china");
    EXPECT_EQ(p["$lib"].text, "cpp");
}

TEST_F(EventFacadeTest, AnInstallationIsSentInTheOrderItHappened) {
    InitEventFacade(Config());
    ReportClick(kAb, L"立即安装");
    ReportView(kAb);
    ReportTask(L"下载器启动", 0, kAb, L"");
    ReportTask(L"下载失败原因", 0, kAb, L":1.code=1004；2.msg=timeout");
    ReportTask(L"安装成功", 30.25f, kAb, L"");
    ReportClick(kAb, L"立即体验");
    ShutdownEventFacade();
    auto records = collector_.DeliveredRecords();
    EXPECT_EQ(TaskNames(records),
              (std::vector<std::string>{"KtEventClick:立即安装", "KtEventView:安装中",
                                        "KtEventTask:下载器启动", "KtEventTask:下载失败原因",
                                        "KtEventTask:安装成功", "KtEventClick:立即体验"}));
    ASSERT_EQ(records.size(), 6u);
    EXPECT_EQ(records[0]["properties"]["kt_click_type"].text, "Button");
    EXPECT_EQ(records[3]["properties"]["kt_reason"].text, ":1.code=1004；2.msg=timeout");
    EXPECT_EQ(records[3]["properties"]["kt_task_result"].text, "Success");
    for (const auto& record : records) {
        EXPECT_EQ(record["properties"]["ktc_ab"].text, "IN");
    }
}

TEST_F(EventFacadeTest, ACrashFlushesWhatWasQueued) {
    InitEventFacade(Config());
    InitEventFacade(Config());  // a second start keeps the running tracker
    ReportTask(L"崩溃退出", 0, kAb, L"");
    ReportCrash();
    // The crash is an immediate event: both records are on the collector before shutdown.
    auto records = collector_.DeliveredRecords();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(TaskNames(records)[0], "KtEventTask:崩溃退出");
    EXPECT_EQ(records[1]["event"].text, "AppCrashed");
    EXPECT_EQ(records[1]["properties"]["app_crashed_reason"].text, "崩溃");
    EXPECT_FALSE(records[1]["properties"].Has("ktc_ab"));
    EXPECT_FALSE(records[1]["properties"].Has("$is_first_time"));
}

TEST_F(EventFacadeTest, AnInvalidAbLabelIsLeftOut) {
    InitEventFacade(Config());
    ReportClick({{L"AB", L"in"}}, L"立即安装");
    ReportClick({}, L"自定义安装");
    ShutdownEventFacade();
    auto records = collector_.DeliveredRecords();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_FALSE(records[0]["properties"].Has("ktc_ab"));
    EXPECT_FALSE(records[1]["properties"].Has("ktc_ab"));
}

TEST_F(EventFacadeTest, RecordsTheCollectorRefusedLeaveWithTheNextRun) {
    collector_.SetDefaultAnswer(500);
    InitEventFacade(Config());
    ReportClick(kAb, L"立即安装");
    ReportTask(L"安装成功", 1, kAb, L"");
    ::testing::internal::CaptureStderr();
    ShutdownEventFacade();
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(collector_.Requests().size(), 3u);  // three attempts at shutdown
    EXPECT_TRUE(collector_.DeliveredRecords().empty());

    collector_.SetDefaultAnswer(200);
    InitEventFacade(Config());
    ReportView(kAb);
    ShutdownEventFacade();
    EXPECT_EQ(
        TaskNames(collector_.DeliveredRecords()),
        (std::vector<std::string>{"KtEventClick:立即安装", "KtEventTask:安装成功", "KtEventView:安装中"}));
}

}  // namespace
}  // namespace analytics_test
