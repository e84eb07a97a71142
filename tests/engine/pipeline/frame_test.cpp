#include <gtest/gtest.h>

#include <cinttypes>
#include <functional>
#include <regex>

#include "tests/support/engine_test_access.h"
#include "platform/format.h"

#include "tests/support/engine_rig.h"
#include "tests/support/temp_dir.h"

namespace {

using ch10fix::Bytes;
using vexa::BufferOutcome;
using vexa::FormCounter;

using rig::FrameRig;

// Error 39's halves, which a split inside garbage may double or cut apart.
std::string WithoutSyncTexts(const std::string& log) {
    static const std::regex firstHalf("Error 39: Expected start of packet sync pattern not found at offset 0x[0-9a-f]+, ");
    static const std::regex continuation("found next sync pattern at offset 0x[0-9a-f]+(, not a 4 byte boundary!)?\r\n");
    return std::regex_replace(std::regex_replace(log, firstHalf, ""), continuation, "");
}

TEST(Frame, SplitInvariance) {
    Bytes stream;
    ch10fix::Append(stream, rig::Packet(2, 0x09, 40));
    ch10fix::Append(stream, rig::Packet(3, 0x09, 100));
    const std::size_t garbageStart = stream.size();
    ch10fix::Append(stream, Bytes(29, 0xA5));  // Error 39 with a continuation off the 4-byte grid
    const std::size_t garbageEnd = stream.size();
    ch10fix::Append(stream, rig::Packet(2, 0x09, 64));
    const std::size_t brokenStart = stream.size();
    Bytes bad = rig::Packet(3, 0x09, 16);
    ch10fix::BreakHeaderChecksum(bad);  // Error 4, then skipped byte by byte
    ch10fix::Append(stream, bad);
    const std::size_t brokenEnd = stream.size();
    ch10fix::Append(stream, rig::Packet(7, 0x09, 300));  // undeclared: Error 174, straddles most cuts
    ch10fix::Append(stream, rig::Packet(2, 0x11, 12));

    FrameRig whole({2, 3});
    const std::string expected = whole.Run(stream);
    ASSERT_NE(expected.find("Error 39"), std::string::npos);
    ASSERT_NE(expected.find("Error 4:"), std::string::npos);
    ASSERT_NE(expected.find("Error 174"), std::string::npos);
    const uint32_t packets = whole.Packets();
    EXPECT_EQ(packets, 5u);
    const uint32_t syncs = whole.Counter(FormCounter::syncErrors);
    const uint32_t hdr = whole.Counter(FormCounter::hdrChecksumErrors);
    // 174 and 37 for the undeclared channel, 36 for the time packet on a PCM
    // channel and 73 for its data type differing from the slot's earlier packets.
    const uint32_t consistency = whole.Counter(FormCounter::consistencyErrors);
    EXPECT_EQ(consistency, 4u);

    for (std::size_t cut = 1; cut < stream.size(); ++cut) {
        FrameRig split({2, 3});
        const std::string log = split.Run(stream, {cut});
        EXPECT_EQ(split.Packets(), packets) << cut;
        EXPECT_EQ(split.Counter(FormCounter::consistencyErrors), consistency) << cut;
        const bool inGarbage = (cut > garbageStart && cut < garbageEnd + 24) ||
                               (cut > brokenStart && cut < brokenEnd + 24);
        if (!inGarbage) {
            EXPECT_EQ(log, expected) << cut;
            EXPECT_EQ(split.Counter(FormCounter::syncErrors), syncs) << cut;
            EXPECT_EQ(split.Counter(FormCounter::hdrChecksumErrors), hdr) << cut;
            continue;
        }
        // A continuation still owed at the end of a piece is dropped, and
        // the next piece makes its own expected-sync test.
        EXPECT_EQ(WithoutSyncTexts(log), WithoutSyncTexts(expected)) << cut;
        EXPECT_GE(split.Counter(FormCounter::syncErrors), syncs) << cut;
        EXPECT_LE(split.Counter(FormCounter::syncErrors), syncs + 1) << cut;
        EXPECT_GE(split.Counter(FormCounter::hdrChecksumErrors) + 1, hdr) << cut;
        EXPECT_LE(split.Counter(FormCounter::hdrChecksumErrors), hdr + 1) << cut;
    }
}

std::size_t Occurrences(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

TEST(Frame, PacketsAndGarbageOverSeveralBuffers) {
    // A packet longer than some pieces, and a long stretch of garbage with a
    // broken header of interest inside it, fed in several pieces: packets
    // that lie in one piece are validated where they are, the one that
    // straddles is joined to the carried-over tail, whatever the pieces.
    Bytes stream = rig::Packet(2, 0x09, 40);
    const std::size_t bigStart = stream.size();
    ch10fix::Append(stream, rig::Packet(3, 0x09, 300'000, 0x25));
    const std::size_t bigEnd = stream.size();
    ch10fix::Append(stream, rig::Packet(2, 0x09, 64));
    const std::size_t garbageStart = stream.size();
    ch10fix::Append(stream, Bytes(100'001, 0xA5));
    Bytes broken = rig::Packet(3, 0x09, 16);
    ch10fix::BreakHeaderChecksum(broken);
    ch10fix::Append(stream, broken);
    ch10fix::Append(stream, Bytes(99'999, 0x25));
    const std::size_t garbageEnd = stream.size();
    ch10fix::Append(stream, rig::Packet(3, 0x09, 100));
    const std::size_t lastStart = stream.size();
    ch10fix::Append(stream, rig::Packet(2, 0x09, 12));

    FrameRig whole({2, 3});
    const std::string expected = whole.Run(stream);
    ASSERT_EQ(Occurrences(expected, "Error 4: Found packet with channel ID of 3"), 1u) << expected;
    ASSERT_EQ(Occurrences(expected, "Error 39"), 1u) << expected;
    const uint32_t packets = whole.Packets();
    EXPECT_EQ(packets, 5u);

    struct Case {
        const char* name;
        std::vector<std::size_t> cuts;
        bool inGarbage;
    };
    const Case cases[] = {
        {"one packet over three pieces", {bigStart + 100, bigStart + 150'000}, false},
        {"header cut, then the packet's last byte", {bigStart + 10, bigEnd - 1}, false},
        {"a piece ending where the long packet ends", {bigStart + 1, bigEnd}, false},
        {"every packet boundary", {bigStart, bigEnd, garbageStart, lastStart}, false},
        // Garbage that ends a piece is carried over and tested again.
        {"a piece ending with the garbage", {garbageEnd}, true},
        {"garbage over three pieces", {garbageStart + 10, garbageStart + 80'000}, true},
        {"long garbage after a short tail", {garbageStart + 5}, true},
        {"garbage tail, the next header cut", {garbageEnd - 10, garbageEnd + 12}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FrameRig split({2, 3});
        const std::string log = split.Run(stream, c.cuts);
        EXPECT_EQ(split.Packets(), packets);
        EXPECT_EQ(Occurrences(log, "Error 4: Found packet with channel ID of 3"), 1u) << log;
        if (c.inGarbage) EXPECT_EQ(WithoutSyncTexts(log), WithoutSyncTexts(expected));
        else EXPECT_EQ(log, expected);
    }
}

TEST(Frame, Acceptance) {
    struct Case {
        const char* name;
        std::function<Bytes()> candidate;
        int selected;
        uint32_t packets;  // accepted, the two good neighbours included
        const char* logHas;   // nullptr: the log has no finding
        uint32_t hdrChecksumErrors;
        uint32_t packetLenErrors;
    };
    auto headerOnly = [](uint32_t packetLength, uint32_t dataLength, bool breakChecksum, uint8_t type = 0x09) {
        ch10fix::PacketSpec s;
        s.channelId = 3;
        s.dataType = type;
        s.csdw = std::nullopt;
        s.packetLengthOverride = packetLength;
        s.dataLengthOverride = dataLength;
        Bytes b = ch10fix::BuildPacket(s);
        b.resize(24);
        if (breakChecksum) ch10fix::BreakHeaderChecksum(b);
        return b;
    };
    const Case cases[] = {
        {"length 24", [&] { return headerOnly(24, 0, false); }, 0, 2, nullptr, 0, 0},
        // Accepted packets get the header checks: 45 and 158 count as Packet Len.
        {"length 25", [&] { Bytes b = headerOnly(25, 0, false); b.push_back(0); return b; }, 0, 3, nullptr, 0, 1},
        {"length below data length + 24",
         [&] { Bytes b = headerOnly(28, 1000, false); b.resize(28); return b; }, 0, 3, nullptr, 0, 1},
        {"bad checksum", [&] { return headerOnly(28, 4, true); }, 0, 2, "Error 4: Found packet with channel ID of 3", 1, 0},
        {"bad checksum, not of interest", [&] { return headerOnly(28, 4, true); }, 2, 2, nullptr, 0, 0},
        {"bad length, rejected", [&] { return headerOnly(28, 1000, true); }, 0, 2,
         "Error 43: Found packet with channel ID of 3, at offset 0x30, with invalid Packet Length of 28, packet is "
         "skipped.\r\n",
         0, 1},
        {"0xFC001, good checksum", [&] { return headerOnly(0xFC001, 0, false); }, 0, 2,
         "with invalid Packet Length of 1032193, packet is skipped.", 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes s = rig::Packet(2, 0x09, 20);  // 48 bytes
        ch10fix::Append(s, c.candidate());
        ch10fix::Append(s, rig::Packet(2, 0x09, 20));
        FrameRig r({2, 3}, c.selected);
        const std::string log = r.Run(s);
        EXPECT_EQ(r.Packets(), c.packets);
        if (c.logHas) {
            EXPECT_NE(log.find(c.logHas), std::string::npos) << log;
        } else {
            EXPECT_EQ(log.find("Error 4:"), std::string::npos) << log;
            EXPECT_EQ(log.find("Error 43"), std::string::npos) << log;
        }
        EXPECT_EQ(r.Counter(FormCounter::hdrChecksumErrors), c.hdrChecksumErrors);
        EXPECT_EQ(r.Counter(FormCounter::packetLenErrors), c.packetLenErrors);
    }
    // Error 4 is counted for every bad candidate, of interest or not.
    Bytes s = rig::Packet(2, 0x09, 20);
    ch10fix::Append(s, headerOnly(28, 4, true));
    FrameRig r({2, 3}, 2);
    r.Run(s);
    EXPECT_EQ(r.engine->Errors().errorTable[2][4], 1u);  // channel 3 sits at slot 2
}

TEST(Frame, SyncTextsAndBoundaries) {
    struct Case {
        std::size_t garbage;
        const char* text;
    } cases[] = {
        {8, "Error 39: Expected start of packet sync pattern not found at offset 0x30, found next sync pattern at "
            "offset 0x38\r\n"},
        {5, "Error 39: Expected start of packet sync pattern not found at offset 0x30, found next sync pattern at "
            "offset 0x35, not a 4 byte boundary!\r\n"},
    };
    for (const auto& c : cases) {
        Bytes s = rig::Packet(2, 0x09, 20);
        ch10fix::Append(s, Bytes(c.garbage, 0x00));
        ch10fix::Append(s, rig::Packet(2, 0x09, 20));
        FrameRig r({2});
        EXPECT_NE(r.Run(s).find(c.text), std::string::npos) << c.garbage;
        EXPECT_EQ(r.Counter(FormCounter::syncErrors), 1u);
        EXPECT_EQ(r.Counter(FormCounter::hdrChecksumErrors), 1u);  // the continuation
    }
}

TEST(Frame, OffsetsBeyondFourGiB) {
    // 4097 packets of the largest acceptable length take the offset past 4 GiB.
    ch10fix::PacketSpec big;
    big.channelId = 2;
    big.dataType = 0x09;
    big.body = Bytes(0xFC000 - 28, 0x5A);
    const Bytes packet = ch10fix::BuildPacket(big);
    ASSERT_EQ(packet.size(), 0xFC000u);
    FrameRig r({2});
    for (int i = 0; i < 4097; ++i)
        ASSERT_EQ(vexa::EngineTestAccess::AppendAndValidate(*r.engine, 1, static_cast<int>(packet.size()), packet.data(), [] {}),
                  BufferOutcome::NeedData);
    const uint64_t base = 4097ull * 0xFC000;  // 0x1_0010_0000 (approx.)
    ASSERT_EQ(vexa::EngineTestAccess::FrameOf(*r.engine).PacketOffset(), base);
    Bytes tail(3, 0x00);
    Bytes bad = rig::Packet(2, 0x09, 8);
    ch10fix::BreakHeaderChecksum(bad);
    ch10fix::Append(tail, bad);
    ch10fix::Append(tail, rig::Packet(2, 0x09, 8));
    const std::string log = r.Run(tail);
    EXPECT_NE(log.find(platform::Format("not found at offset 0x%x, ", static_cast<unsigned>(base))),
              std::string::npos)
        << log;
    EXPECT_NE(log.find(platform::Format("at offset 0x%" PRIx64 ", with invalid Header Checksum", base + 3)),
              std::string::npos)
        << log;
}

TEST(Frame, ChannelSlots) {
    std::vector<uint16_t> ten;
    for (uint16_t id = 101; id <= 110; ++id) ten.push_back(id);
    {
        FrameRig r(ten);
        EXPECT_EQ(vexa::EngineTestAccess::FrameOf(*r.engine).ChannelTableCount(), 11);
        for (int s = 1; s <= 10; ++s) EXPECT_EQ(vexa::EngineTestAccess::FrameOf(*r.engine).ChannelAt(s), 100u + static_cast<unsigned>(s));
        Bytes s = rig::Packet(200, 0x09, 8);
        ch10fix::Append(s, rig::Packet(105, 0x09, 8));
        const std::string log = r.Run(s);
        EXPECT_EQ(vexa::EngineTestAccess::FrameOf(*r.engine).ChannelAt(11), 200u);
        EXPECT_NE(log.find("Error 174: Channel ID not defined in TMATS\r\n"), std::string::npos);
        EXPECT_EQ(r.engine->Errors().errorTable[11][174], 1u);
        EXPECT_EQ(r.Counter(FormCounter::consistencyErrors), 1u);
    }
    {
        // 255 declared channels fill the table; an unknown channel is
        // skipped with one box per packet and its bytes are consumed.
        std::vector<uint16_t> many;
        for (uint16_t id = 1000; id < 1300; ++id) many.push_back(id);
        FrameRig r(many);
        EXPECT_EQ(vexa::EngineTestAccess::FrameOf(*r.engine).ChannelTableCount(), 256);
        EXPECT_EQ(vexa::EngineTestAccess::FrameOf(*r.engine).ChannelAt(255), 1254u);
        Bytes s = rig::Packet(1000, 0x09, 8);
        ch10fix::Append(s, rig::Packet(5, 0x09, 8));
        ch10fix::Append(s, rig::Packet(5, 0x09, 8));
        ch10fix::Append(s, rig::Packet(1001, 0x09, 8));
        const std::string log = r.Run(s);
        EXPECT_EQ(r.host.boxes.size(), 2u);
        EXPECT_EQ(r.host.boxes[0].text,
                  "Error: Program unable to process more than 256 different channel IDs, this channel is ignored.");
        EXPECT_EQ(r.Packets(), 2u);
        EXPECT_EQ(log.find("Error 39"), std::string::npos) << log;
    }
    {
        // With a channel selected, a time packet of another channel still
        // gets its framing findings; a data packet does not.
        FrameRig r({101, 300}, 101);
        Bytes timeBad = rig::Packet(300, 0x11, 8);
        ch10fix::BreakHeaderChecksum(timeBad);
        Bytes dataBad = rig::Packet(300, 0x09, 8);
        ch10fix::BreakHeaderChecksum(dataBad);
        Bytes s = rig::Packet(101, 0x09, 8);
        ch10fix::Append(s, timeBad);
        ch10fix::Append(s, rig::Packet(101, 0x09, 8));
        ch10fix::Append(s, dataBad);
        ch10fix::Append(s, rig::Packet(101, 0x09, 8));
        const std::string log = r.Run(s);
        EXPECT_EQ(r.Counter(FormCounter::hdrChecksumErrors), 1u);
        EXPECT_NE(log.find("channel ID of 300, at offset 0x24"), std::string::npos) << log;
    }
}

}  // namespace
