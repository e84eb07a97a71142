#include "vexa/engine/data_type_table.h"

#include "ch10/data_type.h"

namespace vexa {

namespace {
using T = ch10::DataType;

constexpr std::array<uint16_t, kColumnCount> kBase{0x0002, 0x0003, 0x0003, 0x0003, 0x0006, 0x0006};
constexpr std::array<uint16_t, kColumnCount> kBaseOld{0x0002, 0x0002, 0x0002, 0x0002, 0x0006, 0x0006};
constexpr std::array<uint16_t, kColumnCount> kFrom07{0xFFFF, 0x0303, 0x0303, 0x0303, 0x0306, 0x0306};
constexpr std::array<uint16_t, kColumnCount> kFrom11{0xFFFF, 0xFFFF, 0xFFFF, 0x0505, 0x0506, 0x0506};
constexpr std::array<uint16_t, kColumnCount> kFrom13{0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0x0606, 0x0606};
constexpr std::array<uint16_t, kColumnCount> kFrom15{0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0x0707};
constexpr std::array<uint16_t, kColumnCount> kNever{0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
constexpr std::array<uint16_t, kColumnCount> kZeroOnly{0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000};
}  // namespace

const std::array<DataTypeRow, kDataTypeTableRows> DataTypeTable{{
    {ch10::Code(T::ComputerF0), kBaseOld, "Comp Gen - Fmt 0 (USER DEFINED)"},
    {ch10::Code(T::ComputerF1), {0x0002, 0x0003, 0x0004, 0x0005, 0x0006, 0x0007}, "Comp Gen - Fmt 1 (SETUP RECORD)"},
    {ch10::Code(T::ComputerF2), kBase, "Comp Gen - Fmt 2 (REC. EVENTS)"},
    {ch10::Code(T::ComputerF3), kBase, "Comp Gen - Fmt 3 (REC. INDEX)"},
    {ch10::Code(T::PcmF1), kBase, "PCM - Fmt 1"},
    {ch10::Code(T::TimeF1), kBase, "Time - Fmt 1"},
    {ch10::Code(T::Mil1553F1), kBase, "Bus 1553 - Fmt 1"},
    {ch10::Code(T::AnalogF1), kBaseOld, "Analog - Fmt 1"},
    {ch10::Code(T::DiscreteF1), kBaseOld, "Discrete - Fmt 1"},
    {ch10::Code(T::MessageF0), kBaseOld, "Message - Fmt 0"},
    {ch10::Code(T::Arinc429F0), kBaseOld, "ARINC 429 - Fmt 0"},
    {ch10::Code(T::VideoF0), {0x0002, 0x0003, 0x0004, 0x0004, 0x0006, 0x0006}, "Video - Fmt 0 (MPEG2/H.264)"},
    {ch10::Code(T::VideoF1), kBaseOld, "Video - Fmt 1 (MPEG2 Bit Stream)"},
    {ch10::Code(T::ImageF0), kBaseOld, "Image - Fmt 0"},
    {ch10::Code(T::UartF0), kBase, "UART - Fmt 0"},
    {ch10::Code(T::Ieee1394F0), kBaseOld, "IEEE1394 - Fmt 0"},
    {ch10::Code(T::ParallelF0), kBaseOld, "PARALLEL - Fmt 0"},
    {ch10::Code(T::Mil1553F2), kFrom07, "Bus 1553 - Fmt 2"},
    {ch10::Code(T::VideoF2), kFrom07, "Video - Fmt 2 (AVC/H.264)"},
    {ch10::Code(T::ImageF1), kFrom07, "Image - Fmt 1"},
    {ch10::Code(T::Ieee1394F1), kFrom07, "IEEE1394 - Fmt 1"},
    {ch10::Code(T::EthernetF0), {0xFFFF, 0x0303, 0x0303, 0x0303, 0x0306, 0x0307}, "Ethernet - Fmt 0"},
    {ch10::Code(T::TspiF0), kFrom11, "Tspi - Fmt 0"},
    {ch10::Code(T::TspiF1), kFrom11, "Tspi - Fmt 1"},
    {ch10::Code(T::TspiF2), kFrom11, "Tspi - Fmt 2"},
    {ch10::Code(T::ImageF2), kFrom13, "Image - Fmt 2"},
    {ch10::Code(T::EthernetF1), kFrom13, "Ethernet - Fmt 1"},
    {ch10::Code(T::CanF0), kFrom13, "CAN - Fmt 0"},
    {ch10::Code(T::VideoF3), kFrom15, "MJPEG - Fmt 3"},
    {ch10::Code(T::VideoF4), kFrom15, "MJPEG 2000 - Fmt 4"},
    {ch10::Code(T::FibreChannelF0), kFrom15, "FIBRE CHANNEL - Fmt 0"},
    {ch10::Code(T::ImageF7), kNever, "Image - Fmt 7"},
    {-1, kZeroOnly, "Undefined"},
}};

int DataFileVersionToColumn(int fileDataVersion) {
    switch (fileDataVersion) {
        case 7: return kColumn07;
        case 9: return kColumn09;
        case 11: return kColumn11;
        case 13: return kColumn13;
        case 15: return kColumn15;
        default: return kColumn05;
    }
}

const DataTypeRow* FindDataTypeRow(int32_t code, int rowCount) {
    if (rowCount > kDataTypeTableRows) rowCount = kDataTypeTableRows;
    for (int i = 0; i < rowCount; ++i)
        if (DataTypeTable[static_cast<std::size_t>(i)].code == code) return &DataTypeTable[static_cast<std::size_t>(i)];
    return nullptr;
}

const DataTypeRow& DataTypeRowOrUndefined(int32_t code) {
    const DataTypeRow* row = FindDataTypeRow(code);
    return row ? *row : DataTypeTable[kUndefinedDataTypeRow];
}

const char* LookupDataTypeName(int32_t code) { return DataTypeRowOrUndefined(code).name; }

bool DataTypeVersionAllowed(uint16_t cell, uint8_t version) {
    return version >= (cell >> 8) && version <= (cell & 0xFF);
}

}  // namespace vexa
