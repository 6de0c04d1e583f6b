#include "utils/stopwatch.h"

#include "platform/system_info.h"

namespace Utils {

void Stopwatch::Start() {
    startTick_ = platform::TickCountMs();
    running_ = true;
}

float Stopwatch::ElapsedSeconds() const {
    if (!running_) {
        return 0.0f;
    }
    return static_cast<float>(platform::TickCountMs() - startTick_) / 1000.0f;
}

}  // namespace Utils
