// ARINC 429 words: a running time from the header's counter plus each
// entry's gap.
#include "../sandral_state.h"
#include "../time_convert.h"
#include "decoder_text.h"
#include "decoders.h"

namespace sandral::decoders {

namespace {

unsigned ReversedLabel(uint32_t word) {
    unsigned v = word & 0xFF, r = 0;
    for (int i = 0; i < 8; ++i) r |= ((v >> i) & 1) << (7 - i);
    return r;
}

std::string TicksToIrigText(uint64_t ticks) {
    const TimeState& t = State().time;
    double time = rtc_ticks_to_usec(static_cast<int64_t>(ticks)) - t.timeRefRtc[t.currentGroup] +
                  t.timeRefIrig[t.currentGroup];
    if (time < 0) time = 0;
    return format_usec_time(time);
}

}  // namespace

std::size_t PrintArincWord(const PrintArgs& a) {
    a.out.Printf("%s0x%08X\n%-20s%d\n\n", "ARINC429 CHAN SPEC :", a.word, "Number of Messages :",
                 static_cast<int>(a.word & 0xFFFF));
    return 4;
}

void PrintArincBody(const PrintArgs& a) {
    const ch10::PacketView body = a.Body();
    const std::size_t count = a.word & 0xFFFF, present = body.size() / 8;
    a.out.Write("PACKET DATA:\n\n");
    a.out.Write("Subch   Data   Label Speed PErr FErr Gap Time  Computed IRIG Time\n");
    uint64_t running = a.header.relativeTime & 0xFFFFFFFFFFFFull;
    const std::size_t n = count < present ? count : present;
    for (std::size_t i = 0; i < n; ++i) {
        const uint32_t iph = *body.U32(8 * i), word = *body.U32(8 * i + 4);
        const unsigned gap = iph & 0xFFFFF;
        running += gap;
        a.out.Printf("%4d  %08X (%03o)", static_cast<int>(iph >> 24), word, ReversedLabel(word));
        a.out.Printf("  %s    %d    %d    %6d  %s\n", (iph >> 21) & 1 ? "HI" : "LO", static_cast<int>((iph >> 22) & 1),
                     static_cast<int>((iph >> 23) & 1), static_cast<int>(gap), TicksToIrigText(running).c_str());
    }
    if (count > present && 8 * n < body.size()) DataDump(a.out, body.Slice(8 * n, body.size() - 8 * n));
    a.out.Write("\n");
}

}  // namespace sandral::decoders
