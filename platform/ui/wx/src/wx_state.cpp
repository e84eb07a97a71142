#include "wx_state.h"

#include "ui_script.h"

namespace ui {

WxModuleState& WxState() {
    static WxModuleState state;
    return state;
}

void ResetWxState() {
    WxModuleState& s = WxState();
    s.script.reset();
    s.dialogBaseUnits.reset();
}

}  // namespace ui
