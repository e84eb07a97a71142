// The window program's start-up and main frame on the headless back end, in
// process, and the built program without a display.
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "tests/support/program_run.h"
#include "tests/ui/registry_fixture.h"
#include "tests/ui/ui_fixture.h"
#include "vexa/res/resource_ids.h"
#include "vexa/res/startup_names.h"
#include "vexa/ui/vexa_app.h"

namespace {
using platform::Hive;
using platform::HiveAccess;
using uitest::HeadlessUi;
using uitest::TempRegistry;
namespace res = vexa::res;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void RegisterObject(const TempRegistry& reg, const std::string& body) {
    std::string server = reg.Dir() + "/permission.sh";
    std::ofstream(server) << "#!/bin/sh\n" << body << "\n";
    ::chmod(server.c_str(), 0755);
    reg.SetText(Hive::LocalMachine, "SOFTWARE\\Classes\\" + std::string(vexa::kPermissionProgId), "LocalServer",
                server);
}

vexa::StartupState Probed(int errorListMissing) {
    vexa::StartupState s;
    s.errorListMissing = errorListMissing;
    return s;
}

TEST(Startup, PermissionDecidesBeforeAnyWindow) {
    struct Case {
        const char* what;
        const char* object;  // nullptr: none registered
        bool admitted;
        bool reasonOnStderr;
    };
    const Case cases[] = {
        {"no object", nullptr, true, false},
        {"object prints 0", "echo 0", false, false},
        {"object exits 3", "exit 3", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempRegistry reg;
        if (c.object != nullptr) RegisterObject(reg, c.object);
        const std::string machineBefore = ReadFile(reg.MachineFile());
        HeadlessUi ui;
        bool sawFrame = false;
        ui.backend.SetSession([&](ui::Driver& d) {
            sawFrame = d.MainFrame() != nullptr;
            d.Command(res::kCmdAppExit);
        });
        testing::internal::CaptureStderr();
        int status = vexa::RunWindowProgram({}, Probed(1), reg.Config(HiveAccess::Always));
        std::string err = testing::internal::GetCapturedStderr();
        if (c.admitted) {
            EXPECT_EQ(status, 0);
            EXPECT_TRUE(sawFrame);
            EXPECT_TRUE(ui.backend.Boxes().empty());
            continue;
        }
        EXPECT_EQ(status, 1);
        EXPECT_FALSE(sawFrame);
        ASSERT_EQ(ui.backend.Boxes().size(), 1u);
        const ui::BoxRecord& box = ui.backend.Boxes()[0];
        EXPECT_EQ(box.text, vexa::kRefusalText);
        EXPECT_EQ(box.caption, "Kelvane");
        EXPECT_EQ(box.icon, ui::Icon::Warning);
        EXPECT_EQ(box.buttons, ui::Buttons::Ok);
        EXPECT_EQ(box.owner, nullptr);
        EXPECT_EQ(box.windowsAlive, 0);
        EXPECT_EQ(ui.backend.WindowsAlive(), 0);
        EXPECT_FALSE(std::filesystem::exists(reg.UserFile()));
        EXPECT_EQ(ReadFile(reg.MachineFile()), machineBefore) << "the machine hive gains no key";
        EXPECT_EQ(err.find("permission") != std::string::npos, c.reasonOnStderr) << err;
    }
}

TEST(Startup, AboutFollowsTheFamilyKey) {
    struct Case {
        const char* what;
        HiveAccess machine;
        bool aboutEnabled;
    };
    for (const Case& c : {Case{"read-only, keys missing", HiveAccess::Never, false},
                          Case{"writable, keys missing", HiveAccess::Always, true}}) {
        SCOPED_TRACE(c.what);
        TempRegistry reg;
        HeadlessUi ui;
        int aboutShown = 0;
        ui.backend.AnswerModal(res::kIddAbout, [&](ui::Dialog& d, ui::Driver& dr) {
            ++aboutShown;
            // The key start-up created opens: its version, with logo and name.
            EXPECT_EQ(d.GetText(1021), "Version 3.9");
            EXPECT_TRUE(d.IsVisible(1017));
            EXPECT_TRUE(d.IsVisible(140));
            EXPECT_TRUE(dr.Click(d, ui::kIdOk));
        });
        vexa::CVexaApp app({}, Probed(1), reg.Config(c.machine));
        ASSERT_EQ(app.InitInstance(), ui::InitResult::Ok);
        platform::Registry check(reg.Config());
        platform::RegistryKey key;
        EXPECT_EQ(check.Open(Hive::LocalMachine, vexa::kFamilyKey, key) == platform::RegStatus::Ok, c.aboutEnabled);
        EXPECT_EQ(check.Open(Hive::LocalMachine, vexa::kCommonKey, key) == platform::RegStatus::Ok, c.aboutEnabled);
        auto help = ui.driver.OpenMenu(3);
        ASSERT_EQ(help.size(), 1u);
        EXPECT_EQ(help[0].enabled, c.aboutEnabled);
        EXPECT_EQ(ui.driver.Command(res::kCmdAppAbout), c.aboutEnabled);
        EXPECT_EQ(aboutShown, c.aboutEnabled ? 1 : 0);
        EXPECT_EQ(app.Startup().versionText, c.aboutEnabled ? "3.9" : "");
        EXPECT_EQ(app.Startup().docsDir, c.aboutEnabled ? vexa::kDefaultDocsDir : "");
    }
}

TEST(Startup, ABarThatCannotBeCreatedFailsTheStart) {
    for (ui::BarKind kind : {ui::BarKind::Toolbar, ui::BarKind::StatusBar}) {
        SCOPED_TRACE(static_cast<int>(kind));
        TempRegistry reg;
        HeadlessUi ui;
        ui.backend.FailBar(kind);
        testing::internal::CaptureStderr();
        int status = vexa::RunWindowProgram({}, Probed(1), reg.Config());
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(status, 1);
        EXPECT_EQ(err, "vexa: cannot create the main window\n");
        EXPECT_EQ(ui.backend.WindowsAlive(), 0);
    }
}

TEST(Startup, CommandLineOnlyPrefillsTheSource) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"rec.ch10"}, std::vector<std::string>{"--bogus", "rec.ch10"}}) {
        TempRegistry reg;
        HeadlessUi ui;
        vexa::CVexaApp app(args, Probed(1), reg.Config());
        ASSERT_EQ(app.InitInstance(), ui::InitResult::Ok);
        EXPECT_EQ(app.Startup().initialSource, "rec.ch10");
        EXPECT_TRUE(ui.backend.FileDialogs().empty());
        EXPECT_TRUE(ui.backend.ModalStack().empty());
        EXPECT_TRUE(ui.backend.Boxes().empty());
    }
}

