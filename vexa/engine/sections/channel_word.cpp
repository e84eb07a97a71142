// Channel-specific data word checks of packets of interest.
#include "vexa/engine/channel_word_checks.h"
#include "vexa/engine/check_sections.h"
#include "vexa/engine/finding_list.h"
#include "vexa/engine/run_context.h"

namespace vexa {

SectionResult CheckChannelWord(RunContext& run, PacketContext& ctx, TimeSectionState& time) {
    const FindingList f =
        CheckChannelSpecificWord(time.stamps, {.header = ctx.header, .view = ctx.view, .slot = ctx.slot});
    RaiseFindings(run.errors, ctx.slot, f, *ctx.findings);
    return SectionResult::Continue;
}

// The per-slot message times go with the time section's reset.
void ResetChannelWordSection(RunContext&, NoState&) {}

}  // namespace vexa
