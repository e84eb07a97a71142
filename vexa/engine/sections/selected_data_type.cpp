// The selected channel's data type text, shown before the slot's first
// packet has completed.
#include "vexa/engine/check_sections.h"
#include "vexa/engine/run_context.h"

namespace vexa {

SectionResult ShowSelectedDataType(RunContext& run, PacketContext& ctx, NoState&) {
    const StreamEnv& env = run.StreamEnvironment();
    ShowDataTypeText(run.streamRules, env, ctx, ctx.channelSeen);
    return SectionResult::Continue;
}

}  // namespace vexa
