// Recording events: entries of a relative time, an optional absolute time
// and an event word, at the stride the body and the count give.
#include <cinttypes>

#include "decoder_text.h"
#include "decoders.h"

namespace sandral::decoders {

std::size_t PrintEventWord(const PrintArgs& a) {
    const uint32_t w = a.word;
    a.out.Printf("%s0x%08X\n\n%-15s %-8s\n%-15s %-8d\n\n", "EVENT CHAN SPEC :", w, "IntraPkt Data Hdr:",
                 YesNoNumbered(w >> 31), "Event Entry Count:", static_cast<int>(w & 0xFFF));
    return 4;
}

void PrintEventBody(const PrintArgs& a) {
    const ch10::PacketView body = a.Body();
    const std::size_t count = a.word & 0xFFF;
    a.out.Write("PACKET DATA:\n");
    const std::size_t size = count ? body.size() / count : 0;
    if (size < 12) {
        // No stride to read entries at: every byte as it stands.
        if (body.size()) DataDump(a.out, body.Slice(0, body.size()));
        a.out.Write("\n");
        return;
    }
    const bool absolute = size == 20;
    a.out.Write(absolute ? "Relative Time         Absolute Time(IPDH)            During Record    Event Number   "
                           "Event Count\n"
                         : "Relative Time         During Record    Event Number   Event Count\n");
    for (std::size_t i = 0; i < count; ++i) {
        const ch10::PacketView entry(body.data() + i * size, size);
        a.out.Printf("%-13" PRId64, static_cast<int64_t>(*entry.U64(0)));
        if (absolute) PrintAbsoluteTime(a.out, entry, 8, false);
        else a.out.Write("            ");
        const uint32_t e = *entry.U32(absolute ? 16 : 8);
        a.out.Printf("  %s             %d             %d\n", YesNoNumbered((e >> 28) & 1), static_cast<int>(e & 0xFFF),
                     static_cast<int>((e >> 12) & 0xFFFF));
    }
    a.out.Write("\n");
}

}  // namespace sandral::decoders
