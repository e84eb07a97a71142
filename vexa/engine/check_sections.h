#pragma once
// The check sections the frame runs on every accepted packet, in their fixed
// order, and the run-level hooks around them. Each section lives in its own
// file under sections/ and keeps its own state with its own reset; the frame
// only walks these lists, so a section is filled in without touching it.
//
// Packet order:
//   1 stream start and setup record      2 recording index
//   3 data type against table and TMATS  4 TMATS content file
//   5 time correlation, previous-packet look-up
//   -- scanning exit --
//   6 selected channel's data type text
//   -- not-of-interest exit --
//   7 time packet, header, channel-specific word, differs-from-previous
//   then the listing step with its body checks, then the end-of-packet store.
#include <span>

#include "vexa/engine/packet_context.h"

namespace vexa {

class ValidationEngine;

using PacketHook = SectionResult (*)(ValidationEngine& engine, PacketContext& ctx);
using EndOfPacketHook = void (*)(ValidationEngine& engine, const PacketContext& ctx);
using ResetHook = void (*)(ValidationEngine& engine);

// 1. Stream start (Error 30), setup record (Errors 31-33, 80, file version).
SectionResult CheckStreamAndSetup(ValidationEngine& engine, PacketContext& ctx);
// 2. Recording index (Errors 155, 156, 162-165, index counts).
SectionResult CheckRecordingIndex(ValidationEngine& engine, PacketContext& ctx);
// 3. Data type against the data-type table and the TMATS, relative time
//    texts, packet efficiency.
SectionResult CheckDataType(ValidationEngine& engine, PacketContext& ctx);
// 4. TMATS content file of a setup record. SkipRest when it cannot be opened
//    (the section posts its own box).
SectionResult WriteTmatsContentFile(ValidationEngine& engine, PacketContext& ctx);
// 5. Time correlation, then the previous-packet look-up by data type.
SectionResult CorrelateTime(ValidationEngine& engine, PacketContext& ctx);
SectionResult LookUpPreviousPacket(ValidationEngine& engine, PacketContext& ctx);
// 6. Data type text of the selected channel.
SectionResult ShowSelectedDataType(ValidationEngine& engine, PacketContext& ctx);
// 7. Packets of interest only.
SectionResult CheckTimePacket(ValidationEngine& engine, PacketContext& ctx);
SectionResult CheckHeader(ValidationEngine& engine, PacketContext& ctx);
SectionResult CheckChannelWord(ValidationEngine& engine, PacketContext& ctx);
SectionResult CheckDiffersFromPrevious(ValidationEngine& engine, PacketContext& ctx);

// End of the packet: the slot's previous-packet record (and a time packet's
// reference per group), then the slot's last time texts and the sequence
// number the header checks compare with.
void StorePreviousPacket(ValidationEngine& engine, const PacketContext& ctx);
void StoreLastTimeTexts(ValidationEngine& engine, const PacketContext& ctx);
// The packet's sequence number as its record's previous one.
void StoreHeaderSequence(ValidationEngine& engine, const PacketContext& ctx);

// Run hooks.
void CheckIndexSetup(ValidationEngine& engine);  // processor start: Error 159
void CheckIndexAtEnd(ValidationEngine& engine);  // end of data: Errors 157, 160, 166
void WriteSummaryFile(ValidationEngine& engine); // finish path, while the log is open

// Per-section resets, called by ResetValidationState.
void ResetStreamSetupSection(ValidationEngine& engine);
void ResetRecordingIndexSection(ValidationEngine& engine);
void ResetDataTypeSection(ValidationEngine& engine);
void ResetTmatsContentSection(ValidationEngine& engine);
void ResetTimeSection(ValidationEngine& engine);  // every channel group's reference
void ResetPreviousPacketSection(ValidationEngine& engine);
void ResetHeaderSection(ValidationEngine& engine);
void ResetChannelWordSection(ValidationEngine& engine);
void ResetSummarySection(ValidationEngine& engine);

// The lists the frame walks.
std::span<const PacketHook> SectionsBeforeScanExit();     // 1-5
std::span<const PacketHook> SectionsBeforeInterestExit(); // 6
std::span<const PacketHook> SectionsOfInterest();         // 7
std::span<const EndOfPacketHook> EndOfPacketStore();
std::span<const ResetHook> SectionResets();

}  // namespace vexa
