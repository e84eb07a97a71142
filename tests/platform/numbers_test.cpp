#include <gtest/gtest.h>

#include <cinttypes>
#include <climits>
#include <cstdio>
#include <string>
#include <clocale>
#include <cmath>

#include "platform/format.h"
#include "platform/numbers.h"

namespace {

TEST(Numbers, DecimalToInt) {
    struct Case {
        const char* text;
        int32_t value;
    } cases[] = {
        {"42", 42},          {"  -17xyz", -17},     {"+8", 8},
        {"\t 5", 5},         {"", 0},               {"abc", 0},
        {"- 5", 0},          {"2147483647", INT32_MAX}, {"2147483648", INT32_MAX},
        {"99999999999999999999", INT32_MAX},        {"-2147483648", INT32_MIN},
        {"-2147483649", INT32_MIN},                 {"-99999999999999999999", INT32_MIN},
        {"12.9", 12},        {"007", 7},            {"40000", 40000},
    };
    for (const auto& c : cases) EXPECT_EQ(platform::DecimalToInt(c.text), c.value) << c.text;
}

TEST(Numbers, BinaryToUInt) {
    struct Case {
        const char* text;
        uint32_t value;
    } cases[] = {
        {"101", 5},
        {"  1111", 15},
        {"0b101", 0},  // no prefix: stops at 'b'
        {"1012", 5},
        {"", 0},
        {"11111111111111111111111111111111", 0xFFFFFFFFu},
        {"111111111111111111111111111111111", 0xFFFFFFFFu},  // 33 digits saturate
        {"0000000000000000000000000000000000000001", 1},      // leading zeros are no overflow
        {"-1", 0xFFFFFFFFu},
        {"+10", 2},
    };
    for (const auto& c : cases) EXPECT_EQ(platform::BinaryToUInt(c.text), c.value) << c.text;
}

TEST(Numbers, DecimalToDoubleIgnoresLocale) {
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    std::string saved = previous ? previous : "C";
    bool comma = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") || std::setlocale(LC_NUMERIC, "fr_FR.UTF-8");
    EXPECT_DOUBLE_EQ(platform::DecimalToDouble("1.5e3"), 1500.0);
    EXPECT_DOUBLE_EQ(platform::DecimalToDouble("  -2.25xyz"), -2.25);
    EXPECT_DOUBLE_EQ(platform::DecimalToDouble("abc"), 0.0);
    EXPECT_EQ(platform::Format("%.2f", 3.5), "3.50");
    std::setlocale(LC_NUMERIC, saved.c_str());
    if (!comma) GTEST_SKIP() << "no comma-decimal locale installed; checked in the C locale only";
}

TEST(Numbers, TruncateToInt32) {
    struct Case {
        double value;
        int32_t result;
    } cases[] = {
        {1.9, 1}, {-1.9, -1}, {2147483647.0, INT32_MAX}, {2147483648.0, INT32_MIN},
        {-2147483648.0, INT32_MIN}, {-2147483649.0, INT32_MIN}, {NAN, INT32_MIN}, {INFINITY, INT32_MIN},
    };
    for (const auto& c : cases) EXPECT_EQ(platform::TruncateToInt32(c.value), c.result) << c.value;
}

TEST(Format, LongOutputsAndAppend) {
    std::string big(1000, 'q');
    EXPECT_EQ(platform::Format("<%s>", big.c_str()), "<" + big + ">");
    std::string s = "a";
    platform::AppendFormat(s, "%d-%s", 7, "b");
    EXPECT_EQ(s, "a7-b");
}

}  // namespace

namespace {

TEST(Numbers, DecimalTextsMatchPrintf) {
    // The hand-made texts must be printf's, sign and padding included.
    const int64_t values[] = {0, 7, -7, 42, -42, 999, -999, 1000, 123456789012345, -123456789012345,
                              INT64_MAX, INT64_MIN, INT64_MIN + 1};
    for (int64_t v : values) {
        for (int width : {0, 1, 2, 3, 4}) {
            char expected[64];
            std::snprintf(expected, sizeof expected, "%0*" PRId64, width, v);
            std::string text = "x";
            platform::AppendDecimal(text, v, width);
            EXPECT_EQ(text, std::string("x") + expected) << v << " width " << width;
        }
        const auto u = static_cast<uint64_t>(v);
        char expected[64];
        std::snprintf(expected, sizeof expected, "%" PRIu64, u);
        std::string text;
        platform::AppendDecimal(text, u);
        EXPECT_EQ(text, expected) << u;
    }
}

}  // namespace
