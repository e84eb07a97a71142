#pragma once
// A channel keeps its format: data type, checksum type and the format
// fields of the channel-specific word are compared with the slot's previous
// packet of the same record (a time packet with its group's).
#include <cstdint>
#include <span>

#include "vexa/engine/finding_list.h"
#include "ch10/data_type.h"
#include "ch10/packet_header.h"
#include "vexa/engine/previous_packets.h"

namespace vexa {

// One field of a data type's channel-specific word that must not change.
struct DiffersRow {
    ch10::DataType firstType;  // the codes firstType..lastType share the row
    ch10::DataType lastType;
    uint32_t mask;
    uint32_t number;
    const char* text;
};
// The rows in the order they are checked.
std::span<const DiffersRow> DiffersTable();

struct DiffersInput {
    const ch10::PacketHeader& header;
    uint32_t csdw = 0;
    bool csdwHeld = true;  // the word lies wholly inside the packet
    const PreviousRecord& previous;
    bool channelSeen = false;
};
FindingList CheckDiffersFromPrevious(const DiffersInput& in);

}  // namespace vexa
