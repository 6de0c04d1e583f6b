#pragma once

#include <cstdint>

namespace Utils {

class Stopwatch {
public:
    void Start();
    void Stop() { running_ = false; }
    // Seconds since Start while running, 0 otherwise.
    float ElapsedSeconds() const;

private:
    std::uint32_t startTick_ = 0;
    bool running_ = false;
};

}  // namespace Utils
