// The header-check step of packets of interest and its store at the end of
// every packet.
#include "vexa/engine/check_sections.h"
#include "vexa/engine/header_checks.h"
#include "vexa/engine/run_context.h"

namespace vexa {

SectionResult CheckHeader(RunContext& run, PacketContext& ctx, HeaderSectionState& s) {
    std::optional<uint8_t> previous;
    if (ctx.channelSeen) previous = s.SequenceRecord(ctx.slot, ctx.group, ctx.header.dataType);
    const HeaderCheckInput in{.header = ctx.header,
                              .view = ctx.view,
                              .slot = ctx.slot,
                              .previousSequence = previous,
                              .fileDataVersion = run.streamRules.fileDataVersion};
    const HeaderCheckMarks marks = RunHeaderChecks(run.errors, in, *ctx.findings);
    s.recordedDataChecksum[static_cast<std::size_t>(ctx.slot)] = marks.recordedChecksum;
    run.listingInput.hdrChecksumFailed = marks.headerChecksumFailed;
    run.listingInput.dataChecksumFailed = marks.dataChecksumFailed;
    run.listingInput.recordedDataChecksum = marks.recordedChecksum;
    return SectionResult::Continue;
}

// Every packet that reaches the end, checked or not, becomes the previous
// one of its record.
void StoreHeaderSequence(RunContext&, const PacketContext& ctx, HeaderSectionState& s) {
    s.SequenceRecord(ctx.slot, ctx.group, ctx.header.dataType) = ctx.header.sequence;
}

void ResetHeaderSection(RunContext&, HeaderSectionState& s) { s.Reset(); }

}  // namespace vexa
