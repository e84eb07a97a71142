#include "vexa/engine/index_rules.h"

namespace vexa {

void RecordingIndexState::Reset() {
    prevRootIndexOffset.reset();
    rootIndexPending = false;
    rootIndexCount = 0;
    nodeIndexCount = 0;
    rootIndexOffsetCount = 0;
}

std::vector<IndexFinding> ApplyIndexPacket(RecordingIndexState& s, const ch10::PacketView& view,
                                           const ch10::PacketHeader& header, uint64_t packetOffset) {
    std::vector<IndexFinding> findings;
    const uint32_t csdw = ch10::ChannelSpecificWord(view, header);
    if (csdw & 0x80000000u) {  // node index packet
        s.rootIndexPending = true;
        ++s.nodeIndexCount;
        return findings;
    }

    // The back pointer closes the data; read it only when the data holds it
    // and the bytes are in hand.
    const uint64_t dataEnd = ch10::kPacketHeaderSize + static_cast<uint64_t>(header.dataLength);
    std::optional<uint64_t> backPointer;
    if (header.dataLength >= 8 && dataEnd <= view.size()) backPointer = view.U64(static_cast<std::size_t>(dataEnd - 8));

    if (backPointer) {
        if (!s.prevRootIndexOffset) {
            if (*backPointer != packetOffset) findings.push_back({155, 0});
        } else if (*backPointer != *s.prevRootIndexOffset) {
            // A pointer to an older root is a new branch of the chain: the
            // roots after it are forgotten.
            bool matched = false;
            for (int k = 0; k < s.rootIndexOffsetCount; ++k) {
                if (s.rootIndexOffsets[static_cast<std::size_t>(k)] == *backPointer) {
                    s.rootIndexOffsetCount = k + 1;
                    matched = true;
                    break;
                }
            }
            if (!matched) findings.push_back({156, 0});
        }
    }

    const uint32_t entryCount = csdw & 0xFFFF;
    if (entryCount == 0) {
        findings.push_back({162, entryCount});
    } else {
        // Signed: a data length under 12 is a wrong size, never a huge one.
        int64_t size = static_cast<int64_t>(header.dataLength) - 4;
        if (csdw & 0x40000000u) size -= 8;  // file size present
        const int64_t count = entryCount;
        if (size % count != 0) {
            findings.push_back({163, 0});
        } else if (csdw & 0x20000000u) {  // index packet data header present
            if (size / count != 24) findings.push_back({164, 0});
        } else if (size / count != 16) {
            findings.push_back({165, 0});
        }
    }

    s.prevRootIndexOffset = packetOffset;
    if (s.rootIndexOffsetCount < RecordingIndexState::kMaxRootOffsets)
        s.rootIndexOffsets[static_cast<std::size_t>(s.rootIndexOffsetCount++)] = packetOffset;
    s.rootIndexPending = false;
    ++s.rootIndexCount;
    return findings;
}

std::vector<unsigned> IndexFindingsAtEnd(const RecordingIndexState& s, bool indexEnabled) {
    std::vector<unsigned> findings;
    if (s.rootIndexPending) findings.push_back(157);
    if (indexEnabled && (s.rootIndexCount < 1 || s.nodeIndexCount < 1)) findings.push_back(160);
    if (!indexEnabled && (s.rootIndexCount > 0 || s.nodeIndexCount > 0)) findings.push_back(166);
    return findings;
}

}  // namespace vexa
