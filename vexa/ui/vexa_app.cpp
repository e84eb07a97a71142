#include "vexa/ui/vexa_app.h"

#include <cstdio>

#include "platform/ui/dialog.h"
#include "platform/ui/services.h"
#include "vexa/res/resource_ids.h"
#include "vexa/ui/about_dlg.h"
#include "vexa/ui/main_frame.h"
#include "vexa/ui/permission.h"
#include "vexa/ui/vexa_doc.h"
#include "vexa/ui/vexa_view.h"

namespace vexa {
namespace {

class ComboAdapter : public RecentCombo {
public:
    ComboAdapter(ui::Window& window, int id) : window_(window), id_(id) {}
    void AddString(const std::string& text) override { window_.ComboAdd(id_, text); }
    void SetCurSel(int index) override { window_.ComboSelect(id_, index); }

private:
    ui::Window& window_;
    int id_;
};

}  // namespace

CVexaApp::CVexaApp(std::vector<std::string> args, StartupState probed, const platform::RegistryConfig& config)
    : ui::App(res::Resources(), std::move(args)), registry_(config), settings_(registry_), state_(std::move(probed)) {
    OnCommand(res::kCmdAppAbout, [this] { OnAppAbout(); });
    OnUpdateCommand(res::kCmdAppAbout, [this](ui::CmdUi& cmdUi) { OnUpdateAppAbout(cmdUi); });
}

ui::InitResult CVexaApp::InitInstance() {
    // Before any window and any other machine-wide read.
    PermissionAnswer answer = AskPermission(registry_);
    if (answer.kind != PermissionAnswer::Kind::Admitted) {
        if (reportRefusal) {
            reportRefusal(answer);
            return ui::InitResult::Refused;
        }
        if (answer.kind == PermissionAnswer::Kind::Failed)
            std::fprintf(stderr, "vexa: the user-permission check failed: %s\n", answer.reason.c_str());
        ui::MessageBox(nullptr, std::string(kRefusalText), std::string(kTitle), ui::Icon::Warning, ui::Buttons::Ok);
        return ui::InitResult::Refused;
    }
    AddDocTemplate(ui::DocTemplate{
        res::kIdrMainFrame,
        [] { return std::make_unique<CVexaDoc>(); },
        [] { return std::make_unique<CMainFrame>(); },
        [] { return std::make_unique<CVexaView>(); },
    });
    state_.initialSource = InitialSourceFromArgs(Args());
    if (!NewDocument()) {
        std::fprintf(stderr, "vexa: cannot create the main window\n");
        return ui::InitResult::Failed;
    }
    ui::Frame* frame = MainFrame();
    frame->SetTitle(WindowTitle(state_));
    frame->CenterWindow();
    ReadMachineValues(registry_, state_);
    return ui::InitResult::Ok;
}

void CVexaApp::RecentListFill(SettingKind kind, ui::Window& window, int comboId) {
    ComboAdapter combo(window, comboId);
    settings_.RecentListFill(kind, combo);
}

void CVexaApp::OnAppAbout() {
    CAboutDlg about(state_, registry_, MainFrame());
    about.DoModal();
}

void CVexaApp::OnUpdateAppAbout(ui::CmdUi& cmdUi) {
    // Open only: this check never creates the key.
    platform::RegistryKey key;
    if (registry_.Open(platform::Hive::LocalMachine, kFamilyKey, key) != platform::RegStatus::Ok)
        cmdUi.Enable(false);
}

int RunWindowProgram(std::vector<std::string> args, StartupState probed, const platform::RegistryConfig& config) {
    CVexaApp app(std::move(args), std::move(probed), config);
    if (app.InitInstance() != ui::InitResult::Ok) return 1;
    return app.Run();
}

}  // namespace vexa
