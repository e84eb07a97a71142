// Analog words: one per subchannel, as many as the first word announces
// and the packet's data hold.
#include "decoders.h"

namespace sandral::decoders {

namespace {

const char* const kModes[] = {"0 Packed", "1 UpkLsb", "2 Reserv", "3 UpkMsb"};
const char* const kFactors[] = {"0=1/1",    "1=1/2",     "2=1/4",     "3=1/8",     "4=1/16",   "5=1/32",
                                "6=1/64",   "7=1/128",   "8=1/256",   "9=1/512",   "10=1/1024", "11=1/2048",
                                "12=1/4096", "13=1/8192", "14=1/16384", "15=1/32768"};

}  // namespace

std::size_t PrintAnalogWords(const PrintArgs& a) {
    // A data length below one word leaves even the first word outside the data.
    if (a.header.dataLength < 4) return 0;
    const std::size_t announced = (a.word >> 28) & 1 ? 1 : (a.word >> 16) & 0xFF;
    // The first word lies before the body the dispatch point gives; the
    // others must lie inside it.
    const std::size_t held = 1 + a.bodyLength / 4;
    const std::size_t count = announced < held ? announced : held;
    for (std::size_t i = 0; i < count; ++i) {
        const uint32_t w = *a.view.U32(a.headerLength + 4 * i);
        a.out.Printf("%s0x%08X\n%-15s%-8d%-15s%-8s%-15s%-8d\n%-15s%-8d%-15s%-8d%-15s%-8s\n\n", "ANALOG CHAN SPEC :", w,
                     "Same        :", static_cast<int>((w >> 28) & 1), "Factor      :", kFactors[(w >> 24) & 0xF],
                     "TotChan     :", static_cast<int>((w >> 16) & 0xFF), "SubChan     :",
                     static_cast<int>((w >> 8) & 0xFF), "Length      :", static_cast<int>((w >> 2) & 0x3F),
                     "Mode        :", kModes[w & 3]);
    }
    return 4 * count;
}

}  // namespace sandral::decoders
