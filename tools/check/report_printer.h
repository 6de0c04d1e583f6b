#pragma once
// Prints every report of a worker as "CODE<TAB>VALUE<TAB>TEXT" as it arrives (from any thread) and
// remembers which codes came, so a command can wait for an ending and choose its exit code.

#include <condition_variable>
#include <cstdio>
#include <initializer_list>
#include <mutex>
#include <set>
#include <string>

#include "utils/text.h"

class ReportPrinter {
public:
    void Print(int code, double value, const wchar_t* text) {
        const std::string narrow = Utils::ToNarrow(text, Utils::kCodePageUtf8);
        std::lock_guard lock(mutex_);
        std::printf("%d\t%g\t%s\n", code, value, narrow.c_str());
        std::fflush(stdout);
        seen_.insert(code);
        changed_.notify_all();
    }
    bool Seen(int code) const {
        std::lock_guard lock(mutex_);
        return seen_.count(code) != 0;
    }
    // Waits until one of `codes` has come.
    void WaitForAny(std::initializer_list<int> codes) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] {
            for (int code : codes) {
                if (seen_.count(code) != 0) {
                    return true;
                }
            }
            return false;
        });
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::set<int> seen_;
};
