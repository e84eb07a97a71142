// The main form view on the headless back end: command states through a
// run, the form against the controller's snapshot, settings and shutdown.
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tools/sample_recording.h"
#include "platform/ui/dialog.h"
#include "tests/ui/registry_fixture.h"
#include "tests/ui/ui_fixture.h"
#include "vexa/engine/engine_state.h"
#include "vexa/engine/validation_engine.h"
#include "vexa/res/resource_ids.h"
#include "vexa/res/startup_names.h"
#include "vexa/ui/settings.h"
#include "vexa/ui/text_viewer.h"
#include "vexa/ui/ui_module_state.h"
#include "vexa/ui/vexa_app.h"
#include "vexa/ui/vexa_view.h"

namespace {
using platform::Hive;
using uitest::HeadlessUi;
using uitest::TempRegistry;
namespace res = vexa::res;

void WriteBytes(const std::string& path, const ch10fix::Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadSetting(const TempRegistry& reg, vexa::SettingKind kind) {
    platform::Registry registry(reg.Config());
    return vexa::Settings(registry).SettingRead(kind);
}

// The program started on the headless back end, with a recording in a
// temporary directory that also takes the outputs.
struct FormRig {
    TempRegistry reg;
    HeadlessUi ui;
    ch10fix::TempDir dir;
    std::unique_ptr<vexa::CVexaApp> app;
    std::string recording = dir.File("sample.ch10");

    explicit FormRig(const std::string& maxLog = "") {
        if (!maxLog.empty()) reg.SetText(Hive::CurrentUser, std::string(vexa::kUserKey), "MaxLog", maxLog);
        WriteBytes(recording, ch10gen::SampleRecording());
    }
    bool Start(platform::HiveAccess machine = platform::HiveAccess::Always) {
        app = std::make_unique<vexa::CVexaApp>(std::vector<std::string>{}, vexa::StartupState{}, reg.Config(machine));
        return app->InitInstance() == ui::InitResult::Ok;
    }
    vexa::CVexaView& View() { return *static_cast<vexa::CVexaView*>(app->View()); }
    vexa::ValidationEngine& Controller() { return View().Controller(); }
    // What the dialog's OK does for a single recording.
    bool Open(int selectedChannel = 0) {
        vexa::ValidationEngine& e = Controller();
        e.runConfig.inputType = 1;
        e.runConfig.selectedChannel = selectedChannel;
        vexa::OpenFilesTexts texts;
        texts.sourceFile = recording;
        texts.outputDir = dir.Path();
        bool ok = e.OpenFiles(texts);
        View().RefreshForm();
        return ok;
    }
    bool WaitForRunEnd() {
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!View().LastRunEnd() && std::chrono::steady_clock::now() < until)
            ui.driver.PumpWait(std::chrono::milliseconds(20));
        return View().LastRunEnd().has_value();
    }
    bool Enabled(int id) { return app->MainFrame()->UpdateCommand(id).enabled; }
};

TEST(FormView, CommandsFollowTheRun) {
    struct Row {
        std::vector<int> ids;
        bool beforeOpen, afterOpen, afterCompletion;
    };
    const Row rows[] = {
        {{res::kCmdOpenFiles}, true, false, true},
        {{res::kCmdCloseFiles}, false, true, false},
        {{res::kCmdValidate, 1069}, false, true, false},
        {{res::kCmdStop, 1070}, false, true, false},
        {{res::kCmdViewOutputFile, res::kCmdViewSummaryFile}, false, true, true},
        {{res::kCmdResetCounters, res::kCmdViewErrorList}, true, true, true},
    };
    FormRig rig;
    ASSERT_TRUE(rig.Start());
    auto check = [&](const char* stage, bool Row::*column) {
        SCOPED_TRACE(stage);
        for (const Row& row : rows)
            for (int id : row.ids) {
                bool enabled = id < 2000 ? rig.View().IsEnabled(id) : rig.Enabled(id);
                EXPECT_EQ(enabled, row.*column) << id;
            }
    };
    check("before open", &Row::beforeOpen);
    ASSERT_TRUE(rig.Open());
    check("after open", &Row::afterOpen);
    ASSERT_TRUE(rig.ui.driver.Click(rig.View(), 1069));
    ASSERT_TRUE(rig.WaitForRunEnd());
    EXPECT_TRUE(rig.View().LastRunEnd()->completed);
    check("after completion", &Row::afterCompletion);
    EXPECT_EQ(rig.app->MainFrame()->GetStatusBar().panes[0], "Validation completed");
}

TEST(FormView, TimerShowsEveryControlFromTheSnapshot) {
    FormRig rig;
    ASSERT_TRUE(rig.Start());
    EXPECT_EQ(*rig.View().GetText(1059), "0") << "the TMATS box before any Open";
    ASSERT_TRUE(rig.Open());
    ASSERT_TRUE(rig.ui.driver.Command(res::kCmdValidate));
    ASSERT_TRUE(rig.WaitForRunEnd());
    // Set every control to a stale text first, so the timer's refresh shows.
    for (const auto& [id, control] : rig.View().Controls())
        if (control.kind == ui::ControlKind::Edit || id > 0) rig.View().SetText(id, "stale");
    ASSERT_TRUE(rig.ui.driver.FireTimer(rig.View(), vexa::kFormTimerId));
    const vexa::DisplaySnapshot s = rig.Controller().Snapshot();
    using vexa::DisplayText;
    struct TextRow {
        int id;
        std::string expected;
    };
    std::vector<TextRow> texts = {
        {1004, s.Text(DisplayText::source)},      {1006, s.Text(DisplayText::log)},
        {1019, s.Text(DisplayText::selectedChannel)}, {1029, s.Text(DisplayText::dataType)},
        {1008, s.Text(DisplayText::relTime)},     {1037, s.Text(DisplayText::irigTime)},
        {1092, s.Text(DisplayText::versionInfo)}, {1059, s.Text(DisplayText::tmatsErrors)},
        {1026, std::to_string(s.packetCountAll)}, {1030, std::to_string(s.packetCountSelected)},
        {1010, std::to_string(s.packetSeqAll)},   {1034, std::to_string(s.packetSeqSelected)},
        {1012, ui::FormatFloat(s.efficiencyAll)}, {1035, ui::FormatFloat(s.efficiencySelected)},
    };
    const int counters[] = {1047, 1048, 1049, 1050, 1051, 1052, 1053, 1061, 1062, 1025, 1041, 1065, 1066};
    for (int i = 0; i < vexa::kFormCounters; ++i)
        texts.push_back({counters[i], std::to_string(s.errorCounters[static_cast<std::size_t>(i)])});
    for (const TextRow& t : texts) EXPECT_EQ(*rig.View().GetText(t.id), t.expected) << t.id;
    EXPECT_GT(s.packetCountAll, 0u);
    EXPECT_NE(s.Text(DisplayText::source).find("sample.ch10"), std::string::npos);
    uint32_t findings = 0;
    for (uint32_t c : s.errorCounters) findings += c;
    EXPECT_GT(findings, 0u) << "the sample holds garbage and an undeclared channel";
}

TEST(FormView, SelectedChannelColumnFollowsTheOpen) {
    struct Case {
        const char* what;
        int channel;
        bool shown;
    };
    const Case cases[] = {{"all channels", 0, false}, {"one channel", 3, true}, {"all again", 0, false}};
    FormRig rig;
    ASSERT_TRUE(rig.Start());
    for (int id : {1030, 1032, 1034, 1035}) EXPECT_FALSE(rig.View().IsVisible(id)) << id;
    EXPECT_TRUE(rig.View().IsVisible(1029));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(rig.Open(c.channel));
        for (int id : {1030, 1032, 1034, 1035}) EXPECT_EQ(rig.View().IsVisible(id), c.shown) << id;
        EXPECT_TRUE(rig.View().IsVisible(1029)) << "never hidden";
        ASSERT_TRUE(rig.ui.driver.Command(res::kCmdCloseFiles));
    }
}

