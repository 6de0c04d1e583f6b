// Record building: validation messages, the exact record text, the reserved keys and the identity.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <regex>

#include "test_support.h"
#include "testing/collector_json.h"
#include "usage_collect/json_writer.h"
#include "usage_collect/sdk.h"

namespace analytics_test {
namespace {

using usage_collect::PropertiesNode;
using usage_collect::Sdk;

class RecordBuildingTest : public ::testing::Test {
protected:
    TempFolder folder_;
    ScopedSdk sdk_{folder_.File("staged.txt"), kUnreachableUrl};

    glintcap_testing::JsonValue LastRecord() {
        auto queued = sdk_.Queued();
        EXPECT_FALSE(queued.empty());
        glintcap_testing::JsonValue record;
        std::string error;
        EXPECT_TRUE(glintcap_testing::ParseJson(queued.back(), &record, &error)) << error << "\n"
                                                                                 << queued.back();
        return record;
    }
};

struct RejectedCase {
    const char* label;
    std::function<bool()> track;
    std::string message;
};

TEST_F(RecordBuildingTest, InvalidInputIsDroppedWithItsMessage) {
    auto withKey = [](std::string key) {
        return [key] {
            PropertiesNode properties;
            properties.SetInteger(key, 1);
            return Sdk::TrackEvent("Good", properties);
        };
    };
    const std::string tooLongName = "The Property Key is empty or too long, max length is 100";
    const std::vector<RejectedCase> cases = {
        {"key starts with a digit", withKey("1abc"), "The Property Key need to be a valid variable name."},
        {"key with a hyphen", withKey("a-b"), "The Property Key need to be a valid variable name."},
        {"key of 101 bytes", withKey(std::string(101, 'k')), tooLongName},
        {"empty key", withKey(""), tooLongName},
        {"event name with a blank", [] { return Sdk::TrackEvent("bad name"); },
         "The Event Name need to be a valid variable name."},
        {"empty event name", [] { return Sdk::TrackEvent(""); },
         "The Event Name is empty or too long, max length is 100"},
        {"$time as a string",
         [] {
             PropertiesNode p;
             p.SetString("$time", "2020-01-01");
             return Sdk::TrackEvent("Good", p);
         },
         "The property '$time' should be DateTime type."},
        {"$project as a number",
         [] {
             PropertiesNode p;
             p.SetInteger("$project", 3);
             return Sdk::TrackEvent("Good", p);
         },
         "The property '$project' should be String type."},
        {"profile key checked too",
         [] {
             PropertiesNode p;
             p.SetInteger("9lives", 3);
             return Sdk::SetProfile(p);
         },
         "The Property Key need to be a valid variable name."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        std::size_t before = sdk_.Queued().size();
        ::testing::internal::CaptureStderr();
        EXPECT_FALSE(c.track());
        std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(err, c.message + "\n");
        EXPECT_EQ(sdk_.Queued().size(), before);
    }
}

TEST_F(RecordBuildingTest, IdentifierRules) {
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(Sdk::Init("x", "y", "", false));
    EXPECT_FALSE(Sdk::Init("x", "y", std::string(256, 'd'), false));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "The Distinct ID is empty.\nThe Distinct ID is too long, max length is 255.\n");
    // A second valid Init keeps the running instance.
    EXPECT_TRUE(Sdk::Init("x", "y", std::string(255, 'd'), false));
    EXPECT_EQ(sdk_.sdk().distinct_id(), "anon-1");
}

TEST_F(RecordBuildingTest, KeyOfExactly100BytesIsAccepted) {
    PropertiesNode properties;
    properties.SetBool(std::string(100, 'k'), true);
    EXPECT_TRUE(Sdk::TrackEvent("$Edge_1", properties));
    EXPECT_TRUE(LastRecord()["properties"].Has(std::string(100, 'k')));
}

struct StringValueCase {
    const char* label;
    std::string text;
    std::string message;  // empty: accepted
};

TEST(PropertiesNodeTest, StringValueRules) {
    const std::vector<StringValueCase> cases = {
        {"8192 bytes", std::string(8192, 'a'), ""},
        {"8193 bytes", std::string(8193, 'a'),
         "String property 'k' is too long, value: " + std::string(8193, 'a')},
        {"DEL", "a\x7f", "String property 'k' is not valid UTF-8 string, value: a\x7f"},
        {"SOH", "\x01", "String property 'k' is not valid UTF-8 string, value: \x01"},
        {"tab, line break, carriage return", "a\tb\nc\r", ""},
        {"Chinese", "\xe5\xae\x89\xe8\xa3\x85\xe4\xb8\xad", ""},
        {"four-byte sequence", "\xf0\x9f\x98\x80", ""},
        {"overlong two-byte", "\xc0\xaf", "String property 'k' is not valid UTF-8 string, value: \xc0\xaf"},
        {"surrogate", "\xed\xa0\x80", "String property 'k' is not valid UTF-8 string, value: \xed\xa0\x80"},
        {"beyond U+10FFFF", "\xf4\x90\x80\x80",
         "String property 'k' is not valid UTF-8 string, value: \xf4\x90\x80\x80"},
        {"truncated sequence", "\xe5\xae", "String property 'k' is not valid UTF-8 string, value: \xe5\xae"},
        {"GBK bytes", "\xb0\xb2\xd7\xb0",
         "String property 'k' is not valid UTF-8 string, value: \xb0\xb2\xd7\xb0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        PropertiesNode node;
        node.SetString("k", "before");
        ::testing::internal::CaptureStderr();
        bool set = node.SetString("k", c.text);
        std::string err = ::testing::internal::GetCapturedStderr();
        if (c.message.empty()) {
            EXPECT_TRUE(set);
            EXPECT_EQ(err, "");
            EXPECT_EQ(node.Find("k")->string(), c.text);
        } else {
            EXPECT_FALSE(set);
            EXPECT_EQ(err, c.message + "\n");
            EXPECT_EQ(node.Find("k")->string(), "before");
        }
    }
}

TEST(PropertiesNodeTest, SetObjectLeavesThePropertySetUnchanged) {
    PropertiesNode node;
    node.SetInteger("a", 1);
    usage_collect::utils::ObjectNode nested;
    node.SetObject("b", nested);
    node.SetObject("a", nested);
    ASSERT_EQ(node.members().size(), 1u);
    EXPECT_EQ(node.Find("a")->integer(), 1);
    // A plain object node does hold nested objects.
    usage_collect::utils::ObjectNode plain;
    plain.SetObject("b", nested);
    EXPECT_EQ(plain.Find("b")->type(), usage_collect::PropertyValue::kObject);
}

TEST_F(RecordBuildingTest, GoldenTrackRecord) {
    PropertiesNode properties;
    properties.SetDateTime("$time", 1700000000, 123);
    properties.SetString("quote", "say \"hi\"\\ \n\r\t \xe4\xb8\xad");
    properties.SetNumber("n1", 12.5);
    properties.SetNumber("n2", 0.1);
    properties.SetNumber("n3", 1e8);
    properties.SetNumber("n4", 1.0 / 3.0);
    properties.SetNumber("nan", std::nan(""));
    properties.SetNumber("inf", -1.0 / 0.0);
    properties.SetInteger("int", -42);
    properties.SetList("list", {"a", "b\"c"});
    properties.SetList("empty", {});
    properties.SetDateTime("when", 0, 7);
    properties.SetBool("B", false);
    properties.SetString("_", "");
    ASSERT_TRUE(Sdk::TrackEvent("Ev", properties));
    EXPECT_EQ(
        sdk_.Queued().back(),
        R"({"distinct_id":"anon-1","event":"Ev","lib":{"$lib":"cpp","$lib_method":"code","$lib_version":"0.7"},)"
        R"("properties":{"$lib":"cpp","$lib_version":"0.7","B":false,"_":"","empty":[],"inf":null,"int":-42,)"
        R"("list":["a","b\"c"],"n1":12.5,"n2":0.1,"n3":1e+08,"n4":0.333333,"nan":null,)"
        R"("quote":"say \"hi\"\\ \n\r\t )"
        "\xe4\xb8\xad"
        R"(","when":"1970-01-01 00:00:00.007"},"time":1700000000123,"type":"track"})");
}

