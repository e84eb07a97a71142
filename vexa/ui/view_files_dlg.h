#pragma once
// "View Files" (template 158): one row per source of a directory run with
// its output (mode 0) or summary (mode 1) file and size; the selected rows
// open in the text viewer.
#include "platform/ui/dialog.h"

namespace vexa {

class CRunConfig;

class CViewFilesDlg : public ui::Dialog {
public:
    CViewFilesDlg(int mode, ui::Window* parent, const CRunConfig& config);

    bool OnInitDialog() override;
    // Opens the selected rows (none: no message), then ends the dialog.
    void OnOK() override;

    int ViewMode() const { return viewMode_; }

private:
    // Opens every selected row's file in list order; false when none is selected.
    bool OpenSelected();

    int viewMode_;
    const CRunConfig& config_;
};

}  // namespace vexa
