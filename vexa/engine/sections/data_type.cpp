// Data type against the data-type table and the TMATS channels, with the
// per-channel statistics and efficiencies.
#include "vexa/engine/check_sections.h"
#include "vexa/engine/run_context.h"

namespace vexa {

SectionResult CheckDataType(RunContext& run, PacketContext& ctx, NoState&) {
    StreamEnv env = run.StreamEnvironment();
    return CheckDataTypeAndTmats(run.streamRules, env, ctx);
}

}  // namespace vexa
