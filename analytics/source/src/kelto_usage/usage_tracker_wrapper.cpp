#include "kelto_usage/usage_tracker_wrapper.h"

#include <iostream>

namespace kelto::usage {

template <typename Call>
void UsageTrackerWrapper::Guard(const char* operation, Call call) {
    try {
        call();
    } catch (...) {
        if (impl_->logger() != nullptr) {
            std::cout << "Failed to " << operation << std::endl;
        }
    }
}

void UsageTrackerWrapper::trackActivity(const KtContextProperties& context) {
    Guard("trackActivity", [&] { impl_->trackActivity(context); });
}
void UsageTrackerWrapper::trackLaunch(const KtContextProperties& context) {
    Guard("trackLaunch", [&] { impl_->trackLaunch(context); });
}
void UsageTrackerWrapper::trackLogin(const KtUserInfo& user, bool success, const std::string& reason,
                                     const KtContextProperties& context) {
    Guard("trackLogin", [&] { impl_->trackLogin(user, success, reason, context); });
}
void UsageTrackerWrapper::trackClick(const KtEventClick& event, const KtContextProperties& context) {
    Guard("trackClick", [&] { impl_->trackClick(event, context); });
}
void UsageTrackerWrapper::trackView(const KtEventView& event, const KtContextProperties& context) {
    Guard("trackView", [&] { impl_->trackView(event, context); });
}
void UsageTrackerWrapper::trackCashier(const KtEventCashier& event, const KtContextProperties& context) {
    Guard("trackCashier", [&] { impl_->trackCashier(event, context); });
}
void UsageTrackerWrapper::trackShare(const KtEventShare& event, const KtContextProperties& context) {
    Guard("trackShare", [&] { impl_->trackShare(event, context); });
}
void UsageTrackerWrapper::trackTask(const KtEventTask& event, const KtContextProperties& context) {
    Guard("trackTask", [&] { impl_->trackTask(event, context); });
}
void UsageTrackerWrapper::trackFile(const KtEventFile& event, const KtContextProperties& context) {
    Guard("trackFile", [&] { impl_->trackFile(event, context); });
}
void UsageTrackerWrapper::trackOrder(const KtEventOrder& event, const KtContextProperties& context) {
    Guard("trackOrder", [&] { impl_->trackOrder(event, context); });
}
void UsageTrackerWrapper::trackPayment(const KtEventPayment& event, const KtContextProperties& context) {
    Guard("trackPayment", [&] { impl_->trackPayment(event, context); });
}
void UsageTrackerWrapper::trackUninstall(const std::string& reason, const KtContextProperties& context) {
    Guard("trackUninstall", [&] { impl_->trackUninstall(reason, context); });
}
void UsageTrackerWrapper::trackCrash(const std::string& reason) {
    Guard("trackCrash", [&] { impl_->trackCrash(reason); });
}
void UsageTrackerWrapper::trackUpdate(const KtEventUpdate& event, const KtContextProperties& context) {
    Guard("trackUpdate", [&] { impl_->trackUpdate(event, context); });
}
void UsageTrackerWrapper::trackAppOpenNotification(const KtAppOpenNotification* notification,
                                                   const KtContextProperties& context) {
    Guard("trackAppOpenNotification", [&] { impl_->trackAppOpenNotification(notification, context); });
}

std::shared_ptr<UsageTracker> CreateUsageTracker(const KtTrackerConfig& config) {
    auto impl = std::make_unique<UsageTrackerImpl>(config);
    try {
        impl->init();
    } catch (...) {
        // A tracker that could not start still validates its records; nothing is sent.
    }
    return std::make_shared<UsageTrackerWrapper>(std::move(impl));
}

}  // namespace kelto::usage
