#pragma once
// The tracker on top of the collection core: start-up (configuration, data folder, analytics INI,
// identity, super properties), the fifteen event kinds with their validation and send policies, and
// shutdown, which sends what is pending.

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "kelto_usage/native_user_tracker.h"
#include "kelto_usage/system_description.h"
#include "kelto_usage/usage_tracker.h"
#include "kelto_usage/user_info_store.h"
#include "usage_collect/property_value.h"

namespace kelto::usage {

class UsageTrackerImpl : public UsageTracker {
public:
    explicit UsageTrackerImpl(const KtTrackerConfig& config);
    ~UsageTrackerImpl() override;

    // Start-up; raises KtException on an invalid configuration or when the core cannot start.
    void init();

    void trackActivity(const KtContextProperties& context) override;
    void trackLaunch(const KtContextProperties& context) override;
    void trackLogin(const KtUserInfo& user, bool success, const std::string& reason,
                    const KtContextProperties& context) override;
    void trackClick(const KtEventClick& event, const KtContextProperties& context) override;
    void trackView(const KtEventView& event, const KtContextProperties& context) override;
    void trackCashier(const KtEventCashier& event, const KtContextProperties& context) override;
    void trackShare(const KtEventShare& event, const KtContextProperties& context) override;
    void trackTask(const KtEventTask& event, const KtContextProperties& context) override;
    void trackFile(const KtEventFile& event, const KtContextProperties& context) override;
    void trackOrder(const KtEventOrder& event, const KtContextProperties& context) override;
    void trackPayment(const KtEventPayment& event, const KtContextProperties& context) override;
    void trackUninstall(const std::string& reason, const KtContextProperties& context) override;
    void trackCrash(const std::string& reason) override;
    void trackUpdate(const KtEventUpdate& event, const KtContextProperties& context) override;
    void trackAppOpenNotification(const KtAppOpenNotification* notification,
                                  const KtContextProperties& context) override;
    void setLocale(const std::string& locale) override;
    TrackLogger* logger() override { return logger_.get(); }

    // For tests and the tool: where the tracker keeps its files, and the deferred-event counter.
    UserInfo userInfo() const;
    std::string stagingPath() const { return stagingPath_; }
    int pendingCount() const { return pending_.load(); }

private:
    enum class SendPolicy { kImmediate, kDeferred, kDeferredTwice };

    void LocateFiles();
    void StartIdentity();
    void AddStartupSuperProperties();
    // Merges the context (when given) and sends the event through the core.
    void Dispatch(KtEventType kind, usage_collect::PropertiesNode properties,
                  const KtContextProperties* context, bool installation = false);
    void ApplyPolicy(SendPolicy policy);
    void FlushWithRetries();
    void LoginSwitch(const KtUserInfo& user);
    void PaidProfileUpdate(float paidAmount, bool success);
    void ActivityProfileUpdate();
    LocaleDescription CurrentLocale() const;

    KtTrackerConfig config_;  // texts already converted to UTF-8
    bool eventLogging_ = false;
    std::atomic<int> pending_{0};
    bool coreStarted_ = false;
    mutable std::mutex userLock_;  // guards userInfo_ and locale_
    UserInfo userInfo_;
    std::string locale_;
    std::string stagingPath_;
    OsDescription os_;
    NativeUserTracker userTracker_{&pending_};
    std::unique_ptr<NativeTrackLogger> logger_;
};

}  // namespace kelto::usage
