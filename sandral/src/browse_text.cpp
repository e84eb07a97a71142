#include "browse_text.h"

#include <cctype>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "platform/numbers.h"
#include "type_labels.h"

namespace sandral {

namespace {

// One "%d" field at p: its value and the end of its digits, or nullptr
// when it holds none.
const char* ReadField(const char* p, int32_t* value) {
    const char* q = p;
    while (*q == ' ' || (*q >= '\t' && *q <= '\r')) ++q;
    if (*q == '+' || *q == '-') ++q;
    if (!std::isdigit(static_cast<unsigned char>(*q))) return nullptr;
    while (std::isdigit(static_cast<unsigned char>(*q))) ++q;
    *value = platform::DecimalToInt(std::string_view(p, static_cast<std::size_t>(q - p)));
    return q;
}

int64_t SaturateToInt64(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 9223372036854775807.0) return std::numeric_limits<int64_t>::max();
    if (v <= -9223372036854775808.0) return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(v);
}

}  // namespace

int64_t TimeTextToUsec(const char* text) {
    int32_t fields[5] = {0, 0, 0, 0, 0};
    const char* p = text ? text : "";
    for (int k = 0; k < 5; ++k) {
        p = ReadField(p, &fields[k]);
        if (!p || *p != ':') break;
        ++p;
    }
    const double usec = static_cast<double>(fields[4]) + fields[0] * 86400000000.0 + fields[1] * 3600000000.0 +
                        fields[2] * 60000000.0 + fields[3] * 1000000.0;
    return SaturateToInt64(usec);
}

int64_t SliderOffset(int32_t percent, int64_t fileSize) {
    const __int128 v = static_cast<__int128>(percent) * fileSize / 100;
    if (v > std::numeric_limits<int64_t>::max()) return std::numeric_limits<int64_t>::max();
    if (v < std::numeric_limits<int64_t>::min()) return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(v);
}

int32_t SliderValue(int64_t lastPrintedOffset, int64_t fileSize) {
    if (fileSize <= 0 || lastPrintedOffset > fileSize) return 0;
    return static_cast<int32_t>(static_cast<double>(lastPrintedOffset) * 100 / static_cast<double>(fileSize));
}

std::string HexOffsetText(int64_t offset) {
    char text[20];
    std::snprintf(text, sizeof text, "%" PRIx64, static_cast<uint64_t>(offset));
    return text;
}

std::string ChannelListText(const CHAN_INFO& record, std::size_t maxChars) {
    std::string list = "0 - CompGen";
    char entry[64];
    for (int k = 0; record.Channels && k < record.ChannelCount; ++k) {
        const CHAN_ENTRY& c = record.Channels[k];
        if (c.Enable == 0) continue;
        const int n = std::snprintf(entry, sizeof entry, ",%d - %s", c.ChannelID, ChannelTypeWord(c.DataType));
        // Half an entry would read as a wrong channel or type: stop before it.
        if (list.size() + static_cast<std::size_t>(n) > maxChars) break;
        list.append(entry, static_cast<std::size_t>(n));
    }
    return list;
}

int32_t ChannelArgument(const char* text) {
    if (text && std::strcmp(text, "ALL") == 0) return -1;
    return platform::DecimalToInt(text ? text : "");
}

}  // namespace sandral
