// Time checks as pure steps: time packet content, spacing windows and
// drift, the counter step between packets and the reversed counter.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/ch10_bodies.h"
#include "vexa/engine/time_checks.h"

namespace {

using ch10fix::TimeSpec;
using vexa::FindingList;
using ch10::PacketHeader;
using vexa::TimeRecord;
using vexa::TimeWords;

std::vector<uint32_t> Numbers(const FindingList& f) {
    std::vector<uint32_t> out;
    for (const vexa::Finding& x : f) out.push_back(x.number);
    return out;
}

TimeWords Words(const TimeSpec& t) {
    return TimeWords{ch10fix::TimeCsdw(t), ch10fix::TimeWord0(t), ch10fix::TimeWord1(t), true};
}

TimeRecord Record(const TimeSpec& t) {
    TimeRecord r;
    r.packet.header.dataType = 0x11;
    r.packet.header.relativeTime = t.rtc;
    r.packet.csdw = ch10fix::TimeCsdw(t);
    r.word0 = ch10fix::TimeWord0(t);
    r.word1 = ch10fix::TimeWord1(t);
    return r;
}

TimeSpec MonthDay(int month, int day, bool leap = false, int year = 2024) {
    TimeSpec t;
    t.monthDay = true;
    t.month = month;
    t.day = day;
    t.leapYear = leap;
    t.year = year;
    return t;
}

TimeSpec DayOfYear(int day, bool leap = false) {
    TimeSpec t;
    t.day = day;
    t.leapYear = leap;
    return t;
}

struct ContentCase {
    const char* name;
    std::function<void(TimeSpec&)> edit;
    std::vector<uint32_t> expected;
};

TEST(TimeChecks, TimePacketContent) {
    const ContentCase cases[] = {
        {"clean", [](TimeSpec&) {}, {}},
        {"FMT 5", [](TimeSpec& t) { t.format = 5; }, {}},
        {"FMT 15", [](TimeSpec& t) { t.format = 15; }, {}},
        {"FMT 6", [](TimeSpec& t) { t.format = 6; }, {15}},
        {"FMT 14", [](TimeSpec& t) { t.format = 14; }, {15}},
        {"SRC 3", [](TimeSpec& t) { t.source = 3; }, {153}},
        {"SRC 15", [](TimeSpec& t) { t.source = 15; }, {}},
        {"bits 10-11", [](TimeSpec& t) { t.reservedDate = 2; }, {152}},
        {"bit 12", [](TimeSpec& t) { t.reservedHigh = 1; }, {154}},
        {"bit 31", [](TimeSpec& t) { t.reservedHigh = 0x80000; }, {154}},
        {"all reserved, bad format and source", [](TimeSpec& t) { t.csdwRaw = 0xFFFFFC77u; }, {15, 153, 152, 154}},
        {"30 Feb leap", [](TimeSpec& t) { t = MonthDay(2, 30, true); }, {19}},
        {"31 Feb", [](TimeSpec& t) { t = MonthDay(2, 31); }, {17, 18, 19}},
        {"29 Feb", [](TimeSpec& t) { t = MonthDay(2, 29); }, {18}},
        {"29 Feb leap", [](TimeSpec& t) { t = MonthDay(2, 29, true); }, {}},
        {"31 April", [](TimeSpec& t) { t = MonthDay(4, 31); }, {17}},
        {"31 Dec", [](TimeSpec& t) { t = MonthDay(12, 31); }, {}},
        {"month 0", [](TimeSpec& t) { t = MonthDay(0, 1); }, {16}},
        {"month 13", [](TimeSpec& t) { t = MonthDay(13, 1); }, {16}},
        {"day 0 of a month", [](TimeSpec& t) { t = MonthDay(1, 0); }, {16}},
        {"day 32", [](TimeSpec& t) { t = MonthDay(1, 32); }, {16}},
        {"hour 24", [](TimeSpec& t) { t = MonthDay(1, 1); t.hours = 24; }, {16}},
        {"minute 60", [](TimeSpec& t) { t = MonthDay(1, 1); t.minutes = 60; }, {16}},
        {"second 60", [](TimeSpec& t) { t = MonthDay(1, 1); t.seconds = 60; }, {16}},
        {"1,000 ms", [](TimeSpec& t) { t = MonthDay(1, 1); t.format = 2; t.word0Raw = 0xA0; }, {16}},
        {"990 ms", [](TimeSpec& t) { t = MonthDay(1, 1); t.format = 2; t.milliseconds = 990; }, {}},
        {"day 0 of the year", [](TimeSpec& t) { t = DayOfYear(0); }, {}},
        {"day 365", [](TimeSpec& t) { t = DayOfYear(365); }, {}},
        {"day 366", [](TimeSpec& t) { t = DayOfYear(366); }, {26}},
        {"day 366 leap", [](TimeSpec& t) { t = DayOfYear(366, true); }, {}},
        {"day 367", [](TimeSpec& t) { t = DayOfYear(367); }, {25, 26}},
        {"hour 24 of a day", [](TimeSpec& t) { t.hours = 24; }, {25}},
        {"1,000 ms of a day", [](TimeSpec& t) { t.format = 2; t.word0Raw = 0xA0; }, {25}},
        {"IRIG-B .500", [](TimeSpec& t) { t.hours = 12; t.milliseconds = 500; }, {27}},
        {"IRIG-A .250", [](TimeSpec& t) { t.format = 1; t.milliseconds = 250; }, {28}},
        {"IRIG-A .200", [](TimeSpec& t) { t.format = 1; t.milliseconds = 200; }, {}},
        {"IRIG-G .010", [](TimeSpec& t) { t.format = 2; t.milliseconds = 10; }, {}},
    };
    const TimeRecord none{};
    for (const ContentCase& c : cases) {
        TimeSpec t;
        c.edit(t);
        const TimeWords w = Words(t);
        const FindingList f = vexa::CheckTimePacket({.words = w, .groupRecord = none, .channelSeen = false});
        EXPECT_EQ(Numbers(f), c.expected) << c.name;
    }
}

TEST(TimeChecks, TimeWordsOutsideThePacketJudgeOnlyTheDataWord) {
    TimeSpec t = DayOfYear(400);
    t.source = 7;
    TimeWords w = Words(t);
    w.wordsHeld = false;
    const TimeRecord previous = Record(DayOfYear(500));
    EXPECT_EQ(Numbers(vexa::CheckTimePacket({.words = w, .groupRecord = previous, .channelSeen = true})),
              std::vector<uint32_t>{153});
}

struct ReversedCase {
    const char* name;
    TimeSpec previous;
    TimeSpec current;
    bool channelSeen;
    bool reversed;
};

TEST(TimeChecks, TimeReversed) {
    TimeSpec earlier = DayOfYear(10);
    TimeSpec later = DayOfYear(10);
    later.seconds = 1;
    TimeSpec otherFormat = later;
    otherFormat.format = 1;
    const ReversedCase cases[] = {
        {"equal", earlier, earlier, true, true},
        {"earlier", later, earlier, true, true},
        {"later", earlier, later, true, false},
        {"31 Jan to 1 Feb", MonthDay(1, 31), MonthDay(2, 1), true, false},
        {"1 Feb to 31 Jan", MonthDay(2, 1), MonthDay(1, 31), true, true},
        {"31 Dec 2024 to 1 Jan 2025", MonthDay(12, 31, true, 2024), MonthDay(1, 1, false, 2025), true, false},
        {"1 Jan 2025 to 31 Dec 2024", MonthDay(1, 1, false, 2025), MonthDay(12, 31, true, 2024), true, true},
        {"another format", later, otherFormat, true, false},
        {"another date form", MonthDay(12, 31), DayOfYear(1), true, false},
        {"unseen slot", later, earlier, false, false},
    };
    for (const ReversedCase& c : cases) {
        const TimeRecord previous = Record(c.previous);
        const TimeWords w = Words(c.current);
        const FindingList f = vexa::CheckTimePacket({.words = w, .groupRecord = previous, .channelSeen = c.channelSeen});
        EXPECT_EQ(Numbers(f), c.reversed ? std::vector<uint32_t>{51} : std::vector<uint32_t>{}) << c.name;
    }
}

TEST(TimeChecks, MaxLogOneCountsEveryRepeatButWritesTheFirst) {
    vexa::ErrorAccounting errors;
    errors.maxSameErrorPerChannel = 1;
    TimeSpec t;
    t.source = 3;
    t.format = 6;
    const TimeWords w = Words(t);
    std::string first, second;
    const FindingList f = vexa::CheckTimePacket({.words = w, .groupRecord = TimeRecord{}, .channelSeen = false});
    EXPECT_EQ(vexa::RaiseFindings(errors, 4, f, first), 2);
    EXPECT_EQ(vexa::RaiseFindings(errors, 4, f, second), 2);
    EXPECT_EQ(first,
              "Error 15: Time Packet's Time Format (FMT) is undefined\r\n"
              "Error 153: Time Packet's Time Source (SRC) is undefined\r\n");
    EXPECT_EQ(second, "");
    EXPECT_EQ(errors.CounterValue(vexa::FormCounter::invalidTimeErrors), 4u);
    EXPECT_EQ(errors.chanTimeErrors[4], 4);
    EXPECT_EQ(errors.errorTable[4][15], 2u);
    EXPECT_EQ(errors.errorTable[4][153], 2u);
}

// A time packet `ticks` after a group record at 1,000,000,000.
struct WindowCase {
    uint8_t format;
    double ticks;
    std::vector<uint32_t> expected;
};

TEST(TimeChecks, SpacingWindowsWithToleranceFive) {
    const WindowCase cases[] = {
        {0, 10000050, {}},  {0, 9999950, {}},   {0, 10000051, {12}}, {0, 9999949, {12}}, {0, 10000000, {}},
        {1, 1000049, {}},   {1, 1000050, {13}}, {1, 999951, {}},     {1, 999950, {13}},
        {2, 100049, {}},    {2, 100050, {14}},  {2, 99950, {14}},
        {3, 1, {}},         {3, 99999999, {}},
    };
    for (const WindowCase& c : cases) {
        TimeSpec prev;
        prev.format = c.format;
        prev.rtc = 1000000000;
        TimeSpec cur = prev;
        cur.rtc = prev.rtc + static_cast<uint64_t>(c.ticks);
        const TimeRecord record = Record(prev);
        const TimeWords w = Words(cur);
        PacketHeader h;
        h.dataType = 0x11;
        h.relativeTime = cur.rtc;
        vexa::TimeSectionState s;
        const auto r = vexa::CheckTimePacketRtc(
            s, {.header = h, .words = w, .groupRecord = record, .channelSeen = true, .tolerance = 5});
        EXPECT_EQ(Numbers(r.findings), c.expected) << int(c.format) << " +" << c.ticks;
    }
}

TEST(TimeChecks, SpacingTexts) {
    const char* names[] = {"IRIG-B", "IRIG-A", "IRIG-G"};
    for (uint8_t format = 0; format < 3; ++format) {
        TimeSpec prev;
        prev.format = format;
        prev.rtc = 1000000000;
        const TimeRecord record = Record(prev);
        const TimeWords w = Words(prev);
        PacketHeader h;
        h.dataType = 0x11;
        h.relativeTime = 1000000007;
        vexa::TimeSectionState s;
        const auto r = vexa::CheckTimePacketRtc(
            s, {.header = h, .words = w, .groupRecord = record, .channelSeen = true, .tolerance = 0});
        ASSERT_EQ(r.findings.size(), 1u);
        EXPECT_EQ(r.findings[0].text,
                  "Error " + std::to_string(12 + format) + ": Time Packet's Relative Time Count invalid for " +
                      names[format] + ", previous packet is 1000000000, difference is 7 (in 10th microsec)\r\n");
    }
}

TEST(TimeChecks, LargeToleranceDoesNotOverflow) {
    TimeSpec prev;
    prev.rtc = 1000000000;
    const TimeRecord record = Record(prev);
    const TimeWords w = Words(prev);
    PacketHeader h;
    h.dataType = 0x11;
    h.relativeTime = 1000000000 + 5000000000ULL;
    vexa::TimeSectionState s;
    const auto r = vexa::CheckTimePacketRtc(
        s, {.header = h, .words = w, .groupRecord = record, .channelSeen = true, .tolerance = 999999999});
    EXPECT_TRUE(r.findings.empty());
}

TEST(TimeChecks, DriftStartsAtTheFirstTimePacket) {
    vexa::TimeSectionState s;
    TimeSpec t;
    t.rtc = 77000000000ULL;
    PacketHeader h;
    h.dataType = 0x11;
    // The run's first time packet: no group record yet.
    h.relativeTime = t.rtc;
    const TimeWords w = Words(t);
    auto r = vexa::CheckTimePacketRtc(s, {.header = h, .words = w, .groupRecord = TimeRecord{}, .channelSeen = false});
    EXPECT_FALSE(r.drift.has_value());
    // 10,000,020 ticks later.
    const TimeRecord first = Record(t);
    h.relativeTime = t.rtc + 10000020;
    r = vexa::CheckTimePacketRtc(s, {.header = h, .words = w, .groupRecord = first, .channelSeen = true});
    ASSERT_TRUE(r.drift.has_value());
    EXPECT_EQ(*r.drift, 20);
    // Further formats advance by the time step.
    s.timeStep = 5000000;
    TimeSpec other = t;
    other.format = 4;
    const TimeWords w4 = Words(other);
    TimeSpec secondSpec;
    secondSpec.rtc = h.relativeTime;
    const TimeRecord second = Record(secondSpec);
    h.relativeTime += 5000003;
    r = vexa::CheckTimePacketRtc(s, {.header = h, .words = w4, .groupRecord = second, .channelSeen = true});
    EXPECT_EQ(*r.drift, 23);
    EXPECT_TRUE(r.findings.empty());
}

struct StepCase {
    const char* name;
    double highest;  // the group's before the packet
    uint64_t current;
    int timeChannelSlot;
    std::vector<uint32_t> expected;
    bool deltaComputed;
    double highestAfter;
};

TEST(TimeChecks, CounterStepBetweenPackets) {
    const StepCase cases[] = {
        {"one second back", 30000000, 20000000, 1, {}, true, 30000000},
        {"one tick more", 30000000, 19999999, 1, {5}, true, 30000000},
        {"no time channel", 30000000, 1, -1, {}, false, 30000000},
        {"time channel on channel 0", 30000000, 1, 0, {}, false, 30000000},
        {"first of the group", 0, 5, 1, {}, true, 5},
        {"forward", 30000000, 40000000, 1, {}, true, 40000000},
    };
    for (const StepCase& c : cases) {
        vexa::TimeSectionState s;
        s.highestRtc[7] = c.highest;
        PacketHeader h;
        h.dataType = 0x19;
        h.relativeTime = c.current;
        const auto r = vexa::CheckRtcStep(s, {.header = h, .group = 7, .timeChannelSlot = c.timeChannelSlot});
        EXPECT_EQ(Numbers(r.findings), c.expected) << c.name;
        EXPECT_EQ(r.rtcDelta.has_value(), c.deltaComputed) << c.name;
        EXPECT_EQ(s.highestRtc[7], c.highestAfter) << c.name;
    }
}

TEST(TimeChecks, CounterStepTextAndTheTrueHighest) {
    vexa::TimeSectionState s;
    PacketHeader h;
    h.relativeTime = 50000000;
    // Without a time channel the highest is still kept...
    (void)vexa::CheckRtcStep(s, {.header = h, .group = 0, .timeChannelSlot = -1});
    h.relativeTime = 30000000;
    (void)vexa::CheckRtcStep(s, {.header = h, .group = 0, .timeChannelSlot = -1});
    // ...so a later time channel compares with it.
    h.relativeTime = 39999999;
    const auto r = vexa::CheckRtcStep(s, {.header = h, .group = 0, .timeChannelSlot = 1});
    ASSERT_EQ(r.findings.size(), 1u);
    EXPECT_EQ(*r.rtcDelta, -10000001);
    EXPECT_EQ(r.findings[0].text,
              "Error 5: current packet's Relative Time Counter of: 39999999, (time diff = -10000001) \r\n"
              "         is more than one second before previous packet's Relative Time Counter of: 50000000\r\n");
}

struct ReversedCounterCase {
    const char* name;
    uint8_t dataType;
    uint64_t previous;
    uint64_t current;
    bool channelSeen;
    bool reversed;
};

TEST(TimeChecks, CounterReversedOnAChannel) {
    const ReversedCounterCase cases[] = {
        {"equal", 0x19, 1000, 1000, true, false},
        {"one tick less", 0x19, 1000, 999, true, true},
        {"first of the slot", 0x19, 1000, 999, false, false},
        {"setup types", 0x07, 1000, 999, true, false},
        {"48-bit wrap", 0x09, 0xFFFFFFFFFFFFULL, 0, true, true},
        {"zero record: first of a second type", 0x21, 0, 0, true, false},
    };
    for (const ReversedCounterCase& c : cases) {
        vexa::PreviousRecord previous;
        previous.header.relativeTime = c.previous;
        PacketHeader h;
        h.dataType = c.dataType;
        h.relativeTime = c.current;
        const FindingList f = vexa::CheckRtcReversed(h, previous, c.channelSeen);
        EXPECT_EQ(Numbers(f), c.reversed ? std::vector<uint32_t>{133} : std::vector<uint32_t>{}) << c.name;
        if (c.reversed) {
            EXPECT_EQ(f[0].text, "Error 133: Packet's Relative Time Count reversed\r\n");
        }
    }
}

// The listing texts are made on first use from the latest values; a packet
// that sets no computed time keeps the last one, and the run reset clears both.
TEST(TimeChecks, ListingTextsFollowTheLatestValues) {
    vexa::TimeSectionState s;
    EXPECT_EQ(s.RelTimeText(), "");
    EXPECT_EQ(s.ComputedTimeText(), "");
    s.SetRelTime(5);
    s.SetRelTime(1234567890123);
    s.SetComputedUsec(86400000000.0 + 3723004005.0);
    EXPECT_EQ(s.RelTimeText(), "1234567890123");
    EXPECT_EQ(s.ComputedTimeText(), "001:01:02:03:004:005");
    s.SetRelTime(7);
    EXPECT_EQ(s.RelTimeText(), "7");
    EXPECT_EQ(s.ComputedTimeText(), "001:01:02:03:004:005");
    s.Reset();
    EXPECT_EQ(s.RelTimeText(), "");
    EXPECT_EQ(s.ComputedTimeText(), "");
}

}  // namespace
