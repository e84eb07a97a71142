#pragma once
// printf-style formatting into a std::string, always in the C numeric locale.
#include <cstdarg>
#include <string>

namespace platform {

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string FormatV(const char* format, va_list args);
// Appends to `out`; the same rules as Format.
void AppendFormat(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));

}  // namespace platform
