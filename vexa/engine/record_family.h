#pragma once
// Which previous-packet record of a slot a data type reads and writes. Each
// listed type has its own record (the two MIL-STD-1553 formats share one);
// every other type, computer-generated ones included, shares "Other". Time
// packets keep their record per channel group instead.
#include <array>
#include <cstdint>

#include "ch10/data_type.h"

namespace vexa {

using ch10::DataType;
inline constexpr DataType kRecordedDataTypes[] = {
    DataType::PcmF1,
    DataType::Mil1553F1,  // both formats
    DataType::AnalogF1, DataType::DiscreteF1, DataType::MessageF0, DataType::Arinc429F0,
    DataType::VideoF0, DataType::VideoF1, DataType::VideoF2, DataType::VideoF3, DataType::VideoF4,
    DataType::ImageF0, DataType::ImageF1, DataType::ImageF2,
    DataType::UartF0, DataType::Ieee1394F0, DataType::Ieee1394F1, DataType::ParallelF0,
    DataType::EthernetF0, DataType::EthernetF1,
    DataType::TspiF0, DataType::TspiF1, DataType::TspiF2, DataType::CanF0, DataType::FibreChannelF0,
};
inline constexpr int kOtherRecord = static_cast<int>(std::size(kRecordedDataTypes));
inline constexpr int kRecordFamilyCount = kOtherRecord + 1;

namespace detail {
constexpr std::array<uint8_t, 256> BuildRecordFamilies() {
    std::array<uint8_t, 256> families{};
    families.fill(static_cast<uint8_t>(kOtherRecord));
    for (int i = 0; i < kOtherRecord; ++i) families[ch10::Code(kRecordedDataTypes[i])] = static_cast<uint8_t>(i);
    families[ch10::Code(DataType::Mil1553F2)] = families[ch10::Code(DataType::Mil1553F1)];
    return families;
}
inline constexpr std::array<uint8_t, 256> kRecordFamilies = BuildRecordFamilies();
}  // namespace detail

// 0 to kRecordFamilyCount - 1; kOtherRecord for every type without its own.
constexpr int RecordFamilyOf(uint8_t dataType) { return detail::kRecordFamilies[dataType]; }

}  // namespace vexa
