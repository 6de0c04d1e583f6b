#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/child_process.h"
#include "platform/launch.h"
#include "platform/paths.h"
#include "platform/process_list.h"
#include "testing/test_folder.h"

namespace {

bool WaitForFile(const std::string& path) {
    for (int i = 0; i < 500 && !platform::PathExists(path); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return platform::PathExists(path);
}

TEST(ProcessList, FindsARunningProgramByItsFileName) {
    TestFolder folder;
    std::string program = folder.Child("Glintcap.exe");
    std::string text;
    ASSERT_TRUE(platform::ReadWholeFile("/bin/sleep", &text));
    ASSERT_TRUE(platform::WriteFileAtomic(program, text));
    ASSERT_TRUE(platform::MakeExecutableForOwner(program));
    EXPECT_EQ(platform::FindProcessByExecutableName("Glintcap.exe"), 0);
    platform::ChildProcess child;
    std::string error;
    ASSERT_TRUE(child.Start(program + " 30", &error)) << error;
    EXPECT_EQ(platform::FindProcessByExecutableName("Glintcap.exe"), child.pid());
    EXPECT_EQ(platform::FindProcessByExecutableName("glintcap.exe"), 0);  // exact, case-sensitive
    child.Kill();
    child.Wait(5000);
}

TEST(Launch, StartsADetachedProgramInItsFolder) {
    TestFolder folder;
    ASSERT_TRUE(platform::StartDetached("/bin/sh", {"-c", "pwd > started.txt"}, folder.path()));
    ASSERT_TRUE(WaitForFile(folder.Child("started.txt")));
    std::string pwd;
    for (int i = 0; i < 100 && pwd.empty(); ++i) {
        platform::ReadWholeFile(folder.Child("started.txt"), &pwd);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(pwd, folder.path() + "\n");
    EXPECT_FALSE(platform::StartDetached("/no/such/program", {}, ""));
    EXPECT_FALSE(platform::StartDetached("/bin/sh", {}, folder.Child("missing")));
    EXPECT_FALSE(platform::OpenAddress("--help"));
}

}  // namespace
