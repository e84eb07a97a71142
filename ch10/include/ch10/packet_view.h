#pragma once
// Every check, listing and decoder reads a packet through this view, whose
// end is min(packet length, bytes held). Length fields in a recording may
// lie; nothing outside the view is ever read.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "ch10/packet_header.h"

namespace ch10 {

class PacketView {
public:
    PacketView() = default;
    PacketView(const uint8_t* start, std::size_t size) : data_(start), size_(start ? size : 0) {}
    // The view of a packet at `start` with `bytesHeld` valid bytes behind it.
    static PacketView Of(const uint8_t* start, std::size_t bytesHeld, uint32_t packetLength) {
        return PacketView(start, std::min<std::size_t>(bytesHeld, packetLength));
    }

    const uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }
    bool Has(std::size_t at, std::size_t n) const { return at <= size_ && n <= size_ - at; }

    std::optional<uint8_t> U8(std::size_t at) const {
        return Has(at, 1) ? std::optional<uint8_t>(data_[at]) : std::nullopt;
    }
    std::optional<uint16_t> U16(std::size_t at) const {
        return Has(at, 2) ? std::optional<uint16_t>(ReadLe16(data_ + at)) : std::nullopt;
    }
    std::optional<uint32_t> U32(std::size_t at) const {
        return Has(at, 4) ? std::optional<uint32_t>(ReadLe32(data_ + at)) : std::nullopt;
    }
    std::optional<uint64_t> U64(std::size_t at) const {
        return Has(at, 8) ? std::optional<uint64_t>(ReadLe64(data_ + at)) : std::nullopt;
    }
    // Little-endian 32-bit value whose bytes beyond the view read as 0.
    uint32_t U32OrZeros(std::size_t at) const {
        uint32_t v = 0;
        for (std::size_t i = 0; i < 4; ++i)
            if (Has(at + i, 1)) v |= static_cast<uint32_t>(data_[at + i]) << (8 * i);
        return v;
    }
    // The bytes [at, at + n) clamped to the view.
    std::span<const uint8_t> Slice(std::size_t at, std::size_t n) const {
        if (at >= size_) return {};
        return {data_ + at, std::min(n, size_ - at)};
    }

private:
    const uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
};

// The channel-specific data word follows the primary header, or the
// secondary header when flag bit 7 says one is present.
inline std::size_t ChannelSpecificWordOffset(const PacketHeader& h) {
    return kPacketHeaderSize + h.SecondaryHeaderLength();
}
inline uint32_t ChannelSpecificWord(const PacketView& view, const PacketHeader& h) {
    return view.U32OrZeros(ChannelSpecificWordOffset(h));
}

}  // namespace ch10
