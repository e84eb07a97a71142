// The frame's sync search: from the expected position to the next header
// that passes its checksum with a length the work area can hold, writing the
// findings of everything skipped on the way.
#include <cinttypes>
#include <cstring>

#include "platform/format.h"
#include "vexa/engine/frame.h"
#include "vexa/engine/header_checksum.h"

namespace vexa {

namespace {
constexpr uint32_t kLargestPacket = kReadBufferSize;  // a longer one could never be completed
}

bool Frame::HeaderAccepted(const uint8_t* h) {
    const uint32_t packetLength = ch10::ReadLe32(h + 4);
    return ch10::ReadLe16(h) == ch10::kPacketSync && packetLength > ch10::kPacketHeaderSize &&
           packetLength <= kLargestPacket && ch10::ComputeHeaderChecksum(h) == ch10::ReadLe16(h + 22);
}

Frame::SyncOutcome Frame::FindSync(uint32_t pos) {
    ErrorAccounting& errors = run_.errors;
    const uint8_t* area = data_;
    const uint32_t end = workBytes_;

    // Findings of the sync search count against the channel of the bytes at
    // the expected position, or the previous packet's.
    {
        const int provisional = slotOfChannel_[ch10::ReadLe16(area + pos + 2)];
        if (provisional >= 0) channelSlot_ = provisional;
    }
    const int searchSlot = channelSlot_;

    bool continuationOwed = false;
    if (ch10::ReadLe16(area + pos) != ch10::kPacketSync && errors.RaiseFinding(searchSlot, 39)) {
        std::string text =
            platform::Format("Error 39: Expected start of packet sync pattern not found at offset 0x%x, ",
                             static_cast<unsigned>(packetOffset_ & 0xFFFFFFFFu));
        if (!run_.WriteLogLine(text)) return {-1};
        continuationOwed = true;
    }

    SyncOutcome out;
    uint32_t p = pos;
    for (; static_cast<uint64_t>(p) + ch10::kPacketHeaderSize <= end; ++p) {
        const uint8_t* h = area + p;
        if (ch10::ReadLe16(h) != ch10::kPacketSync) {
            // Skip straight to the next byte that could start a sync word.
            const void* next = std::memchr(h + 1, 0x25, end - p - 1);
            uint32_t skipTo = next ? static_cast<uint32_t>(static_cast<const uint8_t*>(next) - area) : end;
            if (static_cast<uint64_t>(skipTo) + ch10::kPacketHeaderSize > end)
                skipTo = end - ch10::kPacketHeaderSize + 1;
            if (skipTo <= p) skipTo = p + 1;
            packetOffset_ += skipTo - p;
            p = skipTo - 1;
            continue;
        }
        const uint32_t packetLength = ch10::ReadLe32(h + 4);
        const uint32_t dataLength = ch10::ReadLe32(h + 8);
        bool checksumMessage = false;
        bool oversized = false;
        if (packetLength > ch10::kPacketHeaderSize) {
            if (CheckHeaderChecksum(h, checksumText_, searchSlot, packetOffset_, errors) == 0) {
                if (packetLength <= kLargestPacket) {
                    out.accepted = true;
                    break;
                }
                oversized = true;
            } else {
                checksumMessage = !checksumText_.empty();
            }
        }
        packetOffset_ += 1;
        const uint16_t id = ch10::ReadLe16(h + 2);
        if (!OfInterest(id, h[15])) continue;
        if (oversized || static_cast<uint64_t>(packetLength) < static_cast<uint64_t>(dataLength) + 24) {
            if (errors.RaiseFinding(searchSlot, 43)) {
                std::string text = platform::Format(
                    "Error 43: Found packet with channel ID of %d, at offset 0x%" PRIx64
                    ", with invalid Packet Length of %d, packet is skipped.\r\n",
                    static_cast<int>(id), packetOffset_ - 1, static_cast<int>(packetLength));
                if (!run_.WriteLogLine(text)) return {-1};
            }
        } else if (checksumMessage) {
            if (!run_.WriteLogLine(checksumText_)) return {-1};
            // Error 4 was numbered when the checksum was compared, for every
            // candidate; the form counts only a written one of interest.
            errors.TallyFinding(searchSlot, 4);
        }
    }

    if (out.accepted && continuationOwed) {
        // The resynchronisation line that ends an Error 39 counts on the
        // form as a header checksum error, without a number of its own.
        errors.TallyFinding(searchSlot, 4);
        std::string text = platform::Format("found next sync pattern at offset 0x%x%s",
                                            static_cast<unsigned>(packetOffset_ & 0xFFFFFFFFu),
                                            packetOffset_ % 4 != 0 ? ", not a 4 byte boundary!\r\n" : "\r\n");
        if (!run_.WriteLogLine(text)) return {-1};
    }
    out.at = p;
    return out;
}

}  // namespace vexa
