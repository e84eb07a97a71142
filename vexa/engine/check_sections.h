#pragma once
// The check sections the frame runs on every accepted packet, as rows in
// their fixed order, and the run-level hooks around them. Each section lives
// in its own file under sections/ with its hooks and its reset; a section
// with state between packets names its state type in SectionStates. The
// frame walks the rows of each stage, so a section is added as one file and
// one row.
//
// Stages of a packet:
//   BeforeScanExit      stream start and setup record, recording index, data
//                       type against table and TMATS, TMATS content file,
//                       time correlation, previous-packet look-up
//   -- scanning exit --
//   BeforeInterestExit  the selected channel's data type text
//   -- not-of-interest exit --
//   OfInterest          time packet, header, channel-specific word,
//                       differs-from-previous
// then the listing step with its body checks, then every row's end-of-packet
// store in row order.
#include <span>
#include <tuple>

#include "vexa/engine/header_checks.h"
#include "vexa/engine/packet_context.h"
#include "vexa/engine/previous_packets.h"
#include "vexa/engine/summary_text.h"
#include "vexa/engine/time_checks.h"

namespace vexa {

struct RunContext;

// The state of sections that have none.
struct NoState {};

// What the sections keep between packets, one member per state type.
class SectionStates {
public:
    template <typename State>
    State& Of() { return std::get<State>(states_); }

private:
    std::tuple<NoState, HeaderSectionState, TimeSectionState, PreviousPacketState> states_;
};

enum class SectionStage { BeforeScanExit, BeforeInterestExit, OfInterest, RunOnly };

using PacketHook = SectionResult (*)(RunContext& run, PacketContext& ctx, SectionStates& states);
using EndOfPacketHook = void (*)(RunContext& run, const PacketContext& ctx, SectionStates& states);
using ResetHook = void (*)(RunContext& run, SectionStates& states);

struct SectionRow {
    const char* name;
    SectionStage stage;
    PacketHook check;             // none for a row with only a store or a reset
    EndOfPacketHook endOfPacket;  // none: nothing stored
    ResetHook reset;              // none: nothing to reset with the run
};

// The rows in their fixed order.
std::span<const SectionRow> SectionRows();

// Each section's hooks take the run, the packet and the section's own state;
// a section that reads another's state gets it read-only after its own.
SectionResult CheckStreamAndSetup(RunContext& run, PacketContext& ctx, NoState&);
void ResetStreamSetupSection(RunContext& run, NoState&);
SectionResult CheckRecordingIndex(RunContext& run, PacketContext& ctx, NoState&);
// The counter step inside it (Error 5) keeps the time section's highest
// counters.
SectionResult CheckDataType(RunContext& run, PacketContext& ctx, TimeSectionState& time);
SectionResult WriteTmatsContentFile(RunContext& run, PacketContext& ctx, NoState&);
// Error 5 against the group's highest counter, called by the data type
// section at its place.
void StepRelativeTime(RunContext& run, PacketContext& ctx, TimeSectionState& s);
SectionResult CorrelateTime(RunContext& run, PacketContext& ctx, TimeSectionState& s,
                            const PreviousPacketState& previous);
SectionResult CheckTimePacket(RunContext& run, PacketContext& ctx, TimeSectionState& s,
                              const PreviousPacketState& previous);
void StoreLastTimeTexts(RunContext& run, const PacketContext& ctx, NoState&);
void ResetTimeSection(RunContext& run, TimeSectionState& s);  // every channel group's values
SectionResult LookUpPreviousPacket(RunContext& run, PacketContext& ctx, PreviousPacketState& s);
SectionResult CheckDiffersFromPrevious(RunContext& run, PacketContext& ctx, PreviousPacketState& s);
void StorePreviousPacket(RunContext& run, const PacketContext& ctx, PreviousPacketState& s);
void ResetPreviousPacketSection(RunContext& run, PreviousPacketState& s);
SectionResult ShowSelectedDataType(RunContext& run, PacketContext& ctx, NoState&);
SectionResult CheckHeader(RunContext& run, PacketContext& ctx, HeaderSectionState& s);
// The packet's sequence number as its record's previous one.
void StoreHeaderSequence(RunContext& run, const PacketContext& ctx, HeaderSectionState& s);
void ResetHeaderSection(RunContext& run, HeaderSectionState& s);
// The 1553 message times it compares are the time section's.
SectionResult CheckChannelWord(RunContext& run, PacketContext& ctx, TimeSectionState& time);
void ResetChannelWordSection(RunContext& run, NoState&);
void ResetSummarySection(RunContext& run, NoState&);

// Run hooks.
// False when a finding line could not be written.
bool CheckIndexSetup(RunContext& run);  // processor start: Error 159
bool CheckIndexAtEnd(RunContext& run);  // end of data: Errors 157, 160, 166
// What the summary needs beyond the run context.
struct SummarySources {
    std::array<uint32_t, kChannelSlots> channelIds{};  // the frame's channel table
    std::string_view startTime;  // the time section's first and last time-packet texts
    std::string_view endTime;
    const PerSlot<Bus1553SlotState>* bus = nullptr;  // the body checks' message counts
    std::time_t now = 0;
};
// Finish path, while the log is open: 0 when written or when no log is
// open, -1 when the summary could not be opened or written.
int WriteSummaryFile(RunContext& run, const SummarySources& sources);

}  // namespace vexa
