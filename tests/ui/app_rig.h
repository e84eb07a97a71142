#pragma once
// The window program started on the headless back end with a registry of
// its own, a temporary directory for recordings and outputs, and a text
// viewer that records what it is asked to open.
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/ui/services.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/registry_fixture.h"
#include "tests/ui/ui_fixture.h"
#include "vexa/engine/validation_engine.h"
#include "vexa/ui/startup.h"
#include "vexa/ui/ui_module_state.h"
#include "vexa/ui/vexa_app.h"
#include "vexa/ui/vexa_view.h"

namespace uitest {

struct AppRig {
    TempRegistry reg;
    HeadlessUi ui;
    ch10fix::TempDir dir;
    std::unique_ptr<vexa::CVexaApp> app;
    std::vector<std::vector<std::string>> launched;

    AppRig() {
        // The viewer's command is then {"test-viewer", path}.
        ::setenv("VISUAL", "test-viewer", 1);
        vexa::UiState().launchTextViewer = [this](const std::vector<std::string>& argv) {
            launched.push_back(argv);
            return true;
        };
    }
    ~AppRig() {
        app.reset();
        vexa::UiState().ResetForTests();
        ::unsetenv("VISUAL");
    }
    AppRig(const AppRig&) = delete;
    AppRig& operator=(const AppRig&) = delete;

    bool Start(vexa::StartupState probed = {}, platform::HiveAccess machine = platform::HiveAccess::Always) {
        app = std::make_unique<vexa::CVexaApp>(std::vector<std::string>{}, std::move(probed), reg.Config(machine));
        return app->InitInstance() == ui::InitResult::Ok;
    }
    vexa::CVexaView& View() { return *static_cast<vexa::CVexaView*>(app->View()); }
    vexa::ValidationEngine& Engine() { return View().Controller(); }
    // The path the viewer was asked to open by each launch, in order.
    std::vector<std::string> LaunchedPaths() const {
        std::vector<std::string> paths;
        for (const auto& argv : launched) paths.push_back(argv.empty() ? std::string() : argv.back());
        return paths;
    }
};

}  // namespace uitest
