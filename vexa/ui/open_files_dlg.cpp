#include "vexa/ui/open_files_dlg.h"

#include <unistd.h>

#include <filesystem>
#include <vector>

#include "platform/format.h"
#include "platform/numbers.h"
#include "platform/path.h"
#include "platform/registry.h"
#include "platform/ui/services.h"
#include "quillon.h"
#include "vexa/engine/engine_state.h"
#include "vexa/engine/validation_engine.h"
#include "vexa/res/resource_ids.h"
#include "vexa/ui/open_files_lists.h"
#include "vexa/ui/ui_module_state.h"
#include "vexa/ui/vexa_app.h"

namespace vexa {
namespace {

constexpr int kDefaultTolerance = 5;
constexpr std::size_t kToleranceRoom = 260;

// The controls a directory source turns off and a single file turns on.
constexpr int kFileKindControls[] = {1016, 1023, 1028, 1029, 1085, 1042};
// The controls that follow "Validate Format of Packet Data".
constexpr int kBodyOptionControls[] = {1062, 1063, 1064, 1065, 1061, 1067};

}  // namespace

COpenFilesDlg::COpenFilesDlg(ValidationEngine& engine, CVexaApp* app, ui::Window* owner)
    : ui::Dialog(res::kIddOpenFiles, owner), engine_(engine), app_(app) {
    outputFile_ = app_ != nullptr ? app_->SettingRead(SettingKind::OutputFile) : std::string();
    if (outputFile_.empty()) outputFile_ = "validate.log";
    maxSame_ = Engine().errors.maxSameErrorPerChannel;
    MapHandlers();
}

void COpenFilesDlg::DoDataExchange(ui::DataExchange& dx) {
    dx.ComboText(1022, sourceDir_);
    dx.ComboText(1016, sourceFile_);
    dx.ComboText(1028, tmats_);
    dx.ComboText(1026, outputDir_);
    dx.Text(1085, outputFile_);
    dx.ComboText(1042, channel_);
    dx.Check(1051, listAll_);
    dx.Check(1059, bodies_);
    dx.Check(1061, simPcm_);
    dx.Check(1067, sim1553_);
    dx.Text(1062, maxPerPacket_);
    dx.Text(1063, maxPerChannel_);
    dx.Text(1071, intraTolerance_);
    dx.Text(1069, timeTolerance_);
    dx.Int(1074, maxSame_);
}

bool COpenFilesDlg::InRecorderMode() const { return engine_.runConfig.sourceIsRecorder != 0; }

// --- opening -----------------------------------------------------------------

bool COpenFilesDlg::OnInitDialog() {
    CRunConfig& config = engine_.runConfig;
    SetText(1085, outputFile_);
    // The dialog knows two kinds; any stored kind but a directory is a file.
    config.inputType = config.inputType != 0 ? 1 : 0;
    InitRecorderButton();
    config.sourceIsRecorder = 0;
    SetCheck(1095, true);
    {
        // Open only: the dialog never creates the machine-wide key.
        platform::RegistryKey key;
        if (app_ == nullptr ||
            app_->Registry().Open(platform::Hive::LocalMachine, kFamilyKey, key) != platform::RegStatus::Ok)
            Enable(1094, false);
    }
    InitTolerances();
    InitFormat();
    InitSources();
    if (!Engine().spaceDelimited) FillChannelList();
    InitOptions();
    ShowSourceKind();
    UpdateData(false);
    CenterWindow();
    return true;
}

void COpenFilesDlg::InitRecorderButton() {
    UiModuleState& state = UiState();
    if (state.recorderButtonOff) {
        Enable(1094, false);
    } else if (::access(std::string(kErrorListFile).c_str(), R_OK) == 0) {
        Enable(1094, false);
        state.recorderButtonOff = true;
    }
}

int COpenFilesDlg::ReadTolerance(const char* name, std::string& text) {
    text = platform::Format("%d", kDefaultTolerance);
    int value = kDefaultTolerance;
    if (app_ == nullptr) return value;
    platform::RegistryKey key;
    if (app_->Registry().Create(platform::Hive::CurrentUser, kUserKey, key) != platform::RegStatus::Ok) return value;
    platform::RegValueData data;
    if (key.Query(name, kToleranceRoom, data) != platform::RegStatus::Ok || data.data.size() <= 1) return value;
    text = data.data.substr(0, data.data.find('\0'));
    // A stored "0" or a negative value shows as stored with the default in force.
    if (platform::DecimalToInt(text) > 0) value = platform::DecimalToInt(text);
    return value;
}

void COpenFilesDlg::InitTolerances() {
    engine_.timePacketTolerance = ReadTolerance(kTimePacketToleranceValue, timeTolerance_);
    engine_.intraPacketTolerance = ReadTolerance(kIntraPacketToleranceValue, intraTolerance_);
}

void COpenFilesDlg::InitFormat() {
    CRunConfig& config = engine_.runConfig;
    if (Engine().spaceDelimited) {
        SetCheck(1076, true);
        Enable(1051, false);
        config.listAllPackets = 0;
        ComboReset(1042);
        config.selectedChannel = 0;
    } else {
        SetCheck(1075, true);
        Enable(1051, true);
    }
    listAll_ = config.listAllPackets;
    Enable(1042, true);
}

void COpenFilesDlg::InitSources() {
    CRunConfig& config = engine_.runConfig;
    if (app_ != nullptr) app_->RecentListFill(SettingKind::Input, *this, 1016);
    if (config.sourcePath.empty()) {
        config.sourcePath = app_ != nullptr ? app_->Startup().initialSource : std::string();
        if (!config.sourcePath.empty()) SelectOrInsert(1016, config.sourcePath);
    } else if (!GetText(1016).value_or("").empty()) {
        config.sourcePath = *GetText(1016);
    }
    sourceFile_ = GetText(1016).value_or("");

    if (app_ != nullptr) app_->RecentListFill(SettingKind::ExternTMATS, *this, 1028);
    ComboAdd(1028, kUseInternalTmats);
    if (app_ != nullptr && platform::DecimalToInt(app_->SettingRead(SettingKind::UseExtern)) != 0)
        ComboSelectText(1028, kUseInternalTmats);
    if (ComboSelection(1028) < 0) ComboSelect(1028, 0);
    tmats_ = GetText(1028).value_or("");
    config.tmatsSource = tmats_;

    if (app_ != nullptr) {
        app_->RecentListFill(SettingKind::SourceDir, *this, 1022);
        app_->RecentListFill(SettingKind::OutputDir, *this, 1026);
    }
    sourceDir_ = GetText(1022).value_or("");
    outputDir_ = GetText(1026).value_or("");
    const std::string first = ComboEntry(1022, 0);
    if (first.size() >= 2 && first[1] == ':' && first[0] >= '1' && first[0] <= '9') {
        SetCheck(1094, true);
        OnOpenRmm();
        config.sourceIsRecorder = 1;
    }
}

void COpenFilesDlg::InitOptions() {
    CRunConfig& config = engine_.runConfig;
    bodies_ = config.validateBodies;
    simPcm_ = config.validateSimPcm;
    sim1553_ = config.validateSim1553;
    EnableBodyOptions(config.validateBodies != 0);
    maxPerPacket_ = platform::Format("%d", Engine().errors.maxErrorsPerPacket.load());
    maxPerChannel_ = platform::Format("%d", Engine().errors.maxErrorsPerChannel.load());
}

void COpenFilesDlg::EnableBodyOptions(bool on) {
    for (int id : kBodyOptionControls) Enable(id, on);
}

void COpenFilesDlg::ShowSourceKind() {
    CRunConfig& config = engine_.runConfig;
    const bool file = config.inputType == 1;
    Enable(1022, !file);
    Enable(1025, !file);
    SetCheck(1083, !file);
    for (int id : kFileKindControls) Enable(id, file);
    SetCheck(1084, file);
}

// --- channel list --------------------------------------------------------------

void COpenFilesDlg::FillChannelList() {
    CRunConfig& config = engine_.runConfig;
    // Only the texts it needs: while the dialog opens, the other controls
    // are not loaded yet and must not overwrite the values being set up.
    sourceFile_ = GetText(1016).value_or("");
    tmats_ = GetText(1028).value_or("");
    outputDir_ = GetText(1026).value_or("");
    outputFile_ = GetText(1085).value_or("");
    if (config.inputType == 1) config.sourcePath = sourceFile_;
    config.tmatsSource = tmats_;
    if (config.sourcePath.empty()) return;
    std::string message;
    const CHAN_INFO* info = nullptr;
    {
        ui::WaitCursor wait;
        const std::string prefix =
            platform::JoinPath(platform::StripTrailingSeparators(outputDir_), outputFile_);
        info = engine_.AcquireChannelList(prefix, &message);
    }
    if (info == nullptr) {
        ui::AppMessageBox(message);
        return;
    }
    ComboReset(1042);
    int selected = 0;
    const std::vector<std::string> entries = ChannelEntries(info);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        ComboAdd(1042, entries[i]);
        if (i > 0 && config.selectedChannel != 0 && platform::DecimalToInt(entries[i]) == config.selectedChannel)
            selected = static_cast<int>(i);
    }
    // A channel the new list lacks is not filtered for.
    if (selected == 0) config.selectedChannel = 0;
    ComboSelect(1042, selected);
    channel_ = GetText(1042).value_or("");
}

