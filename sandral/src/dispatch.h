#pragma once
// The decoders of each data type, as data: one row per data type code. The
// stepping asks a row for the word printer, the body printer and the dump
// layout; it never names a type.
#include <array>
#include <cstddef>
#include <cstdint>

#include "ch10/packet_header.h"
#include "ch10/packet_view.h"
#include "output_sink.h"

namespace sandral {

// What a printer may read: the packet's view, and within it the body as
// [bodyStart, bodyStart + bodyLength). A word printer is called with the
// body starting right after the word and ending at the end of the packet's
// data (trailer excluded), so it sees the time data, the intra-packet
// header or further words without reading past the data.
struct PrintArgs {
    OutputSink& out;
    const ch10::PacketView& view;
    const ch10::PacketHeader& header;
    std::size_t headerLength;  // 24, or 36 with a secondary header
    uint32_t word;             // the first channel-specific word
    std::size_t bodyStart;     // offset in the packet
    std::size_t bodyLength;    // bytes held from bodyStart

    // The body as a view of its own: offsets in it count from the body's start.
    ch10::PacketView Body() const {
        return bodyLength ? ch10::PacketView(view.data() + bodyStart, bodyLength) : ch10::PacketView();
    }
};

// Returns the word bytes it printed: the body starts that far after the
// header.
using WordPrinter = std::size_t (*)(const PrintArgs& args);
using BodyPrinter = void (*)(const PrintArgs& args);
using LayoutOf = int (*)(uint32_t word);

struct DecoderRow {
    WordPrinter wordPrinter = nullptr;  // none: the word is dumped with the body
    BodyPrinter bodyPrinter = nullptr;  // none: dump_words in the row's layout
    LayoutOf layout = nullptr;          // none: layout 0
    bool redumpBody = false;            // the body printer's output is followed by a layout-0 dump

    int Layout(uint32_t word) const { return layout ? layout(word) : 0; }
};

const std::array<DecoderRow, 256>& DecoderTable();

}  // namespace sandral
