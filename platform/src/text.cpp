#include "platform/text.h"

#include <algorithm>

namespace platform {

int AsciiCompareNoCase(std::string_view a, std::string_view b) {
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(AsciiLower(a[i]));
        unsigned char y = static_cast<unsigned char>(AsciiLower(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool AsciiEqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && AsciiCompareNoCase(a, b) == 0;
}

std::string AsciiToUpper(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = AsciiUpper(c);
    return out;
}

bool AsciiLessNoCaseThenBytes(std::string_view a, std::string_view b) {
    int c = AsciiCompareNoCase(a, b);
    if (c != 0) return c < 0;
    return a < b;
}

}  // namespace platform
