#include "decoder_text.h"

#include <cstring>

#include "../time_convert.h"
#include "../time_reference.h"

namespace sandral::decoders {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

}  // namespace

char* PutText(char* o, std::string_view text) {
    std::memcpy(o, text.data(), text.size());
    return o + text.size();
}

char* PutLeft(char* o, std::string_view text, std::size_t width) {
    o = PutText(o, text);
    for (std::size_t i = text.size(); i < width; ++i) *o++ = ' ';
    return o;
}

char* PutHex(char* o, uint64_t value, int digits) {
    for (int i = digits - 1; i >= 0; --i) *o++ = kHex[(value >> (4 * i)) & 0xF];
    return o;
}

char* PutDec(char* o, int64_t value) {
    char digits[24];
    int n = 0;
    // Unsigned arithmetic keeps the most negative value defined.
    uint64_t v = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    do {
        digits[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0);
    if (value < 0) *o++ = '-';
    while (n > 0) *o++ = digits[--n];
    return o;
}

char* PutDecLeft(char* o, int64_t value, std::size_t width) {
    char* start = o;
    o = PutDec(o, value);
    while (static_cast<std::size_t>(o - start) < width) *o++ = ' ';
    return o;
}

void DataDump(OutputSink& out, std::span<const uint8_t> bytes) {
    constexpr std::size_t kLine = 8 + 16 * 3 + 4 + 16 + 1;
    char* o = out.Append((bytes.size() / 16 + 1) * kLine + 1);
    for (std::size_t at = 0; at < bytes.size(); at += 16) {
        const std::size_t n = bytes.size() - at < 16 ? bytes.size() - at : 16;
        o = PutHex(o, at, 8);
        for (std::size_t i = 0; i < 16; ++i) {
            *o++ = ' ';
            if (i < n) {
                o = PutHex(o, bytes[at + i], 2);
            } else {
                *o++ = ' ';
                *o++ = ' ';
            }
        }
        o = PutText(o, "    ");
        for (std::size_t i = 0; i < 16; ++i) {
            if (i >= n) {
                *o++ = ' ';
                continue;
            }
            const uint8_t c = bytes[at + i];
            *o++ = c >= 33 && c <= 126 ? static_cast<char>(c) : '.';
        }
        *o++ = '\n';
    }
    *o++ = '\n';
    out.Commit(o);
}

void MessageTimeLine(OutputSink& out, uint64_t stamp, TimeLineKind kind) {
    char* o = out.Append(kUsecTimeRoom + 96);
    o = PutText(o, kind == TimeLineKind::WithColon ? "  Computed IRIG Time: " : "  Computed IRIG Time ");
    o = put_ipts_time(o, stamp);
    o = PutText(o, "  (");
    o = PutHex(o, (stamp >> 32) & 0xFFFF, 4);
    *o++ = ' ';
    o = PutHex(o, (stamp >> 16) & 0xFFFF, 4);
    *o++ = ' ';
    o = PutHex(o, stamp & 0xFFFF, 4);
    o = PutText(o, ")  ");
    o = PutDec(o, static_cast<int64_t>(stamp & 0xFFFFFFFFFFFFull));
    o = PutText(o, kind == TimeLineKind::Standard ? "\n" : "\n\n");
    out.Commit(o);
}

}  // namespace sandral::decoders
