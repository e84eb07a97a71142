// A validation run in the built program on a real X display, driven by its
// script hook as a user would: Open, OK, Validate, the completed run, and
// the form's error boxes against the log the run wrote.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <string>

#include "platform/registry.h"
#include "tests/support/ch10_fixture.h"
#include "tests/support/program_run.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/form_counts_rig.h"
#include "tests/ui/registry_fixture.h"
#include "tools/sample_recording.h"
#include "vexa/engine/error_catalogue.h"

namespace {

TEST(UiWx, RunThroughOpenFilesAndValidate) {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') GTEST_SKIP() << "no X display";
    ch10fix::TempDir work;
    uitest::TempRegistry registry;
    ASSERT_TRUE(ch10fix::WriteFile(work.File("rec.ch10"), ch10gen::SampleRecording()));
    // A returning user who runs single files into the working directory.
    registry.SetText(platform::Hive::CurrentUser, "SOFTWARE\\Orvane\\Kelvane", "InputType", "1");
    registry.SetText(platform::Hive::CurrentUser, "SOFTWARE\\Orvane\\Kelvane", "OutputDir1", work.Path());
    const std::string shot = work.File("form.xwd");
    const std::string dialogShot = work.File("open.xwd");
    std::ofstream script(work.File("script"));
    script << "wait-frame\ncommand 32772\nwait-dialog 145\n"
           << "run " << WINDOW_SHOT << " Open_Files " << dialogShot << "\npress 1\ncommand 32791\n"
           << "wait-status Validation completed\nsleep 700\n";
    for (int id : uitest::kFormBoxes) script << "read " << id << "\n";
    script << "run xwd -root -silent -out " << shot << "\ncommand 57665\n";
    script.close();
    ::setenv("ORVANE_UI_SCRIPT", work.File("script").c_str(), 1);
    ch10fix::ProgramRun run =
        ch10fix::RunProgram({VEXA_PROGRAM, "--display", display, work.File("rec.ch10")}, work.Path());
    ::unsetenv("ORVANE_UI_SCRIPT");
    ASSERT_EQ(run.ExitCode(), 0) << run.out << run.err;
    EXPECT_NE(run.out.find("ui-script: wait-status Validation completed\n"), std::string::npos) << run.out;

    // The boxes as the log's numbered findings count them.
    const std::string log = ch10fix::ReadText(work.File("validate.log"));
    ASSERT_FALSE(log.empty());
    const uitest::FormCounts fromLog = uitest::FormCountsFromLog(log);
    ASSERT_TRUE(fromLog.valid) << log;
    for (int i = 0; i < vexa::kFormCounters; ++i) {
        const std::string line = "ui-script: read " + std::to_string(uitest::kFormBoxes[i]) + " " +
                                 std::to_string(fromLog.boxes[static_cast<std::size_t>(i)]) + "\n";
        EXPECT_NE(run.out.find(line), std::string::npos) << line << run.out;
    }

    const std::string dir = UI_SMOKE_DIR;
    ASSERT_EQ(ch10fix::RunProgram({"/bin/mkdir", "-p", dir}).ExitCode(), 0);
    const std::string png = dir + "/form.png";
    ch10fix::ProgramRun conv = ch10fix::RunProgram(
        {"/bin/sh", "-c", "xwdtopnm \"$0\" 2>/dev/null | pnmtopng > \"$1\"", shot, png});
    ASSERT_EQ(conv.ExitCode(), 0) << conv.err;
    ch10fix::ProgramRun colours = ch10fix::RunProgram({"/bin/sh", "-c", "pngtopnm \"$0\" | ppmhist -noheader | wc -l", png});
    EXPECT_GT(std::atoi(colours.out.c_str()), 1) << "the picture is not one colour";
    std::printf("picture: %s\n", png.c_str());
    const std::string dialogPng = dir + "/open-files.png";
    ASSERT_EQ(ch10fix::RunProgram({"/bin/sh", "-c", "xwdtopnm \"$0\" 2>/dev/null | pnmtopng > \"$1\"", dialogShot,
                                   dialogPng})
                  .ExitCode(),
              0);
    std::printf("picture: %s\n", dialogPng.c_str());
}

}  // namespace
