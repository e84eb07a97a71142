#pragma once
// The decoders of each data type, as data: one row per data type code. The
// stepping asks a row for the word printer, the body printer, the dump
// layout and the number of channel-specific words; it never names a type.
#include <array>
#include <cstddef>
#include <cstdint>

#include "ch10/packet_header.h"
#include "ch10/packet_view.h"
#include "output_sink.h"

namespace sandral {

struct PrintArgs {
    OutputSink& out;
    const ch10::PacketView& view;
    const ch10::PacketHeader& header;
    std::size_t headerLength;  // 24, or 36 with a secondary header
    uint32_t word;             // the first channel-specific word
    std::size_t bodyStart;     // offset in the packet
    std::size_t bodyLength;    // bytes held from bodyStart
};

using Printer = void (*)(const PrintArgs& args);
using LayoutOf = int (*)(uint32_t word);
using WordCountOf = int (*)(const ch10::PacketView& view, std::size_t headerLength);

struct DecoderRow {
    Printer wordPrinter = nullptr;  // none: the word is dumped with the body
    Printer bodyPrinter = nullptr;  // none: dump_words in the row's layout
    LayoutOf layout = nullptr;      // none: layout 0
    WordCountOf wordCount = nullptr;  // none: one word

    int Layout(uint32_t word) const { return layout ? layout(word) : 0; }
    int WordCount(const ch10::PacketView& view, std::size_t headerLength) const {
        return wordCount ? wordCount(view, headerLength) : 1;
    }
};

const std::array<DecoderRow, 256>& DecoderTable();

}  // namespace sandral
