#include "vexa/engine/check_sections.h"

namespace vexa {

namespace {

// Adapters from a section's own state to the rows' common signature.
template <typename State, SectionResult (*Fn)(RunContext&, PacketContext&, State&)>
SectionResult Check(RunContext& run, PacketContext& ctx, SectionStates& states) {
    return Fn(run, ctx, states.Of<State>());
}
template <typename State, typename Read,
          SectionResult (*Fn)(RunContext&, PacketContext&, State&, const Read&)>
SectionResult CheckReading(RunContext& run, PacketContext& ctx, SectionStates& states) {
    return Fn(run, ctx, states.Of<State>(), states.Of<Read>());
}
template <typename State, void (*Fn)(RunContext&, const PacketContext&, State&)>
void Store(RunContext& run, const PacketContext& ctx, SectionStates& states) {
    Fn(run, ctx, states.Of<State>());
}
template <typename State, void (*Fn)(RunContext&, State&)>
void Reset(RunContext& run, SectionStates& states) {
    Fn(run, states.Of<State>());
}

using S = SectionStage;
using H = HeaderSectionState;
using T = TimeSectionState;
using P = PreviousPacketState;

constexpr SectionRow kRows[] = {
    {"stream and setup record", S::BeforeScanExit, Check<NoState, CheckStreamAndSetup>, nullptr,
     Reset<NoState, ResetStreamSetupSection>},
    // The index chain lives from the processor's start to the end of the
    // data (CheckIndexSetup), not from the run reset.
    {"recording index", S::BeforeScanExit, Check<NoState, CheckRecordingIndex>, nullptr, nullptr},
    // The per-slot statistics go with the stream section's run reset.
    {"data type", S::BeforeScanExit, Check<T, CheckDataType>, nullptr, nullptr},
    // Rewritten at every qualifying setup record: nothing to reset.
    {"TMATS content file", S::BeforeScanExit, Check<NoState, WriteTmatsContentFile>, nullptr, nullptr},
    {"time correlation", S::BeforeScanExit, CheckReading<T, P, CorrelateTime>, nullptr, Reset<T, ResetTimeSection>},
    {"previous packet", S::BeforeScanExit, Check<P, LookUpPreviousPacket>, Store<P, StorePreviousPacket>,
     Reset<P, ResetPreviousPacketSection>},
    {"selected data type", S::BeforeInterestExit, Check<NoState, ShowSelectedDataType>, nullptr, nullptr},
    {"time packet", S::OfInterest, CheckReading<T, P, CheckTimePacket>, Store<NoState, StoreLastTimeTexts>, nullptr},
    {"header", S::OfInterest, Check<H, CheckHeader>, Store<H, StoreHeaderSequence>, Reset<H, ResetHeaderSection>},
    {"channel word", S::OfInterest, Check<T, CheckChannelWord>, nullptr, Reset<NoState, ResetChannelWordSection>},
    {"differs from previous", S::OfInterest, Check<P, CheckDiffersFromPrevious>, nullptr, nullptr},
    {"summary file", S::RunOnly, nullptr, nullptr, Reset<NoState, ResetSummarySection>},
};

}  // namespace

std::span<const SectionRow> SectionRows() { return kRows; }

}  // namespace vexa
