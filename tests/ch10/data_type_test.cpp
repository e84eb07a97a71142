// Look-ups in the subsystems' own tables keyed by data type.
#include <gtest/gtest.h>

#include "ch10/data_type.h"

namespace {

using T = ch10::DataType;

constexpr ch10::TypeText kWords[] = {{T::PcmF1, "PCM"}, {T::TimeF1, "TIME"}, {T::MessageF7, "FC"}};

TEST(DataTypeLookup, TextOfACodeOrNone) {
    // A code wider than a byte must not match the byte it ends in (0x109
    // is not PCM), nor may a negative code match anything.
    const struct {
        int code;
        const char* text;
    } cases[] = {{0x09, "PCM"}, {0x11, "TIME"}, {0x37, "FC"}, {0x19, "none"},
                 {-1, "none"},  {0x109, "none"}, {0x111, "none"}, {255, "none"}};
    for (const auto& c : cases) EXPECT_STREQ(ch10::TextOf(kWords, c.code, "none"), c.text) << c.code;
    static_assert(ch10::FindByType(kWords, 0x11) == &kWords[1]);
    static_assert(ch10::FindByType(kWords, 0x12) == nullptr);
}

}  // namespace
