#pragma once
// Recordings laid out byte for byte for the stepping tests: packets at
// chosen offsets, filler packets in between, garbage, and the offsets of
// every whole packet written.
#include <cstdint>
#include <vector>

#include "tests/support/ch10_fixture.h"

namespace sandraltest {

struct Recording {
    ch10fix::Bytes bytes;
    std::vector<int64_t> packets;  // offsets of whole packets, in order

    int64_t Size() const { return static_cast<int64_t>(bytes.size()); }
    // Appends a packet and records its offset.
    Recording& Packet(const ch10fix::Bytes& p) {
        packets.push_back(Size());
        ch10fix::Append(bytes, p);
        return *this;
    }
    Recording& Garbage(std::size_t n, uint8_t value = 0) {
        bytes.insert(bytes.end(), n, value);
        return *this;
    }
    // A packet of channel `channel` exactly `length` bytes long (a multiple
    // of 4, at least 28).
    static ch10fix::Bytes Filler(uint32_t length, uint16_t channel = 1, uint8_t dataType = 0x09) {
        ch10fix::PacketSpec spec;
        spec.channelId = channel;
        spec.dataType = dataType;
        spec.body.assign(length - 28, static_cast<uint8_t>(length));
        return ch10fix::BuildPacket(spec);
    }
    // Filler packets (and zero bytes where a packet cannot fit) up to `offset`.
    Recording& FillTo(int64_t offset) {
        int64_t gap = offset - Size();
        const int64_t odd = gap % 4;
        Garbage(static_cast<std::size_t>(odd));
        gap -= odd;
        if (gap > 0 && gap < 28) return Garbage(static_cast<std::size_t>(gap));
        while (gap > 0) {
            const int64_t chunk = gap <= 65536 ? gap : (gap - 32768 >= 28 ? 32768 : gap - 28);
            Packet(Filler(static_cast<uint32_t>(chunk)));
            gap -= chunk;
        }
        return *this;
    }
};

}  // namespace sandraltest
