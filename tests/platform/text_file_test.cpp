#include <gtest/gtest.h>

#include "tests/support/ch10_fixture.h"
#include "platform/text_file.h"
#include "tests/support/temp_dir.h"

namespace {

std::string Written(const std::vector<std::string>& writes) {
    ch10fix::TempDir dir;
    std::string path = dir.File("out.txt");
    platform::TextFile f;
    EXPECT_TRUE(f.Open(path, "w+"));
    for (const auto& w : writes) EXPECT_TRUE(f.Write(w));
    f.Close();
    auto bytes = ch10fix::ReadFile(path);
    return std::string(bytes.begin(), bytes.end());
}

TEST(TextFile, LineEndRule) {
    struct Case {
        std::vector<std::string> writes;
        std::string file;
    } cases[] = {
        {{"a\nb\n"}, "a\r\nb\r\n"},
        {{"a\r\nb\r\n"}, "a\r\nb\r\n"},            // never CR CR LF
        {{"a\r", "\nb"}, "a\r\nb"},                // CR LF split across writes
        {{"a", "\n"}, "a\r\n"},
        {{"\n\n"}, "\r\n\r\n"},
        {{"a\rb"}, "a\rb"},                        // a lone CR stays
        {{"x\r", "", "\n"}, "x\r\n"},              // an empty write keeps the last byte
        {{""}, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(Written(c.writes), c.file);
}

TEST(TextFile, ClosedAndUnopenable) {
    platform::TextFile f;
    EXPECT_FALSE(f.Write("x"));
    EXPECT_FALSE(f.Open("/nonexistent-dir/x.txt"));
    EXPECT_FALSE(f.IsOpen());
}

TEST(TextFile, TruncatesOnOpen) {
    ch10fix::TempDir dir;
    std::string path = dir.File("t.txt");
    ch10fix::WriteFile(path, ch10fix::Bytes(100, 'z'));
    platform::TextFile f;
    ASSERT_TRUE(f.Open(path, "w+"));
    f.Write("ab");
    f.Close();
    EXPECT_EQ(ch10fix::ReadFile(path).size(), 2u);
}

}  // namespace
