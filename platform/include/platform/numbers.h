#pragma once
// Number conversions with the results of the 32-bit Windows runtime the
// system was written against, independent of the process locale.
#include <cstdint>
#include <string_view>

namespace platform {

// atoi-like: skips leading blanks, takes one sign, stops at the first
// non-digit; saturates at INT32_MIN/INT32_MAX; no digits gives 0.
int32_t DecimalToInt(std::string_view text);

// strtoul(text, 0, 2)-like: skips leading blanks, takes one sign, reads the
// leading 0/1 digits; saturates at 0xFFFFFFFF; a '-' negates modulo 2^32.
uint32_t BinaryToUInt(std::string_view text);

// strtod in the C locale: leading blanks, sign, digits, '.', exponent.
// Nothing convertible gives 0.0.
double DecimalToDouble(std::string_view text);

// A double converted to a 32-bit integer by truncation, as the 32-bit
// Windows build printed it: NaN and values outside the int32 range give INT_MIN.
int32_t TruncateToInt32(double value);

}  // namespace platform