TEST(FormView, StopWithoutFilesAndASecondStopChangeNothing) {
    FormRig rig;
    ASSERT_TRUE(rig.Start());
    rig.Controller().Stop();
    rig.Controller().Stop();
    EXPECT_FALSE(rig.Enabled(res::kCmdCloseFiles));
    ASSERT_TRUE(rig.Open());
    ASSERT_TRUE(rig.ui.driver.Command(res::kCmdStop));
    EXPECT_FALSE(rig.Enabled(res::kCmdStop));
    EXPECT_FALSE(rig.Enabled(res::kCmdCloseFiles)) << "Stop with open files finishes the run";
    rig.Controller().Stop();
    rig.ui.driver.Pump();
    EXPECT_FALSE(rig.Enabled(res::kCmdValidate));
}

TEST(FormView, MaxLogIsInForceAndWrittenBack) {
    FormRig rig("7");
    ASSERT_TRUE(rig.Start());
    EXPECT_EQ(vexa::Engine().errors.maxSameErrorPerChannel, 7);
    EXPECT_EQ(vexa::Engine().errors.maxErrorsPerPacket, 5);
    EXPECT_EQ(vexa::Engine().errors.maxErrorsPerChannel, 5);
    vexa::Engine().errors.maxSameErrorPerChannel = 9;
    ASSERT_TRUE(rig.ui.driver.Command(res::kCmdAppExit));
    EXPECT_EQ(ReadSetting(rig.reg, vexa::SettingKind::MaxLog), "9");
}

