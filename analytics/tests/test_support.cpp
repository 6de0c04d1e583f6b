#include "test_support.h"

#include <curl/curl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace analytics_test {

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "analytics-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

ScopedSdk::ScopedSdk(const std::string& stagingPath, const std::string& serverUrl,
                     const std::string& distinctId, bool isLoginId) {
    if (!usage_collect::Sdk::Init(stagingPath, serverUrl, distinctId, isLoginId)) {
        throw std::runtime_error("Sdk::Init failed");
    }
}

namespace {

// libcurl is initialised once before any test starts a thread; times are shown in UTC so that the
// golden records do not depend on the machine's zone.
class AnalyticsEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        setenv("TZ", "UTC", 1);
        tzset();
        ASSERT_EQ(curl_global_init(CURL_GLOBAL_DEFAULT), CURLE_OK);
    }
    void TearDown() override { curl_global_cleanup(); }
};

const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new AnalyticsEnvironment);

}  // namespace
}  // namespace analytics_test
