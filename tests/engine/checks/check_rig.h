#pragma once
// Packets for the check tests, each held in a heap buffer of exactly its
// length so that AddressSanitizer sees any read past it.
#include <cstdint>
#include <memory>
#include <vector>

#include "tests/support/ch10_fixture.h"
#include "tests/support/held_packet_rig.h"

namespace checkfix {

using ch10fix::Bytes;

using rigs::HeldPacket;

struct IndexSpec {
    bool node = false;
    uint16_t entryCount = 1;
    bool fileSize = false;   // CSDW bit 30: 8 bytes of file size before the entries
    bool ipdh = false;       // CSDW bit 29: 24-byte entries
    std::size_t entryBytes = 16;  // per entry actually written
    uint64_t backPointer = 0;     // roots only: the last 8 bytes of the last entry
    uint16_t channelId = 0;
};

// A root index packet of `count` 16-byte entries pointing back to `back`.
inline IndexSpec Root(uint64_t back, uint16_t count = 2) {
    IndexSpec s;
    s.entryCount = count;
    s.backPointer = back;
    return s;
}

// A root or node recording-index packet (data type 0x03).
inline Bytes BuildIndexPacket(const IndexSpec& s) {
    ch10fix::PacketSpec spec;
    spec.channelId = s.channelId;
    spec.dataType = 0x03;
    uint32_t csdw = s.entryCount;
    if (s.node) csdw |= 0x80000000u;
    if (s.fileSize) csdw |= 0x40000000u;
    if (s.ipdh) csdw |= 0x20000000u;
    spec.csdw = csdw;
    spec.body.assign((s.fileSize ? 8 : 0) + s.entryBytes * s.entryCount, 0x5A);
    if (!s.node && spec.body.size() >= 8) {
        const std::size_t at = spec.body.size() - 8;
        for (std::size_t i = 0; i < 8; ++i) spec.body[at + i] = static_cast<uint8_t>(s.backPointer >> (8 * i));
    }
    return ch10fix::BuildPacket(spec);
}

}  // namespace checkfix