TEST(FormView, ErrorListOpensTheWorkingCopyElseTheDocumentsCopy) {
    struct Case {
        const char* what;
        bool workingCopy;
        const char* applicationDir;  // "": no machine key, so no documents directory
        std::vector<std::string> launched;  // empty: the box instead
    };
    const Case cases[] = {
        {"working directory copy wins", true, "/opt/k", {"viewer", "-x", "VexaV_ErrorList.txt"}},
        {"documents directory", false, "/opt/k", {"viewer", "-x", "/opt/k/Docs/VexaV_ErrorList.txt"}},
        {"neither", false, "", {}},
    };
    const std::string cwd = std::filesystem::current_path().string();
    ::setenv("VISUAL", " viewer  -x ", 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FormRig rig;
        ASSERT_EQ(::chdir(rig.dir.Path().c_str()), 0);
        if (c.workingCopy) std::ofstream(rig.dir.File("VexaV_ErrorList.txt")) << "list\n";
        if (*c.applicationDir != '\0')
            rig.reg.SetText(Hive::LocalMachine, std::string(vexa::kCommonKey),
                            std::string(vexa::kApplicationDirValue), c.applicationDir);
        std::vector<std::vector<std::string>> launched;
        vexa::UiState().launchTextViewer = [&](const std::vector<std::string>& argv) {
            launched.push_back(argv);
            return true;
        };
        ASSERT_TRUE(rig.Start(platform::HiveAccess::Never));
        EXPECT_TRUE(rig.ui.driver.Command(res::kCmdViewErrorList));
        vexa::UiState().ResetForTests();
        ASSERT_EQ(::chdir(cwd.c_str()), 0);
        if (c.launched.empty()) {
            EXPECT_TRUE(launched.empty());
            ASSERT_EQ(rig.ui.backend.Boxes().size(), 1u);
            EXPECT_EQ(rig.ui.backend.Boxes()[0].text, "Can't find Error List File 'VexaV_ErrorList.txt'");
        } else {
            EXPECT_TRUE(rig.ui.backend.Boxes().empty());
            ASSERT_EQ(launched.size(), 1u);
            EXPECT_EQ(launched[0], c.launched);
        }
    }
    ::unsetenv("VISUAL");
}

TEST(TextViewer, CommandFromVisualElseXdgOpen) {
    ch10fix::TempDir bin;
    const std::string xdg = bin.File("xdg-open");
    std::ofstream(xdg) << "#!/bin/sh\n";
    ASSERT_EQ(::chmod(xdg.c_str(), 0755), 0);
    struct Case {
        const char* what;
        const char* visual;
        std::string path;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"words of VISUAL", "gvim -f", "/nowhere", {"gvim", "-f", "f.txt"}},
        {"quotes are not parsed", "\"my editor\"", "/nowhere", {"\"my", "editor\"", "f.txt"}},
        {"blank VISUAL is unset", "   ", bin.Path(), {"xdg-open", "f.txt"}},
        {"no VISUAL", nullptr, "/nowhere:" + bin.Path(), {"xdg-open", "f.txt"}},
        {"neither", nullptr, "/nowhere", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(vexa::TextViewerCommand("f.txt", c.visual, c.path), c.expected);
    }
}

// The frame closed while the workers run: the view's end joins them, writes
// "MaxLog" and removes the temporary TMATS log.
TEST(FormView, ClosingTheFrameDuringARunJoinsIt) {
    FormRig rig("3");
    ASSERT_TRUE(ch10gen::WriteStream(rig.recording, 48u << 20));
    ASSERT_TRUE(rig.Start());
    ASSERT_TRUE(rig.Open());
    const std::string tmatsLog = rig.Controller().Tmats().LogPath();
    ASSERT_TRUE(rig.ui.driver.Command(res::kCmdValidate));
    rig.ui.driver.PumpWait(std::chrono::milliseconds(30));
    ASSERT_TRUE(rig.ui.driver.Command(res::kCmdAppExit));
    EXPECT_EQ(rig.app->View(), nullptr);
    EXPECT_EQ(ReadSetting(rig.reg, vexa::SettingKind::MaxLog), "3");
    if (!tmatsLog.empty()) {
        EXPECT_FALSE(std::filesystem::exists(tmatsLog));
    }
    rig.ui.driver.Pump();  // posts of the ended run reach no view
}

TEST(FormView, ResetDuringARunZeroesTheBoxesWhileCountingGoesOn) {
    FormRig rig;
    ASSERT_TRUE(ch10gen::WriteStream(rig.recording, 48u << 20));
    ASSERT_TRUE(rig.Start());
    ASSERT_TRUE(rig.Open());
    ASSERT_TRUE(rig.ui.driver.Click(rig.View(), 1069));
    rig.Controller().Errors().Bump(vexa::FormCounter::syncErrors, 4);
    ASSERT_TRUE(rig.ui.driver.FireTimer(rig.View(), vexa::kFormTimerId));
    ASSERT_EQ(*rig.View().GetText(1047), "4");
    ASSERT_TRUE(rig.ui.driver.Click(rig.View(), 1068));
    EXPECT_EQ(*rig.View().GetText(1047), "0");
    ASSERT_TRUE(rig.WaitForRunEnd());
    ASSERT_TRUE(rig.ui.driver.FireTimer(rig.View(), vexa::kFormTimerId));
    EXPECT_NE(*rig.View().GetText(1026), "0") << "packet counts are not reset";
}

}  // namespace
