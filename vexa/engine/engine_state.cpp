#include "vexa/engine/engine_state.h"

namespace vexa {
EngineState& Engine() {
    static EngineState state;
    return state;
}
}  // namespace vexa
