#include "vexa/engine/time_units.h"

#include <cinttypes>
#include <cmath>
#include <limits>

#include "platform/format.h"

namespace vexa {

namespace {

constexpr uint64_t kLow48 = 0xFFFFFFFFFFFFULL;

int64_t TruncateToInt64(double value) {
    // 2^63 is exact in a double; everything from it up is out of range.
    constexpr double kLimit = 9223372036854775808.0;
    if (std::isnan(value) || value >= kLimit || value < -kLimit) return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(value);
}

int Digit(uint32_t word, int shift, uint32_t mask) { return static_cast<int>((word >> shift) & mask); }

}  // namespace

double RoundDiv10(double value) {
    const int64_t v = TruncateToInt64(value);
    int64_t q = v / 10;
    if (v >= 0 && v % 10 >= 5) ++q;
    return static_cast<double>(q);
}

double HeaderRtcToUsec(const ch10::PacketHeader& header) { return RoundDiv10(static_cast<double>(header.relativeTime)); }

double RtcWordsToUsec(uint32_t low, uint32_t high) {
    const uint64_t ticks = static_cast<uint64_t>(low) | static_cast<uint64_t>(high & 0xFFFF) << 32;
    return RoundDiv10(static_cast<double>(ticks));
}

int RtcNotBefore(const ch10::PacketHeader& header, uint64_t stamp) {
    return (stamp & kLow48) < header.relativeTime ? -1 : 0;
}

TimeFields DecodeTimeWords(uint32_t dataWord, uint32_t word0, uint32_t word1) {
    TimeFields f;
    f.source = Digit(dataWord, 0, 0xF);
    f.format = Digit(dataWord, 4, 0xF);
    f.leapYear = (dataWord >> 8 & 1) != 0;
    f.monthDayForm = (dataWord >> 9 & 1) != 0;
    f.milliseconds = (Digit(word0, 0, 0xF) + 10 * Digit(word0, 4, 0xF)) * 10;
    f.seconds = Digit(word0, 8, 0xF) + 10 * Digit(word0, 12, 0x7);
    f.minutes = Digit(word0, 16, 0xF) + 10 * Digit(word0, 20, 0x7);
    f.hours = Digit(word0, 24, 0xF) + 10 * Digit(word0, 28, 0x3);
    if (f.monthDayForm) {
        f.day = Digit(word1, 0, 0xF) + 10 * Digit(word1, 4, 0xF);
        f.month = Digit(word1, 8, 0xF) + 10 * Digit(word1, 12, 0x1);
        f.year = Digit(word1, 16, 0xF) + 10 * Digit(word1, 20, 0xF) + 100 * Digit(word1, 24, 0xF) +
                 1000 * Digit(word1, 28, 0x3);
    } else {
        f.day = Digit(word1, 0, 0xF) + 10 * Digit(word1, 4, 0xF) + 100 * Digit(word1, 8, 0x3);
    }
    return f;
}

int DaysBeforeMonth(int month, bool leapYear) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int days = 0;
    for (int m = 1; m < month && m <= 12; ++m) days += (m == 2 && leapYear) ? 29 : kDays[m - 1];
    return days;
}

namespace {

int DayOfYear(const TimeFields& f) { return f.monthDayForm ? f.day + DaysBeforeMonth(f.month, f.leapYear) : f.day; }

int64_t UsecOfDay(const TimeFields& f) {
    return f.hours * 3600000000LL + f.minutes * 60000000LL + f.seconds * 1000000LL + f.milliseconds * 1000LL;
}

}  // namespace

double TimePacketToUnits(uint32_t dataWord, uint32_t word0, uint32_t word1, int* month, int* year) {
    const TimeFields f = DecodeTimeWords(dataWord, word0, word1);
    int day = DayOfYear(f);
    if (f.monthDayForm && month && year) {
        *month = f.month;
        *year = f.year;
        day = f.day;
    }
    return static_cast<double>(day * kUsecPerDay + UsecOfDay(f));
}

std::string FormatPacketTime(uint32_t dataWord, uint32_t word0, uint32_t word1) {
    const TimeFields f = DecodeTimeWords(dataWord, word0, word1);
    return platform::Format("%03d:%02d:%02d:%02d:%03d", DayOfYear(f), f.hours, f.minutes, f.seconds, f.milliseconds);
}

std::string UsecToDayText(double usec) {
    std::string text;
    UsecToDayText(usec, text);
    return text;
}

void UsecToDayText(double usec, std::string& out) {
    int64_t v = TruncateToInt64(usec);
    const int64_t days = v / kUsecPerDay;
    v -= days * kUsecPerDay;
    const int64_t hours = v / 3600000000LL;
    v -= hours * 3600000000LL;
    const int64_t minutes = v / 60000000LL;
    v -= minutes * 60000000LL;
    const int64_t seconds = v / 1000000LL;
    v -= seconds * 1000000LL;
    const int64_t ms = v / 1000;
    v -= ms * 1000;
    // "%03d:%02d:%02d:%02d:%03d:%03d" of the six parts.
    const int64_t parts[] = {days, hours, minutes, seconds, ms, v};
    const int widths[] = {3, 2, 2, 2, 3, 3};
    out.clear();
    for (int i = 0; i < 6; ++i) {
        if (i) out.push_back(':');
        platform::AppendDecimal(out, parts[i], widths[i]);
    }
}

}  // namespace vexa
