#pragma once
// Shared helpers of the analytics tests: a private temporary folder, file reading, the collection
// core's instance for one test.

#include <string>
#include <vector>

#include "usage_collect/sdk.h"

namespace analytics_test {

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& content);
std::vector<std::string> Lines(const std::string& text);

// The core's process-wide instance for one test, shut down at the end.
class ScopedSdk {
public:
    ScopedSdk(const std::string& stagingPath, const std::string& serverUrl,
              const std::string& distinctId = "anon-1", bool isLoginId = false);
    ~ScopedSdk() { usage_collect::Sdk::Shutdown(); }
    usage_collect::Sdk& sdk() { return *usage_collect::Sdk::Instance(); }
    std::vector<std::string> Queued() { return sdk().queue().Snapshot(); }
};

// An address where nothing listens: sends fail at once.
inline constexpr char kUnreachableUrl[] = "http://127.0.0.1:9/collect?project=pc";

}  // namespace analytics_test
