#pragma once
// Makes every tracking call fail-safe: whatever the implementation raises is caught here, and
// "Failed to <operation>" is printed when the tracker has its logger (that is, when it started).

#include <memory>

#include "kelto_usage/usage_tracker_impl.h"

namespace kelto::usage {

class UsageTrackerWrapper : public UsageTracker {
public:
    explicit UsageTrackerWrapper(std::unique_ptr<UsageTrackerImpl> impl) : impl_(std::move(impl)) {}

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
    void setLocale(const std::string& locale) override { impl_->setLocale(locale); }
    TrackLogger* logger() override { return impl_->logger(); }

    UsageTrackerImpl& impl() { return *impl_; }

private:
    template <typename Call>
    void Guard(const char* operation, Call call);

    std::unique_ptr<UsageTrackerImpl> impl_;
};

// Builds the tracker as applications do: the implementation, its start-up (a failure is swallowed:
// the tracker still validates but sends nothing), and the wrapper around it.
std::shared_ptr<UsageTracker> CreateUsageTracker(const KtTrackerConfig& config);

}  // namespace kelto::usage
