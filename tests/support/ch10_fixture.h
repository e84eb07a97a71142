#pragma once
// Chapter 10 fixture writer: packets with correct header, secondary-header
// and data checksums by default, every field settable, and deliberately
// broken variants; recordings written as one file or as a segment set.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ch10fix {

using Bytes = std::vector<uint8_t>;

constexpr uint16_t kSync = 0xEB25;
constexpr std::size_t kHeaderSize = 24;
constexpr std::size_t kSecondaryHeaderSize = 12;

enum class Checksum : uint8_t { None = 0, Sum8 = 1, Sum16 = 2, Sum32 = 3 };

struct PacketSpec {
    uint16_t channelId = 0;
    uint8_t dataType = 0;
    uint8_t dataTypeVersion = 0x06;
    uint8_t sequence = 0;
    // Flag bits other than bit 7 (secondary header) and bits 1-0 (checksum
    // type), which follow `secondaryHeader` and `checksum`.
    uint8_t otherFlags = 0;
    uint64_t rtc = 0;  // 48 bits are written
    std::optional<uint32_t> csdw = 0u;  // channel-specific data word; nullopt: none
    Bytes body;                         // after the channel-specific data word

    bool secondaryHeader = false;
    uint64_t secondaryTime = 0;  // the 8 time bytes

    Checksum checksum = Checksum::None;
    // Where the data checksum sits and what it covers. The default follows
    // the standard: filler first, checksum last, covering everything after
    // the header(s). The alternatives describe other recorders' layouts.
    bool checksumAfterData = false;   // 8-bit only: the byte right after the data, filler behind it
    bool checksumFromByte24 = false;  // the sum starts at byte 24, secondary header included

    // Overrides for broken packets; applied after the checksums are computed
    // unless a checksum override says otherwise.
    std::optional<uint8_t> flagsOverride;
    std::optional<uint16_t> syncOverride;
    std::optional<uint32_t> packetLengthOverride;
    std::optional<uint32_t> dataLengthOverride;
    std::optional<uint16_t> headerChecksumOverride;
    std::optional<uint16_t> secondaryChecksumOverride;
    std::optional<uint32_t> dataChecksumOverride;
    // Recompute the header checksum after the length overrides, so that a
    // lying length still passes the header test.
    bool rechecksumAfterOverrides = true;
};

// Sum of the header's 16-bit words 0 to 10, little-endian.
uint16_t HeaderChecksum(const uint8_t* header);
// Sum of the secondary header's 16-bit words 0 to 4.
uint16_t SecondaryHeaderChecksum(const uint8_t* secondary);

Bytes BuildPacket(const PacketSpec& spec);

// The packet length the builder gives a spec (header(s), data, filler and
// checksum, a multiple of 4).
uint32_t NaturalPacketLength(const PacketSpec& spec);

// Broken variants of a built packet.
void BreakSync(Bytes& packet);            // sync becomes 0xEB24
void BreakHeaderChecksum(Bytes& packet);  // stored header checksum + 1
void Truncate(Bytes& packet, std::size_t length);

// Little-endian field access for tests.
uint16_t Get16(const Bytes& b, std::size_t at);
uint32_t Get32(const Bytes& b, std::size_t at);
void Put16(Bytes& b, std::size_t at, uint16_t v);
void Put32(Bytes& b, std::size_t at, uint32_t v);

void Append(Bytes& out, const Bytes& more);

bool WriteFile(const std::string& path, const Bytes& bytes);
Bytes ReadFile(const std::string& path);
// The same file as text; empty when it cannot be read.
std::string ReadText(const std::string& path);

// Writes `bytes` as a segment set in `dir`: names are `stem` (the "D" and
// the first four digits, e.g. "D0001") + "000", "001"... + `extension`.
// `sizes` gives each segment's byte count; the last segment takes what is
// left. Returns the paths written.
std::vector<std::string> WriteSegmentSet(const std::string& dir, const std::string& stem,
                                         const std::string& extension, const Bytes& bytes,
                                         const std::vector<std::size_t>& sizes);
// Segments of `segmentSize` bytes each (the last may be shorter).
std::vector<std::string> WriteSegmentSet(const std::string& dir, const std::string& stem,
                                         const std::string& extension, const Bytes& bytes,
                                         std::size_t segmentSize);

}  // namespace ch10fix
