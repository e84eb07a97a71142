#include "platform/ui/dialog.h"

#include "platform/ui/app.h"
#include "platform/ui/backend.h"

namespace ui {

int Dialog::DoModal() {
    const DialogTemplate* tmpl = CurrentResources().Dialog(templateId_);
    Backend* backend = CurrentBackend();
    if (tmpl == nullptr || backend == nullptr) return -1;
    ended_ = false;
    CreateControls(*tmpl);
    OnInitDialog();
    // OnInitDialog may end the dialog before it is shown.
    int code = ended_ ? endCode_ : backend->RunModal(*this);
    if (ended_) code = endCode_;
    Destroy();
    return code;
}

void Dialog::EndDialog(int code) {
    ended_ = true;
    endCode_ = code;
}

bool Dialog::UpdateData(bool save) {
    DataExchange dx(*this, save);
    DoDataExchange(dx);
    return true;
}

bool Dialog::OnInitDialog() {
    UpdateData(false);
    CenterWindow();
    return true;
}

void Dialog::OnOK() {
    UpdateData(true);
    EndDialog(kIdOk);
}

void Dialog::OnCancel() { EndDialog(kIdCancel); }

void Dialog::ButtonClicked(int id) {
    if (id == kIdOk)
        OnOK();
    else if (id == kIdCancel)
        OnCancel();
    else
        RaiseNotify(Notify::Clicked, id);
}

void Dialog::PressEnter() {
    for (const auto& [id, c] : Controls())
        if (c.Has(kDefault) && (c.kind == ControlKind::PushButton || c.kind == ControlKind::IconButton)) {
            if (c.Usable()) ButtonClicked(id);
            return;
        }
    OnOK();
}

}  // namespace ui