// --- recorder drives -----------------------------------------------------------

void COpenFilesDlg::OnOpenRmm() {
    CRunConfig& config = engine_.runConfig;
    // A scan's earlier files must not open as recorder files.
    config.sourceFiles.clear();
    config.recorderFileSizes.clear();
    ComboReset(1022);
    ComboReset(1016);
    Enable(1025, false);
    Enable(1023, false);
    config.recorderDrive = -1;
    FillRecorderDrives();
    Enable(1095, true);
    SetCheck(1095, false);
    SetCheck(1083, true);
    SetCheck(1084, false);
    config.sourceIsRecorder = 1;
    config.currentFileIndex = 0;
}

void COpenFilesDlg::FillRecorderDrives() {
    RecorderDrives& drives = UiState().Drives();
    drives.CloseDrive();
    std::vector<char> driveList(QUILLON_DRIVE_LIST_ROOM, '\0');
    std::vector<char> volumeList(QUILLON_VOLUME_LIST_ROOM, '\0');
    drives.DrivesVolumeNames(driveList.data(), volumeList.data());
    driveList.back() = '\0';
    volumeList.back() = '\0';
    const std::vector<RecorderDriveEntry> entries = RecorderDriveEntries(driveList.data(), volumeList.data());
    if (entries.empty()) return;
    Enable(1022, true);
    for (const RecorderDriveEntry& e : entries) ComboAdd(1022, e.text);
    ComboSelect(1022, 0);
    engine_.runConfig.recorderDrive = entries.front().number - 1;
    FillRecorderFiles(platform::Format("%d", entries.front().number));
}

