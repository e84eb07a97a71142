// Recording-index rules: root and node index packets, and the run's start
// and end checks on the index as a whole.
#include "vexa/engine/check_sections.h"
#include "vexa/engine/run_context.h"

namespace vexa {

SectionResult CheckRecordingIndex(RunContext& run, PacketContext& ctx, NoState&) {
    StreamEnv& env = run.StreamEnvironment();
    return CheckRecordingIndexPacket(run.streamRules, env, ctx);
}

bool CheckIndexSetup(RunContext& run) {
    StreamEnv& env = run.StreamEnvironment();
    return IndexSetup(run.streamRules, env);
}

bool CheckIndexAtEnd(RunContext& run) {
    StreamEnv& env = run.StreamEnvironment();
    return IndexAtEnd(run.streamRules, env, run.lastPacketSlot);
}

}  // namespace vexa
