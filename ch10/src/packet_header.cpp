#include "ch10/packet_header.h"

namespace ch10 {

PacketHeader PacketHeader::DecodeUnchecked(const uint8_t* p) {
    PacketHeader h;
    h.sync = ReadLe16(p);
    h.channelId = ReadLe16(p + 2);
    h.packetLength = ReadLe32(p + 4);
    h.dataLength = ReadLe32(p + 8);
    h.dataTypeVersion = p[12];
    h.sequence = p[13];
    h.flags = p[14];
    h.dataType = p[15];
    h.relativeTime = ReadLe48(p + 16);
    h.checksum = ReadLe16(p + 22);
    return h;
}

std::optional<PacketHeader> PacketHeader::Decode(const uint8_t* p, std::size_t bytesHeld) {
    if (!p || bytesHeld < kPacketHeaderSize) return std::nullopt;
    return DecodeUnchecked(p);
}

uint16_t ComputeHeaderChecksum(const uint8_t* header) {
    uint16_t sum = 0;
    for (int w = 0; w < 11; ++w) sum = static_cast<uint16_t>(sum + ReadLe16(header + 2 * w));
    return sum;
}

}  // namespace ch10
