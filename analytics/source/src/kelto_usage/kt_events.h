#pragma once
// The tracker's event kinds, enumerations and typed records. Text fields hold UTF-8 or text in the
// system code page; the tracker converts them before sending.

#include <cstdint>
#include <optional>
#include <string>

namespace kelto::usage {

enum KtEventType : int {
    KT_EVENT_ACTIVITY = 0,
    KT_EVENT_LAUNCH = 1,
    KT_EVENT_LOGIN = 2,
    KT_EVENT_CLICK = 3,
    KT_EVENT_VIEW = 4,
    KT_EVENT_CASHIER = 5,
    KT_EVENT_SHARE = 6,
    KT_EVENT_TASK = 7,
    KT_EVENT_FILE = 8,
    KT_EVENT_ORDER = 9,
    KT_EVENT_PAYMENT = 10,
    KT_EVENT_UNINSTALL = 11,
    KT_EVENT_UPDATE = 12,
    KT_EVENT_CRASHED = 13,
    KT_EVENT_APP_OPEN_NOTIFICATION = 14,
};
inline constexpr int kEventKindCount = 15;

enum KtEdition : int { KT_EDITION_CHINA = 0, KT_EDITION_OVERSEAS = 1 };
enum KtUserType : int {
    KT_USER_UNKNOWN = 0,
    KT_USER_MOBILEPHONE,
    KT_USER_EMAIL,
    KT_USER_WEIXIN,
    KT_USER_QQ,
    KT_USER_DEVICEID,
    KT_USER_BAIDU,
    KT_USER_HUAWEI,
    KT_USER_APPLE,
    KT_USER_KELTOUSERID,
    KT_USER_GOOGLE,
    KT_USER_FACEBOOK,
};
enum KtResult : int {
    KT_RESULT_SUCCESS = 0,
    KT_RESULT_CANCELLED = 1,
    KT_RESULT_FAIL = 2,
    KT_RESULT_UNKNOWN = 3
};
enum KtClickType : int {
    KT_CLICK_BUTTON = 0,
    KT_CLICK_BANNER,
    KT_CLICK_TUTORIAL,
    KT_CLICK_FILE,
    KT_CLICK_OTHERS
};
enum KtIoType : int { KT_IO_INPUT = 0, KT_IO_OUTPUT = 1 };
enum KtCurrency : int {
    KT_CNY = 0,
    KT_USD,
    KT_EUR,
    KT_HKD,
    KT_TWD,
    KT_MOP,
    KT_SGD,
    KT_JPY,
    KT_KRW,
    KT_INR,
    KT_GBP,
};
enum KtPaidPlatform : int {
    KT_ALIPAY = 0,
    KT_WECHATPAY,
    KT_PAYPAL,
    KT_TENPAY,
    KT_CIECC,
    KT_GOOGLEPAY,
    KT_HUAWEIPAY,
    KT_APPLEIAP,
    KT_PADDLE,
    KT_CHINAUNIONPAY,
};
enum KtIapType : int {
    KT_IAP_CONSUMABLE = 0,
    KT_IAP_NON_CONSUMABLE,
    KT_IAP_AUTO_RENEWABLE,
    KT_IAP_NON_RENEWABLE
};
enum KtUpdateOp : int {
    KT_UPDATE_CHECK = 0,
    KT_UPDATE_DOWNLOAD_START,
    KT_UPDATE_DOWNLOAD_END,
    KT_UPGRATE_START,
    KT_UPGRATE_END,
};
enum KtUpdateResult : int {
    KT_UPDATE_SUCCESS = 0,
    KT_UPDATE_CANCELLED,
    KT_UPDATE_TIMEOUT,
    KT_UPDATE_FAIL,
    KT_UPDATE_LATEST,
    KT_UPDATE_UPDATEABLE,
};

struct KtEventClick {
    std::string aname;
    std::string name;
    KtClickType clickType = KT_CLICK_BUTTON;
    std::string title;
    std::string module;
    std::string position;
    std::optional<int> tabIndex;
    std::string tabName;
    std::optional<int> bannerIndex;
    std::string bannerName;
};

struct KtEventView {
    std::string aname;
    std::string name;
    std::string title;
    std::string position;
};

struct KtEventCashier {
    std::string cashierName;
    std::string cashierTitle;
    std::string subitem;
};

struct KtEventShare {
    std::string aname;
    std::string channel;
    std::string position;
    std::string sharedName;
    std::optional<KtResult> result;
};

struct KtEventTask {
    std::string aname;
    std::string name;
    std::string reason;
    std::optional<float> elapsed;
    std::optional<KtResult> result;
};

struct KtEventFile {
    std::string aname;
    std::string name;
    std::optional<KtIoType> io;
    std::string ext;
    std::optional<float> size;
    std::optional<int> duration;
    std::optional<float> fps;
    std::optional<float> bps;
    std::optional<int> width;
    std::optional<int> height;
    std::optional<int> depth;
    std::optional<KtResult> result;
};

struct KtEventOrder {
    std::string suitId;
    std::optional<KtCurrency> currency;
    float originalAmount = 0;
    float paidAmount = 0;
    std::string orderId;
    std::string subitem;
    std::string sku;
    std::optional<int> campaignCode;
    std::string voucherId;
    float curOriginalAmount = 0;
    float curPaidAmount = 0;
    std::string cashierName;
    std::string cashierTitle;
};

struct KtEventPayment {
    std::string orderId;
    std::optional<KtPaidPlatform> paidPlatform;
    std::optional<KtCurrency> currency;
    float paidAmount = 0;
    float originalAmount = 0;
    std::optional<KtResult> result;
    std::string suitId;
    std::optional<KtIapType> iapType;
    std::string subitem;
    std::string sku;
    std::string voucherId;
    std::string usedVoucherId;
    std::optional<int> campaignCode;
    float curOriginalAmount = 0;
    float curPaidAmount = 0;
    std::string cashierName;
    std::string cashierTitle;
};

struct KtEventUpdate {
    KtUpdateOp op = KT_UPDATE_CHECK;
    std::optional<KtUpdateResult> result;
    std::optional<float> elapsed;
};

struct KtAppOpenNotification {
    std::string planId;
    std::string planType;
    std::string msgTitle;
    std::string msgContent;
    std::string linkUrl;
    std::string audienceId;
    std::string planStrategyId;
    std::string strategyUnitId;
};

// The application's view of the user, given to trackLogin.
struct KtUserInfo {
    std::string userId;
    std::string userName;
    int userType = KT_USER_UNKNOWN;
    std::string nickname;
    std::string portrait;
    std::string mobilePhone;
    std::string email;
    std::string weixin;
    std::string qq;
    std::string did;
    std::int64_t created = 0;    // seconds since 1970
    std::int64_t lastLogin = 0;  // seconds since 1970
    std::string lastIp;
    int vipLevel = 0;
    std::int64_t vipEndDate = 0;  // seconds since 1970
};

// Texts of the enumerations; a value outside its table raises KtException.
std::string toString(KtEventType kind);  // "Unknown Event [n]!" for other numbers, never raises
std::string toString(KtEdition edition);
std::string userType(int type);
std::string toString(KtResult result);
std::string toString(KtClickType type);
std::string toString(KtIoType type);
std::string toString(KtCurrency currency);
std::string toString(KtPaidPlatform platform);
std::string toString(KtIapType type);
std::string toString(KtUpdateOp op);
std::string toString(KtUpdateResult result);

}  // namespace kelto::usage
