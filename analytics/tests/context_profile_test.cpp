// Context properties, profile operations, the system descriptions and the log line format.

#include <gtest/gtest.h>

#include <atomic>
#include <functional>

#include "kelto_usage/kt_context_properties.h"
#include "kelto_usage/kt_exception.h"
#include "kelto_usage/native_user_tracker.h"
#include "kelto_usage/system_description.h"
#include "kelto_usage/text_conversion.h"
#include "kelto_usage/track_logger.h"
#include "test_support.h"

namespace analytics_test {
namespace {

using namespace kelto::usage;

std::string RaisedMessage(const std::function<void()>& call, std::string* function = nullptr) {
    try {
        call();
    } catch (const KtException& e) {
        if (function) {
            *function = e.function();
        }
        return e.message();
    }
    return "(nothing raised)";
}

TEST(AbValueTest, Rules) {
    for (const char* valid : {"IN", "A1", "Z", "AZ9"}) {
        EXPECT_TRUE(KtContextProperties::isValidABValue(valid)) << valid;
    }
    EXPECT_FALSE(KtContextProperties::isValidABValue(""));
    const std::vector<std::pair<std::string, std::string>> invalid = {
        {"in", "First char is not in A to Z"},
        {"1A", "First char is not in A to Z"},
        {"A-", "second char is not in A to Z and 0 to 9"},
        {"AB_", "third char is not in A to Z and 0 to 9"},
        {"ABCD", "value's length is great than 3."},
    };
    for (const auto& [text, message] : invalid) {
        std::string function;
        EXPECT_EQ(RaisedMessage([&] { KtContextProperties::isValidABValue(text); }, &function), message)
            << text;
        EXPECT_EQ(function, "isValidABValue");
    }
}

TEST(ContextPropertiesTest, RegistrationAndOverflow) {
    KtContextProperties context;
    std::string function;
    EXPECT_EQ(RaisedMessage([&] { context.setProperty("IN", {7, 15}); }, &function), "KtEvent[15] overflow!");
    EXPECT_EQ(function, "setProperty");
    ASSERT_EQ(context.getEventProperties(7).size(), 1u);
    EXPECT_EQ(context.getEventProperties(7)[0].name, "ktc_ab");
    EXPECT_EQ(context.getEventProperties(7)[0].kind, KtContextProperties::kString);
    EXPECT_TRUE(context.getEventProperties(3).empty());
    EXPECT_EQ(RaisedMessage([&] { context.setProperty("A1", {3}); }), "Property[ktc_ab] already exist!");
    EXPECT_EQ(RaisedMessage([&] { context.getEventProperties(15); }, &function), "KtEvent[15] overflow!");
    EXPECT_EQ(function, "getEventProperties");
}

TEST(ContextPropertiesTest, MergedValuesOfEveryKind) {
    KtContextProperties context;
    context.setProperty("IN", {3, 4});
    context.setProperty("flag", true, {3});
    context.setProperty("seconds", KtContextTime{1700000000}, {3});
    context.setProperty("millis", KtContextTime{1700000000123}, {3});
    context.setProperty("ratio", 0.5, {3});
    context.setProperty("tags", std::vector<std::string>{"a", "b"}, {3});
    usage_collect::PropertiesNode click, view;
    context.mergeInto(3, &click);
    context.mergeInto(4, &view);
    ASSERT_EQ(click.members().size(), 6u);
    EXPECT_EQ(click.Find("ktc_ab")->string(), "IN");
    EXPECT_TRUE(click.Find("flag")->boolean());
    // Times below 157789440000 are seconds; the same instant in milliseconds keeps its remainder.
    EXPECT_EQ(click.Find("seconds")->string(), "2023-11-14 22:13:20.000");
    EXPECT_EQ(click.Find("millis")->string(), "2023-11-14 22:13:20.123");
    EXPECT_EQ(click.Find("ratio")->number(), 0.5);
    EXPECT_EQ(click.Find("tags")->list(), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(view.members().size(), 1u);
}

TEST(ProfileOperationTest, TypeRulesOfTheProfileTable) {
    std::atomic<int> pending{0};
    NativeUserTracker profile(&pending);
    struct Case {
        std::function<void()> call;
        std::string message;
        std::string function;
    };
    const std::vector<Case> cases = {
        {[&] { profile.ProfileUserPropertyNumber("kt_user_id", 1); }, "", ""},
        {[&] { profile.ProfileUserPropertyString("kt_visit_count", "1"); },
         "user property [kt_visit_count] is string type value, it cannot be accumulated!",
         "ProfileUserPropertyString"},
        {[&] { profile.ProfileUserPropertyString("no_such_key", "x"); },
         "Not supported user property [no_such_key]!", "ProfileUserPropertyString"},
        {[&] { profile.ProfileUserPropertyNumber("no_such_key", 2.5); },
         "Not supported user property [no_such_key]!", "ProfileUserPropertyNumber"},
        {[&] { profile.ProfileUserPropertyDateTime("kt_paid_count", 1000); }, "",
         "ProfileUserPropertyDateTime"},
    };
    for (const auto& c : cases) {
        std::string function;
        std::string message = RaisedMessage(c.call, &function);
        if (c.message.empty()) {
            if (c.function.empty()) {
                EXPECT_EQ(message, "(nothing raised)");
            } else {
                EXPECT_NE(message, "(nothing raised)");
                EXPECT_EQ(function, c.function);
            }
        } else {
            EXPECT_EQ(message, c.message);
            EXPECT_EQ(function, c.function);
        }
    }
    // Only the accepted update counted as pending.
    EXPECT_EQ(pending.load(), 1);
    ProfileOperation operation;
    ASSERT_TRUE(FindProfileOperation("kt_first_paid_date", &operation));
    EXPECT_EQ(operation, ProfileOperation::kSetOnce);
    ASSERT_TRUE(FindProfileOperation("kt_consumption", &operation));
    EXPECT_EQ(operation, ProfileOperation::kIncrement);
    EXPECT_FALSE(FindProfileOperation("kt_user_vip", &operation));
}

TEST(ProfileOperationTest, RecordsOfEachOperation) {
    TempFolder folder;
    ScopedSdk sdk(folder.File("staged.txt"), kUnreachableUrl);
    std::atomic<int> pending{0};
    NativeUserTracker profile(&pending);
    profile.ProfileUserPropertyNumber("kt_consumption", 12.5);
    profile.ProfileUserPropertyDateTime("kt_last_paid_date", 1700000000123);
    profile.ProfileUserPropertyString("kt_label", "vip");
    auto queued = sdk.Queued();
    ASSERT_EQ(queued.size(), 3u);
    EXPECT_NE(queued[0].find(R"("properties":{"kt_consumption":12.5},)"), std::string::npos) << queued[0];
    EXPECT_NE(queued[0].find(R"("type":"profile_increment")"), std::string::npos);
    EXPECT_NE(queued[1].find(R"("properties":{"kt_last_paid_date":"2023-11-14 22:13:20.123"},)"),
              std::string::npos);
    EXPECT_NE(queued[2].find(R"("type":"profile_set")"), std::string::npos);
    EXPECT_EQ(pending.load(), 3);
}

TEST(SystemDescriptionTest, WindowsVersionLabels) {
    struct Case {
        int major, minor, build;
        bool is64, serverR2;
        const char* label;
    };
    const Case cases[] = {
        {4, 0, 1381, false, false, "XP-"},
        {5, 0, 2195, false, false, "2K"},
        {5, 1, 2600, false, false, "XP"},
        {5, 2, 3790, true, false, "XP64"},
        {5, 2, 3790, false, true, "Server 2003 R2"},
        {5, 2, 3790, false, false, "Server 2003"},
        {5, 3, 0, false, false, "XP+"},
        {6, 0, 6002, true, false, "Vista64"},
        {6, 0, 6002, false, false, "Vista"},
        {6, 1, 7601, true, false, "7"},
        {6, 1, 7601, false, false, "7-32"},
        {6, 2, 9200, false, false, "8-32"},
        {6, 3, 9600, false, false, "8.1"},
        {6, 4, 0, true, false, "8.1+"},
        {10, 0, 22631, true, false, "10"},
        {10, 1, 0, true, false, "10+"},
        {7, 2, 0x1FFFF, true, false, "7.2.65535"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WindowsVersionLabel(c.major, c.minor, c.build, c.is64, c.serverR2), c.label)
            << c.major << "." << c.minor;
    }
}

TEST(SystemDescriptionTest, UserAgentAndLocale) {
    EXPECT_EQ(UserAgentText(OsDescription{"Linux", "Debian GNU/Linux 12 (bookworm)", true}),
              "Mozilla/5.0(Linux Debian GNU/Linux 12 (bookworm); Win64;)");
    EXPECT_EQ(UserAgentText(OsDescription{"Windows", "7-32", false}), "Mozilla/5.0(Windows 7-32; Win32;)");
    struct Case {
        std::string tracker, user, locale, language, country;
    };
    const Case cases[] = {
        {"", "zh_CN.UTF-8", "zh_CN", "zh", "CN"},
        {"", "de_AT@euro", "de_AT", "de", "AT"},
        {"", "C", "", "", ""},
        {"", "en", "", "", ""},
        {"pt_BR", "zh_CN.UTF-8", "pt_BR", "pt", "BR"},
        {"ja", "en_US.UTF-8", "en_US", "en", "US"},
    };
    for (const auto& c : cases) {
        LocaleDescription d = DescribeLocale(c.tracker, c.user);
        EXPECT_EQ(d.locale + "|" + d.language + "|" + d.country,
                  c.locale + "|" + c.language + "|" + c.country)
            << c.tracker << " / " << c.user;
    }
    EXPECT_EQ(LocaleCharset("zh_CN.GBK"), "GBK");
    EXPECT_EQ(LocaleCharset("sr_RS.UTF-8@latin"), "UTF-8");
    EXPECT_EQ(LocaleCharset("C"), "UTF-8");
}

TEST(TrackLoggerTest, LineFormatAndFile) {
    EXPECT_EQ(NativeTrackLogger::FormatLine("2024-01-02 03:04:05.006", "Task", "a\r\nb\nc\td\re"),
              "2024-01-02 03:04:05.006\tTask\ta b c d\re\n");
    TempFolder folder;
    std::string path = folder.File("log.txt");
    {
        NativeTrackLogger logger(path);
        EXPECT_TRUE(logger.is_open());
        EXPECT_EQ(ReadFile(path), "");
        logger.log("Info", "one");
    }
    NativeTrackLogger again(path);
    again.log("Info", "two");
    auto lines = Lines(ReadFile(path));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].substr(23), "\tInfo\ttwo");
}

}  // namespace
}  // namespace analytics_test
