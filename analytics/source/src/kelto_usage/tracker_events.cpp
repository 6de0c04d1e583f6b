// The fifteen event kinds: validation in table order, the record's properties, the profile side
// effects and the send policy.

#include "kelto_usage/kt_exception.h"
#include "kelto_usage/text_conversion.h"
#include "kelto_usage/usage_tracker_impl.h"
#include "usage_collect/sdk.h"

namespace kelto::usage {
namespace {

using usage_collect::PropertiesNode;

constexpr char kInstallSource[] = "android_id=123##imei=1234##mac=123";

void PutText(PropertiesNode* p, const char* key, const std::string& text) {
    p->SetString(key, ToUtf8Text(text));
}

void PutOptionalText(PropertiesNode* p, const char* key, const std::string& text) {
    if (!text.empty()) {
        PutText(p, key, text);
    }
}

void PutOptionalInt(PropertiesNode* p, const char* key, const std::optional<int>& value) {
    if (value) {
        p->SetInteger(key, *value);
    }
}

void PutOptionalNumber(PropertiesNode* p, const char* key, const std::optional<float>& value) {
    if (value) {
        p->SetNumber(key, *value);
    }
}

void PutPositiveNumber(PropertiesNode* p, const char* key, float value) {
    if (value > 0) {
        p->SetNumber(key, value);
    }
}

// Results are sent for Success, Cancelled and Fail only.
void PutDefiniteResult(PropertiesNode* p, const char* key, const std::optional<KtResult>& result) {
    if (result && *result >= KT_RESULT_SUCCESS && *result <= KT_RESULT_FAIL) {
        p->SetString(key, toString(*result));
    }
}

void FirstTime(PropertiesNode* p) {
    p->SetBool("$is_first_time", true);
}

}  // namespace

void UsageTrackerImpl::trackActivity(const KtContextProperties& context) {
    PropertiesNode p;
    PutOptionalText(&p, "kt_app_store", config_.appStore);
    if (!config_.appName.empty()) {
        p.SetString("kt_app_id", config_.appName);
        p.SetString("$app_id", config_.appName);
    }
    PutOptionalText(&p, "$app_version", config_.appVersion);
    p.SetString("$ios_install_source", kInstallSource);
    if (os_.name.empty()) {
        os_ = DescribeOs();
    }
    p.SetString("$user_agent", UserAgentText(os_));
    FirstTime(&p);
    p.SetString("$os", os_.name);
    p.SetString("$os_version", os_.version);
    Dispatch(KT_EVENT_ACTIVITY, std::move(p), &context, true);
    ActivityProfileUpdate();
    ApplyPolicy(SendPolicy::kImmediate);
}

void UsageTrackerImpl::ActivityProfileUpdate() {
    userTracker_.PushVisitDates(NowMilliseconds());
    userTracker_.ProfileUserPropertyString("kt_os", os_.name);
    userTracker_.ProfileUserPropertyString("kt_os_version", os_.version);
    userTracker_.ProfileUserPropertyString("kt_app_store", config_.appStore);
    userTracker_.ProfileUserPropertyString("kt_app_platform", "Windows");
    userTracker_.ProfileUserPropertyString("kt_last_app_id", config_.appName);
    userTracker_.ProfileUserPropertyString("kt_last_app_version", config_.appVersion);
    userTracker_.ProfileUserPropertyString("$ios_install_source", kInstallSource);
}

void UsageTrackerImpl::trackLaunch(const KtContextProperties& context) {
    Dispatch(KT_EVENT_LAUNCH, PropertiesNode(), &context);
    userTracker_.PushVisitDates(NowMilliseconds());
    ApplyPolicy(SendPolicy::kImmediate);
}

void UsageTrackerImpl::trackLogin(const KtUserInfo& user, bool success, const std::string& reason,
                                  const KtContextProperties& context) {
    PropertiesNode p;
    if (!user.userId.empty()) {
        PutText(&p, "kt_user_id", user.userId);
        PutText(&p, "kt_login_id", user.userId);
    }
    p.SetString("kt_type", userType(user.userType));
    p.SetString("kt_result", success ? "Success" : "Fail");
    PutOptionalText(&p, "kt_reason", reason);
    if (user.userId.empty()) {
        Dispatch(KT_EVENT_LOGIN, std::move(p), &context);
    } else {
        FirstTime(&p);
        Dispatch(KT_EVENT_LOGIN, std::move(p), &context);
        LoginSwitch(user);
    }
    ApplyPolicy(SendPolicy::kImmediate);
}

void UsageTrackerImpl::LoginSwitch(const KtUserInfo& user) {
    std::string userId = ToUtf8Text(user.userId);
    {
        std::lock_guard<std::mutex> lock(userLock_);
        userInfo_.vipLevel = user.vipLevel;
        if (!userInfo_.loggedIn || userInfo_.userId.empty()) {
            usage_collect::Sdk::SignUpLogin(userId);
            userInfo_.loggedIn = true;
            userInfo_.userId = userId;
            userInfo_.distinctId = userId;
            PropertiesNode super;
            super.SetString("kt_user_id", userId);
            usage_collect::Sdk::AddSuperProperties(super);
        }
        SaveUserInfo(userInfo_);
    }
    userTracker_.PushLoginProfile(user, NowMilliseconds());
}

void UsageTrackerImpl::trackClick(const KtEventClick& event, const KtContextProperties& context) {
    if (event.name.empty()) {
        KT_THROW(kTrackerImplSource, "trackClick", "ktEventClick.name is empty");
    }
    PropertiesNode p;
    PutOptionalText(&p, "kt_aname", event.aname);
    PutText(&p, "kt_name", event.name);
    p.SetString("kt_click_type", toString(event.clickType));
    PutOptionalText(&p, "kt_title", event.title);
    PutOptionalText(&p, "kt_module", event.module);
    PutOptionalText(&p, "kt_position", event.position);
    PutOptionalInt(&p, "kt_tab_index", event.tabIndex);
    PutOptionalText(&p, "kt_tab_name", event.tabName);
    PutOptionalInt(&p, "kt_banner_index", event.bannerIndex);
    PutOptionalText(&p, "kt_banner_name", event.bannerName);
    FirstTime(&p);
    Dispatch(KT_EVENT_CLICK, std::move(p), &context);
    ApplyPolicy(SendPolicy::kDeferredTwice);
}

void UsageTrackerImpl::trackView(const KtEventView& event, const KtContextProperties& context) {
    if (event.name.empty()) {
        KT_THROW(kTrackerImplSource, "trackView", "ktEventView.name is empty");
    }
    PropertiesNode p;
    PutOptionalText(&p, "kt_aname", event.aname);
    PutText(&p, "kt_name", event.name);
    PutOptionalText(&p, "kt_title", event.title);
    PutOptionalText(&p, "kt_position", event.position);
    FirstTime(&p);
    Dispatch(KT_EVENT_VIEW, std::move(p), &context);
    ApplyPolicy(SendPolicy::kDeferredTwice);
}

void UsageTrackerImpl::trackCashier(const KtEventCashier& event, const KtContextProperties& context) {
    if (event.cashierName.empty()) {
        KT_THROW(kTrackerImplSource, "trackCashier", "ktEventCashier.kt_cashier_name is empty");
    }
    PropertiesNode p;
    PutText(&p, "kt_cashier_name", event.cashierName);
    PutOptionalText(&p, "kt_cashier_title", event.cashierTitle);
    PutOptionalText(&p, "kt_subitem", event.subitem);
    FirstTime(&p);
    Dispatch(KT_EVENT_CASHIER, std::move(p), &context);
    ApplyPolicy(SendPolicy::kDeferredTwice);
}

void UsageTrackerImpl::trackShare(const KtEventShare& event, const KtContextProperties& context) {
    PropertiesNode p;
    PutOptionalText(&p, "kt_aname", event.aname);
    PutOptionalText(&p, "kt_channel", event.channel);
    PutOptionalText(&p, "kt_position", event.position);
    PutOptionalText(&p, "kt_shared_name", event.sharedName);
    if (event.result) {
        p.SetString("kt_result", toString(*event.result));
    }
    FirstTime(&p);
    Dispatch(KT_EVENT_SHARE, std::move(p), &context);
    ApplyPolicy(SendPolicy::kDeferredTwice);
}

void UsageTrackerImpl::trackTask(const KtEventTask& event, const KtContextProperties& context) {
    if (event.name.empty()) {
        KT_THROW(kTrackerImplSource, "trackTask", "ktEventTask.name is empty");
    }
    PropertiesNode p;
    PutOptionalText(&p, "kt_aname", event.aname);
    PutText(&p, "kt_task_name", event.name);
    PutOptionalText(&p, "kt_reason", event.reason);
    PutOptionalNumber(&p, "kt_task_elapsed", event.elapsed);
    PutDefiniteResult(&p, "kt_task_result", event.result);
    FirstTime(&p);
    Dispatch(KT_EVENT_TASK, std::move(p), &context);
    ApplyPolicy(SendPolicy::kDeferred);
}

void UsageTrackerImpl::trackFile(const KtEventFile& event, const KtContextProperties& context) {
    if (event.aname.empty()) {
        KT_THROW(kTrackerImplSource, "trackFile", "ktEventFile.aname is empty");
    }
    PropertiesNode p;
    PutText(&p, "kt_aname", event.aname);
    PutOptionalText(&p, "kt_name", event.name);
    if (event.io) {
        p.SetString("kt_io", toString(*event.io));
    }
    PutOptionalText(&p, "kt_ext", event.ext);
    if (event.size) {
        PutPositiveNumber(&p, "kt_size", *event.size);
    }
    PutOptionalInt(&p, "kt_duration", event.duration);
    PutOptionalNumber(&p, "kt_fps", event.fps);
    PutOptionalNumber(&p, "kt_bps", event.bps);
    PutOptionalInt(&p, "kt_width", event.width);
    PutOptionalInt(&p, "kt_height", event.height);
    PutOptionalInt(&p, "kt_depth", event.depth);
    PutDefiniteResult(&p, "kt_result", event.result);
    FirstTime(&p);
    Dispatch(KT_EVENT_FILE, std::move(p), &context);
    ApplyPolicy(SendPolicy::kDeferredTwice);
}

void UsageTrackerImpl::trackOrder(const KtEventOrder& event, const KtContextProperties& context) {
    const char* kFunction = "trackOrder";
    if (event.suitId.empty()) {
        KT_THROW(kTrackerImplSource, kFunction, "ktEventOrder.ktSuitId is empty");
    }
    if (!event.currency) {
        KT_THROW(kTrackerImplSource, kFunction, "ktEventOrder.ktCurrency is nullptr");
    }
    if (!(event.originalAmount > 0)) {
        KT_THROW(kTrackerImplSource, kFunction, "ktEventOrder.originalAmount is less than zero");
    }
    if (!(event.paidAmount > 0)) {
        KT_THROW(kTrackerImplSource, kFunction, "ktEventOrder.paidAmount is less than zero");
    }
    PropertiesNode p;
    PutText(&p, "kt_suit_id", event.suitId);
    p.SetString("kt_currency", toString(*event.currency));
    p.SetNumber("kt_original_amount", event.originalAmount);
    p.SetNumber("kt_paid_amount", event.paidAmount);
    PutOptionalText(&p, "kt_order_id", event.orderId);
    PutOptionalText(&p, "kt_subitem", event.subitem);
    PutOptionalText(&p, "kt_sku", event.sku);
    PutOptionalInt(&p, "kt_campaign_code", event.campaignCode);
    PutOptionalText(&p, "kt_voucher_id", event.voucherId);
    PutPositiveNumber(&p, "kt_cur_original_amount", event.curOriginalAmount);
    PutPositiveNumber(&p, "kt_cur_paid_amount", event.curPaidAmount);
    PutOptionalText(&p, "kt_cashier_name", event.cashierName);
    PutOptionalText(&p, "kt_cashier_title", event.cashierTitle);
    FirstTime(&p);
    Dispatch(KT_EVENT_ORDER, std::move(p), &context);
    ApplyPolicy(SendPolicy::kDeferredTwice);
}

void UsageTrackerImpl::trackPayment(const KtEventPayment& event, const KtContextProperties& context) {
    const char* kFunction = "trackPayment";
    if (event.orderId.empty()) {
        KT_THROW(kTrackerImplSource, kFunction, "ktEventPayment.ktOrderId is empty");
    }
    if (event.paidAmount < 0) {
        KT_THROW(kTrackerImplSource, kFunction,
                 "paidAmount = " + std::to_string(event.paidAmount) + " is invalid");
    }
    if (event.originalAmount < 0) {
        KT_THROW(kTrackerImplSource, kFunction,
                 "originalAmount = " + std::to_string(event.originalAmount) + " is invalid");
    }
    if (!event.result || (*event.result != KT_RESULT_SUCCESS && *event.result != KT_RESULT_FAIL)) {
        KT_THROW(kTrackerImplSource, kFunction, "ktEventPayment.result is invalid");
    }
    // A payment without platform or currency cannot be described; it is refused like the others.
    if (!event.paidPlatform) {
        KT_THROW(kTrackerImplSource, kFunction, "ktEventPayment.ktPaidPlatform is nullptr");
    }
    if (!event.currency) {
        KT_THROW(kTrackerImplSource, kFunction, "ktEventPayment.ktCurrency is nullptr");
    }
    PropertiesNode p;
    PutText(&p, "kt_order_id", event.orderId);
    p.SetString("kt_paid_platform", toString(*event.paidPlatform));
    p.SetString("kt_currency", toString(*event.currency));
    p.SetNumber("kt_paid_amount", event.paidAmount);
    p.SetNumber("kt_original_amount", event.originalAmount);
    p.SetString("kt_result", toString(*event.result));
    PutOptionalText(&p, "kt_suit_id", event.suitId);
    if (event.iapType) {
        p.SetString("kt_iap_type", toString(*event.iapType));
    }
    PutOptionalText(&p, "kt_subitem", event.subitem);
    PutOptionalText(&p, "kt_sku", event.sku);
    PutOptionalText(&p, "kt_voucher_id", event.voucherId);
    PutOptionalText(&p, "kt_used_voucher_id", event.usedVoucherId);
    PutOptionalInt(&p, "kt_campaign_code", event.campaignCode);
    PutPositiveNumber(&p, "kt_cur_original_amount", event.curOriginalAmount);
    PutPositiveNumber(&p, "kt_cur_paid_amount", event.curPaidAmount);
    PutOptionalText(&p, "kt_cashier_name", event.cashierName);
    PutOptionalText(&p, "kt_cashier_title", event.cashierTitle);
    FirstTime(&p);
    Dispatch(KT_EVENT_PAYMENT, std::move(p), &context);
    PaidProfileUpdate(event.paidAmount, *event.result == KT_RESULT_SUCCESS);
    ApplyPolicy(SendPolicy::kImmediate);
}

void UsageTrackerImpl::PaidProfileUpdate(float paidAmount, bool success) {
    userTracker_.ProfileUserPropertyNumber("kt_paid_count", 1);
    userTracker_.ProfileUserPropertyNumber("kt_consumption", static_cast<double>(paidAmount));
    std::int64_t now = NowMilliseconds();
    userTracker_.ProfileUserPropertyDateTime("kt_first_paid_date", now);
    userTracker_.ProfileUserPropertyDateTime("kt_last_paid_date", now);
    if (success) {
        std::lock_guard<std::mutex> lock(userLock_);
        userInfo_.vipLevel = 1;
        SaveUserInfo(userInfo_);
    }
}

void UsageTrackerImpl::trackUninstall(const std::string& reason, const KtContextProperties& context) {
    PropertiesNode p;
    PutOptionalText(&p, "kt_uninstall_reason", reason);
    Dispatch(KT_EVENT_UNINSTALL, std::move(p), &context);
    ApplyPolicy(SendPolicy::kImmediate);
}

void UsageTrackerImpl::trackCrash(const std::string& reason) {
    PropertiesNode p;
    PutOptionalText(&p, "app_crashed_reason", reason);
    Dispatch(KT_EVENT_CRASHED, std::move(p), nullptr);
    ApplyPolicy(SendPolicy::kImmediate);
}

void UsageTrackerImpl::trackUpdate(const KtEventUpdate& event, const KtContextProperties& context) {
    const char* kFunction = "trackUpdate";
    std::string op = toString(event.op);
    std::string result = event.result ? toString(*event.result) : std::string();
    PropertiesNode p;
    p.SetString("kt_update_op", op);
    switch (event.op) {
        case KT_UPDATE_CHECK:
            p.SetString("kt_update_result", result);
            break;
        case KT_UPDATE_DOWNLOAD_END:
        case KT_UPGRATE_END:
            if (!event.result) {
                KT_THROW(kTrackerImplSource, kFunction, "Unknown updateResultInfo info");
            }
            if (!event.elapsed) {
                KT_THROW(kTrackerImplSource, kFunction, "invalid elapsed info");
            }
            p.SetString("kt_update_result", result);
            if (event.op == KT_UPGRATE_END) {
                FirstTime(&p);
            }
            p.SetNumber("kt_elapsed", *event.elapsed);
            break;
        default:
            break;
    }
    Dispatch(KT_EVENT_UPDATE, std::move(p), &context);
    ApplyPolicy(SendPolicy::kImmediate);
}

void UsageTrackerImpl::trackAppOpenNotification(const KtAppOpenNotification* notification,
                                                const KtContextProperties& context) {
    const char* kFunction = "trackAppOpenNotification";
    if (notification == nullptr) {
        KT_THROW(kTrackerImplSource, kFunction, "&appOpenNotification is nullptr");
    }
    if (notification->planId.empty()) {
        KT_THROW(kTrackerImplSource, kFunction, "planID is emptry");
    }
    if (notification->planType.empty()) {
        KT_THROW(kTrackerImplSource, kFunction, "planType is emptry");
    }
    if (notification->msgTitle.empty()) {
        KT_THROW(kTrackerImplSource, kFunction, "msgTitle is emptry");
    }
    PropertiesNode p;
    PutText(&p, "$sf_msg_title", notification->msgTitle);
    p.SetString("$sf_plan_id", notification->planId);
    p.SetString("$sf_plan_type", notification->planType);
    PutOptionalText(&p, "$sf_msg_content", notification->msgContent);
    const std::pair<const char*, const std::string*> plain[] = {
        {"$sf_link_url", &notification->linkUrl},
        {"$sf_audience_id", &notification->audienceId},
        {"$sf_plan_strategy_id", &notification->planStrategyId},
        {"$sf_strategy_unit_id", &notification->strategyUnitId}};
    for (const auto& [key, text] : plain) {
        if (!text->empty()) {
            p.SetString(key, *text);
        }
    }
    FirstTime(&p);
    Dispatch(KT_EVENT_APP_OPEN_NOTIFICATION, std::move(p), &context);
    ApplyPolicy(SendPolicy::kDeferred);
}

}  // namespace kelto::usage
