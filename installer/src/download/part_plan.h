#pragma once
// How the multi-part downloader splits a package: one part per 10 MiB, at least one and at most
// two, equal lengths with the remainder on the last part.

#include <cstdint>
#include <vector>

struct PartRange {
    std::int64_t first;  // absolute offset of the part's first byte
    std::int64_t last;   // absolute offset of its last byte (inclusive)
};

inline constexpr std::int64_t kPartUnit = 10485760;
inline constexpr int kMaxParts = 2;

std::vector<PartRange> PlanParts(std::int64_t fileLength);
