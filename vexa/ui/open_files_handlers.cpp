// The Open Files dialog's control handlers.
#include <filesystem>
#include <vector>

#include "platform/numbers.h"
#include "platform/path.h"
#include "platform/registry.h"
#include "platform/ui/services.h"
#include "vexa/engine/engine_state.h"
#include "vexa/engine/validation_engine.h"
#include "vexa/ui/channel_details_dlg.h"
#include "vexa/ui/open_files_dlg.h"
#include "vexa/ui/select_dir_dlg.h"
#include "vexa/ui/vexa_app.h"

namespace vexa {
namespace {
constexpr const char* kLimitMessage = "Please enter number from 0 to 999";
constexpr std::size_t kRecordedDataDirRoom = 280;
constexpr int kFileKindControls[] = {1016, 1028, 1029, 1085};
}  // namespace

void COpenFilesDlg::MapHandlers() {
    MapSourceHandlers();
    MapOptionHandlers();
    OnNotify(ui::Notify::Clicked, 1094, [this] { OnOpenRmm(); });
    OnNotify(ui::Notify::Clicked, 1095, [this] { OnOpenDisk(); });
    OnNotify(ui::Notify::Clicked, 1052, [this] { OnDetails(); });
}

void COpenFilesDlg::MapSourceHandlers() {
    OnNotify(ui::Notify::Clicked, 1083, [this] { OnSourceDirKind(); });
    OnNotify(ui::Notify::Clicked, 1084, [this] { OnSourceFileKind(); });
    OnNotify(ui::Notify::Clicked, 1023, [this] { OnBrowseSourceFile(); });
    OnNotify(ui::Notify::Clicked, 1029, [this] { OnBrowseTmats(); });
    OnNotify(ui::Notify::Clicked, 1025, [this] { OnBrowseDirectory(1022, SettingKind::SourceDir); });
    OnNotify(ui::Notify::Clicked, 1027, [this] { OnBrowseDirectory(1026, SettingKind::OutputDir); });
    OnNotify(ui::Notify::SelChange, 1022, [this] { OnSourceDirSelected(); });
    OnNotify(ui::Notify::SelChange, 1016, [this] { OnSourceFileSelected(); });
    OnNotify(ui::Notify::SelChange, 1028, [this] { FillChannelList(); });
    OnUser(kMsgFillChannelList, [this](intptr_t) { FillChannelList(); });
    OnNotify(ui::Notify::SelChange, 1042, [this] {
        engine_.runConfig.selectedChannel = platform::DecimalToInt(GetText(1042).value_or(""));
    });
}

void COpenFilesDlg::MapOptionHandlers() {
    CRunConfig& config = engine_.runConfig;
    OnNotify(ui::Notify::Clicked, 1059, [this] { OnBodiesClicked(); });
    OnNotify(ui::Notify::Clicked, 1061, [this, &config] { OnSimClicked(1061, config.validateSimPcm); });
    OnNotify(ui::Notify::Clicked, 1067, [this, &config] { OnSimClicked(1067, config.validateSim1553); });
    OnNotify(ui::Notify::Clicked, 1051, [this, &config] { config.listAllPackets = GetCheck(1051) ? 1 : 0; });
    OnNotify(ui::Notify::Clicked, 1075, [this] { OnFormatClicked(false); });
    OnNotify(ui::Notify::Clicked, 1076, [this] { OnFormatClicked(true); });
    OnNotify(ui::Notify::EditChange, 1062, [this] { OnLimitChanged(1062, true); });
    OnNotify(ui::Notify::EditChange, 1063, [this] { OnLimitChanged(1063, false); });
    OnNotify(ui::Notify::EditChange, 1069, [this] {
        engine_.timePacketTolerance = platform::DecimalToInt(GetText(1069).value_or(""));
    });
    OnNotify(ui::Notify::EditChange, 1071, [this] {
        engine_.intraPacketTolerance = platform::DecimalToInt(GetText(1071).value_or(""));
    });
}

void COpenFilesDlg::OnSourceDirKind() {
    SetCheck(1083, true);
    SetCheck(1084, false);
    Enable(1025, !InRecorderMode());
    Enable(1023, false);
    Enable(1022, true);
    for (int id : kFileKindControls) Enable(id, false);
    ComboSelect(1042, 0);
    Enable(1042, false);
    engine_.runConfig.selectedChannel = 0;
    engine_.runConfig.inputType = 0;
}

void COpenFilesDlg::OnSourceFileKind() {
    SetCheck(1083, false);
    SetCheck(1084, true);
    Enable(1025, false);
    Enable(1023, !InRecorderMode());
    Enable(1022, false);
    for (int id : kFileKindControls) Enable(id, true);
    Enable(1042, true);
    engine_.runConfig.inputType = 1;
}

void COpenFilesDlg::SelectOrInsert(int id, const std::string& text) {
    if (ComboSelectText(id, text) >= 0) return;
    ComboInsert(id, 0, text);
    ComboSelect(id, 0);
}

std::string COpenFilesDlg::FileDialogStart() const {
    std::string dir(platform::DirName(GetText(1016).value_or("")));
    if (!dir.empty()) return dir;
    if (app_ != nullptr) {
        // Open only: the key is never created here.
        platform::RegistryKey key;
        if (app_->Registry().Open(platform::Hive::LocalMachine, kCommonKey, key) == platform::RegStatus::Ok) {
            auto recorded = platform::QueryText(key, kRecordedDataDirValue, kRecordedDataDirRoom);
            if (recorded && !recorded->empty()) return *recorded;
        }
    }
    std::error_code ec;
    return std::filesystem::current_path(ec).string();
}

void COpenFilesDlg::OnBrowseSourceFile() {
    auto chosen = ui::OpenFileDialog("Select source file", {{"Chapter 10 Files", "*.ch10;*.CH10"}, {"All Files", "*.*"}},
                                     FileDialogStart());
    if (!chosen || chosen->empty()) return;
    SelectOrInsert(1016, chosen->front());
    ComboSelectText(1028, kUseInternalTmats);
    UpdateData(true);
    engine_.runConfig.sourcePath = sourceFile_;
    PostMessage(kMsgFillChannelList, 0);
}

void COpenFilesDlg::OnBrowseTmats() {
    auto chosen = ui::OpenFileDialog("Select TMATS File", {{"TMATS Files", "*.tmt;*.TMATS"}, {"All Files", "*.*"}},
                                     FileDialogStart());
    if (!chosen || chosen->empty()) return;
    SelectOrInsert(1028, chosen->front());
    UpdateData(true);
    engine_.runConfig.sourcePath = sourceFile_;
    PostMessage(kMsgFillChannelList, 0);
}

void COpenFilesDlg::OnBrowseDirectory(int comboId, SettingKind list) {
    CSelectDirDlg chooser(this);
    chooser.selectedPath = GetText(comboId).value_or("");
    if (chooser.DoModal() != ui::kIdOk || chooser.selectedPath.empty()) return;
    const bool sourceList = list == SettingKind::SourceDir;
    if (app_ != nullptr && !(sourceList && InRecorderMode())) app_->RecentListPush(list, chooser.selectedPath);
    SelectOrInsert(comboId, chooser.selectedPath);
    if (sourceList) engine_.runConfig.sourceDir = chooser.selectedPath;
}

void COpenFilesDlg::OnSourceDirSelected() {
    CRunConfig& config = engine_.runConfig;
    config.sourceDir = GetText(1022).value_or("");
    if (!InRecorderMode()) {
        if (app_ != nullptr) app_->RecentListPush(SettingKind::SourceDir, config.sourceDir);
        return;
    }
    // Drive numbers may have two digits: the leading number, not one character.
    const int drive = platform::DecimalToInt(config.sourceDir);
    config.recorderDrive = drive - 1;
    FillRecorderFiles(std::to_string(drive));
}

void COpenFilesDlg::OnSourceFileSelected() {
    CRunConfig& config = engine_.runConfig;
    if (InRecorderMode()) config.recorderDrive = platform::DecimalToInt(GetText(1022).value_or("")) - 1;
    ComboSelectText(1028, kUseInternalTmats);
    PostMessage(kMsgFillChannelList, 0);
    config.currentFileIndex = ComboSelection(1016);
}

void COpenFilesDlg::OnBodiesClicked() {
    CRunConfig& config = engine_.runConfig;
    const bool on = GetCheck(1059);
    config.validateBodies = on ? 1 : 0;
    EnableBodyOptions(on);
    if (on) return;
    SetCheck(1061, false);
    SetCheck(1067, false);
    config.validateSimPcm = 0;
    config.validateSim1553 = 0;
}

void COpenFilesDlg::OnSimClicked(int id, int& flag) {
    if (!GetCheck(id)) {
        flag = 0;
        return;
    }
    flag = 1;
    EnableBodyOptions(true);
    if (!engine_.runConfig.validateBodies) {
        engine_.runConfig.validateBodies = 1;
        SetCheck(1059, true);
    }
}

void COpenFilesDlg::OnFormatClicked(bool spaceDelimited) {
    CRunConfig& config = engine_.runConfig;
    SetCheck(1075, !spaceDelimited);
    SetCheck(1076, spaceDelimited);
    Enable(1051, !spaceDelimited);
    Engine().spaceDelimited = spaceDelimited;
    if (spaceDelimited && config.listAllPackets) {
        config.listAllPackets = 0;
        SetCheck(1051, false);
    }
    Enable(1042, !spaceDelimited);
    ComboReset(1042);
    config.selectedChannel = 0;
}

void COpenFilesDlg::OnLimitChanged(int id, bool perPacket) {
    const int value = platform::DecimalToInt(GetText(id).value_or(""));
    if (value < 0 || value > 999) {
        ui::AppMessageBox(kLimitMessage);
        return;
    }
    ErrorAccounting& errors = Engine().errors;
    (perPacket ? errors.maxErrorsPerPacket : errors.maxErrorsPerChannel) = value;
}

void COpenFilesDlg::OnDetails() {
    UpdateData(true);
    // A directory source shows the channels of the file its list was read from.
    const CRunConfig& config = engine_.runConfig;
    CChannelDetailsDlg details(engine_, config.inputType == 1 ? sourceFile_ : config.sourcePath, this);
    details.DoModal();
}

}  // namespace vexa
