#include <array>

#include "kelto_usage/kt_events.h"
#include "kelto_usage/kt_exception.h"

namespace kelto::usage {
namespace {

template <std::size_t N>
std::string TextOf(const std::array<const char*, N>& texts, int value, const char* what,
                   const char* function) {
    if (value < 0 || static_cast<std::size_t>(value) >= N) {
        KT_THROW(kTrackerImplSource, function, std::string(what) + std::to_string(value) + "]!");
    }
    return texts[static_cast<std::size_t>(value)];
}

}  // namespace

std::string toString(KtEventType kind) {
    static constexpr std::array<const char*, kEventKindCount> kNames = {
        "Activity", "PaLaunchPal", "Login",  "Click",   "View",
        "Cashier",  "Share",       "Task",   "File",    "Order",
        "Payment",  "Uninstall",   "Update", "Crashed", "AppOpenNotification"};
    int value = static_cast<int>(kind);
    if (value < 0 || value >= kEventKindCount) {
        return "Unknown Event [" + std::to_string(value) + "]!";
    }
    return kNames[static_cast<std::size_t>(value)];
}

std::string toString(KtEdition edition) {
    static constexpr std::array<const char*, 2> kTexts = {"china", "overseas"};
    return TextOf(kTexts, edition, "Unknown edition [", "toString");
}

std::string userType(int type) {
    static constexpr std::array<const char*, 12> kTexts = {"unknown", "mobilephone", "email",  "weixin",
                                                           "qq",      "deviceid",    "baidu",  "huawei",
                                                           "apple",   "keltouserid", "google", "facebook"};
    return TextOf(kTexts, type, "Unknown user type [", "userType");
}

std::string toString(KtResult result) {
    static constexpr std::array<const char*, 4> kTexts = {"Success", "Cancelled", "Fail", "Unknown"};
    return TextOf(kTexts, result, "Unknown task result [", "toString");
}

std::string toString(KtClickType type) {
    static constexpr std::array<const char*, 5> kTexts = {"Button", "Banner", "Tutorial", "File", "Others"};
    return TextOf(kTexts, type, "Unknown ClickType [", "toString");
}

std::string toString(KtIoType type) {
    if (type == KT_IO_INPUT) {
        return "Input";
    }
    if (type == KT_IO_OUTPUT) {
        return "Output";
    }
    KT_THROW(kTrackerImplSource, "toString", "the io type is invalid");
}

std::string toString(KtCurrency currency) {
    static constexpr std::array<const char*, 11> kTexts = {"CNY", "USD", "EUR", "HKD", "TWD", "MOP",
                                                           "SGD", "JPY", "KRW", "INR", "GBP"};
    return TextOf(kTexts, currency, "Unknown currency [", "toString");
}

std::string toString(KtPaidPlatform platform) {
    static constexpr std::array<const char*, 10> kTexts = {"Alipay", "WeChatPay",    "PayPal",    "Tenpay",
                                                           "CIECC",  "GooglePay",    "HuaweiPay", "AppleIAP",
                                                           "Paddle", "ChinaUnionPay"};
    return TextOf(kTexts, platform, "Unknown paid platform [", "toString");
}

std::string toString(KtIapType type) {
    static constexpr std::array<const char*, 4> kTexts = {"Consumable", "NonConsumable", "AutoRenewable",
                                                          "NonRenewable"};
    return TextOf(kTexts, type, "Unknown ktIapType [", "toString");
}

std::string toString(KtUpdateOp op) {
    static constexpr std::array<const char*, 5> kTexts = {"UpdateCheck", "DownloadStart", "DownloadEnd",
                                                          "UpgrateStart", "UpgrateEnd"};
    return TextOf(kTexts, op, "Unknown KtUpdateOp [", "toString");
}

std::string toString(KtUpdateResult result) {
    static constexpr std::array<const char*, 6> kTexts = {"Success", "Cancelled", "Timeout",
                                                          "Fail",    "Latest",    "Updateable"};
    return TextOf(kTexts, result, "Unknown KtUpdateResult [", "toString");
}

}  // namespace kelto::usage
