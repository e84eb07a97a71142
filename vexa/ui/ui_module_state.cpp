#include "vexa/ui/ui_module_state.h"

namespace vexa {

UiModuleState& UiState() {
    static UiModuleState state;
    return state;
}

}  // namespace vexa
