// The viewers while a run is live: the lists read the run's names without
// changing them, and the chooser reads the listing names the processor is
// adding.
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/engine/pipeline/fake_input_rig.h"
#include "tests/support/engine_rig.h"
#include "tests/ui/app_rig.h"
#include "tools/sample_recording.h"
#include "vexa/res/resource_ids.h"

namespace {
namespace fs = std::filesystem;
using namespace std::chrono_literals;
using uitest::AppRig;
namespace res = vexa::res;

// Pumps the UI thread's posts until the view has seen the run end.
bool AwaitRunEnd(AppRig& rig, vexa::CVexaView& view) {
    const auto until = std::chrono::steady_clock::now() + 120s;
    while (!view.LastRunEnd() && std::chrono::steady_clock::now() < until) rig.ui.driver.PumpWait(20ms);
    return view.LastRunEnd().has_value();
}

TEST(ViewFilesDuringRun, BothListsLeaveTheLiveRunsNamesAlone) {
    AppRig rig;
    ASSERT_TRUE(rig.Start());
    rig::FakeInput input;
    // The reader of the first file waits in its second read.
    input.AddRule({"a.ch10", 2, rig::FakeInput::Action::Block});
    vexa::EngineTestAccess::ResetModuleState();
    vexa::CVexaView view(input);
    vexa::ValidationEngine& e = view.Controller();

    const std::string src = rig.dir.File("src"), out = rig.dir.File("out");
    fs::create_directories(src);
    fs::create_directories(out);
    ASSERT_TRUE(ch10fix::WriteFile(src + "/a.ch10", rig::BusyStream(1'500'000)));
    ASSERT_TRUE(ch10fix::WriteFile(src + "/b.ch10", ch10gen::SampleRecording()));
    ASSERT_TRUE(ch10fix::WriteFile(src + "/c.ch10", ch10gen::SampleRecording()));
    e.runConfig.inputType = 0;
    vexa::OpenFilesTexts texts;
    texts.sourceDir = src;
    texts.outputDir = out;
    ASSERT_TRUE(e.OpenFiles(texts));
    e.Validate();
    ASSERT_TRUE(input.blocked.WaitFor(60s));

    const vexa::OutputNames before = e.runConfig.CurrentOutputNames();
    std::vector<std::vector<std::string>> lists;
    rig.ui.backend.AnswerModal(res::kIddViewFiles, [&](ui::Dialog& d, ui::Driver& dr) {
        std::vector<std::string> rows;
        for (int r = 0; r < d.ListCount(1091); ++r) rows.push_back(d.ListItem(1091, r, 0));
        lists.push_back(rows);
        EXPECT_TRUE(dr.Click(d, ui::kIdCancel));
    });
    view.OnViewOutputFile();
    view.OnViewSummaryFile();
    const vexa::OutputNames after = e.runConfig.CurrentOutputNames();
    EXPECT_EQ(after.outputPath, before.outputPath);
    EXPECT_EQ(after.summaryPath, before.summaryPath);
    EXPECT_EQ(after.tmatsTextPath, before.tmatsTextPath);
    ASSERT_EQ(lists.size(), 2u);
    ASSERT_EQ(lists[0].size(), 3u);
    ASSERT_EQ(lists[1].size(), 3u);
    EXPECT_EQ(lists[0][0], before.outputPath) << "the live file is the first row";
    EXPECT_EQ(lists[1][0], before.summaryPath);

    input.release.Open();
    ASSERT_TRUE(AwaitRunEnd(rig, view));
    EXPECT_TRUE(view.LastRunEnd()->completed);
    EXPECT_EQ(e.FilesValidated(), 3);
    // Each source's log, summary and TMATS content file under its own name.
    for (std::size_t i = 0; i < lists[0].size(); ++i) {
        const vexa::OutputNames names = vexa::MakeOutputNames(out, e.runConfig.sourceFiles[i]);
        EXPECT_EQ(lists[0][i], names.outputPath);
        EXPECT_EQ(lists[1][i], names.summaryPath);
        EXPECT_TRUE(fs::exists(names.outputPath)) << names.outputPath;
        EXPECT_TRUE(fs::exists(names.tmatsTextPath)) << names.tmatsTextPath;
        EXPECT_TRUE(fs::exists(names.summaryPath)) << names.summaryPath;
        for (std::size_t j = 0; j < i; ++j) EXPECT_NE(lists[0][i], lists[0][j]);
    }
}

TEST(ViewFilesDuringRun, ChooserReadsTheListingNamesWhileTheRunAddsThem) {
    AppRig rig;
    ASSERT_TRUE(rig.Start());
    vexa::EngineTestAccess::ResetModuleState();
    vexa::CVexaView view;
    vexa::ValidationEngine& e = view.Controller();
    const std::string recording = rig.dir.File("busy.ch10");
    ASSERT_TRUE(ch10fix::WriteFile(recording, rig::BusyStream(3'000'000)));
    e.runConfig.inputType = 1;
    vexa::Engine().spaceDelimited = true;
    vexa::OpenFilesTexts texts;
    texts.sourceFile = recording;
    texts.outputDir = rig.dir.Path();
    ASSERT_TRUE(e.OpenFiles(texts));
    e.Validate();
    int drops = 0;
    int mostNames = 0;
    rig.ui.backend.AnswerModal(res::kIddViewOutputFile, [&](ui::Dialog& d, ui::Driver& dr) {
        // While the run names its listings, then once after its end.
        const auto until = std::chrono::steady_clock::now() + 60s;
        while (vexa::EngineTestAccess::Running(e) && std::chrono::steady_clock::now() < until) {
            EXPECT_TRUE(dr.DropDown(d, 1071));
            ++drops;
            std::this_thread::sleep_for(200us);
        }
        EXPECT_TRUE(dr.DropDown(d, 1071));
        mostNames = d.ComboCount(1071);
        dr.Escape(d);
    });
    view.OnViewOutputFile();
    ASSERT_TRUE(AwaitRunEnd(rig, view));
    EXPECT_GT(drops, 0) << "read while the run was live";
    // Channels 2 and 3 and the "TMATS" file, at least.
    EXPECT_GE(mostNames, 3);
    vexa::EngineTestAccess::ResetModuleState();
}

}  // namespace
