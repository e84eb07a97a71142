// The message data type: the standard layout of stamped messages, and the
// program-specific layouts of types 35 and 22 chosen by the body's third
// byte when the word's counter is 0.
#include <cinttypes>
#include <cstdio>

#include "decoder_text.h"
#include "decoders.h"

namespace sandral::decoders {

namespace {

const char* const kPacketTypes[] = {"%d Complete Message(s}", "%d Beginning of Message", "%d End of Message",
                                    "%d Middle of Message"};

void MessageFields(OutputSink& out, uint32_t iph) {
    out.Printf("  Subchannel ID: %-8d", static_cast<int>((iph >> 16) & 0x3FFF));
    out.Printf("Data Length: %-8d\n", static_cast<int>(iph & 0xFFFF));
    out.Printf("  Format Error: %-8s", YesNo((iph >> 30) & 1));
    out.Printf(" Data Error: %-8s\n", YesNo(iph >> 31));
}

void StandardMessages(OutputSink& out, const ch10::PacketView& body) {
    std::size_t at = 0;
    while (body.Has(at, 12)) {
        const uint32_t iph = *body.U32(at + 8);
        const std::size_t length = iph & 0xFFFF;
        if (!body.Has(at + 12, length)) {
            out.Write("Invalid Intra-Packet Header\n");
            MessageFields(out, iph);
            DataDump(out, body.Slice(at + 12, body.size() - at - 12));
            return;
        }
        MessageTimeLine(out, *body.U64(at));
        MessageFields(out, iph);
        out.Write("\n");
        DataDump(out, body.Slice(at + 12, length));
        at += 12 + Even(length);
    }
    if (at < body.size()) DataDump(out, body.Slice(at, body.size() - at));
}

void Type35(OutputSink& out, const ch10::PacketView& body) {
    const uint32_t asmHeader = *body.U32(4), length = *body.U32(12);
    out.Printf("F-35 Program Specific Data Word (Type 35), Packet Count: %4d\n", static_cast<int>(*body.U16(0)));
    out.Printf("ASM Header: %8d (%08X)      ", static_cast<int32_t>(asmHeader), asmHeader);
    out.Printf("Security Word: %08X\n", *body.U32(8));
    out.Printf("Data Length: %8d\n\n", static_cast<int32_t>(length));
    DataDump(out, body.Slice(16, length));
}

const struct {
    unsigned bit;
    const char* format;
} kF22Status[] = {
    {17, "   FIFO Error: %3s "},      {18, "        CRC Error: %3s "}, {19, "       Symbol Error: %3s"},
    {20, "  Framing Error: %3s\n"},   {21, "   BOT before EOT: %3s "}, {22, "    Frame Overflow: %3s "},
    {23, "  Parity Error: %3s"},      {24, "  Data Error: %3s\n"},     {29, "   Special Handling: %3s "},
    {31, "  Invalid Packet: %3s"},    {30, "   Invalid Msg Sequence: %3s\n"},
};

// One sub-packet at `at` whose first 24 bytes lie in the body; false when
// the packet ends with it.
bool SubPacket(OutputSink& out, const ch10::PacketView& body, std::size_t at, int number, uint16_t firstHigh) {
    const uint64_t stamp = *body.U64(at);
    const uint32_t status = *body.U32(at + 8), payload = status & 0x1FFFF;
    out.Printf("Sub-Packet %d Data:\n\n", number);
    if (number > 1 && static_cast<int>((stamp >> 32) & 0xFFFF) - static_cast<int>(firstHigh) > 1) {
        out.Write("Time seems to be bad.  Printing out rest of packet in raw format\n\n");
        DataDump(out, body.Slice(at, body.size() - at));
        return false;
    }
    MessageTimeLine(out, stamp, TimeLineKind::WithColon);
    out.Write("  F22 Status Word:\n");
    for (const auto& s : kF22Status) out.Printf(s.format, YesNo((status >> s.bit) & 1));
    out.Write("\n");
    out.Printf("  Payload Length: %5d\n\n", static_cast<int>(payload));
    out.Write("  F22 FOR Message PI Bus Header:\n");
    out.Printf("   FNIU Header MSW %04X\n", *body.U16(at + 14));
    out.Printf("   FNIU Header LSW %04X\n", *body.U16(at + 12));
    out.Printf("     PI Header A %04X\n", *body.U16(at + 16));
    out.Printf("     PI Header B %04X\n", *body.U16(at + 18));
    out.Printf("     PI Header C0 %04X\n", *body.U16(at + 20));
    out.Printf("     PI Header C1 %04X\n", *body.U16(at + 22));
    if (payload > 4) DataDump(out, body.Slice(at + 16, payload - 4));
    return body.Has(at + 12, payload);
}

void Type22(OutputSink& out, const ch10::PacketView& body) {
    const unsigned count = *body.U16(0);
    out.Printf("F-22 FOR Program Specific Data Word (Type 22), Sub-Packet Count: %4d\n\n", static_cast<int>(count));
    std::size_t at = 4;
    uint16_t firstHigh = 0;
    for (unsigned n = 0; n < count; ++n) {
        if (!body.Has(at, 24)) {
            if (at < body.size()) DataDump(out, body.Slice(at, body.size() - at));
            return;
        }
        if (n == 0) firstHigh = static_cast<uint16_t>(*body.U64(at) >> 32);
        if (!SubPacket(out, body, at, static_cast<int>(n + 1), firstHigh)) return;
        at += 12 + (*body.U32(at + 8) & 0x1FFFF);
    }
}

}  // namespace

std::size_t PrintMessageWord(const PrintArgs& a) {
    char type[40];
    const unsigned t = (a.word >> 16) & 3;
    std::snprintf(type, sizeof type, kPacketTypes[t], static_cast<int>(t));
    a.out.Printf("%s0x%08X\n%-8s%s      %-20s%d\n\n", "MESSAGE CHAN SPEC :", a.word, "Type : ", type,
                 "Message Counter : ", static_cast<int>(a.word & 0xFFFF));
    return 4;
}

void PrintMessageBody(const PrintArgs& a) {
    const ch10::PacketView body = a.Body();
    a.out.Write("PACKET DATA:\n\n");
    if ((a.word & 0xFFFF) != 0) {
        StandardMessages(a.out, body);
        return;
    }
    const uint8_t kind = body.U8(2).value_or(0);
    if (body.size() >= 16 && kind == 35) Type35(a.out, body);
    else if (body.size() >= 4 && kind == 22) Type22(a.out, body);
    else DataDump(a.out, body.Slice(0, body.size()));
}

}  // namespace sandral::decoders
