#include "header_printer.h"

#include <algorithm>
#include <cinttypes>
#include <string>

#include "ch10/data_type.h"
#include "dispatch.h"
#include "dumps.h"
#include "sandral_state.h"
#include "time_reference.h"
#include "tmats_text.h"
#include "type_labels.h"

namespace sandral {

namespace {

constexpr const char* kChecksumKinds[] = {"NO CHK", "8Bit", "16Bit", "32Bit"};
constexpr const char* kSecondaryTimeFormats[] = {"Ch4 48-bit", "IEEE 1588", "ERTC", "UNK"};

void PrintHeaderLines(OutputSink& out, const ch10::PacketHeader& h, int64_t offset) {
    const uint8_t f = h.flags;
    out.Printf("%-15s0x%016" PRIX64 "\n", "Offset      :", static_cast<uint64_t>(offset));
    out.Printf("%-15s%-8d%-15s0x%04X  %-15s%-8d\n", "ChanID      :", h.channelId, "Sync        :", h.sync,
               "PktLen      :", static_cast<int32_t>(h.packetLength));
    out.Printf("%-15s%-8d%-15s%-8d%-15s%-8d\n", "DataLen     :", static_cast<int32_t>(h.dataLength),
               "Ver         :", h.dataTypeVersion, "Seq         :", h.sequence);
    out.Printf("%-15s%-8d%-15s%-8d%-15s%-8s\n", "REFTIME ERR :", (f >> 5) & 1, "OVERFLOW ERR:", (f >> 4) & 1,
               "CHKSUM IND  :", kChecksumKinds[f & 3]);
    out.Printf("%-15s%-8s%-15s%s  ", "SECOND HDR  :", (f & 0x80) ? "YES" : "NO", "TIME SOURCE : ",
               (f & 0x40) ? "Pkt Secondary Hdr Time" : "PktHdr 48-Bit Ref Time");
    if ((f & 0xC0) == 0xC0) out.Printf("Time Fmt: %s", kSecondaryTimeFormats[(f >> 2) & 3]);
    out.Write("\n");
    const unsigned lo = h.relativeTime & 0xFFFF, mid = (h.relativeTime >> 16) & 0xFFFF,
                   hi = (h.relativeTime >> 32) & 0xFFFF;
    out.Printf("%-15s%-8s%-15s0x%04X  %-15s0x%04X\n", "Type        :", HeaderTypeLabel(h.dataType).c_str(),
               "TimeLo      :", lo, "TimeMid     :", mid);
    out.Printf("%-15s0x%04X  %-15s%-6d\n\n", "TimeHi      :", hi, "ChkSum      :", h.checksum);
}

}  // namespace

void print_packet_header(OutputSink& out, const ch10::PacketHeader& h) {
    BrowseState& b = State().browse;
    out.Write(std::string(98, '=') + "\r\n");
    b.lastPrintedOffset = b.currentOffset;
    if (b.firstPrintedOffset == 0) b.firstPrintedOffset = b.currentOffset;
    PrintHeaderLines(out, h, b.currentOffset);
    // A length the header test passed is never 0.
    out.Printf("Packet's Data Efficiency : %g\n", static_cast<double>(h.dataLength) * 100.0 / h.packetLength);
    out.Printf("Packet's Relative Time Counter : %" PRId64 "\n", static_cast<int64_t>(h.relativeTime));
    if (h.dataType == ch10::Code(ch10::DataType::ComputerF1)) return;
    const ComputedTime t = compute_packet_irig_time(h);
    out.Printf("Computed IRIG Time: %s", t.text.c_str());
    if (State().time.showDeltaTime && t.hadReference)
        out.Printf("     Delta Time: %g msec.", State().time.deltaTimeMs);
    out.Write("\n\n");
}

void print_secondary_header(OutputSink& out, const ch10::PacketView& view) {
    out.Write("Optional Packet Secondary Header:\n");
    out.Printf("%-15s0x%08X  %-15s0x%08X\n", "TIME (LSLW) :", *view.U32(24), "TIME (MSLW) :", *view.U32(28));
    out.Printf("%-15s0x%04X    %-15s%-6d\n\n", "Reserved    :", *view.U16(32), "ChkSum      :", *view.U16(34));
}

void print_partial_banner(OutputSink& out) {
    out.Write("******************************************\n"
              "*            PARTIAL PACKET              *\n"
              "******************************************\n");
}

void print_packet_body(OutputSink& out, const uint8_t* packet, std::size_t held, const ch10::PacketHeader& h) {
    const ch10::PacketView view = ch10::PacketView::Of(packet, held, h.packetLength);
    const int64_t length = h.packetLength;
    const std::size_t hl = ch10::ChannelSpecificWordOffset(h);
    if (h.HasSecondaryHeader() && view.Has(0, 36)) print_secondary_header(out, view);
    const DecoderRow& row = DecoderTable()[h.dataType];
    const uint32_t word = ch10::ChannelSpecificWord(view, h);
    const int64_t trailer = std::max<int64_t>(0, length - static_cast<int64_t>(h.dataLength) - static_cast<int64_t>(hl));
    const int64_t dataEnd = std::min<int64_t>(length - trailer, static_cast<int64_t>(view.size()));
    std::size_t wordBytes = 4;
    if (row.wordPrinter && view.Has(hl, 4)) {
        const int64_t after = static_cast<int64_t>(hl) + 4;
        const std::size_t seen = dataEnd > after ? static_cast<std::size_t>(dataEnd - after) : 0;
        wordBytes = row.wordPrinter({out, view, h, hl, word, hl + 4, seen});
    }
    if (h.dataType == ch10::Code(ch10::DataType::ComputerF1)) {
        const int64_t text = std::max<int64_t>(
            0, std::min<int64_t>(static_cast<int64_t>(h.dataLength) - 4, length - static_cast<int64_t>(hl) - 4));
        const auto bytes = view.Slice(hl + 4, static_cast<std::size_t>(text));
        print_tmats_text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        return;
    }
    // The header was tested, so 24 bytes are held even when the length says fewer.
    const std::size_t head = std::min(held, std::max<std::size_t>(24, std::min<std::size_t>(hl, h.packetLength)));
    dump_header(out, packet, head);
    const int64_t start = static_cast<int64_t>(hl) + (row.wordPrinter ? static_cast<int64_t>(wordBytes) : 0);
    const int64_t body = std::max<int64_t>(0, length - trailer - start);
    const auto bodyBytes = view.Slice(static_cast<std::size_t>(start), static_cast<std::size_t>(body));
    if (row.bodyPrinter)
        row.bodyPrinter({out, view, h, hl, word, static_cast<std::size_t>(start), bodyBytes.size()});
    else
        dump_words(out, bodyBytes.data(), bodyBytes.size(), row.Layout(word));
    if (row.redumpBody) dump_words(out, bodyBytes.data(), bodyBytes.size(), 0);
    if (trailer > 0) {
        // The trailer follows the data even when a word printer took more than the data held.
        const auto tail = view.Slice(static_cast<std::size_t>(length - trailer), static_cast<std::size_t>(trailer));
        dump_trailer(out, tail.data(), tail.size());
    }
}

}  // namespace sandral
