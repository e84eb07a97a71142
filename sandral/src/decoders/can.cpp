// CAN bus messages: stamp, header, identifier word, data padded to even.
#include "decoder_text.h"
#include "decoders.h"

namespace sandral::decoders {

std::size_t PrintCanWord(const PrintArgs& a) {
    a.out.Printf("%s0x%08X\n%-15s%-8d\n\n", "CAN 0 CHAN SPEC  :", a.word, "Message Count     :",
                 static_cast<int>(a.word & 0xFFFF));
    return 4;
}

void PrintCanBody(const PrintArgs& a) {
    const ch10::PacketView body = a.Body();
    a.out.Write("PACKET DATA:\n\n");
    std::size_t at = 0;
    for (; body.Has(at, 16); ) {
        const uint32_t iph = *body.U32(at + 8), id = *body.U32(at + 12);
        // The length counts the identifier word; below 4 it shows negative.
        const int length = static_cast<int>(iph & 0xF) - 4;
        MessageTimeLine(a.out, *body.U64(at));
        a.out.Printf("     Message Length: %-8d", length);
        a.out.Printf("     Subchannel: %-8d\n", static_cast<int>((iph >> 16) & 0xFF));
        a.out.Printf("     Format Error: %s\n", YesNo((iph >> 30) & 1));
        a.out.Printf("     Data Error: %s\n", YesNo(iph >> 31));
        a.out.Write("\n");
        a.out.Printf("     CAN Bus ID: %-8d\n", static_cast<int>(id & 0x1FFFFFFF));
        a.out.Printf("     Remote Transfer Request: %s\n", YesNo((id >> 30) & 1));
        a.out.Printf("     Use extended CAN Identifier: %s\n", YesNo(id >> 31));
        const std::size_t data = length > 0 ? static_cast<std::size_t>(length) : 0;
        if (data) DataDump(a.out, body.Slice(at + 16, data));
        a.out.Write("\n");
        if (!body.Has(at + 16, data)) return;
        at += 16 + Even(data);
    }
    if (at < body.size()) DataDump(a.out, body.Slice(at, body.size() - at));
}

}  // namespace sandral::decoders
