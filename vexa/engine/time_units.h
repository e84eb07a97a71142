#pragma once
// The two time units of the validator and their texts: header counters in
// 100-ns ticks, IRIG time in microseconds from the start of day 0, and the
// BCD time words of a time packet.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "ch10/packet_header.h"

namespace vexa {

constexpr double kTicksPerSecond = 10000000.0;
constexpr int64_t kUsecPerDay = 86400000000LL;

// Ticks to microseconds: the value truncated to a 64-bit integer, divided by
// 10, rounded half up when not negative. NaN and values beyond int64 count as
// INT64_MIN, as the 32-bit build's conversion gave.
double RoundDiv10(double value);

// The header counter in microseconds.
double HeaderRtcToUsec(const ch10::PacketHeader& header);
// A counter given as its low 32 bits and a high word of which only the low
// 16 bits count, in microseconds.
double RtcWordsToUsec(uint32_t low, uint32_t high);

// The low 48 bits of an intra-packet stamp as ticks; none when flag bits 6
// and 7 say the stamps are in secondary-header time, not counter ticks.
// Inline: the body checks ask it for every frame and message.
inline std::optional<double> IntraTimeTicks(const ch10::PacketHeader& header, uint64_t stamp) {
    if ((header.flags & 0xC0) == 0xC0) return std::nullopt;
    return static_cast<double>(stamp & 0xFFFFFFFFFFFFULL);
}
// 0 when the stamp's low 48 bits are not below the header counter, else -1.
int RtcNotBefore(const ch10::PacketHeader& header, uint64_t stamp);

// The last intra-packet stamp of each channel slot in microseconds, kept
// from packet to packet of the slot.
struct IntraStampTimes {
    std::array<double, 256> lastUsec{};
    void Reset() { lastUsec.fill(0.0); }
};
// Keeps the stamp as the slot's last; 0 when it is later than the kept one,
// else -1. Inline: it runs for every bus message.
inline int RtcIncreasing(IntraStampTimes& times, uint64_t stamp, int slot) {
    // RoundDiv10 in integers: 48 bits are exact in a double.
    const uint64_t ticks = stamp & 0xFFFFFFFFFFFFULL;
    const double usec = static_cast<double>(ticks / 10 + (ticks % 10 >= 5 ? 1 : 0));
    if (slot < 0 || slot >= static_cast<int>(times.lastUsec.size())) return 0;
    double& kept = times.lastUsec[static_cast<std::size_t>(slot)];
    const bool later = usec > kept;
    kept = usec;
    return later ? 0 : -1;
}

// The BCD fields of a time packet's data word and two time words. Bad digits
// give values beyond their ranges (milliseconds up to 1,650).
struct TimeFields {
    int milliseconds = 0;
    int seconds = 0;
    int minutes = 0;
    int hours = 0;
    int day = 0;    // day of year, or day of month in the month/day form
    int month = 0;  // month/day form only
    int year = 0;   // month/day form only
    bool leapYear = false;
    bool monthDayForm = false;
    int format = 0;  // data word bits 4-7
    int source = 0;  // data word bits 0-3
};
TimeFields DecodeTimeWords(uint32_t dataWord, uint32_t word0, uint32_t word1);

// Days of the months before `month`; only months 1-12 exist, so 0 adds none
// and 13 or more adds all twelve.
int DaysBeforeMonth(int month, bool leapYear);

// Microseconds from the start of day 0. In the month/day form with both
// outputs given, the year and month go out and the day of the month stands
// for the day of year; without them the day of year is computed.
double TimePacketToUnits(uint32_t dataWord, uint32_t word0, uint32_t word1, int* month = nullptr,
                         int* year = nullptr);

// "ddd:hh:mm:ss:mmm" of a time packet (day of year computed in the
// month/day form).
std::string FormatPacketTime(uint32_t dataWord, uint32_t word0, uint32_t word1);
// "ddd:hh:mm:ss:mmm:uuu" of a microsecond value, split by truncating
// division.
std::string UsecToDayText(double usec);
// The same text into `out`, whose room is reused: made for every packet.
void UsecToDayText(double usec, std::string& out);

}  // namespace vexa
