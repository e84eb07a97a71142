// Time units: ticks and microseconds, the BCD time words, their texts and
// the intra-packet stamp comparisons.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tests/support/ch10_bodies.h"
#include "tests/engine/checks/check_rig.h"
#include "vexa/engine/time_units.h"

namespace {

using ch10fix::TimeSpec;
using ch10::PacketHeader;

TEST(TimeUnits, RoundDiv10RoundsHalfUpAndTruncatesNegatives) {
    struct Case {
        double ticks;
        double usec;
    };
    const Case cases[] = {{15, 2}, {14, 1}, {5, 1}, {4, 0}, {-15, -1}, {-19, -1}, {281474976710655.0, 28147497671066.0}};
    for (const Case& c : cases) EXPECT_EQ(vexa::RoundDiv10(c.ticks), c.usec) << c.ticks;
    // Defined for any double: NaN and out-of-range values take the 64-bit minimum.
    const double nanUsec = vexa::RoundDiv10(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(nanUsec, vexa::RoundDiv10(1e300));
    EXPECT_LT(nanUsec, 0);
}

TEST(TimeUnits, CounterReaders) {
    ch10fix::PacketSpec spec;
    spec.dataType = 0x09;
    spec.rtc = 0x060504030201ULL;
    const checkfix::HeldPacket p(ch10fix::BuildPacket(spec));
    for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(p.data()[16 + i], i + 1);
    EXPECT_EQ(p.header().relativeTime, 0x060504030201ULL);
    EXPECT_EQ(vexa::HeaderRtcToUsec(p.header()), vexa::RoundDiv10(static_cast<double>(0x060504030201ULL)));
    // Only the high word's low 16 bits count.
    EXPECT_EQ(vexa::RtcWordsToUsec(0, 0xFFFF0001u), vexa::RoundDiv10(4294967296.0));
    EXPECT_EQ(vexa::RtcWordsToUsec(25, 0), 3);
}

double Units(const TimeSpec& t, int* month = nullptr, int* year = nullptr) {
    return vexa::TimePacketToUnits(ch10fix::TimeCsdw(t), ch10fix::TimeWord0(t), ch10fix::TimeWord1(t), month, year);
}

TEST(TimeUnits, TimePacketToUnits) {
    TimeSpec doy;
    doy.day = 1;
    EXPECT_EQ(Units(doy), 86400000000.0);
    doy.day = 45;
    doy.hours = 1, doy.minutes = 2, doy.seconds = 3, doy.milliseconds = 450;
    EXPECT_EQ(Units(doy), 45 * 86400000000.0 + 3600000000.0 + 120000000.0 + 3000000.0 + 450000.0);

    struct Case {
        bool leap;
        int month;
        int day;
        int dayOfYear;
    };
    const Case cases[] = {
        {true, 3, 1, 61},   {false, 3, 1, 60},  {false, 1, 31, 31}, {false, 12, 31, 365}, {true, 12, 31, 366},
        {false, 0, 5, 5},   // no month before it
        {false, 13, 1, 366},  // all twelve, nothing beyond
        {true, 25, 1, 367},  // units digit 15 with the tens bit: the widest BCD month
    };
    for (const Case& c : cases) {
        TimeSpec md;
        md.monthDay = true;
        md.leapYear = c.leap;
        md.month = c.month;
        md.day = c.day;
        if (c.month == 25) md.word1Raw = 0x00001F01u;
        EXPECT_EQ(Units(md), c.dayOfYear * 86400000000.0) << c.month << "/" << c.day;
    }

    TimeSpec md;
    md.monthDay = true;
    md.month = 10, md.day = 17, md.year = 2018, md.hours = 22;
    int month = 0, year = 0;
    EXPECT_EQ(Units(md, &month, &year), 17 * 86400000000.0 + 22 * 3600000000.0);
    EXPECT_EQ(month, 10);
    EXPECT_EQ(year, 2018);
}

TEST(TimeUnits, Texts) {
    TimeSpec t;
    t.day = 45, t.hours = 1, t.minutes = 2, t.seconds = 3, t.milliseconds = 450;
    EXPECT_EQ(vexa::FormatPacketTime(ch10fix::TimeCsdw(t), ch10fix::TimeWord0(t), ch10fix::TimeWord1(t)),
              "045:01:02:03:450");
    // Both millisecond digits 15: 1,650 ms, wider than three digits.
    EXPECT_EQ(vexa::FormatPacketTime(0, 0x000000FFu, 0), "000:00:00:00:1650");
    // 17 October 2018 in the month/day form is day 290.
    TimeSpec md;
    md.monthDay = true;
    md.month = 10, md.day = 17, md.year = 2018, md.hours = 22, md.minutes = 19, md.seconds = 22;
    EXPECT_EQ(vexa::FormatPacketTime(ch10fix::TimeCsdw(md), ch10fix::TimeWord0(md), ch10fix::TimeWord1(md)),
              "290:22:19:22:000");

    struct Case {
        double usec;
        const char* text;
    };
    const Case cases[] = {
        {86400000001.0, "001:00:00:00:000:001"},
        {400 * 86400000000.0 + 1, "400:00:00:00:000:001"},
        {45 * 86400000000.0 + 3723450002.0, "045:01:02:03:450:002"},
        {0, "000:00:00:00:000:000"},
        // A time before its reference: each part keeps its sign inside the width.
        {-1.0, "000:00:00:00:000:-01"},
        {-86400000001.0, "-01:00:00:00:000:-01"},
    };
    for (const Case& c : cases) EXPECT_EQ(vexa::UsecToDayText(c.usec), c.text);
}

TEST(TimeUnits, IntraPacketStamps) {
    PacketHeader h;
    h.relativeTime = 1000;
    struct Flags {
        uint8_t flags;
        bool value;
    };
    for (const Flags& f : {Flags{0xC0, false}, Flags{0x40, true}, Flags{0x80, true}, Flags{0x00, true}}) {
        h.flags = f.flags;
        EXPECT_EQ(vexa::IntraTimeTicks(h, 0xABCD000000000123ULL).has_value(), f.value) << int(f.flags);
    }
    h.flags = 0;
    EXPECT_EQ(*vexa::IntraTimeTicks(h, 0xABCD000000000123ULL), 0x123);

    EXPECT_EQ(vexa::RtcNotBefore(h, 1000), 0);
    EXPECT_EQ(vexa::RtcNotBefore(h, 999), -1);
    EXPECT_EQ(vexa::RtcNotBefore(h, 0xFFFF0000000003E8ULL), 0);  // only the low 48 bits count

    vexa::IntraStampTimes times;
    EXPECT_EQ(vexa::RtcIncreasing(times, 15, 3), 0);   // 2 us after 0
    EXPECT_EQ(vexa::RtcIncreasing(times, 24, 3), -1);  // 2 us again
    EXPECT_EQ(vexa::RtcIncreasing(times, 14, 3), -1);  // 1 us, stored all the same
    EXPECT_EQ(vexa::RtcIncreasing(times, 15, 3), 0);
    EXPECT_EQ(vexa::RtcIncreasing(times, 15, 4), 0);   // slots apart
    times.Reset();
    EXPECT_EQ(vexa::RtcIncreasing(times, 15, 3), 0);
    EXPECT_EQ(vexa::RtcIncreasing(times, 0, 5), -1);   // 0 is not later than the start value
}

}  // namespace
