#include "dumps.h"

#include <string>

namespace sandral {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

void Hex(std::string& s, uint32_t v, int digits) {
    for (int i = digits - 1; i >= 0; --i) s.push_back(kHex[(v >> (4 * i)) & 0xF]);
}

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

// Items of one line of up to 16 bytes; the tail that fills no item goes
// out byte by byte.
void Items(std::string& s, const uint8_t* p, std::size_t n, int layout) {
    std::size_t i = 0;
    if (layout == 1) {
        for (; i + 4 <= n; i += 4) {
            s.push_back(' ');
            Hex(s, Le16(p + i + 2), 4);
            s.push_back(' ');
            Hex(s, Le16(p + i), 4);
        }
    } else {
        for (; i + 2 <= n; i += 2) {
            s.push_back(' ');
            if (layout == 2) {
                Hex(s, p[i], 2);
                Hex(s, p[i + 1], 2);
            } else {
                Hex(s, Le16(p + i), 4);
            }
        }
    }
    for (; i < n; ++i) {
        s.push_back(' ');
        Hex(s, p[i], 2);
    }
}

void Lines(OutputSink& out, const char* heading, const uint8_t* bytes, std::size_t length, int layout) {
    std::string s = heading;
    s.reserve(s.size() + (length / 16 + 1) * 50 + 4);
    for (std::size_t at = 0; at < length; at += 16) {
        Hex(s, static_cast<uint32_t>(at), 8);
        Items(s, bytes + at, length - at < 16 ? length - at : 16, layout);
        s.push_back('\n');
    }
    if (layout == 2) s.push_back('\n');
    s.push_back('\n');
    out.Write(s);
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
