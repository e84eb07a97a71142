#include "vexa/engine/time_checks.h"

#include <cinttypes>

#include "ch10/data_type.h"
#include "platform/format.h"

namespace vexa {

namespace {

constexpr uint8_t kTimePacketType = ch10::Code(ch10::DataType::TimeF1);

int FormatOf(uint32_t csdw) { return static_cast<int>(csdw >> 4 & 0xF); }

void Add(FindingList& out, uint32_t number, std::string text) { out.push_back({number, std::move(text)}); }

void CheckMonthDayRanges(const TimeFields& f, FindingList& out) {
    if (f.month == 0 || f.month > 12 || f.day == 0 || f.day > 31 || f.hours > 23 || f.minutes > 59 ||
        f.seconds > 59 || f.milliseconds > 990)
        Add(out, 16, "Error 16: Time in Time Packet is out of range\r\n");
    const bool shortMonth = f.month == 2 || f.month == 4 || f.month == 6 || f.month == 9 || f.month == 11;
    if (f.day > 30 && shortMonth) Add(out, 17, "Error 17: Time in Time Packet has invalid date\r\n");
    if (f.day > 28 && f.month == 2 && !f.leapYear)
        Add(out, 18, "Error 18: Time in Time Packet is invalid for non leap year\r\n");
    if (f.day > 29 && f.month == 2) Add(out, 19, "Error 19: Time in Time Packet has invalid date\r\n");
}

void CheckDayOfYearRanges(const TimeFields& f, FindingList& out) {
    if (f.day > 366 || f.hours > 23 || f.minutes > 59 || f.seconds > 59 || f.milliseconds > 990)
        Add(out, 25, "Error 25: Time in Time Packet is out of range\r\n");
    if (f.day > 365 && !f.leapYear) Add(out, 26, "Error 26: Time in Time Packet invalid for non leap year\r\n");
}

// True when this packet's time is not later than the previous one's. A
// month/day time orders by year, then month, then day and time of day.
bool TimeNotLater(const TimeWords& w, const TimeRecord& r) {
    int month = 0, year = 0, prevMonth = 0, prevYear = 0;
    const double now = TimePacketToUnits(w.csdw, w.word0, w.word1, &month, &year);
    const double before = TimePacketToUnits(r.packet.csdw, r.word0, r.word1, &prevMonth, &prevYear);
    if ((w.csdw >> 9 & 1) != 0) {
        if (year != prevYear) return year < prevYear;
        if (month != prevMonth) return month < prevMonth;
    }
    return now <= before;
}

}  // namespace

TimeWords ReadTimeWords(const ch10::PacketView& view, const ch10::PacketHeader& header) {
    const std::size_t at = ch10::ChannelSpecificWordOffset(header);
    return TimeWords{view.U32OrZeros(at), view.U32OrZeros(at + 4), view.U32OrZeros(at + 8), view.Has(at, 12)};
}

void TimeSectionState::Reset() {
    highestRtc.fill(0.0);
    stamps.Reset();
    expectedCounter = 0;
    drift = 0;
    timeStep = 0;
    timePacketText.clear();
    firstTimePacketText.clear();
    relTextMade_ = computedTextMade_ = true;
    relTimeText_.clear();
    computedTimeText_.clear();
}

void TimeSectionState::SetRelTime(uint64_t ticks) {
    relTime_ = ticks;
    relTextMade_ = false;
}

void TimeSectionState::SetComputedUsec(double usec) {
    computedUsec_ = usec;
    computedTextMade_ = false;
}

std::string_view TimeSectionState::RelTimeText() {
    if (!relTextMade_) {
        relTimeText_.clear();
        platform::AppendDecimal(relTimeText_, static_cast<int64_t>(relTime_));
        relTextMade_ = true;
    }
    return relTimeText_;
}

std::string_view TimeSectionState::ComputedTimeText() {
    if (!computedTextMade_) {
        UsecToDayText(computedUsec_, computedTimeText_);
        computedTextMade_ = true;
    }
    return computedTimeText_;
}

RtcStepResult CheckRtcStep(TimeSectionState& s, const RtcStepInput& in) {
    RtcStepResult r;
    double& highest = s.highestRtc[PreviousPacketStore::Index(in.group)];
    const double current = static_cast<double>(in.header.relativeTime);
    if (highest == 0) highest = current;
    if (in.timeChannelSlot > 0) {
        const double difference = current - highest;
        r.rtcDelta = difference;
        if (highest > 0 && highest > current && difference < -kTicksPerSecond)
            Add(r.findings, 5,
                platform::Format("Error 5: current packet's Relative Time Counter of: %.0f, (time diff = %.0f) \r\n"
                                 "         is more than one second before previous packet's Relative Time Counter "
                                 "of: %.0f\r\n",
                                 current, difference, highest));
    }
    if (current > highest) highest = current;
    return r;
}

void CorrelatePacketTime(TimeSectionState& s, const CorrelationInput& in) {
    const ch10::PacketHeader& h = in.header;
    s.SetRelTime(h.relativeTime);
    const TimeRecord& rec = in.groupRecord;
    const double recordTime = TimePacketToUnits(rec.packet.csdw, rec.word0, rec.word1);
    if (h.dataType == kTimePacketType) {
        const TimeWords& w = in.words;
        s.timePacketText = FormatPacketTime(w.csdw, w.word0, w.word1);
        if (s.firstTimePacketText.empty()) s.firstTimePacketText = s.timePacketText;
        if (in.timeChannelSlot > 0 && FormatOf(w.csdw) > 2)
            s.timeStep = (TimePacketToUnits(w.csdw, w.word0, w.word1) - recordTime) * 10;
        return;
    }
    if (in.timeChannelSlot <= 0) return;
    const double usec = recordTime + HeaderRtcToUsec(h) - HeaderRtcToUsec(rec.packet.header);
    s.SetComputedUsec(usec);
}

FindingList CheckTimePacket(const TimePacketInput& in) {
    FindingList out;
    const TimeWords& w = in.words;
    const TimeFields f = DecodeTimeWords(w.csdw, w.word0, w.word1);
    if (f.format > 5 && f.format < 15) Add(out, 15, "Error 15: Time Packet's Time Format (FMT) is undefined\r\n");
    if (f.source > 2 && f.source < 15) Add(out, 153, "Error 153: Time Packet's Time Source (SRC) is undefined\r\n");
    if ((w.csdw & 0x00000C00u) != 0)
        Add(out, 152,
            "Error 152: Time Packet's Reserved bits (11-10) in Date Format (DATE) field are not zero filled \r\n");
    if ((w.csdw & 0xFFFFF000u) != 0)
        Add(out, 154, "Error 154: Time Packet's RESERVED field (31-12) is not zero filled \r\n");
    // Without the time words there is no time to judge.
    if (!w.wordsHeld) return out;
    if (f.monthDayForm)
        CheckMonthDayRanges(f, out);
    else
        CheckDayOfYearRanges(f, out);
    if (f.format == 0 && f.milliseconds != 0)
        Add(out, 27, "Error 27: Time in Time Packet is not on 1 second time mark\r\n");
    if (f.format == 1 && f.milliseconds % 100 != 0)
        Add(out, 28, "Error 28: Time in Time Packet is not on 10th second time mark\r\n");
    // A day-of-year time has no year to order against a dated one.
    const uint32_t previousWord = in.groupRecord.packet.csdw;
    const bool sameForm = (previousWord >> 9 & 1) == (w.csdw >> 9 & 1);
    if (in.channelSeen && FormatOf(previousWord) == f.format && sameForm && TimeNotLater(w, in.groupRecord))
        Add(out, 51, "Error 51: Time in Time Packet reversed\r\n");
    return out;
}

namespace {

struct Window {
    double spacing;
    bool inclusive;
    uint32_t number;
    const char* name;
};

}  // namespace

TimePacketRtcResult CheckTimePacketRtc(TimeSectionState& s, const TimePacketRtcInput& in) {
    TimePacketRtcResult r;
    const double current = static_cast<double>(in.header.relativeTime);
    const ch10::PacketHeader& previousHeader = in.groupRecord.packet.header;
    // Starting the expected counter here keeps the first drift small.
    if (ch10::IsComputerGenerated(previousHeader.dataType) || !in.channelSeen) {
        s.expectedCounter = current;
        return r;
    }
    static constexpr Window kWindows[] = {
        {10000000.0, true, 12, "IRIG-B"}, {1000000.0, false, 13, "IRIG-A"}, {100000.0, false, 14, "IRIG-G"}};
    const int format = FormatOf(in.words.csdw);
    s.expectedCounter += format <= 2 ? kWindows[format].spacing : s.timeStep;
    s.drift = current - s.expectedCounter;
    r.drift = s.drift;
    if (format > 2) return r;
    const Window& w = kWindows[format];
    const double tolerance = static_cast<double>(static_cast<int64_t>(in.tolerance) * 10);
    const double previous = static_cast<double>(previousHeader.relativeTime);
    const double low = previous + w.spacing - tolerance;
    const double high = previous + w.spacing + tolerance;
    const bool inside = w.inclusive ? (low <= current && current <= high) : (low < current && current < high);
    if (!inside)
        Add(r.findings, w.number,
            platform::Format("Error %u: Time Packet's Relative Time Count invalid for %s, previous packet is %.0f, "
                             "difference is %.0f (in 10th microsec)\r\n",
                             w.number, w.name, previous, current - previous));
    return r;
}

FindingList CheckRtcReversed(const ch10::PacketHeader& header, const PreviousRecord& previous, bool channelSeen) {
    FindingList out;
    if (ch10::IsComputerGenerated(header.dataType) || !channelSeen) return out;
    if (previous.header.relativeTime > header.relativeTime)
        Add(out, 133, "Error 133: Packet's Relative Time Count reversed\r\n");
    return out;
}

}  // namespace vexa
