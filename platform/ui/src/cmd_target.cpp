#include "platform/ui/cmd_target.h"

namespace ui {

bool CmdTarget::RunCommand(int id) {
    auto it = commands_.find(id);
    if (it == commands_.end()) return false;
    auto fn = it->second;  // the handler may replace the map's entry
    fn();
    return true;
}

bool CmdTarget::RunUpdate(CmdUi& ui) {
    auto it = updates_.find(ui.id);
    if (it == updates_.end()) return false;
    auto fn = it->second;
    fn(ui);
    return true;
}

}  // namespace ui
