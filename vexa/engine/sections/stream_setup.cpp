// Stream start and setup-record rules.
#include "vexa/engine/check_sections.h"
#include "vexa/engine/validation_engine.h"

namespace vexa {

SectionResult CheckStreamAndSetup(ValidationEngine& engine, PacketContext& ctx) {
    StreamEnv env = engine.StreamEnvironment();
    return CheckStreamStart(engine.streamRules, env, ctx);
}

// The data file version, TMATS revision and table rows outlive the run; the
// index chain has its own start (CheckIndexSetup).
void ResetStreamSetupSection(ValidationEngine& engine) { engine.streamRules.ResetRun(); }

}  // namespace vexa
