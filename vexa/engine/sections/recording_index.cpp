// Recording-index rules: root and node index packets, and the run's start
// and end checks on the index as a whole.
#include "vexa/engine/check_sections.h"
#include "vexa/engine/validation_engine.h"

namespace vexa {

SectionResult CheckRecordingIndex(ValidationEngine& engine, PacketContext& ctx) {
    StreamEnv env = engine.StreamEnvironment();
    return CheckRecordingIndexPacket(engine.streamRules, env, ctx);
}

void CheckIndexSetup(ValidationEngine& engine) {
    StreamEnv env = engine.StreamEnvironment();
    IndexSetup(engine.streamRules, env);
}

void CheckIndexAtEnd(ValidationEngine& engine) {
    StreamEnv env = engine.StreamEnvironment();
    IndexAtEnd(engine.streamRules, env, engine.LastPacketSlot());
}

// The index chain lives from the processor's start to the end of the data:
// CheckIndexSetup resets it, the run reset does not.
void ResetRecordingIndexSection(ValidationEngine&) {}

}  // namespace vexa
