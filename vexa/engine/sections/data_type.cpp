// Data type against the data-type table and the TMATS channels, with the
// per-channel statistics and efficiencies, and the time section's counter
// step at its place among them.
#include "vexa/engine/check_sections.h"
#include "vexa/engine/run_context.h"

namespace vexa {

SectionResult CheckDataType(RunContext& run, PacketContext& ctx, TimeSectionState& time) {
    StreamEnv& env = run.StreamEnvironment();
    env.rtcStep = [&run, &time](PacketContext& c) { StepRelativeTime(run, c, time); };
    const SectionResult r = CheckDataTypeAndTmats(run.streamRules, env, ctx);
    run.listingInput.dataTypeName = run.streamRules.currentDataTypeName;
    run.listingInput.slotPacketCount = run.streamRules.slots[static_cast<std::size_t>(ctx.slot)].packetCount;
    return r;
}

}  // namespace vexa
