#pragma once
// Checks of the channel-specific data word of PCM, MIL-STD-1553, analog,
// message, ARINC 429, IEEE 1394 and Ethernet packets, with the walks over
// 1553 messages and Ethernet frames. Nothing outside the packet's view is
// read; a data word not wholly inside it is not checked.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "vexa/engine/bus1553_body_check.h"
#include "vexa/engine/finding_list.h"
#include "ch10/packet_header.h"
#include "ch10/packet_view.h"
#include "vexa/engine/time_units.h"

namespace vexa {

constexpr std::size_t kBusMessageHeaderSize = 14;

// The intra-packet header of one MIL-STD-1553 message.
struct BusMessageHeader {
    uint64_t stamp = 0;  // low 48 bits: counter ticks
    uint16_t blockStatus = 0;
    uint16_t gapTimes = 0;
    uint16_t length = 0;  // bytes of message data that follow
};
// None unless all 14 bytes at `at` are inside the view.
std::optional<BusMessageHeader> ReadBusMessageHeader(const ch10::PacketView& view, std::size_t at);

struct ChannelWordInput {
    const ch10::PacketHeader& header;
    const ch10::PacketView& view;
    int slot = 0;
    // A 1553 packet's body walk, carried by the same pass over the messages.
    Bus1553BodyPass* bus1553Body = nullptr;
};

FindingList CheckPcmWord(uint32_t csdw);
// Reads and updates the slot's last message time; feeds every message to
// the input's body walk, when it has one, and finishes it.
FindingList CheckBus1553Packet(IntraStampTimes& stamps, const ChannelWordInput& in);
FindingList CheckAnalogWords(const ChannelWordInput& in);
FindingList CheckMessageWord(const ChannelWordInput& in);
FindingList CheckArinc429Word(const ch10::PacketHeader& header, uint32_t csdw);
FindingList Check1394Word(uint32_t csdw);
FindingList CheckEthernetFrames(const ChannelWordInput& in);

// The check of the packet's data type; none for the other types.
FindingList CheckChannelSpecificWord(IntraStampTimes& stamps, const ChannelWordInput& in);

}  // namespace vexa
