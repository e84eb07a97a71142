#pragma once
// Secondary-header and data checksums of one packet, computed through the
// packet's bounded view. A checksum whose recorded value lies outside the
// view (or before byte 24) is not computed: it has not passed either.
#include <cstdint>

#include "ch10/packet_header.h"
#include "ch10/packet_view.h"

namespace ch10 {

enum class ChecksumOutcome { Passed, Failed, NotChecked };

struct ChecksumValues {
    ChecksumOutcome outcome = ChecksumOutcome::NotChecked;
    uint32_t recorded = 0;
    uint32_t computed = 0;
};

// 16-bit sum of the five words at bytes 24-33 against the word at 34-35.
ChecksumValues ComputeSecondaryHeaderChecksum(const PacketView& view);

// By the header's checksum type. The sums start at byte 24, a secondary
// header included. The 8-bit value sits at 24 + data length; the 16- and
// 32-bit values are the last whole word of the packet by its length field.
// Type 0: Passed with recorded value 0.
ChecksumValues ComputeDataChecksum(const PacketView& view, const PacketHeader& header);

}  // namespace ch10
