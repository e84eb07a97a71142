#include "vexa/engine/header_checks.h"

#include "ch10/data_type.h"
#include "vexa/engine/data_type_table.h"
#include "platform/format.h"

namespace vexa {

namespace {


std::size_t ChecksumBytes(uint8_t type) {
    static constexpr std::size_t kBytes[] = {0, 1, 2, 4};
    return kBytes[type & 3];
}

// Counts a catalogued finding; the text is appended only when allowed.
void Raise(ErrorAccounting& errors, int slot, uint32_t number, std::string& out, const char* text) {
    if (errors.RaiseFinding(slot, number)) out += text;
}

}  // namespace

ch10::ChecksumOutcome CheckSecondaryHeaderChecksum(ErrorAccounting& errors, const ch10::PacketView& view, std::string& text,
                                             int slot) {
    const ch10::ChecksumValues v = ch10::ComputeSecondaryHeaderChecksum(view);
    if (v.outcome == ch10::ChecksumOutcome::Failed && errors.RaiseFinding(slot, 6))
        platform::AppendFormat(text, "Error 6: Packet's Secondary Header Checksum invalid; recorded is %04x, computed is %04x \r\n",
                               v.recorded, v.computed);
    return v.outcome;
}

ch10::ChecksumOutcome CheckDataChecksum(ErrorAccounting& errors, const ch10::PacketView& view, const ch10::PacketHeader& header,
                                  std::string& text, int slot, uint32_t& recorded) {
    const ch10::ChecksumValues v = ch10::ComputeDataChecksum(view, header);
    recorded = v.recorded;
    if (v.outcome != ch10::ChecksumOutcome::Failed) return v.outcome;
    switch (header.DataChecksumType()) {
        case 1:
            if (errors.RaiseFinding(slot, 1))
                platform::AppendFormat(text, "Error 1: Packet's Data Checksum invalid; recorded is %02x, computed is %02x \r\n",
                                       v.recorded & 0xFF, v.computed & 0xFF);
            break;
        case 2:
            if (errors.RaiseFinding(slot, 2))
                platform::AppendFormat(text, "Error 2: Packet's Data Checksum invalid; recorded is %04x, computed is %04x \r\n",
                                       v.recorded & 0xFFFF, v.computed & 0xFFFF);
            break;
        default:
            if (errors.RaiseFinding(slot, 3))
                platform::AppendFormat(text, "Error 3: Packet's Data Checksum invalid; recorded is %08x, computed is %08x \r\n",
                                       v.recorded, v.computed);
            break;
    }
    return v.outcome;
}

HeaderCheckMarks RunHeaderChecks(ErrorAccounting& errors, const HeaderCheckInput& in, std::string& out) {
    const ch10::PacketHeader& h = in.header;
    const int slot = in.slot;
    HeaderCheckMarks marks;

    if (in.previousSequence) {
        const uint8_t prev = *in.previousSequence;
        if (h.sequence == 0) {
            if (prev != 255) Raise(errors, slot, 41, out, "Error 41: Packet's Sequence number does not loop back\r\n");
        } else if (h.sequence != prev + 1) {
            if (errors.RaiseFinding(slot, 42))
                platform::AppendFormat(out, "Error 42: Packet's Sequence jumped, previous packet is %d\r\n", prev);
        }
    }

    // Summed in 64 bits: a data length near 2^32 must not wrap past the check.
    const uint64_t overhead = ChecksumBytes(h.DataChecksumType()) + h.SecondaryHeaderLength() + ch10::kPacketHeaderSize;
    if (h.packetLength < uint64_t{h.dataLength} + overhead)
        Raise(errors, slot, 158, out,
              "Error 158: Packet Length is less than length of Packet Header, Data Length and Secondary Header Length "
              "combined \r\n");
    else if (h.packetLength > kMaxPacketLength)
        Raise(errors, slot, 44, out, "Error 44: Packet's length exceeded spec\r\n");
    else if (h.packetLength % 4 != 0)
        Raise(errors, slot, 45, out, "Error 45: Packet's length is not a multiple of 4 \r\n");

    if (h.dataLength == 0)
        Raise(errors, slot, 46, out, "Error 46: Packet's Data length invalid\r\n");
    else if (h.packetLength >= overhead && h.dataLength > h.packetLength - overhead)
        Raise(errors, slot, 47, out, "Error 47: Packet's Data length exceeded Packet's Length\r\n");

    if (h.dataTypeVersion < 1 || h.dataTypeVersion > 7)
        Raise(errors, slot, 48, out, "Error 48: Packet's Header Version is Reserved \r\n");

    const DataTypeRow& row = DataTypeRowOrUndefined(h.dataType);
    const uint16_t cell = row.versions[static_cast<std::size_t>(DataFileVersionToColumn(in.fileDataVersion))];
    if (!DataTypeVersionAllowed(cell, h.dataTypeVersion) && errors.RaiseFinding(slot, 151))
        platform::AppendFormat(out, "Error 151: Invalid Packet Data Type Version: '%d' for File Data Version: '%d'\r\n",
                               h.dataTypeVersion, in.fileDataVersion);

    if (h.flags & 0x10) Raise(errors, slot, 49, out, "Error 49: Packet's Data Overflow flag is set\r\n");
    if ((h.flags & 0xC0) == 0x40)
        Raise(errors, slot, 50, out,
              "Error 50: Intra-Packet Time Stamp Type bit is set but Secondary Header Present bit is not\r\n");
    if (h.flags & 0x20) Raise(errors, slot, 52, out, "Error 52: Packet's Relative Time Count Sync Error flag is set\r\n");

    if ((h.flags & 0xC0) == 0xC0 && CheckSecondaryHeaderChecksum(errors, in.view, out, slot) != ch10::ChecksumOutcome::Passed)
        marks.headerChecksumFailed = true;

    if (h.DataChecksumType() != 0 &&
        CheckDataChecksum(errors, in.view, h, out, slot, marks.recordedChecksum) != ch10::ChecksumOutcome::Passed)
        marks.dataChecksumFailed = true;
    return marks;
}

uint8_t& HeaderSectionState::SequenceRecord(int slot, int group, uint8_t dataType) {
    if (dataType == ch10::Code(ch10::DataType::TimeF1)) return timeGroupSequence[static_cast<std::size_t>(group) & 0xFF];
    return previousSequence[static_cast<std::size_t>(slot) & 0xFF][static_cast<std::size_t>(RecordFamilyOf(dataType))];
}

void HeaderSectionState::Reset() {
    for (auto& slot : previousSequence) slot.fill(0);
    timeGroupSequence.fill(0);
    recordedDataChecksum.fill(0);
}

}  // namespace vexa
