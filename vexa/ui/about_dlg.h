#pragma once
// The About box (template 100): version, user and company from the machine
// hive, the logo and the application name, and "System Info".
#include "platform/ui/dialog.h"

namespace platform {
class Registry;
}

namespace vexa {

struct StartupState;

class CAboutDlg : public ui::Dialog {
public:
    CAboutDlg(const StartupState& state, platform::Registry& registry, ui::Window* owner = nullptr);

    bool OnInitDialog() override;
    void OnSystemInfo();

private:
    void ShowMachineValues();

    const StartupState& state_;
    platform::Registry& registry_;
};

}  // namespace vexa
