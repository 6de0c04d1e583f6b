#include "platform/user_registry.h"

#include <gtest/gtest.h>

#include "platform/paths.h"
#include "testing/test_folder.h"

namespace {

TEST(UserRegistry, ValuesByKeyPathCaseInsensitive) {
    TestFolder folder;
    platform::UserRegistry registry(folder.Child("registry"));
    const char* key = "Software\\KeltoSoft\\Glintcap";
    EXPECT_FALSE(registry.GetString(key, "InstallPath").has_value());
    ASSERT_TRUE(registry.SetString(key, "InstallPath", "/opt/Glintcap"));
    ASSERT_TRUE(registry.SetString(key, "UnInstallEp", ""));
    EXPECT_EQ(registry.GetString("software\\keltosoft\\GLINTCAP", "installpath"), "/opt/Glintcap");
    EXPECT_EQ(registry.GetString(key, "UnInstallEp"), "");  // empty, not missing
    EXPECT_FALSE(registry.GetString("Software\\KeltoSoft\\Other", "InstallPath").has_value());
    ASSERT_TRUE(registry.SetString(key, "InstallPath", "/home/u/Glintcap"));
    EXPECT_EQ(registry.GetString(key, "InstallPath"), "/home/u/Glintcap");
}

TEST(UserRegistry, KeyPathsStayInsideTheStore) {
    TestFolder folder;
    platform::UserRegistry registry(folder.Child("registry"));
    ASSERT_TRUE(registry.SetString("..\\..\\Evil", "v", "1"));
    EXPECT_EQ(registry.KeyFile("..\\..\\Evil"), folder.Child("registry/evil/values.ini"));
    EXPECT_FALSE(registry.SetString("\\..\\", "v", "1"));
}

}  // namespace
