#pragma once
// The 12-byte secondary header that follows the primary one when flag bit 7
// is set: an 8-byte time, 2 reserved bytes and a 16-bit checksum of the five
// words before it.
#include <cstddef>

namespace ch10 {

constexpr std::size_t kSecondaryHeaderSize = 12;
// Offsets from the start of the packet.
constexpr std::size_t kSecondaryHeaderStart = 24;
constexpr std::size_t kSecondaryTimeOffset = kSecondaryHeaderStart;
constexpr std::size_t kSecondaryChecksumOffset = kSecondaryHeaderStart + kSecondaryHeaderSize - 2;

}  // namespace ch10
