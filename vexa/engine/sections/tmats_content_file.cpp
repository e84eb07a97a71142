// The TMATS content file of a setup record.
#include "vexa/engine/check_sections.h"
#include "vexa/engine/validation_engine.h"

namespace vexa {

// SkipRest when the file cannot be opened: the message is posted through the
// host and the frame consumes the packet without its remaining steps.
SectionResult WriteTmatsContentFile(ValidationEngine& engine, PacketContext& ctx) {
    StreamEnv env = engine.StreamEnvironment();
    return WriteTmatsContent(engine.streamRules, env, ctx);
}

// Nothing of its own: the file is rewritten at every qualifying setup record.
void ResetTmatsContentSection(ValidationEngine&) {}

}  // namespace vexa
