#pragma once
// Packets through the dispatch point into memory, from heap copies of
// exactly their length, with a time reference the message times count
// from; and the small body builders of the decoder tests.
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/ch10_fixture.h"
#include "header_printer.h"
#include "tests/support/held_packet_rig.h"
#include "sandral_state.h"
#include "tests/support/time_packet_builder.h"
#include "time_reference.h"

namespace sandraltest {

using ch10fix::Bytes;

// Day 1 (or January 1) 00:00:00.000 at counter 0: a stamp of 10,000,000
// ticks reads 001:00:00:01:000000.
inline void SetDayOneReference(bool dateFormat = false) {
    ch10fix::BcdTimeSpec t;
    t.dateFormat = dateFormat;
    const rigs::HeldPacket time(ch10fix::BuildTimePacket(t));
    sandral::update_time_reference(time.view(), time.header(), sandral::TimeScan::DecodeStep);
}

// Everything print_packet_body writes for `packet`, `held` bytes of it.
inline std::string PrintedWhole(const Bytes& packet, std::size_t held = SIZE_MAX) {
    sandral::OutputSink& out = sandral::State().browse.outputStream;
    out.UseMemory();
    const rigs::HeldPacket p(packet, held);
    sandral::print_packet_body(out, p.data(), p.size(), p.header());
    return out.Text();
}

// The same without the header dump, which the decoders do not write.
inline std::string Printed(const Bytes& packet) {
    std::string text = PrintedWhole(packet);
    // At the start (no word line) or on a line of its own: "INTRA PACKET HEADER:" is the PCM word's.
    std::size_t at = text.rfind("PACKET HEADER:\n", 0) == 0 ? 0 : text.find("\nPACKET HEADER:\n");
    if (at == std::string::npos) return text;
    if (at != 0) ++at;
    text.erase(at, text.find("\n\n", at) + 2 - at);
    return text;
}

inline Bytes Packet(uint8_t dataType, uint32_t word, const Bytes& body, uint8_t version = 6, uint8_t flags = 0) {
    ch10fix::PacketSpec s;
    s.dataType = dataType;
    s.dataTypeVersion = version;
    s.csdw = word;
    s.body = body;
    s.otherFlags = flags;
    return ch10fix::BuildPacket(s);
}

inline void Add16(Bytes& b, uint16_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
inline void Add32(Bytes& b, uint32_t v) {
    Add16(b, static_cast<uint16_t>(v));
    Add16(b, static_cast<uint16_t>(v >> 16));
}
inline void Add64(Bytes& b, uint64_t v) {
    Add32(b, static_cast<uint32_t>(v));
    Add32(b, static_cast<uint32_t>(v >> 32));
}
inline void AddBytes(Bytes& b, const std::string& text) { b.insert(b.end(), text.begin(), text.end()); }
inline void PadEven(Bytes& b) {
    if (b.size() & 1) b.push_back(0);
}

// A stamped message: 8-byte stamp, 32-bit header, data padded to even
// (CAN puts its identifier word between them: pass it in `data`).
inline void AddStamped(Bytes& b, uint64_t stamp, uint32_t header, const Bytes& data) {
    Add64(b, stamp);
    Add32(b, header);
    b.insert(b.end(), data.begin(), data.end());
    PadEven(b);
}

inline std::string Spaces(std::size_t n) { return std::string(n, ' '); }

// "  Computed IRIG Time ... (w2 w1 w0)  low48\n" as the formats give it.
inline std::string TimeLine(const std::string& time, const std::string& words, const std::string& number) {
    return "  Computed IRIG Time " + time + "  (" + words + ")  " + number + "\n";
}

}  // namespace sandraltest
