#pragma once
// Texts every decoder shares: the 16-byte hex-and-character data dump, the
// message time line, the yes/no texts, and appenders that write fixed
// columns and hexadecimal digits without printf.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "../output_sink.h"

namespace sandral::decoders {

inline const char* YesNo(bool on) { return on ? "YES" : "NO"; }
inline const char* YesNoNumbered(bool on) { return on ? "1 YES" : "0 NO"; }

// Lines of 16 bytes: offset within the bytes, " %02X" per byte (three
// blanks past the end), four blanks, the bytes as characters (33-126, else
// "."; a blank past the end); then one more "\n". No bytes: only that "\n".
void DataDump(OutputSink& out, std::span<const uint8_t> bytes);

enum class TimeLineKind {
    Standard,     // "  Computed IRIG Time %s  (%04X %04X %04X)  %lld\n"
    DoubleEnd,    // the same ending in "\n\n"
    WithColon,    // "  Computed IRIG Time: %s ..." ending in "\n\n"
};
// The stamp's IRIG time, its 16-bit words 2, 1, 0 and its low 48 bits.
void MessageTimeLine(OutputSink& out, uint64_t stamp, TimeLineKind kind = TimeLineKind::Standard);

// Rounds a length up to the next even number.
inline std::size_t Even(std::size_t n) { return n + (n & 1); }

// Appenders into a caller's buffer; each returns the end of what it wrote.
char* PutText(char* o, std::string_view text);
// The text left-aligned in `width` columns (never cut), as "%-Ns".
char* PutLeft(char* o, std::string_view text, std::size_t width);
// `digits` upper-case hexadecimal digits, as "%0NX".
char* PutHex(char* o, uint64_t value, int digits);
// A signed decimal number, as "%lld".
char* PutDec(char* o, int64_t value);
// A signed decimal number left-aligned in `width` columns, as "%-Nlld".
char* PutDecLeft(char* o, int64_t value, std::size_t width);

}  // namespace sandral::decoders
