#pragma once
// The header block of a printed packet and the printing of a whole packet:
// header block, secondary header, word, then the TMATS text or the dumps
// and body, each cut to the packet and to the bytes held.
#include <cstddef>
#include <cstdint>

#include "ch10/packet_header.h"
#include "ch10/packet_view.h"
#include "output_sink.h"

namespace sandral {

// Rule, header lines, efficiency, counter and (but for setup packets) the
// computed IRIG time. Records the printed offsets.
void print_packet_header(OutputSink& out, const ch10::PacketHeader& header);
// Needs the 36 bytes of both headers in the view.
void print_secondary_header(OutputSink& out, const ch10::PacketView& view);
// The rest of a whole packet after its header block; `held` bytes (24 at
// least) lie at `packet`.
void print_packet_body(OutputSink& out, const uint8_t* packet, std::size_t held, const ch10::PacketHeader& header);
void print_partial_banner(OutputSink& out);

}  // namespace sandral
