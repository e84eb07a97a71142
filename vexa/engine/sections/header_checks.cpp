// The header-check step of packets of interest, its store at the end of
// every packet, and the selected channel's data type text.
#include "vexa/engine/check_sections.h"
#include "vexa/engine/header_checks.h"
#include "vexa/engine/stream_rules.h"
#include "vexa/engine/validation_engine.h"

namespace vexa {

SectionResult ShowSelectedDataType(ValidationEngine& engine, PacketContext& ctx) {
    const StreamEnv env = engine.StreamEnvironment();
    ShowDataTypeText(engine.streamRules, env, ctx, engine.ChannelSeen(ctx.slot));
    return SectionResult::Continue;
}

SectionResult CheckHeader(ValidationEngine& engine, PacketContext& ctx) {
    HeaderSectionState& s = engine.headerSection;
    std::optional<uint8_t> previous;
    if (engine.ChannelSeen(ctx.slot)) previous = s.SequenceRecord(ctx.slot, ctx.group, ctx.header.dataType);
    const HeaderCheckInput in{.header = ctx.header,
                              .view = ctx.view,
                              .slot = ctx.slot,
                              .previousSequence = previous,
                              .fileDataVersion = engine.streamRules.fileDataVersion};
    const HeaderCheckMarks marks = RunHeaderChecks(engine.Errors(), in, *ctx.findings);
    s.recordedDataChecksum[static_cast<std::size_t>(ctx.slot)] = marks.recordedChecksum;
    engine.listingInput.hdrChecksumFailed = marks.headerChecksumFailed;
    engine.listingInput.dataChecksumFailed = marks.dataChecksumFailed;
    engine.listingInput.recordedDataChecksum = marks.recordedChecksum;
    return SectionResult::Continue;
}

// Every packet that reaches the end, checked or not, becomes the previous
// one of its record.
void StoreHeaderSequence(ValidationEngine& engine, const PacketContext& ctx) {
    engine.headerSection.SequenceRecord(ctx.slot, ctx.group, ctx.header.dataType) = ctx.header.sequence;
}

void ResetHeaderSection(ValidationEngine& engine) { engine.headerSection.Reset(); }

}  // namespace vexa
