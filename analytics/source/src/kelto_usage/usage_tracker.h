#pragma once
// The typed event interface applications call. UsageTrackerImpl sends through the collection core;
// UsageTrackerWrapper makes every call fail-safe.

#include <string>

#include "kelto_usage/kt_context_properties.h"
#include "kelto_usage/kt_events.h"
#include "kelto_usage/track_logger.h"

namespace kelto::usage {

struct KtTrackerConfig {
    std::string appName;         // required
    std::string appVersion;      // required
    std::string appStore;        // required
    std::string hostAppId;       // sent as kt_dlapp_id when non-empty
    std::string hostAppVersion;  // sent as kt_dlapp_version when non-empty
    KtEdition edition = KT_EDITION_CHINA;
    std::string logFilePath;  // empty: <data folder>/<app name>_KTSLog.txt
    std::string serverUrl;    // empty: the default collector endpoint
    // Where the "KTLocal" folder is made; empty: the user's local data folder.
    std::string baseFolder;
    // Where "Set.ini" is looked for; empty: the executable's folder.
    std::string settingsFolder;
};

class UsageTracker {
public:
    virtual ~UsageTracker() = default;
    virtual void trackActivity(const KtContextProperties& context) = 0;
    virtual void trackLaunch(const KtContextProperties& context) = 0;
    virtual void trackLogin(const KtUserInfo& user, bool success, const std::string& reason,
                            const KtContextProperties& context) = 0;
    virtual void trackClick(const KtEventClick& event, const KtContextProperties& context) = 0;
    virtual void trackView(const KtEventView& event, const KtContextProperties& context) = 0;
    virtual void trackCashier(const KtEventCashier& event, const KtContextProperties& context) = 0;
    virtual void trackShare(const KtEventShare& event, const KtContextProperties& context) = 0;
    virtual void trackTask(const KtEventTask& event, const KtContextProperties& context) = 0;
    virtual void trackFile(const KtEventFile& event, const KtContextProperties& context) = 0;
    virtual void trackOrder(const KtEventOrder& event, const KtContextProperties& context) = 0;
    virtual void trackPayment(const KtEventPayment& event, const KtContextProperties& context) = 0;
    virtual void trackUninstall(const std::string& reason, const KtContextProperties& context) = 0;
    virtual void trackCrash(const std::string& reason) = 0;
    virtual void trackUpdate(const KtEventUpdate& event, const KtContextProperties& context) = 0;
    virtual void trackAppOpenNotification(const KtAppOpenNotification* notification,
                                          const KtContextProperties& context) = 0;
    virtual void setLocale(const std::string& locale) = 0;
    virtual TrackLogger* logger() = 0;
};

}  // namespace kelto::usage
