#pragma once
// Channel groups with their time references, and the times the printers
// show: a packet's counter turned into IRIG time through the last time
// packet of its group.
#include <cstdint>
#include <string>

#include "ch10/packet_header.h"
#include "ch10/packet_view.h"
#include "tessin.h"

namespace sandral {

// Group bits from a TMATS record (NULL, or SourceBits outside 0-8: one group).
void SetGroupBits(const CHAN_INFO* record);
// The group of a non-zero channel ID.
uint16_t GroupOf(uint16_t channelId);

enum class TimeScan { DecodeStep, Walk };
// A time packet refreshes its group's reference. A channel-0 time packet
// keeps the current group in the decode step and goes to group 0 in walks
// and the seek. Without the word and three time words in the view only the
// current group moves.
void update_time_reference(const ch10::PacketView& view, const ch10::PacketHeader& header, TimeScan scan);

// Sets packetIrigTime and deltaTimeMs; returns the time text. The result
// says whether the group had a reference (no reference: time 0, no delta).
struct ComputedTime {
    std::string text;
    bool hadReference = false;
};
ComputedTime compute_packet_irig_time(const ch10::PacketHeader& header);

// Looks back from currentOffset for a time packet of `group` (any group
// when `anyGroup`) and refreshes every reference it passes. The backward
// channel walk of the browse calls answers here; until it is built no
// reference is found.
void FindReferenceBackward(uint16_t group, bool anyGroup);

std::string ipts_to_irig_text(uint64_t stamp);
// Time-tag modes of the 1553 word: 0 last bit of last word, 1 first bit of
// first word, 2 last bit of first command word, 3 the raw stamp.
std::string time_1553_message(uint64_t stamp, int wordCount, int timeTagMode, uint16_t gapWord, bool rtToRt);
// The same texts written at `o` (room for kUsecTimeRoom bytes); return their end.
char* put_ipts_time(char* o, uint64_t stamp);
char* put_1553_message_time(char* o, uint64_t stamp, int wordCount, int timeTagMode, uint16_t gapWord, bool rtToRt);

// Marks every group without a reference (the ABS request).
void ClearTimeReferenceFlags();
// The player's reset of references and packet-time memory.
void ResetTimeReferences();
// The next printed packet shows no delta time.
void ClearPacketTimeMemory();

}  // namespace sandral
