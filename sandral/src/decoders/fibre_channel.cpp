// Fibre Channel frames (format 0).
#include "decoder_text.h"
#include "decoders.h"

namespace sandral::decoders {

namespace {

const char* const kStarts[] = {" 0 - Connect Class-1",  " 1 - Initiate Class-1", " 2 - Normal Class-1",
                               " 3 - Initiate Class-2", " 4 - Normal Class-2",   " 5 - Initiate Class-3",
                               " 6 - Normal Class-3",   " 7 - Activate Class-4", " 8 - Initiate Class-4",
                               " 9 - Normal Class-4",   " A - Fabric"};
const char* const kEnds[] = {" 0 - Normal",           " 1 - Terminate",
                             " 2 - Disconnect Terminate", " 3 - Abort",
                             " 4 - Normal Invalid",   " 5 - Disconnect Terminate Invalid",
                             " 6 - Remove Terminate", " 7 - Remove terminate Invalid"};
const char* const kContents[] = {" Complete Data Frame", " Complete Link Control Frame"};

void FrameLines(OutputSink& out, uint32_t iph) {
    const unsigned sof = (iph >> 12) & 0xF, content = (iph >> 26) & 3;
    out.Printf("     Frame Length: %-8d\n", static_cast<int>(iph & 0xFFF));
    out.Write("     Start of Frame:");
    out.Write(sof < 11 ? kStarts[sof] : " RESERVED");
    out.Write("     End of Frame:");
    out.Write(kEnds[(iph >> 16) & 7]);
    out.Write("\n     Topology:");
    out.Write(((iph >> 24) & 3) == 0 ? " Passive" : " RESERVED");
    out.Write("     Content:");
    out.Write(content < 2 ? kContents[content] : " RESERVED");
    out.Write("\n     Stripped Mode:");
    out.Write((iph >> 28) & 1 ? " Non-stripped Mode. Complete Fibre Channel Frame is present."
                              : "Stripped Mode. Only Fibre Channel Data Payload is present.");
    out.Write("\n     Overrun Error:");
    out.Write((iph >> 29) & 1 ? " Overrun Error Detected prior to this Fibre Channel Frame." : " No");
    out.Write("\n     CRC Error:");
    out.Write((iph >> 30) & 1 ? " CRC Error Detected in this Fibre Channel Frame." : " No");
    out.Write("\n     Framing Error:");
    out.Write(iph >> 31 ? " Framing Error Detected in this Fibre Channel Frame." : " No");
    out.Write("\n\n");
}

}  // namespace

std::size_t PrintFibreWord(const PrintArgs& a) {
    a.out.Printf("%s0x%08X\n%-17s%-8d\n", "FCH 0 CHAN SPEC  :", a.word, "Frame Count      :",
                 static_cast<int>(a.word & 0xFFFF));
    a.out.Write((a.word >> 28) == 0 ? "Format           :0 - FC-PH Physical Layer ANSI X3T11 Project 755-D\n\n"
                                    : "Format           :Reserved\n\n");
    return 4;
}

void PrintFibreBody(const PrintArgs& a) {
    const ch10::PacketView body = a.Body();
    a.out.Write("PACKET DATA:\n\n");
    std::size_t at = 0;
    while (body.Has(at, 12)) {
        const uint32_t iph = *body.U32(at + 8);
        const std::size_t length = iph & 0xFFF;
        MessageTimeLine(a.out, *body.U64(at));
        FrameLines(a.out, iph);
        if (length) DataDump(a.out, body.Slice(at + 12, length));
        if (!body.Has(at + 12, length)) return;
        at += 12 + Even(length);
    }
    if (at < body.size()) DataDump(a.out, body.Slice(at, body.size() - at));
}

}  // namespace sandral::decoders
