#pragma once
// Collects the reports a worker sends through its DownloadCallback, from any thread.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

#include "install/install_codes.h"
#include "utils/text.h"

struct Report {
    int code;
    double value;
    std::wstring text;
    bool operator==(const Report&) const = default;
};

inline void PrintTo(const Report& r, std::ostream* os) {
    *os << "{" << r.code << ", " << r.value << ", \"" << Utils::ToNarrow(r.text, Utils::kCodePageUtf8)
        << "\"}";
}

class ReportRecorder {
public:
    // Optionally runs `also` on the reporting thread after recording (to act like an owner).
    DownloadCallback Callback(std::function<void(int)> also = {}) {
        return [this, also](int code, double value, const wchar_t* text) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                reports_.push_back({code, value, text});
            }
            changed_.notify_all();
            if (also) {
                also(code);
            }
        };
    }
    std::vector<Report> Reports() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return reports_;
    }
    std::vector<int> Codes() const {
        std::vector<int> codes;
        for (const Report& r : Reports()) {
            codes.push_back(r.code);
        }
        return codes;
    }
    // Waits until a report with one of `codes` has arrived (as report `from` or later); false after
    // `limit`.
    bool WaitForAny(std::vector<int> codes, std::size_t from = 0,
                    std::chrono::seconds limit = std::chrono::seconds(30)) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, limit, [&] {
            for (std::size_t i = from; i < reports_.size(); ++i) {
                const Report& r = reports_[i];
                for (int code : codes) {
                    if (r.code == code) {
                        return true;
                    }
                }
            }
            return false;
        });
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Report> reports_;
};