TEST(Startup, FrameIsFixedCentredAtTheFormSizeWithTheTitleByTheRule) {
    struct Case {
        const char* what;
        ui::Size screen;
        int errorListMissing;
        std::string title;
    };
    const Case cases[] = {
        {"large screen, no error list", {1600, 1200}, 1, "Kelvane"},
        {"large screen, error list", {1600, 1200}, 0, "Kelvane - Ver 3.9"},
        {"screen smaller than the form", {400, 300}, 1, "Kelvane"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempRegistry reg;
        HeadlessUi ui;
        ui.backend.SetScreenSize(c.screen);
        vexa::CVexaApp app({}, Probed(c.errorListMissing), reg.Config());
        ASSERT_EQ(app.InitInstance(), ui::InitResult::Ok);
        ui::Frame& frame = *app.MainFrame();
        EXPECT_EQ(frame.Title(), c.title);
        EXPECT_EQ(frame.Style() & (ui::kThickFrame | ui::kMaximizeBox), 0u);
        EXPECT_NE(frame.Style() & ui::kMinimizeBox, 0u);
        ui::Size form = app.View()->FormSize();
        ASSERT_GT(form.cx, 0);
        const ui::Rect& b = frame.Bounds();
        EXPECT_EQ(b.cx, std::min(form.cx, c.screen.cx));
        EXPECT_EQ(b.cy, std::min(form.cy, c.screen.cy));
        EXPECT_EQ(b.x, (c.screen.cx - b.cx) / 2);
        EXPECT_EQ(b.y, (c.screen.cy - b.cy) / 2);
    }
}

TEST(Startup, BarsToggleAndOnlyTheAlwaysEnabledProgramCommandsStartEnabled) {
    TempRegistry reg;
    HeadlessUi ui;
    vexa::CVexaApp app({}, Probed(1), reg.Config());
    ASSERT_EQ(app.InitInstance(), ui::InitResult::Ok);
    ui::Frame& frame = *app.MainFrame();
    ui.driver.Idle();

    const std::vector<int> expected{res::kCmdOpenFiles,     res::kCmdCloseFiles,     0,
                                    res::kCmdValidate,      res::kCmdStop,           res::kCmdResetCounters,
                                    0,                      res::kCmdViewOutputFile, res::kCmdViewSummaryFile,
                                    res::kCmdViewErrorList};
    // Open while no files are open, Reset and the error list always; the
    // rest needs open files.
    auto alwaysOn = [](int id) {
        return id == res::kCmdOpenFiles || id == res::kCmdResetCounters || id == res::kCmdViewErrorList;
    };
    std::vector<int> ids;
    for (const ui::BarButton& b : frame.GetToolbar().buttons) {
        ids.push_back(b.id);
        EXPECT_EQ(b.enabled, alwaysOn(b.id)) << b.id;
    }
    EXPECT_EQ(ids, expected);
    for (int id : expected)
        if (id != 0 && !alwaysOn(id)) { EXPECT_FALSE(ui.driver.Command(id)) << id; }
    for (int menu = 0; menu < 4; ++menu)
        for (const ui::MenuEntry& e : ui.driver.OpenMenu(menu)) {
            if (e.id == 0) continue;
            bool builtIn = e.id == res::kCmdAppExit || e.id == res::kCmdViewToolbar ||
                           e.id == res::kCmdViewStatusBar || e.id == res::kCmdAppAbout;
            EXPECT_EQ(e.enabled, builtIn || alwaysOn(e.id)) << e.text;
        }
    EXPECT_EQ(frame.GetStatusBar().panes, (std::vector<std::string>{"Ready", "CAP", "NUM", "SCRL"}));

    struct Bar {
        int id;
        std::function<bool()> visible;
    };
    for (const Bar& bar : {Bar{res::kCmdViewToolbar, [&] { return frame.GetToolbar().visible; }},
                           Bar{res::kCmdViewStatusBar, [&] { return frame.GetStatusBar().visible; }}}) {
        SCOPED_TRACE(bar.id);
        auto checked = [&] {
            for (const ui::MenuEntry& e : ui.driver.OpenMenu(2))
                if (e.id == bar.id) return e.checked;
            return false;
        };
        EXPECT_TRUE(bar.visible());
        EXPECT_TRUE(checked());
        EXPECT_TRUE(ui.driver.ChooseMenu(2, bar.id));
        EXPECT_FALSE(bar.visible());
        EXPECT_FALSE(checked());
        EXPECT_TRUE(ui.driver.Command(bar.id));
        EXPECT_TRUE(bar.visible());
    }
    EXPECT_TRUE(ui.driver.Command(res::kCmdAppExit));
    EXPECT_EQ(app.MainFrame(), nullptr);
    EXPECT_EQ(ui.backend.WindowsAlive(), 0);
}

TEST(Startup, TwoStartsInOneProcessEachSeeTheirOwnRegistry) {
    for (const char* version : {"7.1", "8.2"}) {
        SCOPED_TRACE(version);
        TempRegistry reg;
        reg.SetText(Hive::LocalMachine, std::string(vexa::kFamilyKey), "VERSION", version);
        HeadlessUi ui;
        ui.backend.SetSession([](ui::Driver& d) { d.Command(res::kCmdAppExit); });
        vexa::CVexaApp app({}, Probed(1), reg.Config());
        ASSERT_EQ(app.InitInstance(), ui::InitResult::Ok);
        EXPECT_EQ(app.Startup().versionText, version);
        EXPECT_EQ(app.Run(), 0);
    }
}

TEST(Startup, RecentListFillShowsTheEntriesAndSelectsTheFirst) {
    TempRegistry reg;
    HeadlessUi ui;
    vexa::CVexaApp app({}, Probed(1), reg.Config());
    for (const char* dir : {"/data/b", "/data/a"}) app.RecentListPush(vexa::SettingKind::SourceDir, dir);
    ui::Window w;
    w.CreateControls(*uitest::TestResources().Dialog(uitest::kTestTemplate));
    app.RecentListFill(vexa::SettingKind::SourceDir, w, uitest::kEditCombo);
    ASSERT_EQ(w.ComboCount(uitest::kEditCombo), 2);
    EXPECT_EQ(w.ComboEntry(uitest::kEditCombo, 0), "/data/a");
    EXPECT_EQ(w.ComboEntry(uitest::kEditCombo, 1), "/data/b");
    EXPECT_EQ(w.ComboSelection(uitest::kEditCombo), 0);
    EXPECT_EQ(w.GetText(uitest::kEditCombo), "/data/a");
}

TEST(Startup, BuiltProgramWithoutADisplay) {
    TempRegistry reg;
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string outHas, errHas;
    };
    const Case cases[] = {
        {{}, 1, "", "vexa --headless"},
        {{"rec.ch10"}, 1, "", "vexa --headless"},
        {{"--help"}, 0, "vexa --headless", ""},
    };
    for (const Case& c : cases) {
        std::vector<std::string> argv{VEXA_PROGRAM};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        ch10fix::ProgramRun r = ch10fix::RunProgram(argv, reg.Dir());
        EXPECT_EQ(r.ExitCode(), c.status);
        EXPECT_NE(r.out.find(c.outHas), std::string::npos) << r.out;
        EXPECT_NE(r.err.find(c.errHas), std::string::npos) << r.err;
        if (c.status == 1) { EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err; }
    }
}

}  // namespace
