#pragma once
// Hexadecimal dumps of packet bytes. A line holds 16 bytes and begins with
// their offset within the dumped area; bytes that do not fill a last item
// print one by one, so no byte is hidden and none is read past the length.
#include <cstddef>
#include <cstdint>

#include "output_sink.h"

namespace sandral {

// Layout 0: eight 16-bit little-endian words a line; 1: four 32-bit words,
// high half first; 2: eight byte pairs in file order, then an empty line.
void dump_words(OutputSink& out, const uint8_t* bytes, std::size_t length, int layout);
void dump_header(OutputSink& out, const uint8_t* bytes, std::size_t length);
void dump_trailer(OutputSink& out, const uint8_t* bytes, std::size_t length);

}  // namespace sandral
