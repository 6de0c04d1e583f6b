#include "log_line.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <regex>
#include <string>

namespace {

// Captures what the process writes to standard error while it lives.
class StderrCapture {
public:
    StderrCapture() { testing::internal::CaptureStderr(); }
    std::string Take() { return testing::internal::GetCapturedStderr(); }
};

struct Widget {
    std::string Method() const { return logging::QualifiedFunctionName(__PRETTY_FUNCTION__); }
    static std::string Static(int, const char*) {
        return logging::QualifiedFunctionName(__PRETTY_FUNCTION__);
    }
    std::string FromLambda() {
        return [] { return logging::QualifiedFunctionName(__PRETTY_FUNCTION__); }();
    }
};

TEST(LogLine, QualifiedNameOfTheCaller) {
    EXPECT_EQ(Widget().Method(), "{anonymous}::Widget::Method");
    EXPECT_EQ(Widget::Static(1, ""), "{anonymous}::Widget::Static");
    EXPECT_EQ(Widget().FromLambda(), "{anonymous}::Widget::FromLambda::<lambda>");
    struct Case {
        const char* pretty;
        const char* name;
    } cases[] = {
        {"void CDownloadInstaller::Start()", "CDownloadInstaller::Start"},
        {"bool Utils::HardDiskManager::CheckFreeSpace(const std::wstring&)",
         "Utils::HardDiskManager::CheckFreeSpace"},
        {"std::map<int, int> A::B(std::pair<int, int>) const", "A::B"},
        {"void ns::F(T) [with T = int]", "ns::F"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(logging::QualifiedFunctionName(c.pretty), c.name) << c.pretty;
    }
}

TEST(LogLine, PrefixThenMessageInOneLine) {
    StderrCapture capture;
    LOG_LINE("DL_TYPE=%d\r\n", 3);
    std::string line = capture.Take();
    std::regex expected(
        R"(<P\d{5,}><T\d{5,}><\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}>\()"
        R"(\{anonymous\}::LogLine_PrefixThenMessageInOneLine_Test::TestBody\)<\d{4}>: DL_TYPE=3\r\n)");
    EXPECT_TRUE(std::regex_match(line, expected)) << line;
}

TEST(LogLine, OutsideTextIsAValueNeverAFormat) {
    StderrCapture capture;
    LogLine("F", 7, "DL_CODE_FAIL\r\n");
    LogLine("F", 12345, "url=%s\r\n", "http://h/%d%s%n");
    LogLine("G", 1, "THREAD BEGIN");
    std::string out = capture.Take();
    EXPECT_NE(out.find("(F)<0007>: DL_CODE_FAIL\r\n"), std::string::npos) << out;
    EXPECT_NE(out.find("(F)<12345>: url=http://h/%d%s%n\r\n"), std::string::npos) << out;
    EXPECT_TRUE(out.ends_with("(G)<0001>: THREAD BEGIN\n")) << out;  // a line end is added when missing
}

}  // namespace
