#include "vexa/ui/about_dlg.h"

#include <string>
#include <string_view>

#include "platform/registry.h"
#include "platform/ui/app.h"
#include "platform/ui/services.h"
#include "vexa/res/resource_ids.h"
#include "vexa/ui/startup.h"
#include "vexa/ui/system_info.h"
#include "vexa/ui/ui_module_state.h"

namespace vexa {
namespace {

constexpr std::string_view kUserInfoKey = "SOFTWARE\\Orvane\\Talmor\\UserInfo";
// The About box's values are read through a buffer of this size.
constexpr std::size_t kAboutValueBuffer = 200;

bool OpenMachineKey(platform::Registry& registry, std::string_view path, platform::RegistryKey& key) {
    return registry.Open(platform::Hive::LocalMachine, path, key) == platform::RegStatus::Ok;
}

// Sets the control only when the value is present and not empty.
void SetFromValue(ui::Window& window, int id, const platform::RegistryKey& key, std::string_view name) {
    std::optional<std::string> text = platform::QueryText(key, name, kAboutValueBuffer);
    if (text && !text->empty()) window.SetText(id, *text);
}

}  // namespace

CAboutDlg::CAboutDlg(const StartupState& state, platform::Registry& registry, ui::Window* owner)
    : ui::Dialog(res::kIddAbout, owner), state_(state), registry_(registry) {
    OnNotify(ui::Notify::Clicked, res::kIdcSystemInfo, [this] { OnSystemInfo(); });
}

bool CAboutDlg::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    // The layer's bold font lives with the control, so with the dialog.
    SetBold(res::kIdcAboutAppName);
    SetWindowIcon(res::kIdrMainFrame);
    Show(res::kIdcAboutLogo, false);
    Show(res::kIdcAboutAppName, false);
    if (state_.errorListMissing == 1)
        ShowMachineValues();
    else
        SetText(res::kIdcAboutVersion, "Version " + state_.builtInVersion);
    return true;
}

void CAboutDlg::ShowMachineValues() {
    platform::RegistryKey key;
    if (OpenMachineKey(registry_, kFamilyKey, key)) {
        // The version as start-up read it, not read again.
        SetText(res::kIdcAboutVersion, "Version " + state_.versionText);
        Show(res::kIdcAboutLogo);
        Show(res::kIdcAboutAppName);
    }
    if (OpenMachineKey(registry_, kUserInfoKey, key)) {
        SetFromValue(*this, res::kIdcAboutUser, key, "USERNAME");
        SetFromValue(*this, res::kIdcAboutCompany, key, "COMPANYNAME");
    }
    if (OpenMachineKey(registry_, kCommonKey, key)) SetFromValue(*this, res::kIdcAboutAppName, key, "APPLICATIONNAME");
}

void CAboutDlg::OnSystemInfo() {
    const std::string pathKey(ui::CurrentResources().String(res::kIdsSystemInfoKey));
    if (std::optional<std::string> program = FindSystemInfoProgram(registry_, pathKey)) {
        // Whether it starts is not reported, as with the text viewer.
        UiState().launchSystemInfo({*program});
        return;
    }
    ui::MessageBox(this, "System Information is Unavailable At This Time", "Mirsk.exe", ui::Icon::Warning);
}

}  // namespace vexa
