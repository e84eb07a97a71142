#pragma once
// Finding the first packet at or after a time of day: bisection over time
// packets down to two seconds before the target, then a packet-by-packet
// scan with the printer's own time computation.
#include <cstdint>
#include <string>

namespace sandral {

constexpr int kSeekRead = 0xFC034;
constexpr int kSeekStep = 0xFC000;
constexpr int kSeekOverlap = 52;

// 0 with the offset in *result, or -1 (not found, or the recording cannot
// be read). *result is 0 from the open on.
int get_ch10_time_offset(const std::string& path, int64_t target, int64_t* result);

// Windows read by the seeks so far (benchmarks).
int64_t SeekWindowsRead();

}  // namespace sandral
