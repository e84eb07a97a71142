#include "platform/date_text.h"

#include <locale.h>
#include <time.h>

namespace platform {

std::string FormatLocalTime(const char* format, std::time_t t) {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    struct tm parts {};
    if (!localtime_r(&t, &parts)) return {};
    char text[256];
    const std::size_t n = c ? strftime_l(text, sizeof text, format, &parts, c) : strftime(text, sizeof text, format, &parts);
    return std::string(text, n);
}

}  // namespace platform
