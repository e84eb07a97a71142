#pragma once
// Packets held in a heap buffer of exactly their length, so that
// AddressSanitizer sees any read past it.
#include <algorithm>
#include <cstdint>
#include <memory>

#include "ch10/packet_header.h"
#include "ch10/packet_view.h"
#include "tests/support/ch10_fixture.h"

namespace rigs {

using ch10fix::Bytes;

// An exact-size copy of a packet with its decoded header and view.
class HeldPacket {
public:
    explicit HeldPacket(const Bytes& bytes, std::size_t held = SIZE_MAX)
        : size_(std::min(held, bytes.size())), data_(new uint8_t[size_ ? size_ : 1]) {
        std::copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size_), data_.get());
        header_ = ch10::PacketHeader::Decode(data_.get(), size_).value_or(ch10::PacketHeader{});
    }
    const ch10::PacketHeader& header() const { return header_; }
    ch10::PacketView view() const { return ch10::PacketView::Of(data_.get(), size_, header_.packetLength); }
    const uint8_t* data() const { return data_.get(); }
    std::size_t size() const { return size_; }

private:
    std::size_t size_;
    std::unique_ptr<uint8_t[]> data_;
    ch10::PacketHeader header_;
};

}  // namespace rigs
