#pragma once
// The one packet-header test every scan of the library uses, and the
// hexadecimal offset texts of the browse calls.
#include <cstddef>
#include <cstdint>

namespace sandral {

// True when 24 bytes are held, the sync word is 0xEB25, the packet length
// is 1 to 0x80000 and the header checksum matches. The data length and the
// secondary header are not tested.
bool check_packet_header(const uint8_t* header, std::size_t bytesHeld);

// "0x"/"0X" optional, then hexadecimal digits only (64-bit, wrapping); any
// other character, an empty text or NULL gives 0.
uint64_t parse_hex_offset(const char* text);

}  // namespace sandral
