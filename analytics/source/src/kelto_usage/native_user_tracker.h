#pragma once
// User-profile updates: every profile key has one fixed operation (set once, increment, set,
// append), and each update is one profile record in the collection core.

#include <atomic>
#include <cstdint>
#include <string>

#include "kelto_usage/kt_events.h"

namespace kelto::usage {

enum class ProfileOperation { kSetOnce = 1, kIncrement = 2, kSet = 3, kAppend = 4 };

// The operation of a profile key; false for a key outside the table.
bool FindProfileOperation(const std::string& key, ProfileOperation* operation);

class NativeUserTracker {
public:
    // Each profile record adds one to `pending`, so that it leaves with the next flush.
    explicit NativeUserTracker(std::atomic<int>* pending) : pending_(pending) {}

    void ProfileUserPropertyString(const std::string& key, const std::string& value);
    void ProfileUserPropertyNumber(const std::string& key, int value);
    void ProfileUserPropertyNumber(const std::string& key, double value);
    void ProfileUserPropertyDateTime(const std::string& key, std::int64_t millisecondsSince1970);

    // The three visit dates: first visit (set once twice) and last visit (set).
    void PushVisitDates(std::int64_t nowMs);
    // The login record's keys, then the visit dates.
    void PushLoginProfile(const KtUserInfo& user, std::int64_t nowMs);

private:
    std::atomic<int>* pending_;
};

std::int64_t NowMilliseconds();

}  // namespace kelto::usage
