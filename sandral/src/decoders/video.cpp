// Video formats 0-2: word lines only; the bodies are dumped in the
// table's layout.
#include "decoder_text.h"
#include "decoders.h"

namespace sandral::decoders {

namespace {

const char* PayloadType(unsigned v) {
    switch (v) {
        case 0: return "MPEG-2 MP@ML";
        case 1: return "H.264 MP@L2.1";
        case 2: return "H.264 MP@L2.2";
        case 3: return "H.264 MP@L3";
        default: return "Reserved";
    }
}

const char* const kLevels[] = {"0 1",  "1 1b",  "2 1.1",  "3 1.2",  "4 1.3",  "5 2",    "6 2.1",  "7 2.2",
                               "8 3",  "9 3.1", "10 3.2", "11 4",   "12 4.1", "13 4.2", "14 5",   "15 5.1"};

void VideoFields(const PrintArgs& a, const char* format, const char* profileLabel) {
    const uint32_t w = a.word;
    a.out.Printf(format, "VIDEO CHAN SPEC :", w, "PacketCount :", static_cast<int>(w & 0xFFF), "Type        :",
                 (w >> 12) & 1 ? "1 Prog" : "0 Trprt", "Mode        :", (w >> 13) & 1 ? "1 Var" : "0 Const",
                 "Emb Time    :", YesNoNumbered((w >> 14) & 1), profileLabel, static_cast<unsigned>((w >> 15) & 0xF),
                 "IntraPktHdr :", YesNoNumbered((w >> 19) & 1), "SCR/RTC Sync:", YesNoNumbered((w >> 20) & 1),
                 "KLV Metadata:", YesNoNumbered((w >> 21) & 1));
}

}  // namespace

std::size_t PrintVideo0Word(const PrintArgs& a) {
    const uint32_t w = a.word;
    a.out.Printf("%s0x%08X\n%-15s%-8s%-15s%-8s%-15s%-8s%-15s%-8s\n\n", "VIDEO CHAN SPEC :", w, "KLV Metadata:",
                 YesNoNumbered((w >> 28) & 1), "SCR/RTC Sync:", YesNoNumbered((w >> 29) & 1), "IntraPktHdr :",
                 YesNoNumbered((w >> 30) & 1), "Emb Time    :", YesNoNumbered(w >> 31));
    if (a.header.dataTypeVersion > 2) a.out.Printf("%-15s%-14s", "Payload Type:", PayloadType((w >> 24) & 0xF));
    if (a.header.dataTypeVersion > 3)
        a.out.Printf("%-15s%-15s", "Byte Align:", (w >> 23) & 1 ? "1 Big Endian" : "0 Little Endian");
    a.out.Write("\n\n");
    return 4;
}

std::size_t PrintVideo1Word(const PrintArgs& a) {
    VideoFields(a, "%s0x%08X\n%-15s%-8d%-15s%-8s%-15s%-8s%-15s%-8s\n%-15s%-8x%-15s%-8s%-15s%-8s%-15s%-8s\n\n",
                "EPL         :");
    return 4;
}

std::size_t PrintVideo2Word(const PrintArgs& a) {
    VideoFields(a, "%s0x%08X\n%-15s%-8d %-15s%-8s%-15s%-8s%-15s%-8s\n%-15s%-8x %-15s%-8s%-15s%-8s%-15s%-8s\n\n",
                "Encode Prof :");
    a.out.Printf("%-14s%-8s", "Encoding Lvl:  ", kLevels[(a.word >> 22) & 0xF]);
    a.out.Printf("%-15s%-25s\n\n", " Aud Encd Typ:  ",
                 (a.word >> 26) & 1 ? "1 ISO/IEC 13818-7 AAC" : "0 ISO/IEC 13818-3 Audio");
    return 4;
}

}  // namespace sandral::decoders
