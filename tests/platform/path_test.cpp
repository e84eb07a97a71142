#include <gtest/gtest.h>

#include "platform/path.h"
#include "platform/text.h"

namespace {

TEST(Path, TakeApartAndJoin) {
    struct Case {
        const char* path;
        std::size_t baseOffset;  // last "\", else last "/"
        const char* base;        // last of either
        const char* dir;
    } cases[] = {
        {"D0001000.ch10", 0, "D0001000.ch10", ""},
        {"/data/D0001000.ch10", 6, "D0001000.ch10", "/data"},
        {"C:\\rec\\x.ch10", 7, "x.ch10", "C:\\rec"},
        {"a\\b/c", 2, "c", "a\\b"},
        {"dir/", 4, "", "dir"},
        {"", 0, "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::BaseNameOffset(c.path), c.baseOffset) << c.path;
        EXPECT_EQ(platform::BaseName(c.path), c.base) << c.path;
        EXPECT_EQ(platform::DirName(c.path), c.dir) << c.path;
    }
    EXPECT_EQ(platform::JoinPath("out", "validate.log"), "out/validate.log");
    EXPECT_EQ(platform::JoinPath("out/", "validate.log"), "out/validate.log");
    EXPECT_EQ(platform::JoinPath("out/", "/x"), "out/x");
    EXPECT_EQ(platform::JoinPath("", "x"), "x");
    EXPECT_EQ(platform::JoinPath("d", ""), "d");
}

TEST(Path, StripTrailingSeparatorsKeepsTheRoot) {
    struct Case {
        const char* path;
        const char* stripped;
    } cases[] = {
        {"out/", "out"},      {"out\\/", "out"}, {"/data//", "/data"}, {"out", "out"},
        {"/", "/"},           {"//", "/"},        {"\\", "/"},        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(platform::StripTrailingSeparators(c.path), c.stripped) << c.path;
    // Joined, the root stays the root and the empty directory the working one.
    EXPECT_EQ(platform::JoinPath(platform::StripTrailingSeparators("/"), "validate.log"), "/validate.log");
    EXPECT_EQ(platform::JoinPath(platform::StripTrailingSeparators(""), "validate.log"), "validate.log");
}

TEST(Text, AsciiOnlyCaseRules) {
    EXPECT_TRUE(platform::AsciiEqualsNoCase("Bus-A", "bUS-a"));
    EXPECT_FALSE(platform::AsciiEqualsNoCase("BusA", "BusAB"));
    EXPECT_FALSE(platform::AsciiEqualsNoCase("\xc4", "\xe4"));  // Latin-1 letters are not folded
    EXPECT_EQ(platform::AsciiToUpper("dsi-1 \xe4"), "DSI-1 \xe4");
    EXPECT_LT(platform::AsciiCompareNoCase("abc", "ABD"), 0);
    EXPECT_TRUE(platform::AsciiLessNoCaseThenBytes("B.ch10", "b.ch10"));  // tie: byte order
    EXPECT_TRUE(platform::AsciiLessNoCaseThenBytes("a.CH10", "B.ch10"));
}

}  // namespace
