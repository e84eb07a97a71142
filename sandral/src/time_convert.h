#pragma once
// Pure time conversions: BCD time data of time packets, the 10 MHz relative
// time counter, and the day:hour:minute:second time text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "ch10/packet_header.h"
#include "sandral.h"

namespace sandral {

constexpr double kUsecPerDay = 86400000000.0;

// Time data words W0, W1, W2 of a time packet (format 1). Bit 9 of the
// word selects the day-month-year form, bit 8 is the leap-year flag.
struct BcdTime {
    uint16_t w0 = 0;
    uint16_t w1 = 0;
    uint16_t w2 = 0;
};

double irig_time_to_usec(uint32_t csdw, const BcdTime& data);
// Ticks rounded to microseconds, half a microsecond up (never for negatives).
double rtc_ticks_to_usec(int64_t ticks);
double packet_rtc_to_usec(const ch10::PacketHeader& header);
// 123:04:05:06:007008. A negative time keeps its signed pieces.
std::string format_usec_time(double usec);
// The same text written at `o` (at most kUsecTimeRoom bytes, no NUL); returns its end.
constexpr std::size_t kUsecTimeRoom = 128;
char* put_usec_time(char* o, double usec);
// The twelve digit fields of the status record.
void split_bcd_time(const BcdTime& data, bool dateFormat, PlayerStatus* status);

}  // namespace sandral
