// The output and summary viewers: which one each command shows, the
// chooser of a Space Delimited run and the file list of a directory run.
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/ch10_fixture.h"
#include "tests/support/engine_test_access.h"
#include "tests/ui/app_rig.h"
#include "tools/sample_recording.h"
#include "vexa/engine/engine_state.h"
#include "vexa/res/resource_ids.h"
#include "vexa/ui/view_files_dlg.h"
#include "vexa/ui/view_output_file_dlg.h"

namespace {
namespace fs = std::filesystem;
using uitest::AppRig;
namespace res = vexa::res;

// What one viewer command did.
struct Outcome {
    enum Kind { Files, Chooser, Launch, Box, Nothing };
    Kind kind = Nothing;
    std::string detail;  // title of View Files, launched path or box text
    int mode = -1;       // View Files' mode
    bool operator==(const Outcome&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Outcome& o) {
    return os << "{" << o.kind << ", \"" << o.detail << "\", " << o.mode << "}";
}

Outcome RunViewer(AppRig& rig, void (vexa::CVexaView::*command)()) {
    Outcome o;
    int shown = 0;
    rig.ui.backend.AnswerModal(res::kIddViewFiles, [&](ui::Dialog& d, ui::Driver& driver) {
        ++shown;
        o = {Outcome::Files, d.Title(), static_cast<vexa::CViewFilesDlg&>(d).ViewMode()};
        EXPECT_TRUE(driver.Click(d, ui::kIdCancel));
    });
    rig.ui.backend.AnswerModal(res::kIddViewOutputFile, [&](ui::Dialog& d, ui::Driver& driver) {
        ++shown;
        o = {Outcome::Chooser, d.Title(), -1};
        driver.Escape(static_cast<ui::Dialog&>(d));
    });
    const std::size_t boxes = rig.ui.backend.Boxes().size();
    rig.launched.clear();
    (rig.View().*command)();
    const std::size_t newBoxes = rig.ui.backend.Boxes().size() - boxes;
    EXPECT_LE(shown + rig.launched.size() + newBoxes, 1u) << "one outcome per command";
    if (!rig.launched.empty()) o = {Outcome::Launch, rig.launched.back().back(), -1};
    if (newBoxes != 0) {
        const ui::BoxRecord& box = rig.ui.backend.Boxes().back();
        EXPECT_EQ(box.caption, "Kelvane");
        o = {Outcome::Box, box.text, -1};
    }
    return o;
}

TEST(Viewers, EachCommandFollowsTheConfirmedKindAndFormat) {
    const std::string log = "/runs/validate.log", summary = "/runs/validate.log.summary.txt";
    const Outcome filesOut{Outcome::Files, "View Output Files", 0};
    const Outcome filesSum{Outcome::Files, "View Summary Files", 1};
    const Outcome chooser{Outcome::Chooser, "View Output Files", -1};
    struct Row {
        const char* what;
        int kind;
        bool spaceDelimited;
        std::string outputPath, summaryPath;
        Outcome output, summary;
    };
    const Row rows[] = {
        {"directory, Verbose", 0, false, log, summary, filesOut, filesSum},
        {"directory, Space Delimited", 0, true, log, summary, filesOut, filesSum},
        {"directory with no names yet", 0, false, "", "", filesOut, filesSum},
        {"single, Verbose", 1, false, log, summary, {Outcome::Launch, log}, {Outcome::Launch, summary}},
        {"single, Space Delimited", 1, true, log, summary, chooser, {Outcome::Launch, summary}},
        {"single, no names", 1, false, "", "", {Outcome::Box, "No output file available"},
         {Outcome::Box, "No summary file available"}},
        {"single, Space Delimited, no names", 1, true, "", "", {Outcome::Box, "No output file available"},
         {Outcome::Box, "No summary file available"}},
        {"another kind is a single file", 2, false, log, summary, {Outcome::Launch, log}, {Outcome::Launch, summary}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        AppRig rig;
        ASSERT_TRUE(rig.Start());
        vexa::CRunConfig& config = rig.Engine().runConfig;
        config.confirmedInputType = row.kind;
        config.confirmedSpaceDelimited = row.spaceDelimited;
        // The live choices say otherwise: only the confirmed ones count.
        config.inputType = row.kind == 0 ? 1 : 0;
        vexa::Engine().spaceDelimited = !row.spaceDelimited;
        config.outputPath = row.outputPath;
        config.summaryPath = row.summaryPath;
        EXPECT_EQ(RunViewer(rig, &vexa::CVexaView::OnViewOutputFile), row.output);
        EXPECT_EQ(RunViewer(rig, &vexa::CVexaView::OnViewSummaryFile), row.summary);
        EXPECT_EQ(config.outputPath, row.outputPath) << "no box changes the state";
        EXPECT_EQ(config.summaryPath, row.summaryPath);
        vexa::EngineTestAccess::ResetModuleState();
    }
}

TEST(Viewers, AVerboseRunStillOpensItsLogAfterACancelledSwitch) {
    AppRig rig;
    ASSERT_TRUE(rig.Start());
    const std::string recording = rig.dir.File("sample.ch10");
    ASSERT_TRUE(ch10fix::WriteFile(recording, ch10gen::SampleRecording()));
    vexa::ValidationEngine& e = rig.Engine();
    e.runConfig.inputType = 1;
    vexa::OpenFilesTexts texts;
    texts.sourceFile = recording;
    texts.outputDir = rig.dir.Path();
    ASSERT_TRUE(e.OpenFiles(texts));
    const std::string log = e.runConfig.outputPath;
    ASSERT_FALSE(log.empty());
    // Open Files again: "&Source Dir:" and Space Delimited chosen, then Cancel.
    e.BeginOpen();
    e.runConfig.inputType = 0;
    vexa::Engine().spaceDelimited = true;
    e.CancelOpen();
    ASSERT_TRUE(rig.ui.driver.Command(res::kCmdViewOutputFile));
    EXPECT_EQ(rig.LaunchedPaths(), std::vector<std::string>{log});
    vexa::EngineTestAccess::ResetModuleState();
}

// --- the chooser -------------------------------------------------------------

struct ChooserCase {
    const char* what;
    std::function<void(ui::Dialog&, ui::Driver&)> script;
    std::vector<std::string> launches;
    std::vector<std::string> boxes;
    int endCode;  // 0: still open after the script
};

TEST(Viewers, ChooserListsTheNamesAndOpensTheChosenOne) {
    AppRig rig;
    ASSERT_TRUE(rig.Start());
    const std::string p = rig.dir.File("validate.log");
    const std::string chan3 = p + "_chan3", chan12 = p + "_chan12", tmats = p + "TMATS";
    vexa::RunOutputs& outputs = rig.Engine().Outputs();
    {
        std::lock_guard lock(outputs.namesLock);
        outputs.listingNames[3] = chan3;
        outputs.listingNames[12] = chan12;
        outputs.listingNames[vexa::kListingSlots] = tmats;
    }
    const std::vector<std::string> sorted = {chan12, chan3, tmats};
    const ChooserCase cases[] = {
        {"OK opens entry 0 and stays open",
         [&](ui::Dialog& d, ui::Driver& dr) {
             EXPECT_EQ(d.Find(1071)->entries, sorted);
             EXPECT_EQ(d.ComboSelection(1071), 0);
             EXPECT_TRUE(dr.Click(d, 1072));
             EXPECT_TRUE(dr.Click(d, 1072));
         },
         {chan12, chan12}, {}, 0},
        {"entry 2 selected", [](ui::Dialog& d, ui::Driver& dr) {
             EXPECT_TRUE(dr.SelectCombo(d, 1071, 2));
             EXPECT_TRUE(dr.Click(d, 1072));
         }, {tmats}, {}, 0},
        {"a typed path opens as typed", [](ui::Dialog& d, ui::Driver& dr) {
             EXPECT_TRUE(dr.Type(d, 1071, "/elsewhere/typed.log"));
             EXPECT_TRUE(dr.Click(d, 1072));
         }, {"/elsewhere/typed.log"}, {}, 0},
        {"a cleared text gives the box", [](ui::Dialog& d, ui::Driver& dr) {
             EXPECT_TRUE(dr.Type(d, 1071, ""));
             EXPECT_TRUE(dr.Click(d, 1072));
         }, {}, {"Error opening output log file"}, 0},
        {"a drop-down after typing fills again and chooses entry 0",
         [&](ui::Dialog& d, ui::Driver& dr) {
             EXPECT_TRUE(dr.Type(d, 1071, "/elsewhere/typed.log"));
             EXPECT_TRUE(dr.DropDown(d, 1071));
             EXPECT_EQ(d.Find(1071)->entries, sorted);
             EXPECT_EQ(d.GetText(1071), chan12);
             EXPECT_TRUE(dr.Click(d, 1072));
         },
         {chan12}, {}, 0},
        {"8 ends the dialog through OK", [](ui::Dialog& d, ui::Driver& dr) { EXPECT_TRUE(dr.Click(d, 8)); }, {}, {},
         ui::kIdOk},
        {"Escape ends it", [](ui::Dialog& d, ui::Driver& dr) { dr.Escape(d); }, {}, {}, ui::kIdCancel},
    };
    for (const ChooserCase& c : cases) {
        SCOPED_TRACE(c.what);
        rig.launched.clear();
        const std::size_t boxes = rig.ui.backend.Boxes().size();
        int endCode = -5;
        rig.ui.backend.AnswerModal(res::kIddViewOutputFile, [&](ui::Dialog& d, ui::Driver& dr) {
            c.script(d, dr);
            endCode = d.Ended() ? d.EndCode() : 0;
            if (!d.Ended()) dr.Escape(d);
        });
        vexa::CViewOutputFileDlg chooser(nullptr, outputs);
        chooser.DoModal();
        EXPECT_EQ(endCode, c.endCode);
        EXPECT_EQ(rig.LaunchedPaths(), c.launches);
        std::vector<std::string> texts;
        for (std::size_t i = boxes; i < rig.ui.backend.Boxes().size(); ++i)
            texts.push_back(rig.ui.backend.Boxes()[i].text);
        EXPECT_EQ(texts, c.boxes);
    }
}

TEST(Viewers, ChooserWithNoNamesChoosesNothing) {
    AppRig rig;
    ASSERT_TRUE(rig.Start());
    rig.ui.backend.AnswerModal(res::kIddViewOutputFile, [&](ui::Dialog& d, ui::Driver& dr) {
        EXPECT_EQ(d.ComboCount(1071), 0);
        EXPECT_TRUE(static_cast<vexa::CViewOutputFileDlg&>(d).ChosenName().empty());
        EXPECT_TRUE(dr.Click(d, 1072));
        dr.Escape(d);
    });
    vexa::CViewOutputFileDlg chooser(nullptr, rig.Engine().Outputs());
    chooser.DoModal();
    EXPECT_TRUE(rig.launched.empty());
    ASSERT_EQ(rig.ui.backend.Boxes().size(), 1u);
    EXPECT_EQ(rig.ui.backend.Boxes()[0].text, "Error opening output log file");
}

// --- View Files over a finished directory run -----------------------------

// Three sources validated into one output directory, through the view's engine.
bool RunDirectory(AppRig& rig, const std::string& sourceDir, const std::string& outputDir) {
    fs::create_directories(sourceDir);
    fs::create_directories(outputDir);
    for (const char* name : {"a.ch10", "b.ch10", "c.ch10"})
        if (!ch10fix::WriteFile(sourceDir + "/" + name, ch10gen::SampleRecording())) return false;
    vexa::ValidationEngine& e = rig.Engine();
    e.runConfig.inputType = 0;
    vexa::OpenFilesTexts texts;
    texts.sourceDir = sourceDir;
    texts.outputDir = outputDir;
    if (!e.OpenFiles(texts)) return false;
    e.Validate();
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!rig.View().LastRunEnd() && std::chrono::steady_clock::now() < until)
        rig.ui.driver.PumpWait(std::chrono::milliseconds(20));
    return rig.View().LastRunEnd().has_value() && rig.View().LastRunEnd()->completed;
}

TEST(Viewers, ViewFilesListsEverySourcesFileAndOpensTheSelectedOnes) {
    AppRig rig;
    ASSERT_TRUE(rig.Start());
    ASSERT_TRUE(RunDirectory(rig, rig.dir.File("src"), rig.dir.File("out")));
    const std::vector<vexa::FileListRow> logs = rig.Engine().runConfig.FillFileList(0);
    ASSERT_EQ(logs.size(), 3u);
    for (const auto& row : logs) EXPECT_TRUE(fs::exists(row.name)) << row.name;
    ASSERT_TRUE(fs::remove(logs[1].name));  // one output missing
    const std::vector<std::string> names = {logs[0].name, logs[1].name, logs[2].name};

    struct Case {
        const char* what;
        std::function<void(ui::Dialog&, ui::Driver&)> script;
        std::vector<std::string> launches;
        std::vector<std::string> boxes;
        int endCode;  // 0: still open after the script
    };
    const Case cases[] = {
        {"the rows, their sizes and the columns",
         [&](ui::Dialog& d, ui::Driver&) {
             const ui::Control* list = d.Find(1091);
             ASSERT_NE(list, nullptr);
             EXPECT_EQ(list->columns, (std::vector<std::string>{"Filename", "Size"}));
             EXPECT_EQ(list->columnAlign, (std::vector<ui::ColumnAlign>{ui::ColumnAlign::Left, ui::ColumnAlign::Right}));
             EXPECT_EQ(list->columnWidth, (std::vector<int>{1000, 65}));
             ASSERT_EQ(d.ListCount(1091), 3);
             for (int r = 0; r < 3; ++r) {
                 EXPECT_EQ(d.ListItem(1091, r, 0), names[static_cast<std::size_t>(r)]);
                 const std::string size = d.ListItem(1091, r, 1);
                 if (r == 1) {
                     EXPECT_EQ(size, "") << "the missing file";
                 } else {
                     EXPECT_EQ(size, vexa::FormatFileSize(names[static_cast<std::size_t>(r)]));
                 }
                 if (r != 1) { EXPECT_FALSE(size.empty()); }
             }
             EXPECT_EQ(d.Title(), "View Output Files");
         },
         {}, {}, 0},
        {"View with three selected opens three in list order and stays",
         [](ui::Dialog& d, ui::Driver& dr) {
             EXPECT_TRUE(dr.SelectListRow(d, 1091, 2));
             EXPECT_TRUE(dr.SelectListRow(d, 1091, 0, true));
             EXPECT_TRUE(dr.SelectListRow(d, 1091, 1, true));
             EXPECT_TRUE(dr.Click(d, 1089));
         },
         names, {}, 0},
        {"View with none selected", [](ui::Dialog& d, ui::Driver& dr) { EXPECT_TRUE(dr.Click(d, 1089)); }, {},
         {"No files were selected!"}, 0},
        {"OK with two selected opens them and closes",
         [](ui::Dialog& d, ui::Driver& dr) {
             EXPECT_TRUE(dr.SelectListRow(d, 1091, 2));
             EXPECT_TRUE(dr.SelectListRow(d, 1091, 0, true));
             EXPECT_TRUE(dr.Click(d, ui::kIdOk));
         },
         {names[0], names[2]}, {}, ui::kIdOk},
        {"OK with none closes silently", [](ui::Dialog& d, ui::Driver& dr) { EXPECT_TRUE(dr.Click(d, ui::kIdOk)); },
         {}, {}, ui::kIdOk},
        {"Cancel opens nothing",
         [](ui::Dialog& d, ui::Driver& dr) {
             EXPECT_TRUE(dr.SelectListRow(d, 1091, 0));
             EXPECT_TRUE(dr.Click(d, ui::kIdCancel));
         },
         {}, {}, ui::kIdCancel},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        rig.launched.clear();
        const std::size_t boxes = rig.ui.backend.Boxes().size();
        int endCode = -5;
        rig.ui.backend.AnswerModal(res::kIddViewFiles, [&](ui::Dialog& d, ui::Driver& dr) {
            c.script(d, dr);
            endCode = d.Ended() ? d.EndCode() : 0;
            if (!d.Ended()) { EXPECT_TRUE(dr.Click(d, ui::kIdCancel)); }
        });
        ASSERT_TRUE(rig.ui.driver.Command(res::kCmdViewOutputFile));
        EXPECT_EQ(endCode, c.endCode);
        EXPECT_EQ(rig.LaunchedPaths(), c.launches);
        std::vector<std::string> texts;
        for (std::size_t i = boxes; i < rig.ui.backend.Boxes().size(); ++i)
            texts.push_back(rig.ui.backend.Boxes()[i].text);
        EXPECT_EQ(texts, c.boxes);
    }
}

TEST(Viewers, ViewSummaryFilesListsOneSummaryPerSource) {
    AppRig rig;
    ASSERT_TRUE(rig.Start());
    ASSERT_TRUE(RunDirectory(rig, rig.dir.File("src"), rig.dir.File("out")));
    std::vector<std::string> rows;
    std::string title;
    rig.ui.backend.AnswerModal(res::kIddViewFiles, [&](ui::Dialog& d, ui::Driver& dr) {
        title = d.Title();
        for (int r = 0; r < d.ListCount(1091); ++r) {
            rows.push_back(d.ListItem(1091, r, 0));
            // A size exactly for the summaries that are there.
            EXPECT_EQ(d.ListItem(1091, r, 1).empty(), !fs::exists(rows.back())) << rows.back();
        }
        EXPECT_TRUE(dr.Click(d, ui::kIdCancel));
    });
    ASSERT_TRUE(rig.ui.driver.Command(res::kCmdViewSummaryFile));
    EXPECT_EQ(title, "View Summary Files");
    ASSERT_EQ(rows.size(), 3u);
    const std::vector<vexa::FileListRow> logs = rig.Engine().runConfig.FillFileList(0);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(fs::path(rows[i]).parent_path(), fs::path(logs[i].name).parent_path());
        EXPECT_TRUE(rows[i].ends_with(".summary.txt")) << rows[i];
        EXPECT_NE(rows[i], logs[i].name);
        for (std::size_t j = 0; j < i; ++j) EXPECT_NE(rows[i], rows[j]);
    }
}

}  // namespace
