// sandral's module state: the browsed recording and the player join here as
// they are built.
namespace sandral {
struct SandralState {};
SandralState& State() {
    static SandralState state;
    return state;
}
}  // namespace sandral
