// PCM word and the intra-packet header that follows it.
#include <cstdio>

#include "decoder_text.h"
#include "decoders.h"

namespace sandral::decoders {

namespace {

const char* const kLockStates[] = {"0", "1", "2 CHK", "3 LCK"};

const char* PcmMode(unsigned v) {
    switch (v) {
        case 0: return "0";
        case 1: return "1 Unpacked";
        case 2: return "2 Packed";
        case 4: return "4 ThruPut";
        default: return "";
    }
}

std::string IntraLockState(unsigned v) {
    const char* format = "0x%X";
    if (v == 2 || v == 8 || v == 10) format = "0x%X CHK";
    else if (v == 3 || v == 12 || v == 15) format = "0x%X LCK";
    char text[16];
    std::snprintf(text, sizeof text, format, v);
    return text;
}

void IntraPacketHeader(const PrintArgs& a) {
    const ch10::PacketView body = a.Body();
    if (!body.Has(0, 10)) return;
    const uint16_t lock = *body.U16(8);
    const std::string state = IntraLockState(lock >> 12);
    if ((a.header.flags & 0xC0) == 0xC0) {
        a.out.Printf("%-15s0x%08X  %-15s0x%08X  %-15s%s\n\n", "TIME (LSLW) :", *body.U32(0), "TIME (MSLW) :",
                     *body.U32(4), "LockSt      :", state.c_str());
    } else {
        a.out.Printf("INTRA PACKET HEADER:\n%-15s0x%04X  %-15s0x%04X  %-15s0x%04X\n%-15s%s %-15s0x%03X\n\n",
                     "TimeLo      :", *body.U16(0), "TimeMid     :", *body.U16(2), "TimeHi      :", *body.U16(4),
                     "LockSt      :", state.c_str(), "Reserved     :", lock & 0xFFFu);
    }
}

}  // namespace

std::size_t PrintPcmWord(const PrintArgs& a) {
    const uint32_t w = a.word;
    a.out.Printf("%-15s0x%08X\n%-15s%-8s%-15s%-8s%-15s%-8s\n%-15s%-8s%-15s%-8s%-15s%-8s\n%-15s%-8s\n%-15s%-8d\n\n",
                 "PCMCHANSPEC :", w, "IntraPktHdr :", YesNoNumbered((w >> 30) & 1), "MABegPacket :",
                 YesNoNumbered((w >> 29) & 1), "MIBegPacket :", YesNoNumbered((w >> 28) & 1), "LockStMinFrm:",
                 kLockStates[(w >> 26) & 3], "LockStMajFrm:", kLockStates[(w >> 24) & 3], "Alignment   :",
                 (w >> 21) & 1 ? "1 32 " : "0 16 ", "Mode        :", PcmMode((w >> 18) & 7), "SysOffset   :",
                 static_cast<int>(w & 0x3FFFF));
    if ((w >> 30) & 1) IntraPacketHeader(a);
    return 4;
}

}  // namespace sandral::decoders
