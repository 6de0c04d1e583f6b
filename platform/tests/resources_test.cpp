#include "platform/resources.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Resources, EmbeddedFileIsFoundByTypeAndId) {
    std::span<const std::uint8_t> bytes = platform::FindResource("TESTRES", 7);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "embedded resource payload\n");
    EXPECT_TRUE(platform::FindResource("TESTRES", 8).empty());
    EXPECT_TRUE(platform::FindResource("ZIPRES", 7).empty());
}

}  // namespace
