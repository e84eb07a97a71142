#include "vexa/ui/view_output_file_dlg.h"

#include <array>
#include <mutex>

#include "platform/ui/services.h"
#include "vexa/engine/run_outputs.h"
#include "vexa/res/resource_ids.h"
#include "vexa/ui/text_viewer.h"

namespace vexa {

CViewOutputFileDlg::CViewOutputFileDlg(ui::Window* parent, const RunOutputs& outputs)
    : ui::Dialog(res::kIddViewOutputFile, parent), outputs_(outputs) {
    const int combo = res::kIdcOutputChooser;
    OnNotify(ui::Notify::DropDown, combo, [this] { FillNames(); });
    for (ui::Notify typed : {ui::Notify::EditChange, ui::Notify::EditUpdate})
        OnNotify(typed, combo, [this] {
            UpdateData(true);
            chosenName_ = comboText_;
        });
    OnNotify(ui::Notify::SelChange, combo, [this] { OnSelChange(); });
    OnNotify(ui::Notify::Clicked, res::kIdcOutputChooserOpen, [this] { OnOpenChosen(); });
}

bool CViewOutputFileDlg::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    FillNames();
    CenterWindow();
    return true;
}

void CViewOutputFileDlg::DoDataExchange(ui::DataExchange& dx) { dx.ComboText(res::kIdcOutputChooser, comboText_); }

void CViewOutputFileDlg::ButtonClicked(int id) {
    if (id == res::kIdcOutputChooserCancel)
        OnOK();
    else
        ui::Dialog::ButtonClicked(id);
}

void CViewOutputFileDlg::FillNames() {
    // One copy under the lock: the processor names listings as it opens them.
    std::array<std::string, kListingSlots + 1> names;
    {
        std::lock_guard lock(outputs_.namesLock);
        names = outputs_.listingNames;
    }
    const int combo = res::kIdcOutputChooser;
    ComboReset(combo);
    for (const std::string& name : names)
        if (!name.empty()) ComboAdd(combo, name);
    ComboSelect(combo, 0);
    chosenName_ = GetText(combo).value_or("");
}

void CViewOutputFileDlg::OnSelChange() {
    const int combo = res::kIdcOutputChooser;
    UpdateData(true);
    chosenName_ = comboText_;
    // The window text may still be the old one here: the entry tells.
    comboText_ = GetText(combo).value_or("");
    const int selected = ComboSelection(combo);
    if (selected >= 0) {
        std::string entry = ComboEntry(combo, selected);
        if (!entry.empty()) chosenName_ = entry;
    }
}

void CViewOutputFileDlg::OnOpenChosen() {
    if (chosenName_.empty()) {
        ui::AppMessageBox("Error opening output log file");
        return;
    }
    ShowTextFile(chosenName_);
}

}  // namespace vexa
