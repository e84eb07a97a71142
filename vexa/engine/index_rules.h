#pragma once
// Recording-index bookkeeping: the chain of root index packets, each pointing
// back to the one before it, and the node packets that a root must follow.
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "ch10/packet_header.h"
#include "ch10/packet_view.h"

namespace vexa {


struct RecordingIndexState {
    static constexpr int kMaxRootOffsets = 1000;
    std::array<uint64_t, kMaxRootOffsets> rootIndexOffsets{};
    int rootIndexOffsetCount = 0;
    std::optional<uint64_t> prevRootIndexOffset;  // none before the run's first root
    bool rootIndexPending = false;                // a node was seen and no root followed
    int rootIndexCount = 0;
    int nodeIndexCount = 0;

    // Run start: the index chain begins anew with each file.
    void Reset();
};

// A root index finding: its number and, for 162, the entry count it names.
struct IndexFinding {
    unsigned number = 0;
    uint32_t entryCount = 0;
};

// Applies one recording-index packet (data type 0x03) to the state and
// returns its findings in the order they are raised (155/156, then one of
// 162-165). The back pointer is read only when it lies inside the data and
// the view; otherwise 155/156 are not evaluated.
std::vector<IndexFinding> ApplyIndexPacket(RecordingIndexState& state, const ch10::PacketView& view,
                                           const ch10::PacketHeader& header, uint64_t packetOffset);

// The end-of-data findings (157, 160, 166), in order.
std::vector<unsigned> IndexFindingsAtEnd(const RecordingIndexState& state, bool indexEnabled);

// Whether the run-start finding 159 is due.
inline bool IndexSetupFinding(bool eventsEnabled, bool indexEnabled) { return eventsEnabled && !indexEnabled; }

}  // namespace vexa
