// UART characters, with or without time stamps as the word says.
#include "decoder_text.h"
#include "decoders.h"

namespace sandral::decoders {

std::size_t PrintUartWord(const PrintArgs& a) {
    a.out.Printf("%s0x%08X\n%-20s%-8s\n\n", "UART CHAN SPEC :", a.word, "Intra-Packet Header:", YesNoNumbered(a.word >> 31));
    return 4;
}

void PrintUartBody(const PrintArgs& a) {
    const ch10::PacketView body = a.Body();
    const bool stamps = (a.word >> 31) != 0;
    const std::size_t fixed = stamps ? 12 : 4;
    a.out.Write("PACKET DATA:\n\n");
    std::size_t at = 0;
    while (body.Has(at, fixed)) {
        const uint32_t iph = *body.U32(at + fixed - 4);
        const std::size_t length = iph & 0xFFFF;
        if (stamps) MessageTimeLine(a.out, *body.U64(at));
        a.out.Printf("  Subchannel Number: %d\n", static_cast<int>((iph >> 16) & 0x3FFF));
        a.out.Printf("  Data Length: %d\n", static_cast<int>(length));
        a.out.Printf("  Parity Error: %s\n", YesNo(iph >> 31));
        a.out.Write("\n");
        DataDump(a.out, body.Slice(at + fixed, length));
        if (!body.Has(at + fixed, length)) return;
        at += fixed + Even(length);
    }
    if (at < body.size()) DataDump(a.out, body.Slice(at, body.size() - at));
}

}  // namespace sandral::decoders
