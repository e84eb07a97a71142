#include "platform/format.h"

#include <charconv>
#include <clocale>
#include <cstdio>
#include <locale.h>

namespace platform {
namespace {

locale_t CNumericLocale() {
    static locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return loc;
}

// Switches this thread to the C locale for the duration of one format.
class ScopedCLocale {
public:
    ScopedCLocale() : previous_(uselocale(CNumericLocale())) {}
    ~ScopedCLocale() { uselocale(previous_); }
    ScopedCLocale(const ScopedCLocale&) = delete;
    ScopedCLocale& operator=(const ScopedCLocale&) = delete;

private:
    locale_t previous_;
};

void AppendV(std::string& out, const char* format, va_list args) {
    ScopedCLocale c;
    char small[256];
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(small, sizeof small, format, copy);
    va_end(copy);
    if (n < 0) return;
    if (static_cast<std::size_t>(n) < sizeof small) {
        out.append(small, static_cast<std::size_t>(n));
        return;
    }
    std::size_t old = out.size();
    out.resize(old + static_cast<std::size_t>(n) + 1);
    std::vsnprintf(out.data() + old, static_cast<std::size_t>(n) + 1, format, args);
    out.resize(old + static_cast<std::size_t>(n));
}

}  // namespace

std::string FormatV(const char* format, va_list args) {
    std::string out;
    AppendV(out, format, args);
    return out;
}

std::string Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string out = FormatV(format, args);
    va_end(args);
    return out;
}

void AppendFormat(std::string& out, const char* format, ...) {
    va_list args;
    va_start(args, format);
    AppendV(out, format, args);
    va_end(args);
}

namespace {

// The digits of `magnitude`, zero-padded to `digits`, after an optional sign.
void AppendPadded(std::string& out, bool negative, uint64_t magnitude, int digits) {
    char text[24];
    const auto end = std::to_chars(text, text + sizeof text, magnitude).ptr;
    const int length = static_cast<int>(end - text);
    if (negative) out.push_back('-');
    if (digits > length) out.append(static_cast<std::size_t>(digits - length), '0');
    out.append(text, end);
}

}  // namespace

void AppendDecimal(std::string& out, int64_t value, int width) {
    const bool negative = value < 0;
    // The magnitude in unsigned arithmetic, so the most negative value has one.
    const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    // printf's zero padding counts the sign in the width.
    AppendPadded(out, negative, magnitude, negative ? width - 1 : width);
}

void AppendDecimal(std::string& out, uint64_t value) { AppendPadded(out, false, value, 0); }

}  // namespace platform
