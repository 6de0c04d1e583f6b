#include "kelto_usage/track_logger.h"

#include <chrono>

#include "kelto_usage/kt_context_properties.h"

namespace kelto::usage {

NativeTrackLogger::NativeTrackLogger(const std::string& path)
    : file_(path, std::ios::app | std::ios::binary) {}

std::string NativeTrackLogger::FormatLine(const std::string& time, const std::string& level,
                                          const std::string& message) {
    std::string flat;
    for (std::size_t i = 0; i < message.size(); ++i) {
        char c = message[i];
        if (c == '\r' && i + 1 < message.size() && message[i + 1] == '\n') {
            flat.push_back(' ');
            ++i;
        } else if (c == '\n' || c == '\t') {
            flat.push_back(' ');
        } else {
            flat.push_back(c);
        }
    }
    return time + "\t" + level + "\t" + flat + "\n";
}

void NativeTrackLogger::log(const std::string& level, const std::string& message) {
    using namespace std::chrono;
    auto now = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    std::lock_guard<std::mutex> lock(lock_);
    file_ << FormatLine(FormatContextTime(now), level, message);
    file_.flush();
}

}  // namespace kelto::usage
