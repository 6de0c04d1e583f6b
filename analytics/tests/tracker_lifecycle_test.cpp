// Tracker start-up, saved identity, login switch, shutdown and concurrent tracking.

#include <gtest/gtest.h>

#include <set>
#include <thread>

#include "kelto_usage/usage_tracker_wrapper.h"
#include "platform/ini_file.h"
#include "platform/paths.h"
#include "tracker_fixture.h"

namespace analytics_test {
namespace {

using namespace kelto::usage;

class TrackerLifecycleTest : public TrackerTest {};

TEST_F(TrackerLifecycleTest, StartUpLaysOutTheDataFolder) {
    auto tracker = Start();
    platform::IniFile ini(IniPath());
    std::string distinctId = ini.GetString("Base", "DistinctId", "");
    EXPECT_EQ(distinctId.size(), 36u);
    EXPECT_EQ(ini.GetString("Base", "URL", ""), collector_.Url());
    EXPECT_EQ(ini.GetString("Base", "isLogined", ""), "NG");
    EXPECT_EQ(ini.GetString("UninstallInfo", "AppStore", ""), "GlintcapSetup.exe");
    EXPECT_EQ(ini.GetString("UninstallInfo", "AppName", ""), "Glintcap.downloader");
    EXPECT_EQ(ini.GetString("UninstallInfo", "AppVersion", ""), "1.7.9");
    EXPECT_TRUE(platform::IsRegularFile(DataFolder() + "/Glintcap.downloader_KTSLog.txt"));
    EXPECT_EQ(tracker->stagingPath(), DataFolder() + "/Glintcap.downloader_KTSRecords.txt");

    auto super = usage_collect::Sdk::Instance()->super_properties();
    for (const char* key : {"kt_app_platform", "kt_track_type", "kt_sdk_version", "kt_sdk", "$os",
                            "$os_version", "kt_l10n_locale", "$screen_width", "kt_dlapp_id"}) {
        EXPECT_TRUE(super.Contains(key)) << key;
    }
    EXPECT_EQ(super.Find("kt_sdk_version")->string(), "3.3.4");
    EXPECT_EQ(super.Find("kt_sdk")->string(), "WindowsCPP");
    EXPECT_FALSE(super.Contains("kt_dlapp_version"));
    EXPECT_FALSE(super.Contains("kt_user_id"));
    EXPECT_EQ(usage_collect::Sdk::Instance()->distinct_id(), distinctId);

    tracker->setLocale("fr_CA");
    super = usage_collect::Sdk::Instance()->super_properties();
    EXPECT_EQ(super.Find("kt_l10n_language")->string(), "fr");
    EXPECT_EQ(super.Find("kt_l10n_country")->string(), "CA");
    tracker.reset();
    EXPECT_EQ(usage_collect::Sdk::Instance(), nullptr);

    // The anonymous id survives a restart with the same collector and is replaced for another one.
    Start().reset();
    EXPECT_EQ(ini.GetString("Base", "DistinctId", ""), distinctId);
    auto config = Config();
    config.serverUrl = "http://127.0.0.1:9/other";
    Start(config).reset();
    EXPECT_NE(ini.GetString("Base", "DistinctId", ""), distinctId);
    EXPECT_EQ(ini.GetString("Base", "URL", ""), "http://127.0.0.1:9/other");
}

TEST_F(TrackerLifecycleTest, SavedLoginIsHonouredOnlyWhenExactlyOk) {
    platform::IniFile ini(IniPath());
    platform::MakeDirectory(folder_.path() + "/KTLocal");
    platform::MakeDirectory(DataFolder());
    for (const auto& [flag, loggedIn] :
         std::vector<std::pair<std::string, bool>>{{"ok", false}, {"OK", true}}) {
        ini.SetString("Base", "DistinctId", "anon-id");
        ini.SetString("Base", "UserId", "user-1");
        ini.SetString("Base", "URL", collector_.Url());
        ini.SetString("Base", "UserVipLevel", "3");
        ini.SetString("Base", "isLogined", flag);
        auto tracker = Start();
        EXPECT_EQ(tracker->userInfo().loggedIn, loggedIn) << flag;
        EXPECT_EQ(tracker->userInfo().vipLevel, 3);
        EXPECT_EQ(usage_collect::Sdk::Instance()->distinct_id(), loggedIn ? "user-1" : "anon-id");
        EXPECT_EQ(usage_collect::Sdk::Instance()->is_login_id(), loggedIn);
        EXPECT_EQ(usage_collect::Sdk::Instance()->super_properties().Find("kt_user_id")->string(), "user-1");
    }
}

TEST_F(TrackerLifecycleTest, SetIniNamesTheAnalyticsFile) {
    std::string named = folder_.path() + "/custom/deeper/analytics.ini";
    std::string windowsStyle = named;
    for (char& c : windowsStyle) {
        c = c == '/' ? '\\' : c;
    }
    platform::IniFile(folder_.File("Set.ini")).SetString("Install", "KTUsageAnalyticsIni", windowsStyle);
    auto tracker = Start();
    EXPECT_EQ(tracker->userInfo().iniPath, named);
    EXPECT_EQ(tracker->userInfo().dataFolder, folder_.path() + "/custom/deeper");
    EXPECT_EQ(platform::IniFile(named).GetString("UninstallInfo", "AppVersion", ""), "1.7.9");
    EXPECT_FALSE(platform::PathExists(folder_.path() + "/KTLocal"));
}

TEST_F(TrackerLifecycleTest, LoginSwitchesTheIdentity) {
    auto tracker = Start();
    std::string anonymous = tracker->userInfo().distinctId;
    KtContextProperties none;
    KtUserInfo user;
    user.userId = "u-42";
    user.userName = "name";
    user.userType = KT_USER_EMAIL;
    user.email = "a@b.example";
    user.created = 1600000000;
    user.vipLevel = 2;
    tracker->trackLogin(user, true, "", none);
    auto records = collector_.DeliveredRecords();
    ASSERT_GE(records.size(), 3u);
    EXPECT_EQ(records[0]["event"].text, "KtEventLogin");
    EXPECT_EQ(records[0]["distinct_id"].text, anonymous);
    EXPECT_EQ(records[0]["properties"]["kt_type"].text, "email");
    EXPECT_EQ(records[0]["properties"]["kt_login_id"].text, "u-42");
    EXPECT_TRUE(records[0]["properties"]["$is_first_time"].boolean);
    EXPECT_EQ(records[1]["type"].text, "track_signup");
    EXPECT_EQ(records[1]["original_id"].text, anonymous);
    std::vector<std::string> profileKeys;
    for (std::size_t i = 2; i < records.size(); ++i) {
        EXPECT_EQ(records[i]["distinct_id"].text, "u-42");
        EXPECT_TRUE(records[i]["properties"]["$is_login_id"].boolean);
        for (const auto& key : records[i]["properties"].Keys()) {
            if (key != "$is_login_id") {
                profileKeys.push_back(records[i]["type"].text + ":" + key);
            }
        }
    }
    EXPECT_EQ(profileKeys,
              (std::vector<std::string>{
                  "profile_set:kt_user_id", "profile_set:kt_user_name", "profile_set:kt_user_type",
                  "profile_set:kt_user_email", "profile_set:kt_user_created", "profile_set:kt_user_vip_level",
                  "profile_set_once:$first_visit_time", "profile_set_once:kt_first_visit_date",
                  "profile_set:kt_last_visit_date"}));
    EXPECT_EQ(records[2]["properties"]["kt_user_id"].text, "u-42");
    EXPECT_EQ(records[4]["properties"]["kt_user_type"].text, "2");
    EXPECT_EQ(records[6]["properties"]["kt_user_created"].text, "2020-09-13 12:26:40.000");
    EXPECT_EQ(records[7]["properties"]["kt_user_vip_level"].text, "2");

    platform::IniFile ini(IniPath());
    EXPECT_EQ(ini.GetString("Base", "isLogined", ""), "OK");
    EXPECT_EQ(ini.GetString("Base", "UserId", ""), "u-42");
    EXPECT_EQ(ini.GetString("Base", "DistinctId", ""), "u-42");
    EXPECT_EQ(ini.GetString("Base", "UserVipLevel", ""), "2");
    EXPECT_EQ(usage_collect::Sdk::Instance()->super_properties().Find("kt_user_id")->string(), "u-42");

    // A login without user id is sent alone.
    std::size_t before = collector_.DeliveredRecords().size();
    tracker->trackLogin(KtUserInfo{}, false, "bad password", none);
    records = collector_.DeliveredRecords();
    ASSERT_EQ(records.size(), before + 1);
    EXPECT_EQ(records.back()["properties"]["kt_result"].text, "Fail");
    EXPECT_EQ(records.back()["properties"]["kt_reason"].text, "bad password");
    EXPECT_FALSE(records.back()["properties"].Has("$is_first_time"));
}

TEST_F(TrackerLifecycleTest, ShutdownSendsOnlyWhenSomethingIsPending) {
    auto tracker = Start();
    tracker.reset();
    EXPECT_TRUE(collector_.Requests().empty());
    EXPECT_EQ(ReadFile(DataFolder() + "/Glintcap.downloader_KTSRecords.txt"), "");

    // A collector that refuses everything: three attempts at shutdown, then the records are staged.
    collector_.SetDefaultAnswer(503);
    tracker = Start();
    KtContextProperties none;
    KtEventTask task;
    task.name = "t";
    tracker->trackTask(task, none);
    ::testing::internal::CaptureStderr();
    tracker.reset();
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(collector_.Requests().size(), 3u);
    EXPECT_EQ(Lines(ReadFile(DataFolder() + "/Glintcap.downloader_KTSRecords.txt")).size(), 1u);
}

// Run under ThreadSanitizer: reports from several threads while an immediate event flushes.
TEST_F(TrackerLifecycleTest, ConcurrentTracking) {
    auto tracker = CreateUsageTracker(Config());
    constexpr int kThreads = 4, kEach = 25;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kEach; ++i) {
                KtContextProperties context;
                context.setProperty("IN", {KT_EVENT_TASK});
                KtEventTask task;
                task.name = "task_" + std::to_string(t) + "_" + std::to_string(i);
                tracker->trackTask(task, context);
                if (i == kEach / 2) {
                    tracker->trackCrash("mid");
                }
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    tracker.reset();
    std::set<std::string> tasks;
    int crashes = 0;
    for (const auto& record : collector_.DeliveredRecords()) {
        if (record["event"].text == "AppCrashed") {
            ++crashes;
        } else {
            EXPECT_TRUE(tasks.insert(record["properties"]["kt_task_name"].text).second);
            EXPECT_EQ(record["properties"]["ktc_ab"].text, "IN");
        }
    }
    EXPECT_EQ(tasks.size(), static_cast<std::size_t>(kThreads * kEach));
    EXPECT_EQ(crashes, kThreads);
}

}  // namespace
}  // namespace analytics_test
