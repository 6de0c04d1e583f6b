// The developer tool's download command, run as a child process against the test server.

#include <gtest/gtest.h>

#include <sstream>

#include "download_test_support.h"
#include "platform/child_process.h"
#include "testing/http_file_server.h"
#include "testing/test_folder.h"

namespace {

using download_test::ReadFile;
using glintcap_testing::HttpFileServer;
using glintcap_testing::PatternBytes;
using glintcap_testing::ServerFault;

struct ToolRun {
    std::vector<std::string> lines;
    int exitCode;
};

ToolRun RunTool(const std::string& arguments) {
    platform::ChildProcess tool;
    std::string error;
    EXPECT_TRUE(tool.Start(std::string("\"") + GLINTCAP_CHECK_PATH + "\" download " + arguments, &error))
        << error;
    tool.CloseInput();
    std::string output;
    char buffer[4096];
    std::size_t got = 0;
    while (tool.ReadOutput(buffer, sizeof buffer, 60000, &got) == platform::ChildProcess::ReadStatus::kData) {
        output.append(buffer, got);
    }
    tool.Wait(-1);
    ToolRun run{{}, tool.ExitCode()};
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        // Whether a progress report comes before the end of so short a transfer is up to timing.
        if (line.rfind("1002\t", 0) != 0) {
            run.lines.push_back(line);
        }
    }
    return run;
}

TEST(CheckTool, PrintsEveryReportAndAnswersRetries) {
    HttpFileServer server;
    ASSERT_TRUE(server.Start());
    TestFolder folder;
    const std::string content = PatternBytes(4096, 51);
    const std::string url = server.UrlFor(server.AddPackage("package.exe", content));
    ServerFault wrong;
    wrong.kind = ServerFault::Kind::kWrongBytes;
    server.QueueFault(wrong);

    const std::string out = folder.Child("package.exe");
    const ToolRun good = RunTool("--type 3 --url " + url + " --out " + out);
    EXPECT_EQ(good.exitCode, 0);
    EXPECT_EQ(good.lines, (std::vector<std::string>{"1001\t1\t", "1006\t0\tmtcurl文件md5校验失败",
                                                    "1005\t0\tLibCurl", "1001\t1\t", "1003\t0\tLibCurl"}));
    EXPECT_EQ(ReadFile(out), content);

    const ToolRun bad = RunTool("--type 3 --url " + server.UrlFor("/missing.exe") + " --out " + out);
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_EQ(bad.lines, (std::vector<std::string>{"1001\t1\t", "1004\t0\tLibCurl"}));
}

}  // namespace
