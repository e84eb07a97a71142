// Data type against the data-type table and the TMATS channels, with the
// per-channel statistics and efficiencies.
#include "vexa/engine/check_sections.h"
#include "vexa/engine/validation_engine.h"

namespace vexa {

SectionResult CheckDataType(ValidationEngine& engine, PacketContext& ctx) {
    StreamEnv env = engine.StreamEnvironment();
    return CheckDataTypeAndTmats(engine.streamRules, env, ctx);
}

// The per-slot statistics go with the stream section's run reset.
void ResetDataTypeSection(ValidationEngine&) {}

}  // namespace vexa
