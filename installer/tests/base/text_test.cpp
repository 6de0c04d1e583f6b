#include "utils/text.h"

#include <gtest/gtest.h>

namespace {

TEST(Text, CodePagesRoundTrip) {
    const std::wstring chinese = L"安装中 Glintcap";
    EXPECT_EQ(Utils::ToWide(Utils::ToNarrow(chinese, 0), 0), chinese);
    EXPECT_EQ(Utils::ToNarrow(chinese, 65001), Utils::ToNarrow(chinese, 0));
    // "安装" in GBK.
    const std::string gbk = "\xB0\xB2\xD7\xB0";
    EXPECT_EQ(Utils::ToWide(gbk, 936), L"安装");
    EXPECT_EQ(Utils::ToNarrow(L"安装", 936), gbk);
    EXPECT_EQ(Utils::ToWide("abc", 99999), L"");         // unknown code page
    EXPECT_EQ(Utils::ToNarrow(L"\U0001F600", 936), "");  // not representable
    EXPECT_EQ(Utils::ToWide("a\xFF"
                            "b",
                            65001),
              L"a\uFFFDb");
}

TEST(Text, TrimReplaceEscape) {
    EXPECT_EQ(Utils::Trim(" \t a b \r\n"), "a b");
    EXPECT_EQ(Utils::Trim(L"\n x \v"), L"x");
    EXPECT_EQ(Utils::ReplaceAll(L"/${ROUTE}/${ROUTE}/x", L"${ROUTE}", L"r"), L"/r/r/x");
    EXPECT_EQ(Utils::ReplaceAll(L"aaa", L"aa", L"a"), L"a");   // searched again from the start
    EXPECT_EQ(Utils::ReplaceAll(L"ab", L"a", L"aa"), L"aab");  // a replacement holding the text ends
    EXPECT_EQ(Utils::UrlEscape(L"http://h/a b/安?x=1"), L"http://h/a+b/%E5%AE%89?x=1");
}

}  // namespace
