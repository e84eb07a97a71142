#pragma once
// Explicit little-endian reads: recordings are little-endian whatever the
// host, and buffers are never cast to structs.
#include <cstdint>

namespace ch10 {

inline uint16_t ReadLe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t ReadLe32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}
inline uint64_t ReadLe48(const uint8_t* p) {
    return static_cast<uint64_t>(ReadLe32(p)) | static_cast<uint64_t>(ReadLe16(p + 4)) << 32;
}
inline uint64_t ReadLe64(const uint8_t* p) {
    return static_cast<uint64_t>(ReadLe32(p)) | static_cast<uint64_t>(ReadLe32(p + 4)) << 32;
}

}  // namespace ch10
