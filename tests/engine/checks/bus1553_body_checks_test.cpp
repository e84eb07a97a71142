// MIL-STD-1553 body checks on exact-size packets: transfer types, gap
// times, byte counts, block status, simulated data, the packet span and
// hostile counts and lengths.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "tests/engine/checks/check_rig.h"
#include "tests/support/mil1553_builder.h"
#include "vexa/engine/bus1553_body_check.h"
#include "vexa/engine/channel_word_checks.h"

namespace {

using ch10fix::Mil1553Message;
using checkfix::HeldPacket;
using Numbers = std::vector<uint32_t>;

constexpr uint16_t kBcRt2 = 0x0842;  // RT 1 receive, subaddress 2, two words
constexpr uint16_t kGapOk = 50;
constexpr uint16_t kMe = 1u << 12, kRtRt = 1u << 11, kFe = 1u << 10, kTm = 1u << 9;
constexpr uint16_t kLe = 1u << 5, kSe = 1u << 4, kWe = 1u << 3, kBusB = 1u << 13;

struct Walked {
    std::vector<vexa::Bus1553Finding> findings;
    Numbers numbers;
};

ch10fix::Bytes Packet(const std::vector<Mil1553Message>& messages, uint32_t count, unsigned tt = 0,
                      std::optional<uint32_t> dataLength = std::nullopt, bool secondary = false) {
    ch10fix::PacketSpec spec;
    spec.channelId = 4;
    spec.dataType = 0x19;
    spec.csdw = ch10fix::Mil1553Word(count, tt);
    spec.body = ch10fix::Mil1553Body(messages);
    spec.dataLengthOverride = dataLength;
    spec.secondaryHeader = secondary;
    if (secondary) spec.otherFlags = 0x40;
    return ch10fix::BuildPacket(spec);
}

Walked Walk(const ch10fix::Bytes& bytes, vexa::Bus1553SlotState& state, int32_t& prevSim, bool sim = false,
            std::size_t held = SIZE_MAX) {
    const HeldPacket p(bytes, held);
    const ch10::PacketView view = p.view();
    Walked w;
    w.findings = vexa::Walk1553Messages(
        {.header = p.header(), .view = view, .csdw = ch10::ChannelSpecificWord(view, p.header()),
         .checkSimulated = sim},
        state, prevSim);
    for (const auto& f : w.findings) w.numbers.push_back(f.number);
    return w;
}

Walked Walk(const std::vector<Mil1553Message>& messages, bool sim = false) {
    vexa::Bus1553SlotState state;
    int32_t prev = -1;
    return Walk(Packet(messages, static_cast<uint32_t>(messages.size())), state, prev, sim);
}

Mil1553Message Clean(uint64_t stamp = 1000, std::vector<uint16_t> data = {0, 1}) {
    Mil1553Message m{stamp, 0, kGapOk, {kBcRt2}, std::nullopt};
    m.words.insert(m.words.end(), data.begin(), data.end());
    m.words.push_back(0x0800);  // status
    return m;
}

TEST(Bus1553BodyChecks, TransferTypes) {
    struct Case {
        uint16_t command;
        bool rtToRt;
        const char* name;
        int words;
    } const cases[] = {
        {0x0844, false, "BC-RT", 6},
        {0x0C44, false, "RT-BC", 6},
        {0xF840, false, "broadcast BC-RT", 33},  // count 0 means 32
        {0xF801, false, "broadcast Mode w/o data", 1},
        {0xF811, false, "broadcast Mode with data", 2},
        {0xF844, true, "broadcast RT-RT", 7},
        {0x0801, false, "Mode w/o data", 2},
        {0x0800, false, "Mode w/o data", 2},  // mode code 0
        {0x0811, false, "Mode with data-Rx", 3},
        {0x0C11, false, "Mode with data-Tx", 3},
        {0x0BF1, false, "Mode with data-Rx", 3},  // subaddress 31
        {0x0844, true, "RT-RT", 8},
        {0x0840, true, "RT-RT", 36},
    };
    for (const Case& c : cases) {
        const vexa::TransferType t = vexa::DecodeTransfer(c.command, c.rtToRt);
        EXPECT_STREQ(t.name, c.name) << std::hex << c.command;
        EXPECT_EQ(t.words, c.words) << std::hex << c.command;
    }
}

TEST(Bus1553BodyChecks, GapsLengthsAndBlockStatus) {
    struct Case {
        const char* name;
        uint16_t status;
        uint16_t gaps;
        int lengthChange;  // bytes added to the recorded length
        Numbers expected;  // 0: the block status listing
        std::string firstText;
    };
    const Case cases[] = {
        {"clean", 0, kGapOk, 0, {}, ""},
        {"GAP1 34", 0, 34, 0, {125},
         "Error 125: at message 1, Message Gap Time 1 of 34 10th of microsec is out of bus 1553B spec limits (4-12 "
         "microsec) \r\n"},
        {"GAP1 35", 0, 35, 0, {}, ""},
        {"GAP1 125", 0, 125, 0, {}, ""},
        {"GAP1 126", 0, 126, 0, {125}, ""},
        {"GAP2 126 not RT-RT", 0, 126 << 8 | kGapOk, 0, {}, ""},
        {"length 2 short", 0, kGapOk, -2, {127},
         "Error 127: at message 1, expected byte count of 8 is greater than recorded byte count of 6 \r\n"},
        {"length 2 long", 0, kGapOk, 2, {128},
         "Error 128: at message 1, expected byte count of 8 is less than recorded byte count of 10 \r\n"},
        {"ME set: no byte check", kMe, kGapOk, 2, {119, 0}, ""},
        {"all six bits", kMe | kFe | kTm | kLe | kSe | kWe, kGapOk, 0, {119, 120, 121, 122, 123, 124, 0}, ""},
        {"bus B alone", kBusB, kGapOk, 0, {}, ""},
    };
    for (const Case& c : cases) {
        Mil1553Message m = Clean();
        m.blockStatus = c.status;
        m.gapTimes = c.gaps;
        if (c.lengthChange < 0) m.words.pop_back();
        if (c.lengthChange > 0) m.words.push_back(0);
        const Walked w = Walk({m});
        EXPECT_EQ(w.numbers, c.expected) << c.name;
        if (!c.firstText.empty() && !w.findings.empty()) {
            EXPECT_EQ(w.findings[0].text, c.firstText) << c.name;
        }
    }

    // GAP2 only on RT-RT: two commands, status, two data words, status.
    Mil1553Message rtrt{1000, kRtRt, 126 << 8 | kGapOk, {kBcRt2, 0x0C42, 0x0800, 0, 1, 0x0800}, std::nullopt};
    EXPECT_EQ(Walk({rtrt}).numbers, Numbers{126});
}

TEST(Bus1553BodyChecks, RaisedTextsAndCounts) {
    const int slot = 9;
    vexa::ErrorAccounting errors;
    vexa::Bus1553SlotState state;
    int32_t prev = -1;
    Mil1553Message fe = Clean();
    fe.blockStatus = kFe | kBusB;
    fe.words.pop_back();
    Mil1553Message meOnly = Clean(2000);
    meOnly.blockStatus = kMe;
    const Walked w = Walk(Packet({fe, meOnly}, 2), state, prev);
    std::string text;
    vexa::RaiseBus1553Findings(errors, slot, w.findings, state, text);
    EXPECT_EQ(text,
              "Error 127: at message 1, expected byte count of 8 is greater than recorded byte count of 6 \r\n"
              "Error 172: Block Status is not indicating an error in the message \r\n"
              "Error: at message 1, following Block Status Word error bit(s) is/are set: \r\n"
              "Error 120: FE - Format \r\n"
              "Error: at message 2, following Block Status Word error bit(s) is/are set: \r\n"
              "Error 119: ME - Message Error \r\n");
    // Stored WE, SE, LE, TM, FE, ME.
    EXPECT_EQ(errors.bus1553ErrorCounts[slot], (std::array<uint32_t, 6>{0, 0, 0, 0, 1, 1}));
    EXPECT_EQ(errors.errorTable[slot][120], 1u);
    EXPECT_EQ(errors.errorTable[slot][127], 1u);
    EXPECT_EQ(errors.errorTable[slot][172], 0u);
    EXPECT_EQ(errors.Chan(vexa::Detail::chanBlockStatusErrors)[slot], 2);
    EXPECT_EQ(errors.Chan(vexa::Detail::chanByteCountErrors)[slot], 1);
    EXPECT_EQ(state.busA, 1u);
    EXPECT_EQ(state.busB, 1u);
}

// The block status bits are counted before the message's gap and byte count
// findings, so the packet's first five counted numbers (the Space Delimited
// row) start with them; the texts keep their order.
TEST(Bus1553BodyChecks, BlockStatusCountedFirst) {
    struct Case {
        const char* name;
        uint16_t status;
        std::array<uint32_t, 5> codes;
        std::string text;
    };
    const std::string gap = "Error 125: at message 1, Message Gap Time 1 of 10 10th of microsec is out of bus 1553B "
                            "spec limits (4-12 microsec) \r\n";
    const std::string listed = "Error: at message 1, following Block Status Word error bit(s) is/are set: \r\n";
    const Case cases[] = {
        {"ME and TM", kMe | kTm, {119, 121, 125, 0, 0},
         gap + listed + "Error 119: ME - Message Error \r\nError 121: TM - Response Timeout \r\n"},
        {"all six bits: the cap keeps the bits", kMe | kFe | kTm | kLe | kSe | kWe, {119, 120, 121, 122, 123},
         gap + listed +
             "Error 119: ME - Message Error \r\nError 120: FE - Format \r\nError 121: TM - Response Timeout \r\n"
             "Error 122: LE - Word Count \r\nError 123: SE - Incorrect Sync Type \r\n"
             "Error 124: WE - Invalid Word \r\n"},
    };
    for (const Case& c : cases) {
        Mil1553Message m = Clean();
        m.blockStatus = c.status;
        m.gapTimes = 10;
        vexa::ErrorAccounting errors;
        vexa::Bus1553SlotState state;
        int32_t prev = -1;
        const Walked w = Walk(Packet({m}, 1), state, prev);
        errors.BeginPacket();
        std::string text;
        vexa::RaiseBus1553Findings(errors, 3, w.findings, state, text);
        EXPECT_EQ(errors.packetCodes, c.codes) << c.name;
        EXPECT_EQ(text, c.text) << c.name;
        EXPECT_EQ(errors.errorTable[3][125], 1u) << c.name;
        EXPECT_EQ(errors.errorTable[3][119], 1u) << c.name;
    }
}

TEST(BodyCheckLimits, EightGapFindingsInOnePacket) {
    std::vector<Mil1553Message> messages;
    for (int i = 0; i < 8; ++i) {
        messages.push_back(Clean(1000 + 100 * static_cast<uint64_t>(i)));
        messages.back().gapTimes = 20;
    }
    vexa::ErrorAccounting errors;
    vexa::Bus1553SlotState state;
    int32_t prev = -1;
    const Walked w = Walk(Packet(messages, 8), state, prev);
    std::string text;
    vexa::RaiseBus1553Findings(errors, 2, w.findings, state, text);
    int lines = 0, notices = 0;
    for (std::size_t at = text.find("Error 125:"); at != std::string::npos; at = text.find("Error 125:", at + 1))
        ++lines;
    for (std::size_t at = text.find("   *** "); at != std::string::npos; at = text.find("   *** ", at + 1)) ++notices;
    EXPECT_EQ(lines, 5);
    EXPECT_EQ(notices, 1);
    EXPECT_EQ(errors.Chan(vexa::Detail::chanGapTimeErrors)[2], 8);
    EXPECT_EQ(errors.errorTable[2][125], 8u);
}

TEST(Bus1553BodyChecks, SimulatedData) {
    struct Case {
        const char* name;
        std::vector<Mil1553Message> messages;
        Numbers expected;
        std::string firstText;
    };
    std::vector<uint16_t> rtrt32 = {0x0840, 0x0C40, 0x0800};
    for (uint16_t i = 0; i < 32; ++i) rtrt32.push_back(static_cast<uint16_t>(i == 0 ? 7 : i));
    rtrt32.push_back(0x0800);
    std::string dump32 = "Error 131: at message 2, Simulated value is out of order, recorded is 7, computed is 2 \r\n"
                         "  Message 2 (RT-RT): \r\n  0840 0c40 0800 0007 0001 0002 0003 0004 0005 0006 0007 0008 "
                         "0009 000a 000b 000c 000d 000e 000f 0010 0011 \r\n  0012 0013 0014 0015 0016 0017 0018 "
                         "0019 001a 001b 001c 001d 001e 001f 0800 \r\n";
    Mil1553Message rtrt{2000, kRtRt, kGapOk << 8 | kGapOk, rtrt32, std::nullopt};
    Mil1553Message shortMsg = Clean(2000, {5, 9});
    shortMsg.words.pop_back();
    Mil1553Message stop{1500, 0, kGapOk, {0x26A2, 0x2000, 77, 78}, std::nullopt};
    Mil1553Message mode{1500, 0, kGapOk, {0x0811, 77, 0x0800}, std::nullopt};
    const Case cases[] = {
        {"counting on", {Clean(1000, {0, 1}), Clean(2000, {2, 3})}, {}, ""},
        {"95 is followed by 0", {Clean(1000, {94, 95}), Clean(2000, {0, 1})}, {}, ""},
        {"out of order", {Clean(1000, {0, 2})}, {131},
         "Error 131: at message 1, Simulated value is out of order, recorded is 2, computed is 1 \r\n"
         "  Message 1 (BC-RT): \r\n  0842 0000 0002 0800 \r\n"},
        {"dump wraps after 21 words", {Clean(1000, {0, 1}), rtrt}, {131, 131}, dump32},
        {"short message dumps its words", {Clean(1000, {0, 1}), shortMsg}, {127, 131, 131},
         "Error 131: at message 2, Simulated value is out of order, recorded is 5, computed is 2 \r\n"
         "  Message 2 (BC-RT): \r\n  0842 0005 0009 \r\n"},
        {"stop and mode messages skipped", {Clean(1000, {0, 1}), stop, mode, Clean(2000, {2, 3})}, {}, ""},
    };
    for (const Case& c : cases) {
        const Walked w = Walk(c.messages, true);
        EXPECT_EQ(w.numbers, c.expected) << c.name;
        // The first out-of-order word with its dump; each later word is
        // compared with the one before it.
        for (const auto& f : w.findings)
            if (f.number == 131) {
                EXPECT_EQ(f.text, c.firstText) << c.name;
                break;
            }
    }
    // Off: nothing.
    EXPECT_EQ(Walk({Clean(1000, {5, 9})}, false).numbers, Numbers{});
}

TEST(Bus1553BodyChecks, PacketSpan) {
    // Two clean BC-RT messages (W 4, GAP1 50, GAP2 0): the start and end
    // offsets per time tag mode add 850, 850, 900 and 0 ticks to the stamps'
    // distance.
    struct Case {
        unsigned tt;
        uint64_t distance;
        Numbers expected;
    } const cases[] = {
        {0, 1000000 - 850, {}}, {0, 1000000 - 849, {11}}, {1, 1000000 - 850, {}}, {1, 1000000 - 849, {11}},
        {2, 1000000 - 900, {}}, {2, 1000000 - 899, {11}}, {3, 1000000, {}},       {3, 1000001, {11}},
    };
    for (const Case& c : cases) {
        vexa::Bus1553SlotState state;
        int32_t prev = -1;
        const Walked w = Walk(Packet({Clean(5000), Clean(5000 + c.distance)}, 2, c.tt), state, prev);
        EXPECT_EQ(w.numbers, c.expected) << c.tt << " " << c.distance;
    }
    vexa::Bus1553SlotState state;
    int32_t prev = -1;
    const Walked w = Walk(Packet({Clean(5000), Clean(5000 + 2000000)}, 2, 3), state, prev);
    ASSERT_EQ(w.numbers, Numbers{11});
    EXPECT_EQ(w.findings[0].text,
              "Error 11: Packet contains more than 100 milliseconds worth of data (                 200 milsec) \r\n");
    // Secondary-header time form: no span and no stamp check.
    Mil1553Message late = Clean(5000 + 2000000);
    late.stamp |= 1ull << 48;
    EXPECT_EQ(Walk(Packet({Clean(5000), late}, 2, 3, std::nullopt, true), state, prev).numbers, Numbers{});
}

// Counts and lengths that lie, each with the bus A messages the walk takes.
struct HostileCase {
    const char* name;
    std::vector<Mil1553Message> messages;
    uint32_t count;
    std::optional<uint32_t> dataLength;
    std::size_t held;
    uint32_t walked;
};

std::vector<HostileCase> HostileCases() {
    Mil1553Message hugeLength = Clean();
    hugeLength.lengthOverride = 0xFFFF;
    Mil1553Message empty{1000, 0, kGapOk, {}, std::nullopt};
    return {
        {"count 0", {Clean(), Clean()}, 0, {}, SIZE_MAX, 0},
        {"count 0xFFFFFF", {Clean(), Clean()}, 0xFFFFFF, {}, SIZE_MAX, 2},
        {"length 0xFFFF", {hugeLength, Clean()}, 2, {}, SIZE_MAX, 1},
        {"zero-length message", {empty, Clean()}, 2, {}, SIZE_MAX, 2},
        {"second header cut by the data end", {Clean(), Clean()}, 2, 4 + 22 + 13, SIZE_MAX, 1},
        {"second header past the data end", {Clean(), Clean()}, 2, 4 + 22 + 2, SIZE_MAX, 1},
        {"data length beyond the packet", {Clean(), Clean()}, 2, 0x100000, SIZE_MAX, 2},
        {"packet held short", {Clean(), Clean()}, 2, {}, 24 + 4 + 22 + 10, 1},
        {"data word cut", {Clean()}, 1, {}, 24 + 2, 0},
    };
}

TEST(Bus1553BodyChecks, HostileCountsAndLengths) {
    for (const HostileCase& c : HostileCases()) {
        vexa::Bus1553SlotState state;
        int32_t prev = -1;
        const ch10fix::Bytes bytes = Packet(c.messages, c.count, 0, c.dataLength);
        const Walked w = Walk(bytes, state, prev, true, c.held);
        EXPECT_EQ(state.busA, c.walked) << c.name;
        for (uint32_t n : w.numbers) EXPECT_TRUE(n == 0 || n == 11 || (n >= 119 && n <= 131)) << c.name << " " << n;
    }
    // A message without its command word is still a byte-count fault.
    const Walked w = Walk({Mil1553Message{1000, 0, kGapOk, {}, std::nullopt}});
    ASSERT_EQ(w.numbers, Numbers{127});
    EXPECT_EQ(w.findings[0].text,
              "Error 127: at message 1, expected byte count of 2 is greater than recorded byte count of 0 \r\n");
}

}  // namespace

