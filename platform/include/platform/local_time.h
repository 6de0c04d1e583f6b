#pragma once
// Calendar time of an arbitrary instant in the user's time zone.

#include <cstdint>

#include "platform/system_info.h"

namespace platform {

// The local calendar time of `secondsSince1970` (UTC) with `millisecond` carried through unchanged.
// An instant the C library cannot convert gives all fields 0 except the millisecond.
LocalTime LocalTimeOf(std::int64_t secondsSince1970, int millisecond);

}  // namespace platform
