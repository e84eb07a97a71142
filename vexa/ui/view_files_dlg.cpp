#include "vexa/ui/view_files_dlg.h"

#include "platform/ui/services.h"
#include "vexa/engine/run_config.h"
#include "vexa/res/resource_ids.h"
#include "vexa/ui/text_viewer.h"

namespace vexa {

CViewFilesDlg::CViewFilesDlg(int mode, ui::Window* parent, const CRunConfig& config)
    : ui::Dialog(res::kIddViewFiles, parent), viewMode_(mode), config_(config) {
    OnNotify(ui::Notify::Clicked, res::kIdcViewSelected, [this] {
        if (!OpenSelected()) ui::AppMessageBox("No files were selected!");
    });
}

bool CViewFilesDlg::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    const int list = res::kIdcFileList;
    ListInsertColumn(list, 0, "Filename", ui::ColumnAlign::Left, 1000);
    ListInsertColumn(list, 1, "Size", ui::ColumnAlign::Right, 65);
    if (viewMode_ == 0) SetTitle("View Output Files");
    else if (viewMode_ == 1) SetTitle("View Summary Files");
    for (const FileListRow& row : config_.FillFileList(viewMode_)) {
        int at = ListInsert(list, ListCount(list), row.name);
        ListSetItem(list, at, 1, row.size);
    }
    return true;
}

void CViewFilesDlg::OnOK() {
    OpenSelected();
    ui::Dialog::OnOK();
}

bool CViewFilesDlg::OpenSelected() {
    const int list = res::kIdcFileList;
    std::vector<int> rows = ListSelection(list);
    for (int row : rows) ShowTextFile(ListItem(list, row, 0));
    return !rows.empty();
}

}  // namespace vexa
