#pragma once
// The 24-byte packet header, decoded with explicit little-endian reads. The
// one decoder every subsystem uses; acceptance rules stay with each of them.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "ch10/little_endian.h"
#include "ch10/secondary_header.h"

namespace ch10 {

constexpr uint16_t kPacketSync = 0xEB25;
constexpr std::size_t kPacketHeaderSize = 24;

struct PacketHeader {
    uint16_t sync = 0;
    uint16_t channelId = 0;
    uint32_t packetLength = 0;
    uint32_t dataLength = 0;
    uint8_t dataTypeVersion = 0;
    uint8_t sequence = 0;
    uint8_t flags = 0;
    uint8_t dataType = 0;
    uint64_t relativeTime = 0;  // 48-bit count of 100-ns ticks
    uint16_t checksum = 0;

    // Decodes the header at p; nullopt when fewer than 24 bytes are held.
    static std::optional<PacketHeader> Decode(const uint8_t* p, std::size_t bytesHeld);
    // Decodes 24 bytes the caller has checked are there.
    static PacketHeader DecodeUnchecked(const uint8_t* p);

    bool HasSecondaryHeader() const { return (flags & 0x80) != 0; }
    std::size_t SecondaryHeaderLength() const { return HasSecondaryHeader() ? kSecondaryHeaderSize : 0; }
    // 0 none, 1 8-bit, 2 16-bit, 3 32-bit data checksum.
    uint8_t DataChecksumType() const { return flags & 0x03; }
};

// 16-bit sum of the header's words 0 to 10.
uint16_t ComputeHeaderChecksum(const uint8_t* header);

}  // namespace ch10
