#pragma once
// Export of per-parameter sample files into one CSV: time text helpers.
#include <cstdint>
#include <string>

namespace tessin {

// "DDD:HH:MM:SS:uuuuuu" to microseconds; false for a text under 14 characters.
bool parse_time_string(const char* text, int64_t& micros);
std::string format_time_string(int64_t micros);
// Removes every blank and cuts at the first tab, LF, CR or '|'.
std::string trim_field(const std::string& text);

}  // namespace tessin
