#include "platform/child_process.h"

#include <gtest/gtest.h>

#include "platform/paths.h"
#include "testing/test_folder.h"

namespace {

using platform::ChildProcess;
using Args = std::vector<std::string>;

TEST(SplitCommandLine, WindowsQuotingRules) {
    struct Case {
        const char* line;
        Args args;
    } cases[] = {
        {"", {}},
        {"prog", {"prog"}},
        {"\"C:\\Program Files\\a.exe\" /S", {"C:\\Program Files\\a.exe", "/S"}},
        {"/tmp/dir with\\x.exe a", {"/tmp/dir", "with\\x.exe", "a"}},
        {"p -instdir=\"/opt/My Apps/Glintcap\" -ssc=true",
         {"p", "-instdir=/opt/My Apps/Glintcap", "-ssc=true"}},
        {"p a\\\\b \"a\\\\\" x", {"p", "a\\\\b", "a\\", "x"}},
        {"p \"a\\\"b\" c", {"p", "a\"b", "c"}},
        {"p \"a\"\"b\"", {"p", "a\"b"}},
        {"p   \t a\t\"\"  ", {"p", "a", ""}},
        {"p a\\\\\\\"b", {"p", "a\\\"b"}},
        {"\"p q\"r s", {"p qr", "s"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::SplitCommandLine(c.line), c.args) << c.line;
    }
}

std::string ReadAll(ChildProcess& child) {
    std::string out;
    char buffer[256];
    std::size_t got = 0;
    while (child.ReadOutput(buffer, sizeof buffer, 5000, &got) == ChildProcess::ReadStatus::kData) {
        out.append(buffer, got);
    }
    return out;
}

TEST(ChildProcess, QuotedPathWithBlanksIsOneArgument) {
    TestFolder folder;
    std::string script = folder.Child("my tool.sh");
    ASSERT_TRUE(
        platform::WriteFileAtomic(script, "#!/bin/sh\nfor a in \"$@\"; do echo \"[$a]\"; done\nexit 7\n"));
    ASSERT_TRUE(platform::MakeExecutableForOwner(script));
    ChildProcess child;
    std::string error;
    ASSERT_TRUE(child.Start("\"" + script + "\" -instdir=\"" + folder.path() + "/a b\" /S", &error)) << error;
    EXPECT_EQ(ReadAll(child), "[-instdir=" + folder.path() + "/a b]\n[/S]\n");
    ASSERT_TRUE(child.Wait(5000));
    EXPECT_EQ(child.ExitCode(), 7);
}

TEST(ChildProcess, InputErrorTimeoutAndRunningState) {
    ChildProcess child;
    std::string error;
    ASSERT_TRUE(child.Start("/bin/sh -c \"read line; echo got:$line; echo oops >&2; sleep 0.3\"", &error))
        << error;
    EXPECT_EQ(child.ExitCode(), platform::kStillActive);
    char buffer[64];
    std::size_t got = 0;
    EXPECT_EQ(child.ReadOutput(buffer, sizeof buffer, 50, &got), ChildProcess::ReadStatus::kTimeout);
    ASSERT_TRUE(child.WriteInput("hello\n"));
    child.CloseInput();
    EXPECT_EQ(ReadAll(child), "got:hello\n");
    ASSERT_EQ(child.ReadError(buffer, sizeof buffer, 5000, &got), ChildProcess::ReadStatus::kData);
    EXPECT_EQ(std::string(buffer, got), "oops\n");
    EXPECT_TRUE(child.Wait(5000));
    EXPECT_EQ(child.ExitCode(), 0);
}

TEST(ChildProcess, ReportsWhatCannotStart) {
    ChildProcess child;
    std::string error;
    EXPECT_FALSE(child.Start("", &error));
    EXPECT_FALSE(child.Start("/no/such/program arg", &error));
    EXPECT_NE(error.find("/no/such/program"), std::string::npos);
    EXPECT_FALSE(child.Start("no-such-program-in-path", &error));
}

TEST(ChildProcess, WritingToAChildThatClosedItsInputFailsQuietly) {
    ChildProcess child;
    std::string error;
    ASSERT_TRUE(child.Start("/bin/true", &error));
    ASSERT_TRUE(child.Wait(5000));
    EXPECT_FALSE(child.WriteInput(std::string(1 << 20, 'x')));  // EPIPE, and no SIGPIPE kills us
}

TEST(ChildProcess, KilledChildReportsTheSignal) {
    ChildProcess child;
    std::string error;
    ASSERT_TRUE(child.Start("/bin/sleep 30", &error));
    EXPECT_FALSE(child.Wait(20));
    child.Kill();
    ASSERT_TRUE(child.Wait(5000));
    EXPECT_EQ(child.ExitCode(), 128 + 9);
}

}  // namespace
