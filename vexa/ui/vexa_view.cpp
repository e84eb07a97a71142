#include "vexa/ui/vexa_view.h"

#include <unistd.h>

#include <utility>

#include "platform/format.h"
#include "platform/numbers.h"
#include "platform/ui/dialog.h"
#include "platform/ui/post_queue.h"
#include "platform/ui/services.h"
#include "vexa/engine/engine_state.h"
#include "vexa/engine/validation_engine.h"
#include "vexa/res/resource_ids.h"
#include "vexa/ui/open_files_dlg.h"
#include "vexa/ui/text_viewer.h"
#include "vexa/ui/vexa_app.h"
#include "vexa/ui/view_files_dlg.h"
#include "vexa/ui/view_output_file_dlg.h"

namespace vexa {
namespace {

struct TextControl {
    int id;
    DisplayText text;
};
constexpr TextControl kTextControls[] = {
    {1004, DisplayText::source},     {1006, DisplayText::log},         {1019, DisplayText::selectedChannel},
    {1029, DisplayText::dataType},   {1008, DisplayText::relTime},     {1037, DisplayText::irigTime},
    {1092, DisplayText::versionInfo}, {1059, DisplayText::tmatsErrors},
};

// In the order of the form counters, "Sync" to "Data Version".
constexpr int kCounterControls[kFormCounters] = {1047, 1048, 1049, 1050, 1051, 1052, 1053,
                                                 1061, 1062, 1025, 1041, 1065, 1066};

// The selected channel's column and its caption.
constexpr int kSelectedChannelControls[] = {1030, 1032, 1034, 1035};

ui::Icon ToUiIcon(BoxIcon icon) {
    switch (icon) {
        case BoxIcon::Error: return ui::Icon::Error;
        case BoxIcon::Warning: return ui::Icon::Warning;
        case BoxIcon::Information: return ui::Icon::Information;
        case BoxIcon::None: break;
    }
    return ui::Icon::None;
}

std::string Unsigned(uint32_t value) { return platform::Format("%u", value); }

}  // namespace

CVexaView::CVexaView(tessin::RecordingInput& input)
    : ui::FormView(res::kIddForm), app_(dynamic_cast<CVexaApp*>(ui::CurrentApp())) {
    title_ = app_ != nullptr ? vexa::WindowTitle(app_->Startup()) : std::string(kTitle);
    Engine().errors.maxSameErrorPerChannel =
        app_ != nullptr ? platform::DecimalToInt(app_->SettingRead(SettingKind::MaxLog)) : 0;
    engine_ = std::make_unique<ValidationEngine>(*this, input);
    MapCommands();
    MapUpdates();
    OnTimer([this](int id) {
        if (id == kFormTimerId) RefreshForm();
    });
    OnDestroy([this] { KillTimer(kFormTimerId); });
}

CVexaView::~CVexaView() {
    KillTimer(kFormTimerId);
    if (app_ != nullptr)
        app_->SettingWrite(SettingKind::MaxLog, platform::Format("%d", Engine().errors.maxSameErrorPerChannel.load()));
    engine_.reset();
}

std::function<void()> CVexaView::Handler(std::function<void()> fn) {
    return [this, fn = std::move(fn)] {
        fn();
        RefreshForm();
    };
}

void CVexaView::MapCommands() {
    ValidationEngine& e = *engine_;
    OnCommand(res::kCmdOpenFiles, Handler([this] { OnFileOpen(); }));
    OnCommand(res::kCmdCloseFiles, Handler([&e] { e.CloseFiles(); }));
    OnCommand(res::kCmdValidate, Handler([&e] { e.Validate(); }));
    OnNotify(ui::Notify::Clicked, 1069, Handler([&e] { e.Validate(); }));
    OnCommand(res::kCmdStop, Handler([&e] { e.Stop(); }));
    OnNotify(ui::Notify::Clicked, 1070, Handler([&e] { e.Stop(); }));
    OnCommand(res::kCmdResetCounters, Handler([&e] { e.ResetCounters(); }));
    OnNotify(ui::Notify::Clicked, 1068, Handler([&e] { e.ResetCounters(); }));
    OnCommand(res::kCmdViewErrorList, Handler([this] { OnViewErrorList(); }));
    OnCommand(res::kCmdViewOutputFile, Handler([this] { OnViewOutputFile(); }));
    OnCommand(res::kCmdViewSummaryFile, Handler([this] { OnViewSummaryFile(); }));
}

void CVexaView::MapUpdates() {
    ValidationEngine& e = *engine_;
    OnUpdateCommand(res::kCmdOpenFiles, [&e](ui::CmdUi& c) { c.Enable(!e.streamState.filesOpen); });
    OnUpdateCommand(res::kCmdCloseFiles, [&e](ui::CmdUi& c) { c.Enable(e.streamState.filesOpen); });
    OnUpdateCommand(res::kCmdValidate, [this](ui::CmdUi& c) { c.Enable(IsEnabled(1069)); });
    OnUpdateCommand(res::kCmdStop, [this](ui::CmdUi& c) { c.Enable(IsEnabled(1070)); });
    for (int id : {res::kCmdViewOutputFile, res::kCmdViewSummaryFile})
        OnUpdateCommand(id, [&e](ui::CmdUi& c) { c.Enable(!e.runConfig.outputPath.empty()); });
}

void CVexaView::OnInitialUpdate() {
    if (ui::Frame* frame = ParentFrame()) frame->RecalcLayout();
    ResizeParentToFit(true);
    SetTimer(kFormTimerId, kFormTimerPeriodMs);
    ValidationEngine& e = *engine_;
    e.ResetValidationState();
    e.display.ResetDisplay(e.Errors());
    Engine().errors.maxErrorsPerPacket = 5;
    Engine().errors.maxErrorsPerChannel = 5;
    e.display.validateEnabled = false;
    e.display.stopEnabled = false;
    e.runConfig.ResetRunConfig(app_ != nullptr ? platform::DecimalToInt(app_->SettingRead(SettingKind::InputType)) : 0);
    e.streamState.ResetStreamState();
    e.display.SetText(DisplayText::tmatsErrors, "0");
    RefreshForm();
}

void CVexaView::RefreshForm() {
    if (Destroyed()) return;
    const DisplaySnapshot s = engine_->Snapshot();
    for (const TextControl& t : kTextControls) SetText(t.id, s.Text(t.text));
    SetText(1026, Unsigned(s.packetCountAll));
    SetText(1030, Unsigned(s.packetCountSelected));
    SetText(1010, Unsigned(s.packetSeqAll));
    SetText(1034, Unsigned(s.packetSeqSelected));
    SetText(1012, ui::FormatFloat(s.efficiencyAll));
    SetText(1035, ui::FormatFloat(s.efficiencySelected));
    for (int i = 0; i < kFormCounters; ++i)
        SetText(kCounterControls[i], Unsigned(s.errorCounters[static_cast<std::size_t>(i)]));
    Enable(1069, s.validateEnabled);
    Enable(1070, s.stopEnabled);
    for (int id : kSelectedChannelControls) Show(id, s.selectedChannelShown);
    if (s.selectedChannelShown) Show(1029, true);
}

void CVexaView::PostMessageBox(std::string text) { PostBox(std::move(text), "", BoxIcon::None); }

void CVexaView::PostBox(std::string text, std::string caption, BoxIcon icon) {
    ui::PostToUi(this, [text = std::move(text), caption = std::move(caption), icon] {
        if (caption.empty()) ui::AppMessageBox(text, ToUiIcon(icon));
        else ui::MessageBox(nullptr, text, caption, ToUiIcon(icon));
    });
}

void CVexaView::Post(std::function<void()> fn) {
    ui::PostToUi(this, [this, fn = std::move(fn)] {
        fn();
        RefreshForm();
    });
}

void CVexaView::RunEnded(const RunEnd& end) {
    lastRunEnd_ = end;
    if (!end.completed) return;
    if (ui::Frame* frame = ParentFrame()) frame->SetMessageText("Validation completed");
}

void CVexaView::OnFileOpen() {
    ValidationEngine& e = *engine_;
    e.BeginOpen();
    COpenFilesDlg dialog(e, app_, ParentFrame());
    if (dialog.DoModal() == ui::kIdOk)
        e.OnOpenFiles();
    else
        e.CancelOpen();
}

void CVexaView::OnViewErrorList() {
    const std::string name(kErrorListFile);
    // The working directory's copy wins; it is probed now, not at start.
    if (::access(name.c_str(), R_OK) == 0) {
        ShowTextFile(name);
        return;
    }
    const std::string docsDir = app_ != nullptr ? app_->Startup().docsDir : std::string();
    if (docsDir.empty()) {
        ui::AppMessageBox(platform::Format("Can't find Error List File '%s'", name.c_str()));
        return;
    }
    ShowTextFile(docsDir + name);
}

void CVexaView::OnViewOutputFile() {
    const CRunConfig& config = engine_->runConfig;
    if (config.confirmedInputType == 0) {
        CViewFilesDlg files(0, nullptr, config);
        files.DoModal();
        return;
    }
    if (config.outputPath.empty()) {
        ui::AppMessageBox("No output file available");
        return;
    }
    if (config.confirmedSpaceDelimited) {
        CViewOutputFileDlg chooser(nullptr, engine_->Outputs());
        chooser.DoModal();
        return;
    }
    ShowTextFile(config.outputPath);
}

void CVexaView::OnViewSummaryFile() {
    const CRunConfig& config = engine_->runConfig;
    if (config.confirmedInputType == 0) {
        CViewFilesDlg files(1, nullptr, config);
        files.DoModal();
        return;
    }
    if (config.summaryPath.empty()) {
        ui::AppMessageBox("No summary file available");
        return;
    }
    ShowTextFile(config.summaryPath);
}

}  // namespace vexa
