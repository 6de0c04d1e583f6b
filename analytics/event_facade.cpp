#include "event_facade.h"

#include <memory>
#include <mutex>

#include "kelto_usage/kt_exception.h"
#include "kelto_usage/usage_tracker_wrapper.h"
#include "platform/utf.h"

namespace {

using kelto::usage::KtContextProperties;

// The lock only covers taking a reference: a report that overlaps ShutdownEventFacade keeps the
// tracker alive until it is done, and the last reference shuts the tracker down.
std::mutex g_trackerLock;
std::shared_ptr<kelto::usage::UsageTracker> g_tracker;

std::shared_ptr<kelto::usage::UsageTracker> CurrentTracker() {
    std::lock_guard<std::mutex> lock(g_trackerLock);
    return g_tracker;
}

std::string Utf8(const std::wstring& text) {
    return platform::Utf8FromWide(text);
}

// The run's A/B label becomes "ktc_ab" for the report's one event kind. A label that fails the test
// is left out rather than failing the report.
void AttachAbProperty(const ExtraProperties& extra, int kind, KtContextProperties* context) {
    auto ab = extra.find(L"AB");
    if (ab == extra.end()) {
        return;
    }
    std::string value = Utf8(ab->second);
    try {
        if (KtContextProperties::isValidABValue(value)) {
            context->setProperty(value, {kind});
        }
    } catch (const kelto::usage::KtException&) {
    }
}

}  // namespace

void InitEventFacade(const EventFacadeConfig& config) {
    if (!config.IsEnableAppAnalytics || CurrentTracker()) {
        return;
    }
    kelto::usage::KtTrackerConfig tracker;
    tracker.appName = Utf8(config.ProductName + config.DlAppNameSuffix);
    tracker.appVersion = Utf8(config.InstallerVersion);
    tracker.appStore = Utf8(config.ExeFileName);
    tracker.hostAppId = Utf8(config.ProductName);
    tracker.hostAppVersion = Utf8(config.m_DlAppVersion);
    tracker.edition = kelto::usage::KT_EDITION_CHINA;
    tracker.serverUrl = config.serverUrl;
    tracker.baseFolder = config.dataFolder;
    auto created = kelto::usage::CreateUsageTracker(tracker);
    std::lock_guard<std::mutex> lock(g_trackerLock);
    if (!g_tracker) {
        g_tracker = std::move(created);
    }
}

void ShutdownEventFacade() {
    std::shared_ptr<kelto::usage::UsageTracker> tracker;
    {
        std::lock_guard<std::mutex> lock(g_trackerLock);
        tracker.swap(g_tracker);
    }
    tracker.reset();  // sends what is pending, stages the rest
}

void ReportTask(const std::wstring& name, float elapsedSeconds, ExtraProperties extra,
                const std::wstring& detail) {
    auto tracker = CurrentTracker();
    if (!tracker) {
        return;
    }
    KtContextProperties context;
    AttachAbProperty(extra, kelto::usage::KT_EVENT_TASK, &context);
    kelto::usage::KtEventTask task;
    task.name = Utf8(name);
    task.reason = Utf8(detail);
    task.elapsed = elapsedSeconds;
    task.result = kelto::usage::KT_RESULT_SUCCESS;
    tracker->trackTask(task, context);
}

void ReportClick(ExtraProperties extra, const std::wstring& name) {
    auto tracker = CurrentTracker();
    if (!tracker) {
        return;
    }
    KtContextProperties context;
    AttachAbProperty(extra, kelto::usage::KT_EVENT_CLICK, &context);
    kelto::usage::KtEventClick click;
    click.name = Utf8(name);
    click.clickType = kelto::usage::KT_CLICK_BUTTON;
    tracker->trackClick(click, context);
}

void ReportView(ExtraProperties extra) {
    auto tracker = CurrentTracker();
    if (!tracker) {
        return;
    }
    KtContextProperties context;
    AttachAbProperty(extra, kelto::usage::KT_EVENT_VIEW, &context);
    kelto::usage::KtEventView view;
    view.name = "安装中";
    tracker->trackView(view, context);
}

void ReportCrash() {
    auto tracker = CurrentTracker();
    if (!tracker) {
        return;
    }
    tracker->trackCrash("崩溃");
}
