// IEEE 1394 transactions: format 0 (one transaction, big-endian header
// words) and format 1 (stamped transactions).
#include "decoder_text.h"
#include "decoders.h"

namespace sandral::decoders {

namespace {

uint32_t Big32(const ch10::PacketView& v, std::size_t at) {
    const uint32_t x = *v.U32(at);
    return (x >> 24) | ((x >> 8) & 0xFF00) | ((x << 8) & 0xFF0000) | (x << 24);
}

}  // namespace

std::size_t Print1394Format0Word(const PrintArgs& a) {
    const uint32_t w = a.word;
    a.out.Printf("%s0x%08X\n%-28s%-8d\n%-22s%-8d\n%-22s%-8d\n\n", "1394 CHAN SPEC      : ", w,
                 "Packet Body Type    : Type ", static_cast<int>(w >> 29), "Synchronization Code: ",
                 static_cast<int>((w >> 25) & 0xF), "Transaction Count   : ", static_cast<int>(w & 0xFFFF));
    return 4;
}

void Print1394Format0Body(const PrintArgs& a) {
    const ch10::PacketView body = a.Body();
    a.out.Write("PACKET DATA:\n\n");
    std::size_t at = 0;
    if ((a.word >> 29) == 2) {
        if (!body.Has(0, 8)) {
            DataDump(a.out, body.Slice(0, body.size()));
            return;
        }
        MessageTimeLine(a.out, *body.U64(0), TimeLineKind::DoubleEnd);
        at = 8;
    }
    if (body.Has(at, 16)) {
        const uint32_t id = Big32(body, at), security = Big32(body, at + 4);
        const uint32_t node = Big32(body, at + 8), message = Big32(body, at + 12);
        if (id >= 10000 && id <= 200000) {
            a.out.Printf("Message ID: %-8d (%08X)\n", static_cast<int>(id), id);
            a.out.Printf("Security (Reserved): %-8d\n", static_cast<int32_t>(security));
            a.out.Printf("VMC: %-8d  BusID: %-8d  Node ID: %-8d\n", static_cast<int>(node >> 31),
                         static_cast<int>((node >> 6) & 0x3FF), static_cast<int>(node & 0x3F));
            a.out.Printf("Priority: %-8d     Message Length: %-8d\n\n", static_cast<int>(message >> 24),
                         static_cast<int>(message & 0xFFFFFF));
        }
    }
    DataDump(a.out, body.Slice(at, body.size() - at));
}

std::size_t Print1394Format1Word(const PrintArgs& a) {
    a.out.Printf("%s0x%08X\n%-20s%-8d\n\n", "1394 CHAN SPEC    : ", a.word, "Intra-Packet Count: ",
                 static_cast<int>(a.word & 0xFFFF));
    return 4;
}

void Print1394Format1Body(const PrintArgs& a) {
    const ch10::PacketView body = a.Body();
    a.out.Write("PACKET DATA:\n\n");
    std::size_t at = 0;
    while (body.Has(at, 12)) {
        const std::size_t length = *body.U32(at + 8) & 0xFFFF;
        MessageTimeLine(a.out, *body.U64(at));
        DataDump(a.out, body.Slice(at + 12, length));
        if (!body.Has(at + 12, length)) return;
        at += 12 + Even(length);
    }
    if (at < body.size()) DataDump(a.out, body.Slice(at, body.size() - at));
}

}  // namespace sandral::decoders
