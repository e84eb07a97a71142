// Stream start and setup-record rules.
#include "vexa/engine/check_sections.h"
#include "vexa/engine/run_context.h"

namespace vexa {

SectionResult CheckStreamAndSetup(RunContext& run, PacketContext& ctx, NoState&) {
    StreamEnv& env = run.StreamEnvironment();
    return CheckStreamStart(run.streamRules, env, ctx);
}

// The data file version, TMATS revision and table rows outlive the run; the
// index chain has its own start (CheckIndexSetup).
void ResetStreamSetupSection(RunContext& run, NoState&) { run.streamRules.ResetRun(); }

}  // namespace vexa
