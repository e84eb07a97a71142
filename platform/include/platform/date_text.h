#pragma once
// Local dates and times as text with English names whatever the process's
// LC_TIME says.
#include <ctime>
#include <string>

namespace platform {

// strftime of localtime_r(t) in the "C" locale. Empty when the time cannot
// be converted.
std::string FormatLocalTime(const char* format, std::time_t t);

}  // namespace platform
