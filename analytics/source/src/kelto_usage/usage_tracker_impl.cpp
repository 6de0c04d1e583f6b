// Start-up, shutdown and the shared sending steps of the tracker.

#include "kelto_usage/usage_tracker_impl.h"

#include <chrono>
#include <thread>

#include "kelto_usage/collector_endpoint.h"
#include "kelto_usage/kt_exception.h"
#include "kelto_usage/text_conversion.h"
#include "platform/folders.h"
#include "platform/ini_file.h"
#include "platform/paths.h"
#include "platform/system_info.h"
#include "usage_collect/json_writer.h"
#include "usage_collect/sdk.h"

namespace kelto::usage {
namespace {

constexpr std::size_t kProfileValueBuffer = 128;

// Creates every missing level of `folder`.
bool CreateFolders(const std::string& folder) {
    if (folder.empty() || platform::IsDirectory(folder)) {
        return !folder.empty();
    }
    std::string parent = platform::DirectoryOf(folder);
    if (!parent.empty() && parent != folder && !platform::IsDirectory(parent)) {
        CreateFolders(parent);
    }
    return platform::MakeDirectory(folder) || platform::IsDirectory(folder);
}

}  // namespace

UsageTrackerImpl::UsageTrackerImpl(const KtTrackerConfig& config) : config_(config) {
    for (std::string* text : {&config_.appName, &config_.appVersion, &config_.appStore, &config_.hostAppId,
                              &config_.hostAppVersion, &config_.logFilePath, &config_.serverUrl}) {
        *text = ToUtf8Text(*text);
    }
}

UsageTrackerImpl::~UsageTrackerImpl() {
    {
        std::lock_guard<std::mutex> lock(userLock_);
        if (!userInfo_.iniPath.empty()) {
            SaveUserInfo(userInfo_);
        }
    }
    if (pending_.load() > 0) {
        FlushWithRetries();
    }
    pending_ = 0;
    if (coreStarted_) {
        usage_collect::Sdk::Shutdown();
    }
}

void UsageTrackerImpl::init() {
    eventLogging_ = false;
    if (config_.appName.empty()) {
        KT_THROW(kTrackerImplSource, "init", "appName is empty");
    }
    if (config_.appVersion.empty()) {
        KT_THROW(kTrackerImplSource, "init", "appVersion is empty");
    }
    if (config_.appStore.empty()) {
        KT_THROW(kTrackerImplSource, "init", "appStore is empty");
    }
    LocateFiles();
    if (config_.serverUrl.empty()) {
        config_.serverUrl = kDefaultCollectorUrl;
    }
    StartIdentity();
    std::string logPath = config_.logFilePath.empty()
                              ? platform::JoinPath(userInfo_.dataFolder, config_.appName + "_KTSLog.txt")
                              : config_.logFilePath;
    userInfo_.logFilePath = logPath;
    logger_ = std::make_unique<NativeTrackLogger>(logPath);

    // The core reads and writes one file of unsent records inside the data folder.
    stagingPath_ = platform::JoinPath(userInfo_.dataFolder, config_.appName + "_KTSRecords.txt");
    bool loggedIn = userInfo_.loggedIn;
    // The core is process-wide: a tracker shuts down only the core it started itself.
    if (usage_collect::Sdk::Instance() != nullptr) {
        KT_THROW(kTrackerImplSource, "init", "usage_collect::Sdk::Init is failed");
    }
    if (!usage_collect::Sdk::Init(stagingPath_, config_.serverUrl,
                                  loggedIn ? userInfo_.userId : userInfo_.distinctId, loggedIn)) {
        KT_THROW(kTrackerImplSource, "init", "usage_collect::Sdk::Init is failed");
    }
    coreStarted_ = true;
    AddStartupSuperProperties();

    platform::IniFile ini(userInfo_.iniPath);
    ini.SetString("UninstallInfo", "AppStore", config_.appStore);
    ini.SetString("UninstallInfo", "AppName", config_.appName);
    ini.SetString("UninstallInfo", "AppVersion", config_.appVersion);
}

// The analytics INI named by "Set.ini" beside the program, else <base>/KTLocal/<app>/<app>_KTSConfigure.ini.
void UsageTrackerImpl::LocateFiles() {
    std::string settingsFolder = config_.settingsFolder.empty()
                                     ? platform::DirectoryOf(platform::ExecutablePath())
                                     : config_.settingsFolder;
    std::string named = platform::IniFile(platform::JoinPath(settingsFolder, "Set.ini"))
                            .GetString("Install", "KTUsageAnalyticsIni", "")
                            .substr(0, kProfileValueBuffer - 1);
    for (char& c : named) {
        if (c == '\\') {
            c = '/';
        }
    }
    std::string iniPath, dataFolder;
    if (!named.empty() && named.find('/') != std::string::npos) {
        iniPath = named;
        dataFolder = named.substr(0, named.rfind('/'));
        if (dataFolder.empty()) {
            dataFolder = "/";
        }
    } else {
        std::string base = config_.baseFolder.empty()
                               ? platform::GetSpecialFolder(platform::SpecialFolder::kLocalApplicationData)
                               : config_.baseFolder;
        if (base.empty()) {
            KT_THROW(kTrackerImplSource, "init", "the user's data folder is unknown");
        }
        dataFolder = platform::JoinPath(platform::JoinPath(base, "KTLocal"), config_.appName);
        iniPath = platform::JoinPath(dataFolder, config_.appName + "_KTSConfigure.ini");
    }
    CreateFolders(dataFolder);
    std::lock_guard<std::mutex> lock(userLock_);
    userInfo_.iniPath = iniPath;
    userInfo_.dataFolder = dataFolder;
}

void UsageTrackerImpl::StartIdentity() {
    std::lock_guard<std::mutex> lock(userLock_);
    ReadUserInfo(&userInfo_);
    if (userInfo_.url != config_.serverUrl || userInfo_.distinctId.empty()) {
        userInfo_.userId.clear();
        userInfo_.loggedIn = false;
        userInfo_.distinctId = usage_collect::NewIdentifier();
        userInfo_.url = config_.serverUrl;
        SaveUserInfo(userInfo_);
    }
    if (userInfo_.userId.empty()) {
        userInfo_.loggedIn = false;
    }
}

LocaleDescription UsageTrackerImpl::CurrentLocale() const {
    return DescribeLocale(locale_, platform::UserLocaleName());
}

void UsageTrackerImpl::AddStartupSuperProperties() {
    os_ = DescribeOs();
    usage_collect::PropertiesNode super;
    super.SetString("kt_app_id", config_.appName);
    super.SetString("$app_version", config_.appVersion);
    super.SetString("$app_id", config_.appName);
    super.SetString("kt_app_store", config_.appStore);
    super.SetString("kt_edition", toString(config_.edition));
    if (!config_.hostAppId.empty()) {
        super.SetString("kt_dlapp_id", config_.hostAppId);
    }
    if (!config_.hostAppVersion.empty()) {
        super.SetString("kt_dlapp_version", config_.hostAppVersion);
    }
    super.SetString("kt_app_platform", "Windows");
    super.SetString("kt_track_type", "Client");
    super.SetString("kt_sdk_version", "3.3.4");
    super.SetString("kt_sdk", "WindowsCPP");
    super.SetString("$os", os_.name);
    super.SetString("$os_version", os_.version);
    std::lock_guard<std::mutex> lock(userLock_);
    LocaleDescription locale = CurrentLocale();
    super.SetString("kt_l10n_locale", locale.locale);
    super.SetString("kt_l10n_language", locale.language);
    super.SetString("kt_l10n_country", locale.country);
    // No display is known to the tracker here; 0 is what the system reports when it cannot tell.
    super.SetInteger("$screen_height", 0);
    super.SetInteger("$screen_width", 0);
    if (!userInfo_.userId.empty()) {
        super.SetString("kt_user_id", userInfo_.userId);
    }
    usage_collect::Sdk::AddSuperProperties(super);
}

void UsageTrackerImpl::setLocale(const std::string& locale) {
    usage_collect::PropertiesNode super;
    {
        std::lock_guard<std::mutex> lock(userLock_);
        locale_ = ToUtf8Text(locale);
        LocaleDescription description = CurrentLocale();
        super.SetString("kt_l10n_locale", description.locale);
        super.SetString("kt_l10n_language", description.language);
        super.SetString("kt_l10n_country", description.country);
    }
    usage_collect::Sdk::AddSuperProperties(super);
}

UserInfo UsageTrackerImpl::userInfo() const {
    std::lock_guard<std::mutex> lock(userLock_);
    return userInfo_;
}

void UsageTrackerImpl::Dispatch(KtEventType kind, usage_collect::PropertiesNode properties,
                                const KtContextProperties* context, bool installation) {
    static constexpr const char* kEventNames[kEventKindCount] = {
        "KtEventActivity", "KtEventLaunch",    "KtEventLogin",  "KtEventClick", "KtEventView",
        "KtEventCashier",  "KtEventShare",     "KtEventTask",   "KtEventFile",  "KtEventOrder",
        "KtEventPayment",  "KtEventUninstall", "KtEventUpdate", "AppCrashed",   "AppOpenNotification"};
    if (context != nullptr) {
        context->mergeInto(kind, &properties);
    }
    const char* name = kEventNames[kind];
    if (installation) {
        usage_collect::Sdk::TrackInstallation(name, properties);
    } else {
        usage_collect::Sdk::TrackEvent(name, properties);
    }
    if (eventLogging_ && logger_) {
        std::string text;
        usage_collect::AppendJsonObject(properties, &text);
        logger_->log(toString(kind), text);
    }
}

void UsageTrackerImpl::ApplyPolicy(SendPolicy policy) {
    if (policy == SendPolicy::kImmediate) {
        FlushWithRetries();
        pending_ = 0;
        return;
    }
    if (policy == SendPolicy::kDeferredTwice) {
        ++pending_;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ++pending_;
}

void UsageTrackerImpl::FlushWithRetries() {
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (usage_collect::Sdk::FlushAll()) {
            return;
        }
    }
}

}  // namespace kelto::usage
