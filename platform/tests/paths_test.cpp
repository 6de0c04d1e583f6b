#include "platform/paths.h"

#include <gtest/gtest.h>

namespace {

TEST(Paths, SplitsAndJoins) {
    struct Case {
        const char* path;
        const char* directory;
        const char* name;
    } cases[] = {
        {"a/b/c.txt", "a/b", "c.txt"},
        {"c.txt", "", "c.txt"},
        {"/c", "/", "c"},
        {"/a/b/", "/a", "b"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::DirectoryOf(c.path), c.directory) << c.path;
        EXPECT_EQ(platform::FileNameOf(c.path), c.name) << c.path;
    }
    EXPECT_EQ(platform::JoinPath("a/", "/b"), "a/b");
    EXPECT_EQ(platform::JoinPath("", "b"), "b");
    EXPECT_EQ(platform::JoinPath("a", ""), "a");
}

TEST(Paths, ExecutablePathIsThisTest) {
    EXPECT_EQ(platform::FileNameOf(platform::ExecutablePath()), "platform_test");
}

}  // namespace
