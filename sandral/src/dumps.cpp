#include "dumps.h"

#include <algorithm>
#include <cstring>

namespace sandral {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

// Writes `digits` hexadecimal digits of v at o; returns the end.
char* Hex(char* o, uint32_t v, int digits) {
    for (int i = digits - 1; i >= 0; --i) *o++ = kHex[(v >> (4 * i)) & 0xF];
    return o;
}

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

// Items of one line of up to 16 bytes; the tail that fills no item goes
// out byte by byte.
char* Items(char* o, const uint8_t* p, std::size_t n, int layout) {
    std::size_t i = 0;
    if (layout == 1) {
        for (; i + 4 <= n; i += 4) {
            *o++ = ' ';
            o = Hex(o, Le16(p + i + 2), 4);
            *o++ = ' ';
            o = Hex(o, Le16(p + i), 4);
        }
    } else if (layout == 2) {
        for (; i + 2 <= n; i += 2) {
            *o++ = ' ';
            o = Hex(o, p[i], 2);
            o = Hex(o, p[i + 1], 2);
        }
    } else {
        for (; i + 2 <= n; i += 2) {
            *o++ = ' ';
            o = Hex(o, Le16(p + i), 4);
        }
    }
    for (; i < n; ++i) {
        *o++ = ' ';
        o = Hex(o, p[i], 2);
    }
    return o;
}

void Lines(OutputSink& out, const char* heading, const uint8_t* bytes, std::size_t length, int layout) {
    constexpr std::size_t kLineRoom = 8 + 16 * 3 + 1;  // offset, items (at most 3 characters a byte), LF
    const std::size_t headingLength = std::strlen(heading);
    char* o = out.Append(headingLength + (length / 16 + 1) * kLineRoom + 2);
    o = std::copy(heading, heading + headingLength, o);
    for (std::size_t at = 0; at < length; at += 16) {
        o = Hex(o, static_cast<uint32_t>(at), 8);
        o = Items(o, bytes + at, length - at < 16 ? length - at : 16, layout);
        *o++ = '\n';
    }
    if (layout == 2) *o++ = '\n';
    *o++ = '\n';
    out.Commit(o);
}

}  // namespace

void dump_words(OutputSink& out, const uint8_t* bytes, std::size_t length, int layout) {
    Lines(out, "PACKET DATA:\n", bytes, length, layout == 1 || layout == 2 ? layout : 0);
}

void dump_header(OutputSink& out, const uint8_t* bytes, std::size_t length) {
    Lines(out, "PACKET HEADER:\n", bytes, length, 0);
}

void dump_trailer(OutputSink& out, const uint8_t* bytes, std::size_t length) {
    Lines(out, "PACKET TRAILER:\n", bytes, length, 0);
}

}  // namespace sandral
