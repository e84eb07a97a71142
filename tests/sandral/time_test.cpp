// The header test, offset texts and time conversions.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "tests/support/ch10_fixture.h"
#include "header_test.h"
#include "tests/support/held_packet_rig.h"
#include "sandral_state.h"
#include "time_convert.h"
#include "tests/support/time_packet_builder.h"
#include "time_reference.h"

namespace sandral {
namespace {

using ch10fix::Bytes;

class SandralTime : public ::testing::Test {
protected:
    void SetUp() override { ResetStateForTests(); }
    void TearDown() override { ResetStateForTests(); }
};

TEST_F(SandralTime, HeaderTest) {
    struct Case {
        const char* name;
        void (*change)(Bytes&);
        std::size_t held;
        bool accepted;
    };
    const Case cases[] = {
        {"valid", [](Bytes&) {}, SIZE_MAX, true},
        {"sync bytes swapped", [](Bytes& b) { std::swap(b[0], b[1]); }, SIZE_MAX, false},
        {"checksum + 1", ch10fix::BreakHeaderChecksum, SIZE_MAX, false},
        {"length 0", [](Bytes& b) { ch10fix::Put32(b, 4, 0); ch10fix::Put16(b, 22, ch10fix::HeaderChecksum(b.data())); },
         SIZE_MAX, false},
        {"length 1", [](Bytes& b) { ch10fix::Put32(b, 4, 1); ch10fix::Put16(b, 22, ch10fix::HeaderChecksum(b.data())); },
         SIZE_MAX, true},
        {"length 0x80000",
         [](Bytes& b) { ch10fix::Put32(b, 4, 0x80000); ch10fix::Put16(b, 22, ch10fix::HeaderChecksum(b.data())); },
         SIZE_MAX, true},
        {"length 0x80001",
         [](Bytes& b) { ch10fix::Put32(b, 4, 0x80001); ch10fix::Put16(b, 22, ch10fix::HeaderChecksum(b.data())); },
         SIZE_MAX, false},
        {"data length ignored",
         [](Bytes& b) { ch10fix::Put32(b, 8, 0xFFFFFFF0); ch10fix::Put16(b, 22, ch10fix::HeaderChecksum(b.data())); },
         SIZE_MAX, true},
        {"24 bytes held", [](Bytes&) {}, 24, true},
        {"23 bytes held", [](Bytes&) {}, 23, false},
    };
    for (const Case& c : cases) {
        ch10fix::PacketSpec spec;
        spec.dataType = 0x09;
        spec.body.assign(8, 0x11);
        Bytes b = ch10fix::BuildPacket(spec);
        c.change(b);
        const rigs::HeldPacket held(b, c.held);
        EXPECT_EQ(check_packet_header(held.data(), held.size()), c.accepted) << c.name;
    }
}

TEST_F(SandralTime, HexOffsetTexts) {
    const struct {
        const char* text;
        uint64_t value;
    } cases[] = {
        {nullptr, 0}, {"", 0}, {"0x", 0}, {"0x1F", 31}, {"0X1f", 31}, {"1f", 31}, {"1g", 0},
        {" 1f", 0}, {"-1", 0}, {"10000000000000001", 1},  // 17 digits wrap
    };
    for (const auto& c : cases) EXPECT_EQ(parse_hex_offset(c.text), c.value) << (c.text ? c.text : "NULL");
}

TEST_F(SandralTime, TicksRoundHalfUpExceptNegatives) {
    const struct {
        int64_t ticks;
        double usec;
    } cases[] = {{0, 0}, {4, 0}, {5, 1}, {14, 1}, {15, 2}, {25, 3}, {-15, -1}};
    for (const auto& c : cases) EXPECT_EQ(rtc_ticks_to_usec(c.ticks), c.usec) << c.ticks;
}

TEST_F(SandralTime, BcdTimeData) {
    using ch10fix::BcdTimeSpec;
    auto usec = [](const BcdTimeSpec& t) {
        const Bytes d = ch10fix::BcdTimeData(t);
        return irig_time_to_usec(ch10fix::BcdTimeWord(t),
                                 {ch10fix::Get16(d, 0), ch10fix::Get16(d, 2), ch10fix::Get16(d, 4)});
    };
    BcdTimeSpec day1;
    BcdTimeSpec distinct;  // day 234, 17:46:53.98 in the day form: every digit differs
    distinct.dayHundreds = 2, distinct.dayTens = 3, distinct.dayUnits = 4;
    distinct.hourTens = 1, distinct.hourUnits = 7, distinct.minuteTens = 4, distinct.minuteUnits = 6;
    distinct.secondTens = 5, distinct.secondUnits = 3, distinct.hundredsOfMs = 9, distinct.tensOfMs = 8;
    BcdTimeSpec march1;
    march1.dateFormat = true, march1.monthUnits = 3, march1.dayUnits = 1;
    BcdTimeSpec march1Leap = march1;
    march1Leap.leapYear = true;
    BcdTimeSpec month0 = march1;
    month0.monthUnits = 0;
    BcdTimeSpec month13 = march1;
    month13.monthTens = 1;
    const double day = 86400000000.0;
    const struct {
        const char* name;
        BcdTimeSpec t;
        double usec;
    } cases[] = {
        {"day 001", day1, day},
        {"distinct digits", distinct,
         234 * day + 17 * 3600e6 + 46 * 60e6 + 53 * 1e6 + 980e3},
        {"March 1", march1, 60 * day},
        {"March 1 leap", march1Leap, 61 * day},
        {"month 0", month0, 1 * day},
        {"month 13", month13, (365 + 1) * day},
    };
    for (const auto& c : cases) EXPECT_EQ(usec(c.t), c.usec) << c.name;
}

TEST_F(SandralTime, TimeText) {
    const struct {
        double usec;
        const char* text;
    } cases[] = {
        {0, "000:00:00:00:000000"},
        {123 * 86400e6 + 4 * 3600e6 + 5 * 60e6 + 6e6 + 7008, "123:04:05:06:007008"},
        {-1000000, "000:00:00:-1:000000"},
        {-86400e6 - 1, "-01:00:00:00:000-01"},
    };
    for (const auto& c : cases) EXPECT_EQ(format_usec_time(c.usec), c.text) << c.usec;
}

TEST_F(SandralTime, GroupsFromSourceBits) {
    const uint16_t channels[] = {0x2005, 0xFFFF, 0};
    const struct {
        int16_t bits;
        uint16_t groups[3];
    } cases[] = {
        {0, {0, 0, 0}}, {3, {1, 7, 0}}, {8, {0x20, 0xFF, 0}}, {9, {0, 0, 0}}, {-1, {0, 0, 0}},
    };
    for (const auto& c : cases) {
        CHAN_INFO record{};
        record.SourceBits = c.bits;
        SetGroupBits(&record);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(GroupOf(channels[i]), c.groups[i]) << c.bits << " " << channels[i];
    }
    SetGroupBits(nullptr);
    EXPECT_EQ(GroupOf(0xFFFF), 0);
}

// A reference in group 0: IRIG time 1 day at counter 0.
void SetReference(double irig, double rtc) {
    TimeState& t = State().time;
    t.timeRefValid[0] = 1;
    t.timeRefIrig[0] = irig;
    t.timeRefRtc[0] = rtc;
}

TEST_F(SandralTime, MessageTimes) {
    SetReference(86400e6, 1000);
    // Stamp of 11,000 us in ticks; 10 words; gaps of 4.5 and 8.5 us.
    const uint64_t stamp = 110000;
    const uint16_t gaps = 85 << 8 | 45;
    const struct {
        const char* name;
        int mode;
        bool rtToRt;
        uint64_t stamp;
        const char* text;
    } cases[] = {
        {"mode 0", 0, false, stamp, "001:00:00:00:009796"},         // 10000 - 200 - 4
        {"mode 0 RT to RT", 0, true, stamp, "001:00:00:00:009788"},  // - 8 more
        {"mode 1", 1, false, stamp, "001:00:00:00:010000"},
        {"mode 2", 2, false, stamp, "001:00:00:00:009980"},
        {"mode 3 raw", 3, false, 5000, "001:00:00:00:004000"},
    };
    for (const auto& c : cases) EXPECT_EQ(time_1553_message(c.stamp, 10, c.mode, gaps, c.rtToRt), c.text) << c.name;
    SetReference(0, 1000);
    EXPECT_EQ(time_1553_message(0, 10, 1, 0, false), "000:00:00:00:000000") << "negative gives 0";
}

TEST_F(SandralTime, StampBelowReferenceGivesZero) {
    SetReference(5e6, 2000);
    EXPECT_EQ(ipts_to_irig_text(10000), "000:00:00:04:999000");  // 1,000 us after a counter of 2,000
    EXPECT_EQ(ipts_to_irig_text(0), "000:00:00:04:998000");
    SetReference(1000, 2000);
    EXPECT_EQ(ipts_to_irig_text(0), "000:00:00:00:000000");
}

TEST_F(SandralTime, SplitBcdDigits) {
    ch10fix::BcdTimeSpec t;
    t.dayHundreds = 2, t.dayTens = 3, t.dayUnits = 4, t.hourTens = 1, t.hourUnits = 7;
    t.minuteTens = 4, t.minuteUnits = 6, t.secondTens = 5, t.secondUnits = 3, t.hundredsOfMs = 9, t.tensOfMs = 8;
    const Bytes d = ch10fix::BcdTimeData(t);
    const BcdTime data{ch10fix::Get16(d, 0), ch10fix::Get16(d, 2), ch10fix::Get16(d, 4)};
    PlayerStatus status{};
    split_bcd_time(data, false, &status);
    EXPECT_EQ(std::vector<int32_t>(status.timeDigits, status.timeDigits + 12),
              (std::vector<int32_t>{234, 7, 6, 3, 0, 3, 1, 4, 5, 8, 9, 0}));
    ch10fix::BcdTimeSpec date;
    date.dateFormat = true, date.monthTens = 1, date.monthUnits = 2, date.dayTens = 3, date.dayUnits = 1;
    const Bytes dd = ch10fix::BcdTimeData(date);
    split_bcd_time({ch10fix::Get16(dd, 0), ch10fix::Get16(dd, 2), ch10fix::Get16(dd, 4)}, true, &status);
    EXPECT_EQ(status.timeDigits[0], 31) << "the month bits are not the day's hundreds";
}

TEST_F(SandralTime, ShortTimePacketMovesGroupOnly) {
    CHAN_INFO record{};
    record.SourceBits = 3;
    SetGroupBits(&record);
    ch10fix::PacketSpec spec;
    spec.channelId = 0x2001;
    const Bytes whole = ch10fix::BuildTimePacket({}, spec);
    const rigs::HeldPacket cut(whole, 24 + 4 + 4);  // the word and two time words
    update_time_reference(cut.view(), cut.header(), TimeScan::DecodeStep);
    EXPECT_EQ(State().time.currentGroup, 1);
    EXPECT_EQ(State().time.timeRefValid[1], 0);
    const rigs::HeldPacket held(whole);
    update_time_reference(held.view(), held.header(), TimeScan::DecodeStep);
    EXPECT_EQ(State().time.timeRefValid[1], 1);
    EXPECT_EQ(State().time.timeRefIrig[1], 86400e6);

    spec.channelId = 0;
    const rigs::HeldPacket zero(ch10fix::BuildTimePacket({}, spec));
    update_time_reference(zero.view(), zero.header(), TimeScan::DecodeStep);
    EXPECT_EQ(State().time.currentGroup, 1) << "channel 0 keeps the group in the decode step";
    update_time_reference(zero.view(), zero.header(), TimeScan::Walk);
    EXPECT_EQ(State().time.currentGroup, 0) << "and goes to group 0 in walks";
}

}  // namespace
}  // namespace sandral
