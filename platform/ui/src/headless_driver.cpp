#include "platform/ui/app.h"
#include "platform/ui/headless.h"
#include "platform/ui/post_queue.h"

namespace ui {

Control* Driver::Usable(Window& w, int id) {
    Control* c = w.Find(id);
    return (c != nullptr && c->Usable() && !w.Destroyed()) ? c : nullptr;
}

bool Driver::Click(Window& w, int id) {
    Control* c = Usable(w, id);
    if (c == nullptr) return false;
    switch (c->kind) {
        case ControlKind::CheckBox:
            c->checked = !c->checked;
            break;
        case ControlKind::Radio:
            c->checked = true;
            break;
        case ControlKind::PushButton:
        case ControlKind::IconButton:
            break;
        default:
            return false;
    }
    w.ButtonClicked(id);
    return true;
}

bool Driver::Type(Window& w, int id, const std::string& text) {
    Control* c = Usable(w, id);
    if (c == nullptr || c->Has(kReadOnly)) return false;
    bool editable = c->kind == ControlKind::Edit || (c->kind == ControlKind::Combo && !c->Has(kDropDownList));
    if (!editable || !EditAccepts(*c, text)) return false;
    c->text = text;
    if (c->kind == ControlKind::Combo) c->selection = ComboFindExact(*c, text);
    w.RaiseNotify(Notify::EditChange, id);
    return true;
}

bool Driver::SelectCombo(Window& w, int id, int index) {
    Control* c = Usable(w, id);
    if (c == nullptr || c->kind != ControlKind::Combo || index < 0 ||
        index >= static_cast<int>(c->entries.size()))
        return false;
    w.ComboSelect(id, index);
    w.RaiseNotify(Notify::SelChange, id);
    return true;
}

bool Driver::DropDown(Window& w, int id) {
    Control* c = Usable(w, id);
    if (c == nullptr || c->kind != ControlKind::Combo) return false;
    w.RaiseNotify(Notify::DropDown, id);
    return true;
}

bool Driver::SelectListRow(Window& w, int id, int row, bool addToSelection) {
    Control* c = Usable(w, id);
    if (c == nullptr || c->kind != ControlKind::ReportList || row < 0 || row >= static_cast<int>(c->rows.size()))
        return false;
    if (!addToSelection || !c->Has(kMultiSelect)) std::fill(c->rowSelected.begin(), c->rowSelected.end(), false);
    c->rowSelected[static_cast<size_t>(row)] = true;
    w.RaiseNotify(Notify::SelChange, id);
    return true;
}

bool Driver::ExpandTree(Window& w, int id, TreeHandle item) {
    Control* c = Usable(w, id);
    if (c == nullptr || c->kind != ControlKind::Tree || c->tree.count(item) == 0) return false;
    // A user's expand asks the window every time.
    if (!w.RaiseTreeExpanding(id, item)) return false;
    c = w.Find(id);
    if (c == nullptr || c->tree.count(item) == 0) return false;
    c->tree[item].everExpanded = c->tree[item].expanded = true;
    return true;
}

bool Driver::SelectTree(Window& w, int id, TreeHandle item) {
    Control* c = Usable(w, id);
    if (c == nullptr || c->kind != ControlKind::Tree || c->tree.count(item) == 0) return false;
    c->treeSelection = item;
    w.RaiseNotify(Notify::TreeSelChanged, id);
    return true;
}

bool Driver::Focus(Window& w, int id) { return w.SetFocus(id); }

Frame* Driver::MainFrame() const {
    App* app = CurrentApp();
    return app != nullptr ? app->MainFrame() : nullptr;
}

bool Driver::Command(int id) {
    Frame* f = MainFrame();
    if (f == nullptr || !f->UpdateCommand(id).enabled) return false;
    f->ShowPrompt(id);
    return f->DispatchCommand(id);
}

std::vector<MenuEntry> Driver::OpenMenu(int index) {
    Frame* f = MainFrame();
    return f != nullptr ? f->OpenMenu(index) : std::vector<MenuEntry>{};
}

bool Driver::ChooseMenu(int index, int id) {
    for (const MenuEntry& e : OpenMenu(index))
        if (e.id == id && id != 0) return e.enabled && Command(id);
    return false;
}

void Driver::Idle() {
    if (Frame* f = MainFrame()) f->OnIdle();
}

bool Driver::FireTimer(Window& w, int id) {
    if (w.Destroyed() || !w.HasTimer(id)) return false;
    w.RaiseTimer(id);
    return true;
}

int Driver::Pump() { return PumpPosts(); }

int Driver::PumpWait(std::chrono::milliseconds timeout) { return PumpPostsWait(timeout); }

}  // namespace ui
