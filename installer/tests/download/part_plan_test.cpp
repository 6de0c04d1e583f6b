#include "download/part_plan.h"

#include <gtest/gtest.h>

namespace {

struct PlanCase {
    std::int64_t length;
    std::vector<PartRange> parts;
};

TEST(PartPlan, SplitsAtTwentyMebibytesIntoAtMostTwoParts) {
    const PlanCase cases[] = {
        {256, {{0, 255}}},
        {20971519, {{0, 20971518}}},
        {20971520, {{0, 10485759}, {10485760, 20971519}}},
        {25165825, {{0, 12582911}, {12582912, 25165824}}},
        // 64-bit lengths: a package of 5 GiB keeps exact offsets.
        {5368709121, {{0, 2684354559}, {2684354560, 5368709120}}},
    };
    for (const auto& c : cases) {
        const auto plan = PlanParts(c.length);
        ASSERT_EQ(plan.size(), c.parts.size()) << c.length;
        for (std::size_t i = 0; i < plan.size(); ++i) {
            EXPECT_EQ(plan[i].first, c.parts[i].first) << c.length << " part " << i;
            EXPECT_EQ(plan[i].last, c.parts[i].last) << c.length << " part " << i;
        }
    }
}

}  // namespace
