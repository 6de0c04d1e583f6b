#include <cstdio>
#include <mutex>
#include <random>

#include "platform/system_info.h"
#include "usage_collect/sdk.h"

namespace usage_collect {

std::string NewIdentifier() {
    // The kernel's random source does not fail once the system is up, so one GUID is always made.
    platform::GuidBytes guid = platform::NewGuid();
    const std::uint8_t* b = guid.bytes;
    char text[40];
    std::snprintf(text, sizeof text, "%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X",
                  b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9], b[10], b[11], b[12], b[13],
                  b[14], b[15]);
    return text;
}

std::string NewFallbackIdentifier() {
    static std::mutex generatorLock;
    static std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<unsigned long> draw(0, 2147483646);
    unsigned long values[8];
    {
        std::lock_guard<std::mutex> lock(generatorLock);
        for (auto& value : values) {
            value = draw(generator) + draw(generator);
        }
    }
    values[3] = (values[3] & 0xFFF) | 0x4000;
    values[4] = (values[4] % 0x3FFF) + 0x8000;
    char text[160];
    std::snprintf(text, sizeof text, "%lx%lx-%lx-%lx-%lx-%lx%lx%lx", values[0], values[1], values[2],
                  values[3], values[4], values[5], values[6], values[7]);
    return text;
}

}  // namespace usage_collect
