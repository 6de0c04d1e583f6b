#include "platform/local_time.h"

#include <time.h>

namespace platform {

LocalTime LocalTimeOf(std::int64_t secondsSince1970, int millisecond) {
    LocalTime result{0, 0, 0, 0, 0, 0, millisecond};
    time_t seconds = static_cast<time_t>(secondsSince1970);
    struct tm parts {};
    if (localtime_r(&seconds, &parts) == nullptr) {
        return result;
    }
    result.year = parts.tm_year + 1900;
    result.month = parts.tm_mon + 1;
    result.day = parts.tm_mday;
    result.hour = parts.tm_hour;
    result.minute = parts.tm_min;
    result.second = parts.tm_sec;
    return result;
}

}  // namespace platform
