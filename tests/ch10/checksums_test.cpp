#include <gtest/gtest.h>

#include "tests/support/held_packet_rig.h"
#include "ch10/checksums.h"

namespace {

using ch10fix::Checksum;
using ch10fix::PacketSpec;
using rigs::HeldPacket;
using ch10::ChecksumOutcome;

PacketSpec Data(Checksum c, std::size_t body, bool secondary = false) {
    PacketSpec s;
    s.channelId = 3;
    s.dataType = 0x09;
    s.checksum = c;
    s.checksumFromByte24 = true;
    s.checksumAfterData = true;
    s.secondaryHeader = secondary;
    for (std::size_t i = 0; i < body; ++i) s.body.push_back(static_cast<uint8_t>(i * 7 + 1));
    return s;
}

TEST(Checksums, DataChecksumByType) {
    struct Case {
        const char* name;
        PacketSpec spec;
        std::optional<uint32_t> packetLength;  // rewritten field
        ch10::ChecksumOutcome outcome;
    } cases[] = {
        {"none", Data(Checksum::None, 10), {}, ch10::ChecksumOutcome::Passed},
        {"8 right", Data(Checksum::Sum8, 11), {}, ch10::ChecksumOutcome::Passed},
        {"16 right", Data(Checksum::Sum16, 10), {}, ch10::ChecksumOutcome::Passed},
        {"32 right", Data(Checksum::Sum32, 12), {}, ch10::ChecksumOutcome::Passed},
        {"32 right, secondary header summed", Data(Checksum::Sum32, 12, true), {}, ch10::ChecksumOutcome::Passed},
        {"16 right, secondary header summed", Data(Checksum::Sum16, 3, true), {}, ch10::ChecksumOutcome::Passed},
    };
    for (auto& c : cases) {
        HeldPacket p(ch10fix::BuildPacket(c.spec));
        auto v = ch10::ComputeDataChecksum(p.view(), p.header());
        EXPECT_EQ(v.outcome, c.outcome) << c.name;
        EXPECT_EQ(v.recorded, v.computed) << c.name;
        // Any wrong recorded value fails.
        if (c.spec.checksum != Checksum::None) {
            c.spec.dataChecksumOverride = v.computed + 1;
            HeldPacket bad(ch10fix::BuildPacket(c.spec));
            auto w = ch10::ComputeDataChecksum(bad.view(), bad.header());
            EXPECT_EQ(w.outcome, ch10::ChecksumOutcome::Failed) << c.name;
            EXPECT_EQ(w.computed, v.computed) << c.name;
        }
    }
}

// The sums run over whole blocks of words and a remainder: lengths around
// the block sizes, against the fixture writer's own sums.
TEST(Checksums, LongBodiesOfEveryLength) {
    for (const Checksum c : {Checksum::Sum8, Checksum::Sum16, Checksum::Sum32})
        for (const std::size_t body : {15u, 16u, 17u, 31u, 32u, 33u, 63u, 64u, 65u, 127u, 128u, 129u, 1000u, 4099u})
            for (const bool secondary : {false, true}) {
                // The 8-bit sum's place counts from byte 24, not after a
                // secondary header as the writer puts it.
                if (c == Checksum::Sum8 && secondary) continue;
                PacketSpec spec = Data(c, body, secondary);
                for (std::size_t i = 0; i < body; ++i) spec.body[i] = static_cast<uint8_t>(0xFF - i * 13);
                HeldPacket p(ch10fix::BuildPacket(spec));
                const auto v = ch10::ComputeDataChecksum(p.view(), p.header());
                EXPECT_EQ(v.outcome, ChecksumOutcome::Passed)
                    << static_cast<int>(c) << " body " << body << " secondary " << secondary;
                EXPECT_EQ(v.recorded, v.computed) << static_cast<int>(c) << " body " << body;
            }
}

TEST(Checksums, PositionsFollowTheLengthFields) {
    // 8-bit: the byte after the data, whatever the packet length says.
    auto s8 = Data(Checksum::Sum8, 5);
    s8.checksumAfterData = false;  // filler before the checksum byte
    HeldPacket filler(ch10fix::BuildPacket(s8));
    auto v = ch10::ComputeDataChecksum(filler.view(), filler.header());
    EXPECT_EQ(v.outcome, ch10::ChecksumOutcome::Failed);
    EXPECT_EQ(v.recorded, filler.data()[24 + filler.header().dataLength]);  // the first filler byte

    // 16-bit on an odd packet length: the last whole word.
    auto s16 = Data(Checksum::Sum16, 6);  // natural length 36, word at 34
    auto b16 = ch10fix::BuildPacket(s16);
    b16.push_back(0xEE);                  // length 37: still the word at 34
    ch10fix::Put32(b16, 4, 37);
    HeldPacket odd(b16);
    auto w = ch10::ComputeDataChecksum(odd.view(), odd.header());
    EXPECT_EQ(w.outcome, ch10::ChecksumOutcome::Passed);
    EXPECT_EQ(w.recorded, ch10fix::Get16(b16, 34));

    // 32-bit on a length that is not a multiple of 4: the last whole word.
    auto s32 = Data(Checksum::Sum32, 8);  // natural length 40, word at 36
    auto b32 = ch10fix::BuildPacket(s32);
    b32.insert(b32.end(), {1, 2, 3});
    ch10fix::Put32(b32, 4, 43);
    HeldPacket unaligned(b32);
    auto x = ch10::ComputeDataChecksum(unaligned.view(), unaligned.header());
    EXPECT_EQ(x.outcome, ch10::ChecksumOutcome::Passed);
    EXPECT_EQ(x.recorded, ch10fix::Get32(b32, 36));
}

TEST(Checksums, ValuesOutsideTheViewAreNotChecked) {
    struct Case {
        const char* name;
        Checksum type;
        uint32_t packetLength;
        uint32_t dataLength;
        std::size_t held;
    } cases[] = {
        {"8-bit beyond the packet", Checksum::Sum8, 100, 0xFFFFFFF0u, 100},
        {"8-bit at the packet end", Checksum::Sum8, 32, 8, 32},
        {"8-bit beyond bytes held", Checksum::Sum8, 64, 20, 40},
        {"16-bit in 25 bytes", Checksum::Sum16, 25, 1, 25},
        {"16-bit in 24 bytes", Checksum::Sum16, 24, 0, 24},
        {"32-bit in 27 bytes", Checksum::Sum32, 27, 1, 27},
        {"32-bit beyond bytes held", Checksum::Sum32, 4096, 16, 100},
        {"32-bit length 2", Checksum::Sum32, 2, 0, 24},
    };
    for (const auto& c : cases) {
        ch10fix::Bytes b(std::max<std::size_t>(c.held, 24), 0x11);
        ch10fix::Put32(b, 4, c.packetLength);
        ch10fix::Put32(b, 8, c.dataLength);
        b[14] = static_cast<uint8_t>(c.type);
        HeldPacket p(b, c.held);
        auto v = ch10::ComputeDataChecksum(p.view(), p.header());
        EXPECT_EQ(v.outcome, ch10::ChecksumOutcome::NotChecked) << c.name;
        EXPECT_EQ(v.recorded, 0u) << c.name;
    }
}

TEST(Checksums, SecondaryHeader) {
    auto s = Data(Checksum::None, 4, true);
    HeldPacket good(ch10fix::BuildPacket(s));
    EXPECT_EQ(ch10::ComputeSecondaryHeaderChecksum(good.view()).outcome, ch10::ChecksumOutcome::Passed);
    s.secondaryChecksumOverride = 0x1234;
    HeldPacket bad(ch10fix::BuildPacket(s));
    auto v = ch10::ComputeSecondaryHeaderChecksum(bad.view());
    EXPECT_EQ(v.outcome, ch10::ChecksumOutcome::Failed);
    EXPECT_EQ(v.recorded, 0x1234u);
    for (std::size_t held : {25u, 30u, 35u}) {
        HeldPacket cut(ch10fix::BuildPacket(s), held);
        EXPECT_EQ(ch10::ComputeSecondaryHeaderChecksum(cut.view()).outcome, ch10::ChecksumOutcome::NotChecked) << held;
    }
}

}  // namespace
