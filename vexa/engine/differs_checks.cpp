#include "vexa/engine/differs_checks.h"

namespace vexa {

namespace {

using T = ch10::DataType;

constexpr DiffersRow kRows[] = {
    {T::TimeF1, T::TimeF1, 0x0000000F, 75, "Error 75: Time Packet's Time Source differs from previous packet\r\n"},
    {T::TimeF1, T::TimeF1, 0x000000F0, 76, "Error 76: Time Format differs from previous packet\r\n"},
    {T::TimeF1, T::TimeF1, 0x00000200, 40, "Error 40: Date Format Month and Year available bit differs from previous packet\r\n"},
    {T::TimeF1, T::TimeF1, 0x00000100, 77, "Error 77: Leap Year bit differs from previous packet\r\n"},
    {T::PcmF1, T::PcmF1, 0x001C0000, 78, "Error 78: Packet's Data Packing Mode differs from previous packet\r\n"},
    {T::PcmF1, T::PcmF1, 0x40000000, 79, "Error 79: Packet's Intra-Packet Header bit differs from previous packet\r\n"},
    {T::VideoF0, T::VideoF0, 0x80000000, 65, "Error 65: Embedded Time (ET) differs from previous packet\r\n"},
    {T::VideoF0, T::VideoF0, 0x40000000, 66, "Error 66: Intra-Packet Header (IPH) differs from previous packet\r\n"},
    {T::VideoF0, T::VideoF0, 0x20000000, 67, "Error 67: SCR/RTC Sync (SRS) differs from previous packet\r\n"},
    {T::VideoF0, T::VideoF0, 0x10000000, 68, "Error 68: KLV Metadata (KLV) differs from previous packet\r\n"},
    {T::VideoF1, T::VideoF2, 0x00004000, 140, "Error 140: Embedded Time (ET) differs from previous packet\r\n"},
    {T::VideoF1, T::VideoF2, 0x00080000, 141, "Error 141: Intra-Packet Header (IPH) differs from previous packet\r\n"},
    {T::VideoF1, T::VideoF2, 0x00100000, 142, "Error 142: SCR/RTC Sync (SRS) differs from previous packet\r\n"},
    {T::VideoF1, T::VideoF2, 0x00200000, 143, "Error 143: KLV Metadata (KLV) differs from previous packet\r\n"},
    {T::VideoF1, T::VideoF2, 0x00078000, 144, "Error 144: Embedded Profile and Level (EPL) differs from previous packet\r\n"},
    {T::VideoF1, T::VideoF2, 0x00002000, 145, "Error 145: Mode (MD) differs from previous packet\r\n"},
    {T::VideoF1, T::VideoF2, 0x00001000, 146, "Error 146: Type (TP) differs from previous packet\r\n"},
    {T::ImageF0, T::ImageF2, 0x08000000, 81, "Error 81: Packet's Intra-Packet Header value differs from previous packet\r\n"},
    {T::AnalogF1, T::AnalogF1, 0x00000003, 83, "Error 83: MODE differs from previous packet \r\n"},
    {T::AnalogF1, T::AnalogF1, 0x000000FC, 21, "Error 21: LENGTH differs from previous packet \r\n"},
    {T::AnalogF1, T::AnalogF1, 0x0000FF00, 82, "Error 82: SUBCHAN differs from previous packet \r\n"},
    {T::AnalogF1, T::AnalogF1, 0x00FF0000, 20, "Error 20: TOTCHAN differs from previous packet \r\n"},
    {T::AnalogF1, T::AnalogF1, 0x0F000000, 84, "Error 84: FACTOR differs from previous packet \r\n"},
    {T::AnalogF1, T::AnalogF1, 0x10000000, 147, "Error 147: SAME differs from previous packet \r\n"},
    {T::DiscreteF1, T::DiscreteF1, 0x00000007, 85, "Error 85: Packet's MODE differs from previous packet\r\n"},
    {T::UartF0, T::UartF0, 0x80000000, 89, "Error 89: Packet's Intra-Packet Header value differs from previous packet\r\n"},
    {T::Ieee1394F0, T::Ieee1394F0, 0xE0000000, 150, "Error 150: Packet Body Type differs from previous packet\r\n"},
};


void Add(FindingList& out, uint32_t number, const char* text) { out.push_back({number, text}); }

void CheckMessageSegments(uint32_t csdw, uint32_t previousWord, FindingList& out) {
    const uint32_t type = csdw >> 16 & 3, previousType = previousWord >> 16 & 3;
    const uint32_t counter = csdw & 0xFFFF, previousCounter = previousWord & 0xFFFF;
    const bool laterSegment = type == 2 || type == 3;
    if (previousType == 2 && laterSegment)
        Add(out, 86,
            "Error 86: TYPE of last packet indicates it was the end of a long message but TYPE of this packet "
            "indicates it is middle or end of message \r\n");
    else if ((previousType == 1 || previousType == 3) && (type == 0 || type == 1))
        Add(out, 87,
            "Error 87: TYPE of last packet indicates it was the start or middle of a long message but TYPE of this "
            "packet indicates it is complete or start of message \r\n");
    // No 16-bit wrap: a segment after COUNTER 0xFFFF has no valid number.
    else if (laterSegment && counter != previousCounter + 1)
        Add(out, 88,
            "Error 88: TYPE of current packet indicates it is the end or middle of a long message but COUNTER of "
            "this packet is not equal to COUNTER of last message plus 1 \r\n");
}

// The rules that follow a row's comparison, whatever it found.
void CheckAfterRows(uint8_t type, uint32_t csdw, uint32_t previousWord, FindingList& out) {
    if (type == ch10::Code(T::UartF0) && (csdw & 0x7FFFFFFF) != 0)
        Add(out, 176, "Error 176: Reserved field in Channel Specific Data Word is non-zero value.\r\n");
    if (type == ch10::Code(T::Ieee1394F0)) {
        const uint32_t bodyType = csdw >> 29;
        if ((csdw & 0xFFFF) != (previousWord & 0xFFFF) && bodyType <= 1)
            Add(out, 161,
                "Error 161: Packet Body Type is 0 or 1 and Transaction Count differs from previous packet\r\n");
    }
    if (type == ch10::Code(T::MessageF0)) CheckMessageSegments(csdw, previousWord, out);
}

}  // namespace

std::span<const DiffersRow> DiffersTable() { return kRows; }

FindingList CheckDiffersFromPrevious(const DiffersInput& in) {
    FindingList out;
    const ch10::PacketHeader& h = in.header;
    if (!in.channelSeen || ch10::IsComputerGenerated(h.dataType)) return out;
    const ch10::PacketHeader& before = in.previous.header;
    if (h.dataType != before.dataType) Add(out, 73, "Error 73: Packet's Data Type differs from previous packet\r\n");
    if (h.DataChecksumType() != before.DataChecksumType())
        Add(out, 74, "Error 74: Packet's Data Checksum Type differs from previous packet\r\n");
    if (!in.csdwHeld) return out;
    const uint32_t changed = in.csdw ^ in.previous.csdw;
    for (const DiffersRow& row : kRows)
        if (h.dataType >= ch10::Code(row.firstType) && h.dataType <= ch10::Code(row.lastType) && (changed & row.mask) != 0)
            Add(out, row.number, row.text);
    CheckAfterRows(h.dataType, in.csdw, in.previous.csdw, out);
    return out;
}

}  // namespace vexa
