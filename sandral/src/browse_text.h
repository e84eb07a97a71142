#pragma once
// The texts the browse calls take and return: time of day, slider
// percentages and the channel list.
#include <cstddef>
#include <cstdint>
#include <string>

#include "tessin.h"

namespace sandral {

constexpr std::size_t kChannelListCapacity = 1000;

// "day:hour:minute:second:microsecond" as "%d:%d:%d:%d:%d" matches it (a
// field is read only after one with digits and an immediate ":"; the rest
// stay 0), each field saturating, the sum truncated and saturated.
int64_t TimeTextToUsec(const char* text);

// percent x fileSize / 100, truncated, saturated to 64 bits.
int64_t SliderOffset(int32_t percent, int64_t fileSize);

// The truncated percentage of the last printed packet; 0 without a size
// or past it.
int32_t SliderValue(int64_t lastPrintedOffset, int64_t fileSize);

// "%I64x": lowercase hexadecimal of the value as unsigned, no padding.
std::string HexOffsetText(int64_t offset);

// "0 - CompGen" and the enabled channels, whole entries only up to
// `maxChars` characters.
std::string ChannelListText(const CHAN_INFO& record, std::size_t maxChars);

// "ALL": -1; otherwise the decimal value.
int32_t ChannelArgument(const char* text);

}  // namespace sandral
