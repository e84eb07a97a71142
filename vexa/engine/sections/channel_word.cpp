// Channel-specific data word checks of packets of interest.
#include "ch10/data_type.h"
#include "vexa/engine/channel_word_checks.h"
#include "vexa/engine/check_sections.h"
#include "vexa/engine/finding_list.h"
#include "vexa/engine/run_context.h"

namespace vexa {

SectionResult CheckChannelWord(RunContext& run, PacketContext& ctx, TimeSectionState& time) {
    // One pass over a 1553 packet's messages serves its body check as well.
    PacketListingInput& listing = run.listingInput;
    if (ctx.header.dataType == ch10::Code(ch10::DataType::Mil1553F1) && run.runConfig.validateBodies != 0 &&
        run.listing.bodyChecks)
        listing.bus1553Pass = run.listing.bodyChecks->Open1553Pass(listing);
    const FindingList f = CheckChannelSpecificWord(
        time.stamps, {.header = ctx.header,
                      .view = ctx.view,
                      .slot = ctx.slot,
                      .bus1553Body = listing.bus1553Pass ? &*listing.bus1553Pass : nullptr});
    RaiseFindings(run.errors, ctx.slot, f, *ctx.findings);
    return SectionResult::Continue;
}

// The per-slot message times go with the time section's reset.
void ResetChannelWordSection(RunContext&, NoState&) {}

}  // namespace vexa
