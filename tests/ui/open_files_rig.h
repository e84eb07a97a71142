#pragma once
// The program started on the headless back end with a registry of its own,
// and "Open Files" run against its view's controller.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "platform/registry.h"
#include "tests/support/ch10_fixture.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tmats_builder.h"
#include "tests/ui/registry_fixture.h"
#include "tests/ui/ui_fixture.h"
#include "vexa/engine/engine_state.h"
#include "vexa/engine/validation_engine.h"
#include "vexa/res/resource_ids.h"
#include "vexa/res/startup_names.h"
#include "vexa/ui/open_files_dlg.h"
#include "vexa/ui/settings.h"
#include "vexa/ui/ui_module_state.h"
#include "vexa/ui/vexa_app.h"
#include "vexa/ui/vexa_view.h"

namespace uitest {

struct Channel {
    int id;
    const char* word;  // the TMATS type word
    bool enabled = true;
};

// A setup record declaring `channels`.
inline ch10fix::Bytes SetupRecord(const std::vector<Channel>& channels, const std::string& program = "RIG") {
    ch10fix::TmatsAttributes t{{"G\\PN", program}, {"G\\106", "07"}};
    t.Add("R-1\\N", std::to_string(channels.size()));
    for (std::size_t i = 0; i < channels.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        t.Add("R-1\\TK1-" + n, std::to_string(channels[i].id));
        t.Add("R-1\\DSI-" + n, "DS" + n);
        t.Add("R-1\\CDT-" + n, channels[i].word);
        t.Add("R-1\\CHE-" + n, channels[i].enabled ? "T" : "F");
    }
    return ch10fix::BuildSetupPacket(t);
}

class OpenRig {
public:
    OpenRig() {
        vexa::UiState().ResetForTests();
        vexa::Engine().spaceDelimited = false;
    }
    ~OpenRig() {
        app.reset();
        vexa::UiState().ResetForTests();
    }

    void SetUser(const std::string& name, const std::string& text) {
        reg.SetText(platform::Hive::CurrentUser, std::string(vexa::kUserKey), name, text);
    }
    void SetMachine(const std::string& key, const std::string& name, const std::string& text) {
        reg.SetText(platform::Hive::LocalMachine, key, name, text);
    }
    std::string User(const std::string& name) const {
        platform::Registry registry(reg.Config());
        platform::RegistryKey key;
        if (registry.Open(platform::Hive::CurrentUser, vexa::kUserKey, key) != platform::RegStatus::Ok) return "<none>";
        return platform::QueryText(key, name).value_or("<none>");
    }

    bool Start(std::vector<std::string> args = {}, platform::HiveAccess machine = platform::HiveAccess::Always) {
        app = std::make_unique<vexa::CVexaApp>(std::move(args), vexa::StartupState{}, reg.Config(machine));
        return app->InitInstance() == ui::InitResult::Ok;
    }
    vexa::CVexaView& View() { return *static_cast<vexa::CVexaView*>(app->View()); }
    vexa::ValidationEngine& E() { return View().Controller(); }

    std::string Write(const std::string& name, const ch10fix::Bytes& bytes) {
        const std::string path = dir.File(name);
        EXPECT_TRUE(ch10fix::WriteFile(path, bytes));
        return path;
    }

    // Runs the dialog; `answer` acts in it and ends it, or Cancel is
    // pressed after it. The end code.
    int Run(const std::function<void(vexa::COpenFilesDlg&, ui::Driver&)>& answer) {
        ui.backend.AnswerModal(vexa::res::kIddOpenFiles, [&](ui::Dialog& d, ui::Driver& driver) {
            answer(static_cast<vexa::COpenFilesDlg&>(d), driver);
            if (!d.Ended()) driver.Click(d, ui::kIdCancel);
        });
        vexa::COpenFilesDlg dialog(E(), app.get(), app->MainFrame());
        return dialog.DoModal();
    }

    // Open (answered as set up), Validate and the wait for the run's end:
    // true when the status bar reads "Validation completed".
    bool OpenAndValidate() {
        ui::Driver& driver = ui.driver;
        if (!driver.Command(vexa::res::kCmdOpenFiles) || !driver.Command(vexa::res::kCmdValidate)) return false;
        ui::Frame& frame = *app->MainFrame();
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (frame.GetStatusBar().panes[0] != "Validation completed" && std::chrono::steady_clock::now() < until)
            driver.PumpWait(std::chrono::milliseconds(20));
        return frame.GetStatusBar().panes[0] == "Validation completed";
    }

    // The box texts shown since `from`.
    std::vector<std::string> BoxTexts(std::size_t from = 0) const {
        std::vector<std::string> out;
        const auto& boxes = ui.backend.Boxes();
        for (std::size_t i = from; i < boxes.size(); ++i) out.push_back(boxes[i].text);
        return out;
    }

    TempRegistry reg;
    HeadlessUi ui;
    ch10fix::TempDir dir;
    std::unique_ptr<vexa::CVexaApp> app;
};

}  // namespace uitest
