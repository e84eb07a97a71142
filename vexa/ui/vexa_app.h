#pragma once
// The application object: start-up through the window layer, the per-user
// settings on the program's registry and the About command.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"
#include "platform/ui/app.h"
#include "vexa/ui/permission.h"
#include "vexa/ui/settings.h"
#include "vexa/ui/startup.h"

namespace vexa {

class CVexaApp : public ui::App {
public:
    // `probed` carries the error-list probe made before start-up.
    CVexaApp(std::vector<std::string> args, StartupState probed,
             const platform::RegistryConfig& config = platform::RegistryConfig::FromEnvironment());

    // The view writes its settings as it goes, so it must go while they live.
    ~CVexaApp() override { CloseMainWindow(); }

    // Ok with the main window shown; Refused when the user may not use the
    // program (the box has been shown); Failed when the window could not be made.
    ui::InitResult InitInstance() override;

    std::string SettingRead(SettingKind kind) { return settings_.SettingRead(kind); }
    void SettingWrite(SettingKind kind, std::string_view text) { settings_.SettingWrite(kind, text); }
    void RecentListPush(SettingKind kind, std::string_view text) { settings_.RecentListPush(kind, text); }
    // Fills combo `comboId` of `window` with the recent list and selects its first entry.
    void RecentListFill(SettingKind kind, ui::Window& window, int comboId);

    const StartupState& Startup() const { return state_; }
    platform::Registry& Registry() { return registry_; }

    // Where a refusal is told; none: standard error for a failed call and
    // the refusal box, as the window does.
    std::function<void(const PermissionAnswer&)> reportRefusal;

    void OnAppAbout();
    void OnUpdateAppAbout(ui::CmdUi& cmdUi);

private:
    platform::Registry registry_;
    Settings settings_;
    StartupState state_;
};

// Runs start-up and, when it succeeds, the loop on the back end in use:
// 0 when the user exits, 1 on a refusal or a failure.
int RunWindowProgram(std::vector<std::string> args, StartupState probed,
                     const platform::RegistryConfig& config = platform::RegistryConfig::FromEnvironment());

}  // namespace vexa
