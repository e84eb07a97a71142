#include "vexa/ui/ui_module_state.h"

#include "platform/process.h"

namespace vexa {

bool LaunchProgram(const std::vector<std::string>& argv) { return platform::launch(argv).started; }

UiModuleState& UiState() {
    static UiModuleState state;
    return state;
}

}  // namespace vexa
