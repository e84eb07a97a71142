#pragma once
// The validation engine's module-wide state joins here as it is built.
namespace vexa {
struct EngineState {};
EngineState& Engine();
}  // namespace vexa
