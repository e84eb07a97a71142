#include "vexa/ui/channel_details_dlg.h"

#include <cstring>
#include <utility>

#include "platform/format.h"
#include "platform/ui/services.h"
#include "vexa/engine/validation_engine.h"
#include "vexa/res/resource_ids.h"
#include "vexa/ui/channel_sheet.h"

namespace vexa {
namespace {

constexpr const char* kProgramLabel = "Program Name: ";
constexpr const char* kTotalLabel = "Total Number of Channels: ";

// The sheet's calls on the dialog's grid.
class GridSheet : public SheetCalls {
public:
    GridSheet(ui::Window& window, int id) : window_(window), id_(id) {}
    void SetMaxRows(int rows) override { window_.SheetSetMaxRows(id_, rows); }
    void SetRow(int row) override { window_.SheetSetRow(id_, row); }
    void SetCol(int column) override { window_.SheetSetCol(id_, column); }
    void SetText(const std::string& text) override { window_.SheetSetText(id_, text); }

private:
    ui::Window& window_;
    int id_;
};

}  // namespace

CChannelDetailsDlg::CChannelDetailsDlg(ValidationEngine& engine, std::string sourcePath, ui::Window* parent)
    : ui::Dialog(res::kIddChannelDetails, parent), engine_(engine), sourcePath_(std::move(sourcePath)) {}

bool CChannelDetailsDlg::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    SetText(res::kIdcProgramName, kProgramLabel);
    SetText(res::kIdcChannelTotal, kTotalLabel);
    std::string message;
    const CHAN_INFO* info = nullptr;
    {
        ui::WaitCursor wait;
        info = engine_.ReadChannelDetails(sourcePath_, &message);
    }
    if (info == nullptr) {
        ui::AppMessageBox(message);
        return true;
    }
    const std::string name(info->ProgramName, strnlen(info->ProgramName, sizeof info->ProgramName));
    SetText(res::kIdcProgramName, kProgramLabel + name);
    SetText(res::kIdcChannelTotal, platform::Format("%s%d", kTotalLabel, EnabledChannelCount(info)));
    Show(res::kIdcProgramName);
    Show(res::kIdcChannelTotal);
    GridSheet sheet(*this, res::kIdcChannelSheet);
    FillChannelSheet(info, sheet);
    return true;
}

}  // namespace vexa
