#pragma once
// What a check section is handed for one accepted packet, and what it may
// answer. Sections run in a fixed order on the processor thread.
#include <cstdint>
#include <string>

#include "ch10/packet_header.h"
#include "ch10/packet_view.h"

namespace vexa {

struct PacketContext {
    ch10::PacketHeader header;
    ch10::PacketView view;            // [packet start, min(packet length, bytes held))
    uint64_t packetOffset = 0;  // of the packet's first byte in the recording
    int slot = 0;               // channel slot, 0-255
    int group = 0;              // channel group, 0-255
    bool ofInterest = false;
    bool channelSeen = false;   // a packet of the slot has completed before this one
    std::string* findings = nullptr;  // the packet's finding text; sections append to it
};

enum class SectionResult {
    Continue,  // go on with the next section
    SkipRest,  // the packet's remaining steps are skipped (it is consumed)
    Fail,      // an output write failed: the run ends without a message
};

}  // namespace vexa
