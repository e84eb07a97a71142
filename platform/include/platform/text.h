#pragma once
// ASCII-only text helpers: the system's comparisons never depend on the locale.
#include <string>
#include <string_view>

namespace platform {

constexpr char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
constexpr char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool AsciiEqualsNoCase(std::string_view a, std::string_view b);
// <0, 0, >0 as strcasecmp, comparing ASCII letters case-insensitively.
int AsciiCompareNoCase(std::string_view a, std::string_view b);
std::string AsciiToUpper(std::string_view text);
// Case-insensitive order with byte order on ties (directory listings).
bool AsciiLessNoCaseThenBytes(std::string_view a, std::string_view b);

}  // namespace platform
