#pragma once
// The wx module's own module-wide state. The module binds to the window
// layer of the program that loads it, whose state is the layer's
// (ui::State()); what is the back end's alone lives here, with one reset.
#include <memory>
#include <optional>

#include "platform/ui/backend.h"

namespace ui {

class ScriptRunner;

struct WxModuleState {
    std::unique_ptr<ScriptRunner> script;  // the running window script, if any
    // Measured once from the face the controls are drawn in.
    std::optional<Size> dialogBaseUnits;
};

WxModuleState& WxState();
// Stops the script and forgets the measured units.
void ResetWxState();

}  // namespace ui
