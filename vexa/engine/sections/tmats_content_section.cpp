// The TMATS content file of a setup record.
#include "vexa/engine/check_sections.h"
#include "vexa/engine/run_context.h"

namespace vexa {

// SkipRest when the file cannot be opened: the message is posted through the
// host and the frame consumes the packet without its remaining steps.
SectionResult WriteTmatsContentFile(RunContext& run, PacketContext& ctx, NoState&) {
    StreamEnv& env = run.StreamEnvironment();
    return WriteTmatsContent(run.streamRules, env, ctx);
}

}  // namespace vexa