// Backspace and form feed cannot pass the string-value test, but the writer still escapes them.
TEST(JsonWriterTest, ShortEscapesForEveryControlByteTheWriterKnows) {
    std::string out;
    usage_collect::AppendJsonString(std::string("\b\f\x01/", 4), &out);
    EXPECT_EQ(out, std::string("\"\\b\\f\x01/\"", 8));
}

TEST_F(RecordBuildingTest, GoldenSignUpAndProfileRecords) {
    PropertiesNode timed;
    timed.SetDateTime("$time", 1, 2);
    timed.SetString("$project", "proj");
    ASSERT_TRUE(Sdk::SetProfileOnce(timed));
    EXPECT_EQ(sdk_.Queued().back(),
              R"({"distinct_id":"anon-1","lib":{"$lib":"cpp","$lib_method":"code","$lib_version":"0.7"},)"
              R"("project":"proj","properties":{},"time":1002,"type":"profile_set_once"})");

    ASSERT_TRUE(Sdk::SignUpLogin("user-9"));
    std::string signup = sdk_.Queued().back();
    auto timeAt = signup.find(",\"time\":");
    ASSERT_NE(timeAt, std::string::npos);
    EXPECT_EQ(
        signup.substr(0, timeAt),
        R"({"distinct_id":"user-9","event":"$SignUp","lib":{"$lib":"cpp","$lib_method":"code","$lib_version":"0.7"},)"
        R"("original_id":"anon-1","properties":{"$lib":"cpp","$lib_version":"0.7"})");
    EXPECT_EQ(signup.substr(signup.size() - 23), R"(,"type":"track_signup"})");
}

