// The event catalogue: validation messages, enumeration texts and the properties of each kind.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <functional>

#include "kelto_usage/kt_exception.h"
#include "kelto_usage/usage_tracker_wrapper.h"
#include "tracker_fixture.h"

namespace analytics_test {
namespace {

using namespace kelto::usage;

struct RejectionCase {
    const char* label;
    std::function<void(UsageTrackerImpl&)> track;
    std::string message;
    std::string function;
};

KtEventOrder GoodOrder() {
    KtEventOrder order;
    order.suitId = "suit";
    order.currency = KT_CNY;
    order.originalAmount = 10;
    order.paidAmount = 8;
    return order;
}

KtEventPayment GoodPayment() {
    KtEventPayment payment;
    payment.orderId = "o-1";
    payment.paidPlatform = KT_ALIPAY;
    payment.currency = KT_USD;
    payment.paidAmount = 5;
    payment.originalAmount = 6;
    payment.result = KT_RESULT_SUCCESS;
    return payment;
}

template <typename T, typename F>
T With(T value, F change) {
    change(value);
    return value;
}

KtAppOpenNotification Notification(const char* planId, const char* planType, const char* title) {
    KtAppOpenNotification notification;
    notification.planId = planId;
    notification.planType = planType;
    notification.msgTitle = title;
    return notification;
}

// Validation does not need a started tracker: a tracker whose start-up failed still checks records.
TEST(TrackerValidationTest, InvalidRecordsRaiseTheirMessages) {
    const KtContextProperties none;
    const std::vector<RejectionCase> cases = {
        {"click without name", [&](auto& t) { t.trackClick(KtEventClick{}, none); },
         "ktEventClick.name is empty", "trackClick"},
        {"click type 9",
         [&](auto& t) {
             t.trackClick(With(KtEventClick{},
                               [](auto& e) { e.name = "n", e.clickType = static_cast<KtClickType>(9); }),
                          none);
         },
         "Unknown ClickType [9]!", "toString"},
        {"view without name", [&](auto& t) { t.trackView(KtEventView{}, none); }, "ktEventView.name is empty",
         "trackView"},
        {"cashier without name", [&](auto& t) { t.trackCashier(KtEventCashier{}, none); },
         "ktEventCashier.kt_cashier_name is empty", "trackCashier"},
        {"share result 4",
         [&](auto& t) {
             t.trackShare(With(KtEventShare{}, [](auto& e) { e.result = static_cast<KtResult>(4); }), none);
         },
         "Unknown task result [4]!", "toString"},
        {"task without name", [&](auto& t) { t.trackTask(KtEventTask{}, none); }, "ktEventTask.name is empty",
         "trackTask"},
        {"file without aname", [&](auto& t) { t.trackFile(KtEventFile{}, none); },
         "ktEventFile.aname is empty", "trackFile"},
        {"file io 2",
         [&](auto& t) {
             t.trackFile(With(KtEventFile{}, [](auto& e) { e.aname = "a", e.io = static_cast<KtIoType>(2); }),
                         none);
         },
         "the io type is invalid", "toString"},
        {"order without suit",
         [&](auto& t) { t.trackOrder(With(GoodOrder(), [](auto& e) { e.suitId.clear(); }), none); },
         "ktEventOrder.ktSuitId is empty", "trackOrder"},
        {"order without currency",
         [&](auto& t) { t.trackOrder(With(GoodOrder(), [](auto& e) { e.currency.reset(); }), none); },
         "ktEventOrder.ktCurrency is nullptr", "trackOrder"},
        {"order original amount 0",
         [&](auto& t) { t.trackOrder(With(GoodOrder(), [](auto& e) { e.originalAmount = 0; }), none); },
         "ktEventOrder.originalAmount is less than zero", "trackOrder"},
        {"order paid amount 0",
         [&](auto& t) { t.trackOrder(With(GoodOrder(), [](auto& e) { e.paidAmount = 0; }), none); },
         "ktEventOrder.paidAmount is less than zero", "trackOrder"},
        {"order currency 11",
         [&](auto& t) {
             t.trackOrder(With(GoodOrder(), [](auto& e) { e.currency = static_cast<KtCurrency>(11); }), none);
         },
         "Unknown currency [11]!", "toString"},
        {"payment without order id",
         [&](auto& t) { t.trackPayment(With(GoodPayment(), [](auto& e) { e.orderId.clear(); }), none); },
         "ktEventPayment.ktOrderId is empty", "trackPayment"},
        {"payment paid -1",
         [&](auto& t) { t.trackPayment(With(GoodPayment(), [](auto& e) { e.paidAmount = -1; }), none); },
         "paidAmount = -1.000000 is invalid", "trackPayment"},
        {"payment original -2.5",
         [&](auto& t) {
             t.trackPayment(With(GoodPayment(), [](auto& e) { e.originalAmount = -2.5f; }), none);
         },
         "originalAmount = -2.500000 is invalid", "trackPayment"},
        {"payment cancelled",
         [&](auto& t) {
             t.trackPayment(With(GoodPayment(), [](auto& e) { e.result = KT_RESULT_CANCELLED; }), none);
         },
         "ktEventPayment.result is invalid", "trackPayment"},
        {"payment without result",
         [&](auto& t) { t.trackPayment(With(GoodPayment(), [](auto& e) { e.result.reset(); }), none); },
         "ktEventPayment.result is invalid", "trackPayment"},
        {"payment without currency",
         [&](auto& t) { t.trackPayment(With(GoodPayment(), [](auto& e) { e.currency.reset(); }), none); },
         "ktEventPayment.ktCurrency is nullptr", "trackPayment"},
        {"payment platform 10",
         [&](auto& t) {
             t.trackPayment(
                 With(GoodPayment(), [](auto& e) { e.paidPlatform = static_cast<KtPaidPlatform>(10); }),
                 none);
         },
         "Unknown paid platform [10]!", "toString"},
        {"payment purchase type 4",
         [&](auto& t) {
             t.trackPayment(With(GoodPayment(), [](auto& e) { e.iapType = static_cast<KtIapType>(4); }),
                            none);
         },
         "Unknown ktIapType [4]!", "toString"},
        {"update op 5",
         [&](auto& t) {
             t.trackUpdate(KtEventUpdate{static_cast<KtUpdateOp>(5), {}, {}}, none);
         },
         "Unknown KtUpdateOp [5]!", "toString"},
        {"update result 6",
         [&](auto& t) {
             t.trackUpdate(KtEventUpdate{KT_UPDATE_CHECK, static_cast<KtUpdateResult>(6), {}}, none);
         },
         "Unknown KtUpdateResult [6]!", "toString"},
        {"download end without result",
         [&](auto& t) {
             t.trackUpdate(KtEventUpdate{KT_UPDATE_DOWNLOAD_END, {}, 1.0f}, none);
         },
         "Unknown updateResultInfo info", "trackUpdate"},
        {"download end without elapsed",
         [&](auto& t) {
             t.trackUpdate(KtEventUpdate{KT_UPDATE_DOWNLOAD_END, KT_UPDATE_SUCCESS, {}}, none);
         },
         "invalid elapsed info", "trackUpdate"},
        {"upgrade end without elapsed",
         [&](auto& t) {
             t.trackUpdate(KtEventUpdate{KT_UPGRATE_END, KT_UPDATE_FAIL, {}}, none);
         },
         "invalid elapsed info", "trackUpdate"},
        {"notification missing", [&](auto& t) { t.trackAppOpenNotification(nullptr, none); },
         "&appOpenNotification is nullptr", "trackAppOpenNotification"},
        {"notification without plan id",
         [&](auto& t) {
             KtAppOpenNotification n = Notification("", "type", "title");
             t.trackAppOpenNotification(&n, none);
         },
         "planID is emptry", "trackAppOpenNotification"},
        {"notification without plan type",
         [&](auto& t) {
             KtAppOpenNotification n = Notification("id", "", "title");
             t.trackAppOpenNotification(&n, none);
         },
         "planType is emptry", "trackAppOpenNotification"},
        {"notification without title",
         [&](auto& t) {
             KtAppOpenNotification n = Notification("id", "type", "");
             t.trackAppOpenNotification(&n, none);
         },
         "msgTitle is emptry", "trackAppOpenNotification"},
        {"login user type 12",
         [&](auto& t) {
             KtUserInfo user;
             user.userType = 12;
             t.trackLogin(user, true, "", none);
         },
         "Unknown user type [12]!", "userType"},
    };
    UsageTrackerImpl tracker(KtTrackerConfig{});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        try {
            c.track(tracker);
            ADD_FAILURE() << "no exception";
        } catch (const KtException& e) {
            EXPECT_STREQ(e.what(), c.message.c_str());
            EXPECT_EQ(e.function(), c.function);
            EXPECT_EQ(e.file(), "..\\..\\..\\..\\source\\src\\UsageTrackerImpl.cpp");
            EXPECT_EQ(e.code(), -1);
        }
    }
}

TEST(TrackerValidationTest, StartUpChecksTheConfigurationInOrder) {
    const std::vector<std::pair<KtTrackerConfig, std::string>> cases = {
        {KtTrackerConfig{}, "appName is empty"},
        {With(KtTrackerConfig{}, [](auto& c) { c.appName = "app"; }), "appVersion is empty"},
        {With(KtTrackerConfig{}, [](auto& c) { c.appName = "app", c.appVersion = "1.0"; }),
         "appStore is empty"},
    };
    for (const auto& [config, message] : cases) {
        UsageTrackerImpl tracker(config);
        try {
            tracker.init();
            ADD_FAILURE() << "no exception for " << message;
        } catch (const KtException& e) {
            EXPECT_EQ(e.message(), message);
            EXPECT_EQ(e.function(), "init");
        }
        EXPECT_EQ(tracker.logger(), nullptr);
    }
}

TEST(EnumerationTextTest, KnownValuesAndKindNames) {
    EXPECT_EQ(toString(KT_EDITION_OVERSEAS), "overseas");
    EXPECT_EQ(userType(KT_USER_KELTOUSERID), "keltouserid");
    EXPECT_EQ(userType(KT_USER_FACEBOOK), "facebook");
    EXPECT_EQ(toString(KT_CLICK_OTHERS), "Others");
    EXPECT_EQ(toString(KT_GBP), "GBP");
    EXPECT_EQ(toString(KT_CHINAUNIONPAY), "ChinaUnionPay");
    EXPECT_EQ(toString(KT_IAP_NON_RENEWABLE), "NonRenewable");
    EXPECT_EQ(toString(KT_UPGRATE_END), "UpgrateEnd");
    EXPECT_EQ(toString(KT_UPDATE_UPDATEABLE), "Updateable");
    EXPECT_EQ(toString(KT_EVENT_LAUNCH), "PaLaunchPal");
    EXPECT_EQ(toString(KT_EVENT_CRASHED), "Crashed");
    EXPECT_EQ(toString(static_cast<KtEventType>(15)), "Unknown Event [15]!");
    EXPECT_THROW(toString(static_cast<KtEdition>(-1)), KtException);
}

class CatalogueTest : public TrackerTest {};

TEST_F(CatalogueTest, OptionalFieldsAreSentOnlyWhenPresent) {
    auto tracker = Start();
    KtContextProperties none;

    tracker->trackTask(With(KtEventTask{}, [](auto& e) { e.name = "t", e.result = KT_RESULT_UNKNOWN; }),
                       none);
    auto task = LastQueuedProperties();
    EXPECT_FALSE(task.Has("kt_task_result"));
    EXPECT_FALSE(task.Has("kt_task_elapsed"));
    EXPECT_TRUE(task["$is_first_time"].boolean);

    tracker->trackShare(With(KtEventShare{}, [](auto& e) { e.result = KT_RESULT_UNKNOWN; }), none);
    EXPECT_EQ(LastQueuedProperties()["kt_result"].text, "Unknown");

    tracker->trackFile(With(KtEventFile{},
                            [](auto& e) {
                                e.aname = "rec", e.size = 0.0f, e.duration = -5, e.io = KT_IO_OUTPUT,
                                e.result = KT_RESULT_FAIL;
                            }),
                       none);
    auto file = LastQueuedProperties();
    EXPECT_FALSE(file.Has("kt_size"));
    EXPECT_EQ(file["kt_duration"].text, "-5");
    EXPECT_EQ(file["kt_io"].text, "Output");
    EXPECT_EQ(file["kt_result"].text, "Fail");

    tracker->trackOrder(With(GoodOrder(), [](auto& e) { e.curPaidAmount = 0, e.curOriginalAmount = 3.5f; }),
                        none);
    auto order = LastQueuedProperties();
    EXPECT_FALSE(order.Has("kt_cur_paid_amount"));
    EXPECT_EQ(order["kt_cur_original_amount"].text, "3.5");
    EXPECT_EQ(order["kt_currency"].text, "CNY");
    EXPECT_EQ(order["kt_paid_amount"].text, "8");

    tracker->trackClick(
        With(KtEventClick{}, [](auto& e) { e.name = "c", e.tabIndex = 0, e.clickType = KT_CLICK_BANNER; }),
        none);
    auto click = LastQueuedProperties();
    EXPECT_EQ(click["kt_tab_index"].text, "0");
    EXPECT_FALSE(click.Has("kt_banner_index"));
    EXPECT_FALSE(click.Has("kt_title"));
    EXPECT_EQ(click["kt_click_type"].text, "Banner");
    // Click, view, cashier, share, file and order count twice; task once.
    EXPECT_EQ(tracker->pendingCount(), 1 + 2 + 2 + 2 + 2);
}

TEST_F(CatalogueTest, UpdateEventsCarryWhatTheirOperationNeeds) {
    auto tracker = Start();
    KtContextProperties none;
    auto updateKeys = [&] {
        auto records = collector_.DeliveredRecords();
        std::vector<std::string> keys;
        for (const auto& key : records.back()["properties"].Keys()) {
            if (key.rfind("kt_update", 0) == 0 || key == "kt_elapsed" || key == "$is_first_time") {
                keys.push_back(key + "=" + records.back()["properties"][key].text);
            }
        }
        return keys;
    };
    tracker->trackUpdate(KtEventUpdate{KT_UPDATE_DOWNLOAD_START, KT_UPDATE_SUCCESS, 2.0f}, none);
    EXPECT_EQ(updateKeys(), (std::vector<std::string>{"kt_update_op=DownloadStart"}));
    tracker->trackUpdate(KtEventUpdate{KT_UPDATE_CHECK, {}, {}}, none);
    EXPECT_EQ(updateKeys(), (std::vector<std::string>{"kt_update_op=UpdateCheck", "kt_update_result="}));
    tracker->trackUpdate(KtEventUpdate{KT_UPDATE_DOWNLOAD_END, KT_UPDATE_TIMEOUT, 2.5f}, none);
    EXPECT_EQ(updateKeys(), (std::vector<std::string>{"kt_elapsed=2.5", "kt_update_op=DownloadEnd",
                                                      "kt_update_result=Timeout"}));
    tracker->trackUpdate(KtEventUpdate{KT_UPGRATE_END, KT_UPDATE_LATEST, 1.0f}, none);
    EXPECT_EQ(updateKeys(), (std::vector<std::string>{"$is_first_time=", "kt_elapsed=1",
                                                      "kt_update_op=UpgrateEnd", "kt_update_result=Latest"}));
}

TEST_F(CatalogueTest, ActivityPaymentAndNotificationRecords) {
    auto tracker = Start();
    KtContextProperties none;
    tracker->trackActivity(none);
    auto records = collector_.DeliveredRecords();
    ASSERT_FALSE(records.empty());
    const auto& activity = records.front();
    EXPECT_EQ(activity["event"].text, "KtEventActivity");
    EXPECT_EQ(activity["properties"]["$ios_install_source"].text, "android_id=123##imei=1234##mac=123");
    EXPECT_EQ(activity["properties"]["$user_agent"].text.rfind("Mozilla/5.0(", 0), 0u);
    // The activity profile update follows: set-once visit dates and the app's facts.
    std::vector<std::string> types;
    for (std::size_t i = 1; i < records.size(); ++i) {
        types.push_back(records[i]["type"].text + ":" + records[i]["properties"].Keys().at(0));
    }
    EXPECT_EQ(types,
              (std::vector<std::string>{
                  "profile_set_once:$first_visit_time", "profile_set_once:kt_first_visit_date",
                  "profile_set:kt_last_visit_date", "profile_set:kt_os", "profile_set:kt_os_version",
                  "profile_set:kt_app_store", "profile_set:kt_app_platform", "profile_set:kt_last_app_id",
                  "profile_set:kt_last_app_version", "profile_set_once:$ios_install_source"}));
    EXPECT_EQ(tracker->pendingCount(), 0);

    tracker->trackPayment(GoodPayment(), none);
    records = collector_.DeliveredRecords();
    auto payment = records[records.size() - 5];
    EXPECT_EQ(payment["properties"]["kt_paid_platform"].text, "Alipay");
    EXPECT_EQ(payment["properties"]["kt_result"].text, "Success");
    EXPECT_EQ(records[records.size() - 3]["properties"]["kt_consumption"].text, "5");
    EXPECT_EQ(records[records.size() - 3]["type"].text, "profile_increment");
    EXPECT_EQ(tracker->userInfo().vipLevel, 1);

    KtAppOpenNotification note = Notification("plan", "push", "标题");
    note.linkUrl = "https://x.example/";
    tracker->trackAppOpenNotification(&note, none);
    auto props = LastQueuedProperties();
    EXPECT_EQ(props["$sf_msg_title"].text, "标题");
    EXPECT_EQ(props["$sf_link_url"].text, "https://x.example/");
    EXPECT_FALSE(props.Has("$sf_msg_content"));
}

TEST_F(CatalogueTest, TextInTheLocaleCodePageArrivesAsUtf8) {
    const char* saved = getenv("LC_ALL");
    std::string previous = saved ? saved : "";
    setenv("LC_ALL", "zh_CN.GBK", 1);
    auto tracker = Start();
    KtContextProperties none;
    tracker->trackTask(With(KtEventTask{}, [](auto& e) { e.name = "\xb0\xb2\xd7\xb0", e.reason = "ok"; }),
                       none);
    auto props = LastQueuedProperties();
    if (saved) {
        setenv("LC_ALL", previous.c_str(), 1);
    } else {
        unsetenv("LC_ALL");
    }
    EXPECT_EQ(props["kt_task_name"].text, "安装");
    EXPECT_EQ(props["kt_reason"].text, "ok");
}

TEST_F(CatalogueTest, WrapperAbsorbsFailuresAndSaysSo) {
    auto started = CreateUsageTracker(Config());
    KtContextProperties none;
    ::testing::internal::CaptureStdout();
    started->trackClick(KtEventClick{}, none);
    started->trackPayment(KtEventPayment{}, none);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Failed to trackClick\nFailed to trackPayment\n");
    EXPECT_TRUE(Queued().empty());
    started.reset();

    // A tracker whose start-up failed has no logger: failures pass silently and nothing is sent.
    auto failed = CreateUsageTracker(KtTrackerConfig{});
    ::testing::internal::CaptureStdout();
    failed->trackClick(KtEventClick{}, none);
    failed->trackCrash("x");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(usage_collect::Sdk::Instance(), nullptr);
    failed.reset();
    EXPECT_TRUE(collector_.Requests().empty());
}

}  // namespace
}  // namespace analytics_test
