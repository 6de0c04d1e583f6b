#include "download/integrity_check.h"

#include <gtest/gtest.h>

#include "download/downloader.h"
#include "download_test_support.h"
#include "testing/http_file_server.h"
#include "testing/test_folder.h"

namespace {

using download_test::WriteFile;
using glintcap_testing::Md5Hex;

TEST(IntegrityCheck, ComparesTheFileWithTheAddressMd5) {
    TestFolder folder;
    const std::string file = folder.Child("package.exe");
    WriteFile(file, "package bytes");
    const std::string md5 = Md5Hex("package bytes");
    std::string upper = md5;
    for (char& c : upper) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    struct Case {
        std::string expected;
        std::string path;
        IntegrityVerdict verdict;
    };
    const Case cases[] = {
        {md5, file, IntegrityVerdict::kGood},
        {Md5Hex("other bytes"), file, IntegrityVerdict::kMismatch},
        {upper, file, IntegrityVerdict::kMismatch},  // the comparison is case-sensitive
        {"", file, IntegrityVerdict::kMissingUrlMd5},
        {md5.substr(1), file, IntegrityVerdict::kMissingUrlMd5},
        {md5 + "0", file, IntegrityVerdict::kMissingUrlMd5},
        {Md5Hex("other bytes"), folder.Child("missing.exe"), IntegrityVerdict::kGood},  // unreadable
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CheckIntegrity(c.expected, c.path), c.verdict) << c.expected << " " << c.path;
    }
}

TEST(IntegrityCheck, AsksForOneRetryThenFails) {
    bool retried = false;
    EXPECT_EQ(CodeAfterMismatch(retried), DL_CODE_RETRY);
    EXPECT_TRUE(retried);
    EXPECT_EQ(CodeAfterMismatch(retried), DL_CODE_FAIL);
    EXPECT_EQ(CodeAfterMismatch(retried), DL_CODE_FAIL);
}

}  // namespace