TEST_F(RecordBuildingTest, TimeAndProjectAreTakenOutOfTheProperties) {
    PropertiesNode properties;
    properties.SetDateTime("$time", 1600000000, 999);
    properties.SetString("$project", "");
    ASSERT_TRUE(Sdk::TrackEvent("Ev", properties));
    auto record = LastRecord();
    EXPECT_EQ(record["time"].text, "1600000000999");
    EXPECT_FALSE(record.Has("project"));
    EXPECT_FALSE(record["properties"].Has("$time"));
    EXPECT_FALSE(record["properties"].Has("$project"));

    // Without $time the record carries the current wall-clock time.
    auto before = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::system_clock::now().time_since_epoch())
                      .count();
    ASSERT_TRUE(Sdk::TrackEvent("Ev"));
    auto after = std::chrono::duration_cast<std::chrono::milliseconds>(
                     std::chrono::system_clock::now().time_since_epoch())
                     .count();
    double time = LastRecord()["time"].number;
    EXPECT_GE(time, static_cast<double>(before));
    EXPECT_LE(time, static_cast<double>(after));
}

TEST_F(RecordBuildingTest, SuperPropertiesGoOnlyIntoTrackRecords) {
    PropertiesNode extra;
    extra.SetString("kt_app_id", "Glintcap");
    Sdk::AddSuperProperties(extra);
    PropertiesNode own;
    own.SetString("kt_app_id", "mine");  // the caller's key wins
    ASSERT_TRUE(Sdk::TrackEvent("Ev", own));
    auto track = LastRecord()["properties"];
    EXPECT_EQ(track.Keys(), (std::vector<std::string>{"$lib", "$lib_version", "kt_app_id"}));
    EXPECT_EQ(track["kt_app_id"].text, "mine");

    ASSERT_TRUE(Sdk::TrackInstallation("Install", PropertiesNode()));
    auto install = LastRecord()["properties"];
    EXPECT_EQ(install["$ios_install_source"].text, "");
    EXPECT_EQ(install["kt_app_id"].text, "Glintcap");

    ASSERT_TRUE(Sdk::SetProfile("kt_label", "x"));
    EXPECT_EQ(LastRecord()["properties"].Keys(), (std::vector<std::string>{"kt_label"}));
    ASSERT_TRUE(Sdk::IncrementProfile("kt_visit_count", 2));
    EXPECT_EQ(LastRecord()["type"].text, "profile_increment");
    ASSERT_TRUE(Sdk::AppendProfile("tags", "t1"));
    EXPECT_EQ(LastRecord()["properties"]["tags"].items.at(0).text, "t1");
    EXPECT_EQ(LastRecord()["type"].text, "profile_append");
}

TEST_F(RecordBuildingTest, EveryRecordAfterSignUpCarriesTheLoginFlag) {
    ASSERT_TRUE(Sdk::TrackEvent("Before"));
    EXPECT_FALSE(LastRecord()["properties"].Has("$is_login_id"));
    ASSERT_TRUE(Sdk::SignUpLogin("user-7"));
    EXPECT_EQ(sdk_.sdk().distinct_id(), "user-7");
    EXPECT_TRUE(sdk_.sdk().is_login_id());
    ASSERT_TRUE(Sdk::TrackEvent("After"));
    auto track = LastRecord();
    EXPECT_EQ(track["distinct_id"].text, "user-7");
    EXPECT_TRUE(track["properties"]["$is_login_id"].boolean);
    ASSERT_TRUE(Sdk::SetProfile("kt_label", 3.5));
    auto profile = LastRecord();
    EXPECT_EQ(profile["distinct_id"].text, "user-7");
    EXPECT_TRUE(profile["properties"]["$is_login_id"].boolean);
    EXPECT_EQ(profile["properties"]["kt_label"].text, "3.5");
}

TEST(SdkLifecycleTest, OperationsWithoutAnInstanceDoNothing) {
    ASSERT_EQ(Sdk::Instance(), nullptr);
    EXPECT_FALSE(Sdk::TrackEvent("Ev"));
    EXPECT_FALSE(Sdk::SetProfile("kt_label", 1));
    EXPECT_FALSE(Sdk::SignUpLogin("u"));
    EXPECT_FALSE(Sdk::FlushAll());
    Sdk::AddSuperProperties(PropertiesNode());
}

TEST(IdentifierTest, GuidTextAndFallbackForm) {
    std::string id = usage_collect::NewIdentifier();
    ASSERT_EQ(id.size(), 36u);
    EXPECT_TRUE(std::regex_match(
        id, std::regex("[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}")))
        << id;
    EXPECT_NE(id, usage_collect::NewIdentifier());
    std::string fallback = usage_collect::NewFallbackIdentifier();
    EXPECT_TRUE(std::regex_match(fallback,
                                 std::regex("[0-9a-f]+-[0-9a-f]+-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]+")))
        << fallback;
}

}  // namespace
}  // namespace analytics_test
