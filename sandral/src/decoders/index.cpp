// Recording index: root entries point at node index packets, node entries
// at data packets.
#include <cinttypes>

#include "../type_labels.h"
#include "decoder_text.h"
#include "decoders.h"

namespace sandral::decoders {

std::size_t PrintIndexWord(const PrintArgs& a) {
    const uint32_t w = a.word;
    a.out.Printf("%s0x%08X\n\n%-15s %-8s\n%-15s %-8s\n%-15s %-8s\n%-15s %-8d\n\n", "INDEX CHAN SPEC  :", w,
                 "Index Type       :", (w >> 31) ? "1 Node Index" : "0 Root Index", "File Size Present:",
                 YesNoNumbered((w >> 30) & 1), "IntraPkt Data Hdr:", YesNoNumbered((w >> 29) & 1),
                 "Index Entry Count:", static_cast<int>(w & 0xFFFF));
    return 4;
}

namespace {

void NodeEntry(OutputSink& out, const ch10::PacketView& e, bool absolute) {
    out.Printf("%-13" PRId64, static_cast<int64_t>(*e.U64(0)));
    if (absolute) PrintAbsoluteTime(out, e, 8, false);
    else out.Write("   ");
    const std::size_t at = absolute ? 16 : 8;
    out.Printf("%05d", static_cast<int>(*e.U16(at)));
    out.Printf(" %-6s", ThreeColumnTypeLabel(*e.U8(at + 2)).c_str());
    out.Printf(" 0x%016" PRIX64 "\n", *e.U64(at + 4));
}

void RootEntry(OutputSink& out, const ch10::PacketView& e, bool absolute) {
    out.Printf("%-15" PRId64, static_cast<int64_t>(*e.U64(0)));
    if (absolute) PrintAbsoluteTime(out, e, 8, true);
    out.Printf("   0x%016" PRIX64 "\n", *e.U64(absolute ? 16 : 8));
}

}  // namespace

void PrintIndexBody(const PrintArgs& a) {
    const ch10::PacketView whole = a.Body();
    const std::size_t count = a.word & 0xFFFF;
    const bool node = (a.word >> 31) != 0;
    a.out.Write("PACKET DATA:\n");
    std::size_t from = 0;
    if ((a.word >> 30) & 1 && whole.Has(0, 8)) {
        const uint64_t size = *whole.U64(0);
        a.out.Printf("File Entry Size: 0x%" PRIX64 "  %" PRId64 " Bytes\n", size, static_cast<int64_t>(size));
        from = 8;
    }
    const ch10::PacketView body(whole.data() ? whole.data() + from : nullptr, whole.size() - from);
    const std::size_t size = count ? body.size() / count : 0;
    const std::size_t longSize = node ? 28 : 24, shortSize = node ? 20 : 16;
    if (size < shortSize) {
        if (body.size()) DataDump(a.out, body.Slice(0, body.size()));
        a.out.Write("\n");
        return;
    }
    const bool absolute = size == longSize;
    if (node)
        a.out.Write(absolute ? "Relative Time         Absolute Time(IPDH)              Channel  Type    Data Packet "
                               "Offset\n"
                             : "Relative Time   Channel  Type  Data Packet Offset\n");
    else
        a.out.Write(absolute ? "Relative Time              Absolute Time(IPDH)                Node/Root Offset\n"
                             : "Relative Time      Node/Root Offset\n");
    for (std::size_t i = 0; i < count; ++i) {
        const ch10::PacketView entry(body.data() + i * size, size);
        if (node) NodeEntry(a.out, entry, absolute);
        else RootEntry(a.out, entry, absolute);
    }
    a.out.Write("\n");
}

}  // namespace sandral::decoders