void COpenFilesDlg::FillRecorderFiles(const std::string& drive) {
    CRunConfig& config = engine_.runConfig;
    ComboReset(1016);
    std::vector<char> fileList(QUILLON_FILE_LIST_ROOM, '\0');
    std::vector<int64_t> sizes(QUILLON_MAX_FILES, 0);
    UiState().Drives().FilesSizes(drive.c_str(), fileList.data(), sizes.data());
    fileList.back() = '\0';
    config.nextFileIndex = 0;
    config.sourceFiles.clear();
    config.recorderFileSizes.clear();
    const std::vector<std::string> names = RecorderFileNames(fileList.data(), QUILLON_MAX_FILES);
    for (std::size_t i = 0; i < names.size(); ++i) {
        ComboAdd(1016, names[i]);
        config.sourceFiles.push_back(names[i]);
        config.recorderFileSizes.push_back(sizes[i]);
    }
    ComboSelect(1016, 0);
    config.currentFileIndex = 0;
}

void COpenFilesDlg::OnOpenDisk() {
    CRunConfig& config = engine_.runConfig;
    const bool fromRecorder = InRecorderMode();
    ComboReset(1022);
    Enable(1025, true);
    if (app_ != nullptr) app_->RecentListFill(SettingKind::SourceDir, *this, 1022);
    SetCheck(1094, false);
    SetCheck(1095, true);
    config.sourceDir = GetText(1022).value_or("");
    if (!fromRecorder && app_ != nullptr && !config.sourceDir.empty())
        app_->RecentListPush(SettingKind::SourceDir, config.sourceDir);
    if (fromRecorder) ComboReset(1016);
    config.sourceIsRecorder = 0;
}

// --- OK ------------------------------------------------------------------------

void COpenFilesDlg::OnOK() {
    UpdateData(true);
    OpenFilesTexts texts;
    texts.tmats = tmats_;
    texts.sourceFile = sourceFile_;
    texts.sourceDir = sourceDir_;
    texts.outputDir = outputDir_;
    texts.outputFile = outputFile_;
    OpenFilesFailure failure = OpenFilesFailure::None;
    if (!engine_.OpenFilesOk(texts, &failure)) {
        switch (failure) {
            case OpenFilesFailure::BadDirectory: SetFocus(1022); break;
            case OpenFilesFailure::NoChannelInfo:
            case OpenFilesFailure::EmptySource:
            case OpenFilesFailure::SourceNotFound: SetFocus(1016); break;
            case OpenFilesFailure::TmatsMissing:
            case OpenFilesFailure::None: break;
        }
        return;
    }
    StoreSettings();
    Engine().errors.maxSameErrorPerChannel = maxSame_;
    EndDialog(ui::kIdOk);
}

void COpenFilesDlg::StoreSettings() {
    const CRunConfig& config = engine_.runConfig;
    if (app_ != nullptr && !config.sourceIsRecorder) {
        app_->SettingWrite(SettingKind::InputType, platform::Format("%d", config.inputType));
        app_->SettingWrite(SettingKind::OutputFile, outputFile_);
        if (!config.sourcePath.empty()) app_->RecentListPush(SettingKind::Input, config.sourcePath);
        const bool internal = tmats_ == kUseInternalTmats;
        if (!tmats_.empty() && !internal) app_->RecentListPush(SettingKind::ExternTMATS, tmats_);
        app_->SettingWrite(SettingKind::UseExtern, internal ? "1" : "0");
    }
    WriteTolerance(kTimePacketToleranceValue, engine_.timePacketTolerance);
    WriteTolerance(kIntraPacketToleranceValue, engine_.intraPacketTolerance);
}

void COpenFilesDlg::WriteTolerance(const char* name, int value) {
    if (app_ == nullptr) return;
    platform::RegistryKey key;
    if (app_->Registry().Create(platform::Hive::CurrentUser, kUserKey, key) != platform::RegStatus::Ok) return;
    const std::string text = platform::Format("%u", static_cast<unsigned>(value < 0 ? 0 : value));
    key.Set(name, platform::kRegSz, text + '\0');
    key.Close();
}

}  // namespace vexa
