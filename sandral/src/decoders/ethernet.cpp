// Ethernet frames (format 0) and UDP/ARINC-664 messages.
#include <cstdio>

#include "decoder_text.h"
#include "decoders.h"

namespace sandral::decoders {

namespace {

const char* const kTimeTags[] = {"First bit of the MAC frame MAC destination address (%d)",
                                 "Last bit of the MAC frame check sequence (%d)",
                                 "First bit of the MAC frame payload data (%d)",
                                 "Last bit of the MAC frame payload data (%d)"};

const char* const kSpeeds[] = {"  Speed: 0 - Auto\n", "  Speed: 1 - 10 Mbit\n", "  Speed: 2 - 100 Mbit\n",
                               "  Speed: 3 - 1 Gbit\n", "  Speed: 4 - 10 Gbit\n"};

}  // namespace

std::size_t PrintEthernetWord(const PrintArgs& a) {
    a.out.Printf("%s0x%08X\n%-20s%d\n", "ETHERNET CHAN SPEC :", a.word, "Number of Frames :",
                 static_cast<int>(a.word & 0xFFFF));
    if (a.header.dataTypeVersion > 6) {
        const unsigned tag = (a.word >> 25) & 7;
        char text[80];
        std::snprintf(text, sizeof text, tag < 4 ? kTimeTags[tag] : "Reserved (%d)", static_cast<int>(tag));
        a.out.Printf("Time Tag: %s\n", text);
    }
    a.out.Write("\n");
    return 4;
}

void PrintEthernetBody(const PrintArgs& a) {
    const ch10::PacketView body = a.Body();
    const bool errorLine = a.header.dataTypeVersion > 5;
    a.out.Write("PACKET DATA:\n\n");
    std::size_t at = 0;
    while (body.Has(at, 12)) {
        const uint32_t iph = *body.U32(at + 8);
        const std::size_t length = iph & 0x3FFF;
        const unsigned speed = (iph >> 24) & 0xF;
        MessageTimeLine(a.out, *body.U64(at));
        a.out.Printf("  Network ID: %-8d", static_cast<int>((iph >> 16) & 0xFF));
        if (speed < 5) a.out.Write(kSpeeds[speed]);
        else a.out.Printf("  Speed: %d - Invalid\n", static_cast<int>(speed));
        a.out.Printf("  Data Length: %-8d", static_cast<int>(length));
        a.out.Printf(" Frame Error: %s\n", YesNo((iph >> 30) & 1));
        if (errorLine)
            a.out.Printf("  Data Length Error: %s    CRC Error: %s    Frame CRC Error: %s\n", YesNo((iph >> 14) & 1),
                         YesNo((iph >> 15) & 1), YesNo(iph >> 31));
        a.out.Write("\n");
        DataDump(a.out, body.Slice(at + 12, length));
        if (!body.Has(at + 12, length)) return;
        at += 12 + Even(length);
    }
    if (at < body.size()) DataDump(a.out, body.Slice(at, body.size() - at));
}

std::size_t PrintUdpWord(const PrintArgs& a) {
    a.out.Printf("%s0x%08X\n%-25s%d\n%-25s%d\n\n", "UDP/ARINC-664 CHAN SPEC :", a.word, "IPH Length              :",
                 static_cast<int>(a.word >> 16), "Number of Messages      :", static_cast<int>(a.word & 0xFFFF));
    return 4;
}

void PrintUdpBody(const PrintArgs& a) {
    const ch10::PacketView body = a.Body();
    a.out.Write("PACKET DATA:\n\n");
    std::size_t at = 0;
    while (body.Has(at, 28)) {
        const uint32_t info = *body.U32(at + 8), ports = *body.U32(at + 24);
        const std::size_t length = info >> 16;
        const unsigned type = info & 0xFF;
        MessageTimeLine(a.out, *body.U64(at));
        a.out.Write("  Data Type: ");
        a.out.Write(type == 0 ? "UDP/ARINC-664" : type == 1 ? "Simulated Data" : "Invalid");
        a.out.Printf("     Data Length: %-8d", static_cast<int>(length));
        a.out.Printf("     Frame Error: %s\n", YesNo(((info >> 8) & 0xFF) != 0));
        // Left-aligned with a zero flag pads with blanks: "%-08X" is "%-8X".
        a.out.Printf("     Virtual Link: %-8X\n", *body.U32(at + 12) & 0xFFFF);
        a.out.Printf("     Source IP: %08X   Source Port: %-8d\n", *body.U32(at + 16), static_cast<int>(ports >> 16));
        a.out.Printf("     Dest IP: %08X   Dest Port:%-8d\n", *body.U32(at + 20), static_cast<int>(ports & 0xFFFF));
        a.out.Write("\n");
        DataDump(a.out, body.Slice(at + 28, length));
        if (!body.Has(at + 28, length)) return;
        at += 28 + Even(length);
    }
    if (at < body.size()) DataDump(a.out, body.Slice(at, body.size() - at));
}

}  // namespace sandral::decoders