// The channel word's pass over the messages carries the body walk: whatever
// the packet, the carried walk finds, counts and leaves what the body
// check's own walk does.
TEST(Bus1553BodyChecks, CarriedWalkIsTheBodyWalk) {
    struct Case {
        const char* name;
        std::vector<Mil1553Message> messages;
        uint32_t count;
        std::optional<uint32_t> dataLength;
        std::size_t held;
        bool secondary;
        unsigned tt;
    };
    Mil1553Message badGaps{1000, kMe | kRtRt | kBusB, 200 << 8 | 3, {kBcRt2, 5, 6, 0x0800}, std::nullopt};
    Mil1553Message highBits = Clean(2000 | 7ull << 48, {9, 3});
    std::vector<Case> cases = {
        {"clean, simulated in order", {Clean(1000, {5, 6}), Clean(2000, {7, 8})}, 2, {}, SIZE_MAX, false, 0},
        {"faults of every family", {badGaps, highBits, Clean(5000 + 2000000)}, 3, {}, SIZE_MAX, false, 1},
        {"secondary-header stamps", {Clean(5000), Clean(5000 + 2000000)}, 2, {}, SIZE_MAX, true, 3},
    };
    for (const HostileCase& h : HostileCases())
        cases.push_back({h.name, h.messages, h.count, h.dataLength, h.held, false, 0});
    for (const Case& c : cases) {
        const ch10fix::Bytes bytes = Packet(c.messages, c.count, c.tt, c.dataLength, c.secondary);
        const HeldPacket p(bytes, c.held);
        const ch10::PacketView view = p.view();
        const vexa::Bus1553Input in{.header = p.header(), .view = view,
                                    .csdw = ch10::ChannelSpecificWord(view, p.header()), .checkSimulated = true};
        vexa::Bus1553SlotState own;
        int32_t ownPrev = 4;
        const auto findings = vexa::Walk1553Messages(in, own, ownPrev);

        vexa::Bus1553BodyPass pass = vexa::Open1553Body(in, 4);
        vexa::IntraStampTimes stamps;
        vexa::CheckBus1553Packet(stamps, {.header = p.header(), .view = view, .slot = 2, .bus1553Body = &pass});
        if (!pass.complete) {
            // Only a packet whose data word is not all there leaves the walk
            // to the body check.
            EXPECT_FALSE(view.U32(ch10::ChannelSpecificWordOffset(p.header()))) << c.name;
            continue;
        }
        vexa::Bus1553SlotState carried;
        int32_t carriedPrev = -7;
        vexa::Apply1553Pass(pass, carried, carriedPrev);
        ASSERT_EQ(pass.findings.size(), findings.size()) << c.name;
        for (std::size_t i = 0; i < findings.size(); ++i) {
            EXPECT_EQ(pass.findings[i].number, findings[i].number) << c.name << " " << i;
            EXPECT_EQ(pass.findings[i].text, findings[i].text) << c.name << " " << i;
        }
        EXPECT_EQ(carried.busA, own.busA) << c.name;
        EXPECT_EQ(carried.busB, own.busB) << c.name;
        EXPECT_EQ(carriedPrev, ownPrev) << c.name;
    }
}
