#include "differs_checks.h"

namespace vexa {

namespace {

constexpr DiffersRow kRows[] = {
    {0x11, 0x11, 0x0000000F, 75, "Error 75: Time Packet's Time Source differs from previous packet\r\n"},
    {0x11, 0x11, 0x000000F0, 76, "Error 76: Time Format differs from previous packet\r\n"},
    {0x11, 0x11, 0x00000200, 40, "Error 40: Date Format Month and Year available bit differs from previous packet\r\n"},
    {0x11, 0x11, 0x00000100, 77, "Error 77: Leap Year bit differs from previous packet\r\n"},
    {0x09, 0x09, 0x001C0000, 78, "Error 78: Packet's Data Packing Mode differs from previous packet\r\n"},
    {0x09, 0x09, 0x40000000, 79, "Error 79: Packet's Intra-Packet Header bit differs from previous packet\r\n"},
    {0x40, 0x40, 0x80000000, 65, "Error 65: Embedded Time (ET) differs from previous packet\r\n"},
    {0x40, 0x40, 0x40000000, 66, "Error 66: Intra-Packet Header (IPH) differs from previous packet\r\n"},
    {0x40, 0x40, 0x20000000, 67, "Error 67: SCR/RTC Sync (SRS) differs from previous packet\r\n"},
    {0x40, 0x40, 0x10000000, 68, "Error 68: KLV Metadata (KLV) differs from previous packet\r\n"},
    {0x41, 0x42, 0x00004000, 140, "Error 140: Embedded Time (ET) differs from previous packet\r\n"},
    {0x41, 0x42, 0x00080000, 141, "Error 141: Intra-Packet Header (IPH) differs from previous packet\r\n"},
    {0x41, 0x42, 0x00100000, 142, "Error 142: SCR/RTC Sync (SRS) differs from previous packet\r\n"},
    {0x41, 0x42, 0x00200000, 143, "Error 143: KLV Metadata (KLV) differs from previous packet\r\n"},
    {0x41, 0x42, 0x00078000, 144, "Error 144: Embedded Profile and Level (EPL) differs from previous packet\r\n"},
    {0x41, 0x42, 0x00002000, 145, "Error 145: Mode (MD) differs from previous packet\r\n"},
    {0x41, 0x42, 0x00001000, 146, "Error 146: Type (TP) differs from previous packet\r\n"},
    {0x48, 0x4A, 0x08000000, 81, "Error 81: Packet's Intra-Packet Header value differs from previous packet\r\n"},
    {0x21, 0x21, 0x00000003, 83, "Error 83: MODE differs from previous packet \r\n"},
    {0x21, 0x21, 0x000000FC, 21, "Error 21: LENGTH differs from previous packet \r\n"},
    {0x21, 0x21, 0x0000FF00, 82, "Error 82: SUBCHAN differs from previous packet \r\n"},
    {0x21, 0x21, 0x00FF0000, 20, "Error 20: TOTCHAN differs from previous packet \r\n"},
    {0x21, 0x21, 0x0F000000, 84, "Error 84: FACTOR differs from previous packet \r\n"},
    {0x21, 0x21, 0x10000000, 147, "Error 147: SAME differs from previous packet \r\n"},
    {0x29, 0x29, 0x00000007, 85, "Error 85: Packet's MODE differs from previous packet\r\n"},
    {0x50, 0x50, 0x80000000, 89, "Error 89: Packet's Intra-Packet Header value differs from previous packet\r\n"},
    {0x58, 0x58, 0xE0000000, 150, "Error 150: Packet Body Type differs from previous packet\r\n"},
};

constexpr uint8_t kUart = 0x50, kIeee1394 = 0x58, kMessage = 0x30;
constexpr uint8_t kLastSetupType = 0x07;

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
    if (type == kUart && (csdw & 0x7FFFFFFF) != 0)
        Add(out, 176, "Error 176: Reserved field in Channel Specific Data Word is non-zero value.\r\n");
    if (type == kIeee1394) {
        const uint32_t bodyType = csdw >> 29;
        if ((csdw & 0xFFFF) != (previousWord & 0xFFFF) && bodyType <= 1)
            Add(out, 161,
                "Error 161: Packet Body Type is 0 or 1 and Transaction Count differs from previous packet\r\n");
    }
    if (type == kMessage) CheckMessageSegments(csdw, previousWord, out);
}

}  // namespace

std::span<const DiffersRow> DiffersTable() { return kRows; }

FindingList CheckDiffersFromPrevious(const DiffersInput& in) {
    FindingList out;
    const PacketHeader& h = in.header;
    if (!in.channelSeen || h.dataType <= kLastSetupType) return out;
    const PacketHeader& before = in.previous.header;
    if (h.dataType != before.dataType) Add(out, 73, "Error 73: Packet's Data Type differs from previous packet\r\n");
    if (h.DataChecksumType() != before.DataChecksumType())
        Add(out, 74, "Error 74: Packet's Data Checksum Type differs from previous packet\r\n");
    if (!in.csdwHeld) return out;
    const uint32_t changed = in.csdw ^ in.previous.csdw;
    for (const DiffersRow& row : kRows)
        if (h.dataType >= row.firstType && h.dataType <= row.lastType && (changed & row.mask) != 0)
            Add(out, row.number, row.text);
    CheckAfterRows(h.dataType, in.csdw, in.previous.csdw, out);
    return out;
}

}  // namespace vexa
