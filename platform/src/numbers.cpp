#include "platform/numbers.h"

#include <climits>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <string>

namespace platform {
namespace {

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

locale_t CLocale() {
    static locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return loc;
}

// Steps `i` over leading blanks and one sign; whether the sign was a minus.
bool SkipBlanksAndSign(std::string_view text, std::size_t& i) {
    while (i < text.size() && IsBlank(text[i])) ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) return text[i++] == '-';
    return false;
}

}  // namespace

int32_t DecimalToInt(std::string_view text) {
    std::size_t i = 0;
    const bool negative = SkipBlanksAndSign(text, i);
    int64_t value = 0;
    bool saturated = false;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (!saturated) {
            value = value * 10 + (text[i] - '0');
            if (value > int64_t{INT32_MAX} + 1) saturated = true;
        }
    }
    if (negative) {
        value = -value;
        if (saturated || value < INT32_MIN) return INT32_MIN;
        return static_cast<int32_t>(value);
    }
    if (saturated || value > INT32_MAX) return INT32_MAX;
    return static_cast<int32_t>(value);
}

uint32_t BinaryToUInt(std::string_view text) {
    std::size_t i = 0;
    const bool negative = SkipBlanksAndSign(text, i);
    uint64_t value = 0;
    bool saturated = false;
    for (; i < text.size() && (text[i] == '0' || text[i] == '1'); ++i) {
        if (!saturated) {
            value = (value << 1) | static_cast<uint64_t>(text[i] - '0');
            if (value > UINT32_MAX) saturated = true;
        }
    }
    if (saturated) return UINT32_MAX;
    uint32_t result = static_cast<uint32_t>(value);
    return negative ? static_cast<uint32_t>(0u - result) : result;
}

double DecimalToDouble(std::string_view text) {
    std::string copy(text);  // strtod needs a terminated string
    return strtod_l(copy.c_str(), nullptr, CLocale());
}

int32_t TruncateToInt32(double value) {
    if (std::isnan(value)) return INT32_MIN;
    double t = std::trunc(value);
    if (t < static_cast<double>(INT32_MIN) || t > static_cast<double>(INT32_MAX)) return INT32_MIN;
    return static_cast<int32_t>(t);
}

}  // namespace platform
