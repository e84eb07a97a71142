#pragma once
// Which previous-packet record of a slot a data type reads and writes. Each
// listed type has its own record (the two MIL-STD-1553 formats share one);
// every other type, computer-generated ones included, shares "Other". Time
// packets keep their record per channel group instead.
#include <array>
#include <cstdint>

namespace vexa {

inline constexpr uint8_t kRecordedDataTypes[] = {
    0x09,                                // PCM
    0x19,                                // MIL-STD-1553, both formats
    0x21, 0x29, 0x30, 0x38,              // analog, discrete, message, ARINC 429
    0x40, 0x41, 0x42, 0x43, 0x44,        // video
    0x48, 0x49, 0x4A,                    // image
    0x50, 0x58, 0x59, 0x60, 0x68, 0x69,  // UART, IEEE 1394, parallel, Ethernet
    0x70, 0x71, 0x72, 0x78, 0x79,        // TSPI, CAN, Fibre Channel
};
inline constexpr int kOtherRecord = static_cast<int>(std::size(kRecordedDataTypes));
inline constexpr int kRecordFamilyCount = kOtherRecord + 1;

namespace detail {
constexpr std::array<uint8_t, 256> BuildRecordFamilies() {
    std::array<uint8_t, 256> families{};
    families.fill(static_cast<uint8_t>(kOtherRecord));
    for (int i = 0; i < kOtherRecord; ++i) families[kRecordedDataTypes[i]] = static_cast<uint8_t>(i);
    families[0x1A] = families[0x19];
    return families;
}
inline constexpr std::array<uint8_t, 256> kRecordFamilies = BuildRecordFamilies();
}  // namespace detail

// 0 to kRecordFamilyCount - 1; kOtherRecord for every type without its own.
constexpr int RecordFamilyOf(uint8_t dataType) { return detail::kRecordFamilies[dataType]; }

}  // namespace vexa
