#pragma once
// "View Output Files" (template 153): a Space Delimited run's per-channel
// listings and its "TMATS" file in a sorted combo; "OK" opens the chosen one
// and the dialog stays for the next.
#include <string>

#include "platform/ui/dialog.h"

namespace vexa {

struct RunOutputs;

class CViewOutputFileDlg : public ui::Dialog {
public:
    // The names are read from `outputs`, which the run's processor may be
    // adding to while the dialog is open.
    CViewOutputFileDlg(ui::Window* parent, const RunOutputs& outputs);

    bool OnInitDialog() override;
    void DoDataExchange(ui::DataExchange& dx) override;
    // Button 8 ends the dialog through OK processing.
    void ButtonClicked(int id) override;

    const std::string& ComboText() const { return comboText_; }
    const std::string& ChosenName() const { return chosenName_; }

private:
    void FillNames();
    void OnSelChange();
    void OnOpenChosen();

    const RunOutputs& outputs_;
    std::string comboText_;
    std::string chosenName_;
};

}  // namespace vexa
