#include "platform/ui/frame.h"

#include "platform/ui/app.h"
#include "platform/ui/backend.h"

namespace ui {

Frame::Frame() {
    OnCommand(kIdAppExit, [this] { Close(); });
    OnCommand(kIdViewToolbar, [this] {
        toolbar_.visible = !toolbar_.visible;
        Changed(0);
    });
    OnUpdateCommand(kIdViewToolbar, [this](CmdUi& ui) { ui.SetCheck(toolbar_.visible); });
    OnCommand(kIdViewStatusBar, [this] {
        status_.visible = !status_.visible;
        Changed(0);
    });
    OnUpdateCommand(kIdViewStatusBar, [this](CmdUi& ui) { ui.SetCheck(status_.visible); });
}

bool Frame::PreCreateWindow(CreateStruct& cs) {
    Size screen = CurrentBackend() != nullptr ? CurrentBackend()->ScreenSize() : Size{};
    if (cs.cx == 0) cs.cx = screen.cx;
    if (cs.cy == 0) cs.cy = screen.cy;
    return true;
}

int Frame::OnCreate(const CreateStruct&) { return 0; }

bool Frame::CreateToolbar(int resourceId) {
    const ToolbarTemplate* tmpl = CurrentResources().Toolbar(resourceId);
    Backend* b = CurrentBackend();
    if (tmpl == nullptr || b == nullptr || !b->CreateBar(*this, BarKind::Toolbar)) return false;
    toolbar_ = Toolbar{};
    for (int id : tmpl->buttons) toolbar_.buttons.push_back(BarButton{id, false, false});
    toolbar_.created = toolbar_.visible = true;
    return true;
}

bool Frame::CreateStatusBar(const std::vector<std::string>& indicators) {
    Backend* b = CurrentBackend();
    if (b == nullptr || !b->CreateBar(*this, BarKind::StatusBar)) return false;
    status_ = StatusBar{};
    status_.panes = indicators;
    status_.created = status_.visible = true;
    return true;
}

void Frame::SetMessageText(const std::string& text) {
    if (status_.panes.empty()) return;
    status_.panes[0] = text;
    status_.promptShown = false;
    Changed(0);
}

void Frame::ShowPrompt(int id) {
    if (status_.panes.empty()) return;
    std::string_view s = CurrentResources().String(id);
    status_.panes[0] = std::string(s.substr(0, s.find('\n')));
    status_.promptShown = true;
    Changed(0);
}

std::vector<CmdTarget*> Frame::Chain() {
    std::vector<CmdTarget*> chain;
    if (view_ != nullptr && !view_->Destroyed()) chain.push_back(view_);
    if (doc_ != nullptr) chain.push_back(doc_);
    chain.push_back(this);
    if (CurrentApp() != nullptr) chain.push_back(CurrentApp());
    return chain;
}

CmdUi Frame::UpdateCommand(int id) {
    CmdUi ui;
    ui.id = id;
    auto chain = Chain();
    for (CmdTarget* t : chain)
        if (t->HasUpdate(id)) {
            ui.enabled = true;
            t->RunUpdate(ui);
            return ui;
        }
    ui.enabled = false;
    for (CmdTarget* t : chain)
        if (t->HasCommand(id)) ui.enabled = true;
    return ui;
}

bool Frame::DispatchCommand(int id) {
    if (closed_ || !UpdateCommand(id).enabled) return false;
    for (CmdTarget* t : Chain())
        if (t->RunCommand(id)) return true;
    return false;
}

std::vector<MenuEntry> Frame::OpenMenu(int index) {
    std::vector<MenuEntry> entries;
    const MenuTemplate* menu = CurrentResources().Menu(menuId_);
    if (menu == nullptr || index < 0 || index >= static_cast<int>(menu->bar.size())) return entries;
    for (const MenuItem& item : menu->bar[static_cast<size_t>(index)].popup) {
        MenuEntry e;
        e.id = item.id;
        e.text = std::string(item.text);
        if (item.id != 0) {
            CmdUi ui = UpdateCommand(item.id);
            e.enabled = ui.enabled;
            e.checked = ui.checked;
        }
        entries.push_back(std::move(e));
    }
    return entries;
}

void Frame::OnIdle() {
    if (closed_) return;
    bool changed = false;
    for (BarButton& b : toolbar_.buttons) {
        if (b.id == 0) continue;
        CmdUi ui = UpdateCommand(b.id);
        changed = changed || b.enabled != ui.enabled || b.checked != ui.checked;
        b.enabled = ui.enabled;
        b.checked = ui.checked;
    }
    if (!status_.panes.empty() && (status_.promptShown || status_.panes[0].empty())) {
        status_.panes[0] = std::string(CurrentResources().String(kIdsIdleMessage));
        status_.promptShown = false;
        changed = true;
    }
    if (changed) Changed(0);
}

void Frame::Close() {
    if (closed_) return;
    if (canClose && !canClose()) return;
    closed_ = true;
    if (App* app = CurrentApp(); app != nullptr && app->MainFrame() == this)
        app->CloseMainWindow();
    else
        Destroy();
}

}  // namespace ui
