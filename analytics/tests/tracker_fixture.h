#pragma once
// A tracker started against a real collector, with its files in a temporary folder.

#include <gtest/gtest.h>

#include <memory>

#include "kelto_usage/usage_tracker_impl.h"
#include "test_support.h"
#include "testing/collector_json.h"
#include "testing/collector_server.h"

namespace analytics_test {

class TrackerTest : public ::testing::Test {
protected:
    kelto::usage::KtTrackerConfig Config() const {
        kelto::usage::KtTrackerConfig config;
        config.appName = "Glintcap.downloader";
        config.appVersion = "1.7.9";
        config.appStore = "GlintcapSetup.exe";
        config.hostAppId = "Glintcap";
        config.serverUrl = collector_.Url();
        config.baseFolder = folder_.path();
        config.settingsFolder = folder_.path();
        return config;
    }

    std::unique_ptr<kelto::usage::UsageTrackerImpl> Start(const kelto::usage::KtTrackerConfig& config) {
        auto tracker = std::make_unique<kelto::usage::UsageTrackerImpl>(config);
        tracker->init();
        return tracker;
    }
    std::unique_ptr<kelto::usage::UsageTrackerImpl> Start() { return Start(Config()); }

    std::string DataFolder() const { return folder_.path() + "/KTLocal/Glintcap.downloader"; }
    std::string IniPath() const { return DataFolder() + "/Glintcap.downloader_KTSConfigure.ini"; }

    // The records still queued in the core, oldest first.
    std::vector<glintcap_testing::JsonValue> Queued() const {
        std::vector<glintcap_testing::JsonValue> records;
        for (const auto& text : usage_collect::Sdk::Instance()->queue().Snapshot()) {
            glintcap_testing::JsonValue record;
            std::string error;
            EXPECT_TRUE(glintcap_testing::ParseJson(text, &record, &error)) << error;
            records.push_back(record);
        }
        return records;
    }
    glintcap_testing::JsonValue LastQueuedProperties() const {
        auto records = Queued();
        EXPECT_FALSE(records.empty());
        return records.empty() ? glintcap_testing::JsonValue() : records.back()["properties"];
    }

    TempFolder folder_;
    glintcap_testing::CollectorServer collector_;
};

}  // namespace analytics_test
