#include "vexa/engine/header_checksum.h"

#include <cinttypes>

#include "ch10/packet_header.h"
#include "platform/format.h"

namespace vexa {

int CheckHeaderChecksum(const uint8_t* header, std::string& text, int slot, uint64_t packetOffset,
                        ErrorAccounting& errors) {
    text.clear();
    const uint16_t computed = ch10::ComputeHeaderChecksum(header);
    const uint16_t recorded = ch10::ReadLe16(header + 22);
    if (computed == recorded) return 0;
    // The number counts for every candidate that fails here; its form counts
    // follow (TallyFinding) only for a candidate of interest whose line is
    // written, so the two steps are apart.
    if (errors.CountError(slot, 4)) {
        platform::AppendFormat(text,
                               "Error 4: Found packet with channel ID of %d, at offset 0x%" PRIx64
                               ", with invalid Header Checksum, recorded is 0x%04x, computed is 0x%04x, packet is "
                               "skipped.\r\n",
                               static_cast<int>(ch10::ReadLe16(header + 2)), packetOffset, static_cast<unsigned>(recorded),
                               static_cast<unsigned>(computed));
    }
    return -1;
}

}  // namespace vexa
