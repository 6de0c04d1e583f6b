#include "kelto_usage/native_user_tracker.h"

#include <chrono>
#include <unordered_map>

#include "kelto_usage/kt_exception.h"
#include "kelto_usage/text_conversion.h"
#include "usage_collect/sdk.h"

namespace kelto::usage {
namespace {

const std::unordered_map<std::string, ProfileOperation>& ProfileTable() {
    static const auto* table = [] {
        auto* t = new std::unordered_map<std::string, ProfileOperation>();
        for (const char* key :
             {"$first_visit_time", "kt_first_visit_date", "$ios_install_source", "kt_first_paid_date"}) {
            (*t)[key] = ProfileOperation::kSetOnce;
        }
        for (const char* key : {"kt_visit_count", "kt_paid_count", "kt_consumption"}) {
            (*t)[key] = ProfileOperation::kIncrement;
        }
        for (const char* key : {"kt_label",
                                "kt_os",
                                "kt_os_version",
                                "kt_manufacturer",
                                "kt_model",
                                "kt_app_store",
                                "kt_app_platform",
                                "kt_last_app_id",
                                "kt_last_app_version",
                                "kt_carrier",
                                "kt_last_visit_date",
                                "aurora_pushid",
                                "kt_user_id",
                                "kt_user_name",
                                "kt_user_type",
                                "kt_user_nickname",
                                "kt_user_portrait",
                                "kt_user_mobilephone",
                                "kt_user_email",
                                "kt_user_weixin",
                                "kt_user_qq",
                                "kt_user_did",
                                "kt_user_created",
                                "kt_user_last_login",
                                "kt_user_last_ip",
                                "kt_user_vip_level",
                                "kt_user_vip_enddate",
                                "idfa",
                                "imei",
                                "android_id",
                                "oaid",
                                "kt_ip",
                                "kt_country_code",
                                "kt_country",
                                "kt_province",
                                "kt_city",
                                "kt_last_paid_date"}) {
            (*t)[key] = ProfileOperation::kSet;
        }
        return t;
    }();
    return *table;
}

ProfileOperation OperationOf(const std::string& key, const char* function) {
    ProfileOperation operation;
    if (!FindProfileOperation(key, &operation)) {
        KT_THROW(kUserTrackerSource, function, "Not supported user property [" + key + "]!");
    }
    return operation;
}

}  // namespace

std::int64_t NowMilliseconds() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

bool FindProfileOperation(const std::string& key, ProfileOperation* operation) {
    auto it = ProfileTable().find(key);
    if (it == ProfileTable().end()) {
        return false;
    }
    *operation = it->second;
    return true;
}

void NativeUserTracker::ProfileUserPropertyString(const std::string& key, const std::string& value) {
    const char* kFunction = "ProfileUserPropertyString";
    std::string text = ToUtf8Text(value);
    switch (OperationOf(key, kFunction)) {
        case ProfileOperation::kSetOnce:
            usage_collect::Sdk::SetProfileOnce(key, text);
            break;
        case ProfileOperation::kSet:
            usage_collect::Sdk::SetProfile(key, text);
            break;
        case ProfileOperation::kAppend:
            usage_collect::Sdk::AppendProfile(key, text);
            break;
        case ProfileOperation::kIncrement:
            KT_THROW(kUserTrackerSource, kFunction,
                     "user property [" + key + "] is string type value, it cannot be accumulated!");
    }
    ++*pending_;
}

void NativeUserTracker::ProfileUserPropertyNumber(const std::string& key, int value) {
    const char* kFunction = "ProfileUserPropertyNumber";
    switch (OperationOf(key, kFunction)) {
        case ProfileOperation::kSetOnce:
            usage_collect::Sdk::SetProfileOnce(key, value);
            break;
        case ProfileOperation::kSet:
            usage_collect::Sdk::SetProfile(key, value);
            break;
        case ProfileOperation::kIncrement:
            usage_collect::Sdk::IncrementProfile(key, value);
            break;
        case ProfileOperation::kAppend:
            KT_THROW(kUserTrackerSource, kFunction,
                     "user property [" + key + "] is number value, it cannot be append to list!");
    }
    ++*pending_;
}

void NativeUserTracker::ProfileUserPropertyNumber(const std::string& key, double value) {
    const char* kFunction = "ProfileUserPropertyNumber";
    usage_collect::PropertiesNode properties;
    properties.SetNumber(key, value);
    switch (OperationOf(key, kFunction)) {
        case ProfileOperation::kSetOnce:
            usage_collect::Sdk::SetProfileOnce(properties);
            break;
        case ProfileOperation::kSet:
            usage_collect::Sdk::SetProfile(properties);
            break;
        case ProfileOperation::kIncrement:
            usage_collect::Sdk::IncrementProfile(properties);
            break;
        case ProfileOperation::kAppend:
            KT_THROW(kUserTrackerSource, kFunction,
                     "user property [" + key + "] is number value, it cannot be append to list!");
    }
    ++*pending_;
}

void NativeUserTracker::ProfileUserPropertyDateTime(const std::string& key,
                                                    std::int64_t millisecondsSince1970) {
    const char* kFunction = "ProfileUserPropertyDateTime";
    usage_collect::PropertiesNode properties;
    properties.SetDateTime(key, millisecondsSince1970 / 1000, static_cast<int>(millisecondsSince1970 % 1000));
    switch (OperationOf(key, kFunction)) {
        case ProfileOperation::kSetOnce:
            usage_collect::Sdk::SetProfileOnce(properties);
            break;
        case ProfileOperation::kSet:
            usage_collect::Sdk::SetProfile(properties);
            break;
        case ProfileOperation::kIncrement:
        case ProfileOperation::kAppend:
            KT_THROW(kUserTrackerSource, kFunction,
                     "user property [" + key + "] is date time value, it can only be set!");
    }
    ++*pending_;
}

void NativeUserTracker::PushVisitDates(std::int64_t nowMs) {
    ProfileUserPropertyDateTime("$first_visit_time", nowMs);
    ProfileUserPropertyDateTime("kt_first_visit_date", nowMs);
    ProfileUserPropertyDateTime("kt_last_visit_date", nowMs);
}

void NativeUserTracker::PushLoginProfile(const KtUserInfo& user, std::int64_t nowMs) {
    ProfileUserPropertyString("kt_user_id", user.userId);
    ProfileUserPropertyString("kt_user_name", user.userName);
    ProfileUserPropertyNumber("kt_user_type", user.userType);
    const std::pair<const char*, const std::string*> optionalTexts[] = {
        {"kt_user_nickname", &user.nickname},
        {"kt_user_portrait", &user.portrait},
        {"kt_user_mobilephone", &user.mobilePhone},
        {"kt_user_email", &user.email},
        {"kt_user_weixin", &user.weixin},
        {"kt_user_qq", &user.qq},
        {"kt_user_did", &user.did}};
    for (const auto& [key, text] : optionalTexts) {
        if (!text->empty()) {
            ProfileUserPropertyString(key, *text);
        }
    }
    if (user.created > 0) {
        ProfileUserPropertyDateTime("kt_user_created", user.created * 1000);
    }
    if (user.lastLogin > 0) {
        ProfileUserPropertyDateTime("kt_user_last_login", user.lastLogin * 1000);
    }
    if (!user.lastIp.empty()) {
        ProfileUserPropertyString("kt_user_last_ip", user.lastIp);
    }
    ProfileUserPropertyNumber("kt_user_vip_level", user.vipLevel);
    if (user.vipEndDate > 0) {
        ProfileUserPropertyDateTime("kt_user_vip_enddate", user.vipEndDate * 1000);
    }
    PushVisitDates(nowMs);
}

}  // namespace kelto::usage
