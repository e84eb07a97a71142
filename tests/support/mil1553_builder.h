#pragma once
// MIL-STD-1553 format 1 packet bodies from messages: stamp, block status,
// gap times, byte length, then the data words.
#include <cstdint>
#include <optional>
#include <vector>

#include "tests/support/ch10_fixture.h"

namespace ch10fix {

struct Mil1553Message {
    uint64_t stamp = 0;
    uint16_t blockStatus = 0;
    uint16_t gapTimes = 0;
    std::vector<uint16_t> words;
    // Written instead of 2 x the word count when set (lengths that lie).
    std::optional<uint16_t> lengthOverride;
};

inline Bytes Mil1553Body(const std::vector<Mil1553Message>& messages) {
    Bytes b;
    auto add16 = [&b](uint16_t v) {
        b.push_back(static_cast<uint8_t>(v));
        b.push_back(static_cast<uint8_t>(v >> 8));
    };
    for (const Mil1553Message& m : messages) {
        for (int i = 0; i < 4; ++i) add16(static_cast<uint16_t>(m.stamp >> (16 * i)));
        add16(m.blockStatus);
        add16(m.gapTimes);
        add16(m.lengthOverride.value_or(static_cast<uint16_t>(2 * m.words.size())));
        for (uint16_t w : m.words) add16(w);
    }
    return b;
}

// Word: time-tag mode in bits 31-30, message count in bits 23-0.
inline uint32_t Mil1553Word(uint32_t count, unsigned timeTagMode = 0) { return (timeTagMode << 30) | (count & 0xFFFFFF); }

}  // namespace ch10fix
