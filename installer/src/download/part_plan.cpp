#include "download/part_plan.h"

#include <algorithm>

std::vector<PartRange> PlanParts(std::int64_t fileLength) {
    const std::int64_t count = std::clamp<std::int64_t>(fileLength / kPartUnit, 1, kMaxParts);
    const std::int64_t length = fileLength / count;
    std::vector<PartRange> parts;
    std::int64_t offset = 0;
    for (std::int64_t i = 0; i < count; ++i) {
        const std::int64_t partLength = i + 1 == count ? fileLength - offset : length;
        parts.push_back({offset, offset + partLength - 1});
        offset += partLength;
    }
    return parts;
}
