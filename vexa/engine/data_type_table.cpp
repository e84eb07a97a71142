#include "vexa/engine/data_type_table.h"

namespace vexa {

namespace {
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
    {0x00, kBaseOld, "Comp Gen - Fmt 0 (USER DEFINED)"},
    {0x01, {0x0002, 0x0003, 0x0004, 0x0005, 0x0006, 0x0007}, "Comp Gen - Fmt 1 (SETUP RECORD)"},
    {0x02, kBase, "Comp Gen - Fmt 2 (REC. EVENTS)"},
    {0x03, kBase, "Comp Gen - Fmt 3 (REC. INDEX)"},
    {0x09, kBase, "PCM - Fmt 1"},
    {0x11, kBase, "Time - Fmt 1"},
    {0x19, kBase, "Bus 1553 - Fmt 1"},
    {0x21, kBaseOld, "Analog - Fmt 1"},
    {0x29, kBaseOld, "Discrete - Fmt 1"},
    {0x30, kBaseOld, "Message - Fmt 0"},
    {0x38, kBaseOld, "ARINC 429 - Fmt 0"},
    {0x40, {0x0002, 0x0003, 0x0004, 0x0004, 0x0006, 0x0006}, "Video - Fmt 0 (MPEG2/H.264)"},
    {0x41, kBaseOld, "Video - Fmt 1 (MPEG2 Bit Stream)"},
    {0x48, kBaseOld, "Image - Fmt 0"},
    {0x50, kBase, "UART - Fmt 0"},
    {0x58, kBaseOld, "IEEE1394 - Fmt 0"},
    {0x60, kBaseOld, "PARALLEL - Fmt 0"},
    {0x1A, kFrom07, "Bus 1553 - Fmt 2"},
    {0x42, kFrom07, "Video - Fmt 2 (AVC/H.264)"},
    {0x49, kFrom07, "Image - Fmt 1"},
    {0x59, kFrom07, "IEEE1394 - Fmt 1"},
    {0x68, {0xFFFF, 0x0303, 0x0303, 0x0303, 0x0306, 0x0307}, "Ethernet - Fmt 0"},
    {0x70, kFrom11, "Tspi - Fmt 0"},
    {0x71, kFrom11, "Tspi - Fmt 1"},
    {0x72, kFrom11, "Tspi - Fmt 2"},
    {0x4A, kFrom13, "Image - Fmt 2"},
    {0x69, kFrom13, "Ethernet - Fmt 1"},
    {0x78, kFrom13, "CAN - Fmt 0"},
    {0x43, kFrom15, "MJPEG - Fmt 3"},
    {0x44, kFrom15, "MJPEG 2000 - Fmt 4"},
    {0x79, kFrom15, "FIBRE CHANNEL - Fmt 0"},
    {0x4F, kNever, "Image - Fmt 7"},
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
