// Discrete word and samples of a stamp and a 32-bit state word.
#include "decoder_text.h"
#include "decoders.h"

namespace sandral::decoders {

std::size_t PrintDiscreteWord(const PrintArgs& a) {
    const uint32_t w = a.word;
    const int length = static_cast<int>((w >> 3) & 0x1F);
    a.out.Printf("%s0x%08X\n%-21s%-2d %d Bit(s)\n%-21s%-8s\n%-21s%s\n\n", "DISCRETE CHAN SPEC : ", w,
                 "     Length        : ", length, length ? length : 32, "     Data Alignment: ",
                 (w >> 1) & 1 ? "1  MSB" : "0  LSB", "     Record State  : ",
                 w & 1 ? "1  Time Interval Basis" : "0  State Change");
    return 4;
}

void PrintDiscreteBody(const PrintArgs& a) {
    const ch10::PacketView body = a.Body();
    a.out.Write("PACKET DATA:\n\n");
    std::size_t at = 0;
    for (; body.Has(at, 12); at += 12) {
        const uint32_t state = *body.U32(at + 8);
        MessageTimeLine(a.out, *body.U64(at));
        a.out.Write("\n");
        a.out.Write("       Event Data: ");
        a.out.Printf(" %04X%04X", state >> 16, state & 0xFFFF);
        a.out.Write("\n\n");
    }
    if (at < body.size()) DataDump(a.out, body.Slice(at, body.size() - at));
}

}  // namespace sandral::decoders
