#pragma once
// printf-style formatting into a std::string, always in the C numeric locale.
#include <cstdarg>
#include <cstdint>
#include <string>

namespace platform {

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string FormatV(const char* format, va_list args);
// Appends to `out`; the same rules as Format.
void AppendFormat(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));

// The text printf gives for "%0<width>" PRId64 (width 0: "%" PRId64),
// appended without going through printf: for texts made for every packet.
void AppendDecimal(std::string& out, int64_t value, int width = 0);
// "%" PRIu64.
void AppendDecimal(std::string& out, uint64_t value);

}  // namespace platform
