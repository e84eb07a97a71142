// MIL-STD-1553 format 1 and 16PP194 messages. The 1553 path carries most
// of a typical recording's text, so it is written without printf, a whole
// message at a time.
#include <cinttypes>

#include "../time_convert.h"
#include "../time_reference.h"
#include "decoder_text.h"
#include "decoders.h"

namespace sandral::decoders {

namespace {

const char* const kTimeTagModes[] = {"0 Last Bit of Last Word", "1 First Bit of First Word",
                                     "2 Last Bit of First CmdWd", "3 Reserved"};

struct StatusLine {
    unsigned bit;
    std::string_view text;
};
constexpr StatusLine k1553Status[] = {
    {13, "    BID - Message from Channel B\n"}, {12, "    ME - Message Error\n"},
    {11, "    RR - RT To RT Transfer\n"},       {10, "    FE - Format Error\n"},
    {9, "    TM - Response Timeout\n"},        {5, "    LE - Word Count Error\n"},
    {4, "    SE - Incorrect Sync Type Error\n"}, {3, "    WE - Invalid Word Error\n"},
};
constexpr StatusLine k16ppStatus[] = {
    {15, "    TE - Transaction Error\n"}, {14, "    RE - Master Reset detected on\n"},
    {13, "    TM - Message Time Out\n"},  {6, "    SE - Status Word Missing\n"},
    {3, "    EE - Missing Echo Word\n"},
};

// Room for a message's header lines: the time text, six numbers, every
// status line.
constexpr std::size_t kHeaderRoom = 512 + kUsecTimeRoom;

template <std::size_t N>
char* PutStatus(char* o, uint16_t status, const StatusLine (&lines)[N]) {
    for (const StatusLine& l : lines)
        if ((status >> l.bit) & 1) o = PutText(o, l.text);
    return PutText(o, "\n");
}

// "    " and " %04X" per word, eight words a line.
void PutDataWords(OutputSink& out, const ch10::PacketView& body, std::size_t at, std::size_t words) {
    char* o = out.Append((words / 8 + 1) * (4 + 8 * 5 + 1) + 1);
    for (std::size_t i = 0; i < words; i += 8) {
        o = PutText(o, "    ");
        for (std::size_t k = i; k < words && k < i + 8; ++k) {
            *o++ = ' ';
            o = PutHex(o, *body.U16(at + 2 * k), 4);
        }
        *o++ = '\n';
    }
    out.Commit(o);
}

// Up to the block status; `time` writes the message's time text.
template <class TimeText>
char* PutMessageTitle(char* o, int number, TimeText time, uint64_t stamp) {
    o = PutText(o, "  MSG ");
    o = PutDec(o, number);
    o = PutText(o, ":\n  Computed IRIG Time ");
    o = time(o);
    o = PutText(o, "  ");
    o = PutDec(o, static_cast<int64_t>(stamp & 0xFFFFFFFFFFFFull));
    return PutText(o, "\n  BlockStatus: ");
}

char* PutRefTime(char* o, uint64_t stamp) {
    o = PutText(o, "  REF TIME: ");
    o = PutHex(o, (stamp >> 32) & 0xFFFF, 4);
    *o++ = ' ';
    o = PutHex(o, (stamp >> 16) & 0xFFFF, 4);
    *o++ = ' ';
    return PutHex(o, stamp & 0xFFFF, 4);
}

}  // namespace

std::size_t Print1553Word(const PrintArgs& a) {
    const uint32_t w = a.word;
    a.out.Printf("%-15s0x%08X\n%-15s%s   %-15s%-8d\n\n", "BUSCHANSPEC :", w, "TimeTagBit  :", kTimeTagModes[w >> 30],
                 "MsgCount    :", static_cast<int>(w & 0xFFFFFF));
    return 4;
}

void Print1553Body(const PrintArgs& a) {
    const ch10::PacketView body = a.Body();
    const std::size_t count = a.word & 0xFFFFFF;
    const int mode = static_cast<int>(a.word >> 30);
    a.out.Write("PACKET DATA:\n\n");
    std::size_t at = 0, n = 0;
    for (; n < count && body.Has(at, 14); ++n) {
        const uint64_t stamp = *body.U64(at);
        const uint16_t status = *body.U16(at + 8), gap = *body.U16(at + 10), length = *body.U16(at + 12);
        const bool rtToRt = (status >> 11) & 1;
        char* o = a.out.Append(kHeaderRoom);
        o = PutMessageTitle(
            o, static_cast<int>(n + 1),
            [&](char* at) { return put_1553_message_time(at, stamp, length / 2, mode, gap, rtToRt); }, stamp);
        o = PutHex(o, status, 4);
        o = PutRefTime(o, stamp);
        o = PutText(o, "  GAPTIMES: ");
        o = PutHex(o, gap, 4);
        o = PutText(o, "  MSGLEN: ");
        o = PutHex(o, length, 4);
        *o++ = '\n';
        o = PutStatus(o, status, k1553Status);
        a.out.Commit(o);
        if (!body.Has(at + 14, length)) return;
        PutDataWords(a.out, body, at + 14, length / 2);
        a.out.Write("\n");
        at += 14 + std::size_t{length};
    }
    if (n < count && at < body.size()) DataDump(a.out, body.Slice(at, body.size() - at));
}

std::size_t Print16ppWord(const PrintArgs& a) {
    a.out.Printf("%-15s0x%08X\n   %-15s%-8d\n\n", "16PPCHANSPEC :", a.word, "MsgCount    :", static_cast<int32_t>(a.word));
    return 4;
}

void Print16ppBody(const PrintArgs& a) {
    const ch10::PacketView body = a.Body();
    const uint32_t count = a.word;
    a.out.Write("PACKET DATA:\n\n");
    std::size_t at = 0;
    uint32_t n = 0;
    for (; n < count && body.Has(at, 14); ++n) {
        const uint64_t stamp = *body.U64(at) & 0xFFFFFFFFFFFFull;
        const uint16_t status = *body.U16(at + 8), length = *body.U16(at + 10);
        char* o = a.out.Append(kHeaderRoom);
        o = PutMessageTitle(o, static_cast<int>(n + 1), [&](char* at) { return put_ipts_time(at, stamp); }, stamp);
        o = PutHex(o, status, 4);
        o = PutRefTime(o, stamp);
        o = PutText(o, "  MSGLEN: ");
        o = PutHex(o, length, 4);
        *o++ = '\n';
        o = PutStatus(o, status, k16ppStatus);
        a.out.Commit(o);
        if (!body.Has(at + 12, length)) return;
        PutDataWords(a.out, body, at + 12, length / 2);
        a.out.Write("\n");
        at += 12 + std::size_t{length};
    }
    if (n < count && at < body.size()) DataDump(a.out, body.Slice(at, body.size() - at));
}

}  // namespace sandral::decoders
