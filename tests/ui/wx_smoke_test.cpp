// The built program on a real X display, driven by its script hook: the
// frame titled and centred, About opened and closed, Exit with status 0, and
// pictures of both for people to look at.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <set>
#include <ostream>
#include <sstream>
#include <string>

#include "tests/support/program_run.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/registry_fixture.h"

namespace {

struct SmokeCase {
    const char* name;
    bool withErrorList;
    const char* title;
};

void PrintTo(const SmokeCase& c, std::ostream* os) { *os << c.name; }

class UiWx : public ::testing::TestWithParam<SmokeCase> {};

// Distinct colours of a binary PPM (P6, one or two bytes a sample); -1 when
// the data is no such image.
int DistinctColours(const std::string& ppm) {
    std::istringstream in(ppm);
    std::string magic;
    int w = 0, h = 0, maxval = 0;
    in >> magic >> w >> h >> maxval;
    if (!in || magic != "P6" || w <= 0 || h <= 0 || maxval <= 0 || maxval > 65535) return -1;
    in.get();
    size_t start = static_cast<size_t>(in.tellg());
    size_t sample = maxval > 255 ? 2 : 1;
    size_t pixel = 3 * sample;
    size_t bytes = static_cast<size_t>(w) * static_cast<size_t>(h) * pixel;
    if (ppm.size() < start + bytes) return -1;
    std::set<std::string> colours;
    for (size_t i = start; i < start + bytes; i += pixel) colours.insert(ppm.substr(i, pixel));
    return static_cast<int>(colours.size());
}

// Checks the picture and keeps it as a PNG under the build folder.
void CheckPicture(const std::string& xwd, const std::string& png) {
    ch10fix::ProgramRun ppm = ch10fix::RunProgram({"/bin/sh", "-c", "exec xwdtopnm \"$0\" 2>/dev/null", xwd});
    ASSERT_EQ(ppm.ExitCode(), 0) << ppm.err;
    EXPECT_GE(DistinctColours(ppm.out), 16) << xwd;
    ch10fix::ProgramRun conv = ch10fix::RunProgram(
        {"/bin/sh", "-c", "xwdtopnm \"$0\" 2>/dev/null | pnmtopng > \"$1\"", xwd, png});
    ASSERT_EQ(conv.ExitCode(), 0) << conv.err;
    std::printf("picture: %s\n", png.c_str());
}

TEST_P(UiWx, SmokeShowsTheCentredFrameAndAbout) {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') GTEST_SKIP() << "no X display";
    const SmokeCase& c = GetParam();
    ch10fix::TempDir work;
    uitest::TempRegistry registry;
    if (c.withErrorList) std::ofstream(work.File("VexaV_ErrorList.txt")) << "1 error\n";
    std::string frameXwd = work.File("frame.xwd"), aboutXwd = work.File("about.xwd");
    std::ofstream(work.File("script")) << "wait-frame\ntitle\nrun xwininfo -root -tree\n"
                                       << "run xwd -root -silent -out " << frameXwd << "\n"
                                       << "command 57664\nwait-dialog 100\n"
                                       << "run " << WINDOW_SHOT << " About_Kelvane " << aboutXwd << "\n"
                                       << "press 1\ncommand 57665\n";
    ::setenv("ORVANE_UI_SCRIPT", work.File("script").c_str(), 1);
    ch10fix::ProgramRun run =
        ch10fix::RunProgram({VEXA_PROGRAM, "--display", display, "--bogus", "rec.ch10"}, work.Path());
    ::unsetenv("ORVANE_UI_SCRIPT");

    ASSERT_EQ(run.ExitCode(), 0) << run.out << run.err;
    EXPECT_NE(run.out.find(std::string("ui-script: title ") + c.title + "\n"), std::string::npos) << run.out;
    for (const char* step : {"ui-script: wait-dialog 100\n", "ui-script: press 1\n", "ui-script: command 57665\n"})
        EXPECT_NE(run.out.find(step), std::string::npos) << step;
    // The X server's view: the frame by its title, outer size and place.
    std::smatch m;
    std::regex geometry("\"" + std::regex_replace(std::string(c.title), std::regex("[.]"), "\\.") +
                        "\": \\([^)]*\\)\\s+(\\d+)x(\\d+)\\+(-?\\d+)\\+(-?\\d+)");
    ASSERT_TRUE(std::regex_search(run.out, m, geometry)) << run.out;
    int w = std::stoi(m[1]), h = std::stoi(m[2]), x = std::stoi(m[3]), y = std::stoi(m[4]);
    EXPECT_NEAR(x, (1280 - w) / 2, 1);
    EXPECT_NEAR(y, (1024 - h) / 2, 1);

    std::string dir = UI_SMOKE_DIR;
    ASSERT_EQ(ch10fix::RunProgram({"/bin/mkdir", "-p", dir}).ExitCode(), 0);
    std::string suffix = c.withErrorList ? "" : "-no-list";
    CheckPicture(frameXwd, dir + "/start-frame" + suffix + ".png");
    CheckPicture(aboutXwd, dir + "/start-about" + suffix + ".png");
}

// With the family key and no error list, About shows the logo and the
// application name from the machine hive.
TEST(UiWxAbout, ShowsTheLogoAndTheNameWithTheFamilyKey) {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') GTEST_SKIP() << "no X display";
    ch10fix::TempDir work;
    uitest::TempRegistry registry;
    registry.SetText(platform::Hive::LocalMachine, "SOFTWARE\\Orvane\\Talmor\\", "VERSION", "4.2");
    registry.SetText(platform::Hive::LocalMachine, "SOFTWARE\\Orvane\\Talmor\\Common", "APPLICATIONNAME", "Talmor Suite");
    registry.SetText(platform::Hive::LocalMachine, "SOFTWARE\\Orvane\\Talmor\\UserInfo", "USERNAME", "Flight Test");
    registry.SetText(platform::Hive::LocalMachine, "SOFTWARE\\Orvane\\Talmor\\UserInfo", "COMPANYNAME", "Range Ops");
    std::string aboutXwd = work.File("about.xwd");
    std::ofstream(work.File("script")) << "wait-frame\ncommand 57664\nwait-dialog 100\nshown 140\nshown 1017\n"
                                       << "run " << WINDOW_SHOT << " About_Kelvane " << aboutXwd << "\n"
                                       << "press 1\ncommand 57665\n";
    ::setenv("ORVANE_UI_SCRIPT", work.File("script").c_str(), 1);
    ch10fix::ProgramRun run = ch10fix::RunProgram({VEXA_PROGRAM, "--display", display}, work.Path());
    ::unsetenv("ORVANE_UI_SCRIPT");
    ASSERT_EQ(run.ExitCode(), 0) << run.out << run.err;
    for (const char* step : {"ui-script: shown 140 yes\n", "ui-script: shown 1017 yes\n", "ui-script: press 1\n"})
        EXPECT_NE(run.out.find(step), std::string::npos) << step << run.out;
    std::string dir = UI_SMOKE_DIR;
    ASSERT_EQ(ch10fix::RunProgram({"/bin/mkdir", "-p", dir}).ExitCode(), 0);
    CheckPicture(aboutXwd, dir + "/about.png");
}

// Open Files in both its modes, as a user reaches them, in pictures.
TEST(UiWxOpenFiles, BothModesInPictures) {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') GTEST_SKIP() << "no X display";
    ch10fix::TempDir work;
    uitest::TempRegistry registry;
    const std::string disk = work.File("disk.xwd"), rmm = work.File("rmm.xwd");
    std::ofstream(work.File("script")) << "wait-frame\ncommand 32772\nwait-dialog 145\nsleep 300\n"
                                       << "run " << WINDOW_SHOT << " Open_Files " << disk << "\n"
                                       << "click 1094\nsleep 500\n"
                                       << "run " << WINDOW_SHOT << " Open_Files " << rmm << "\n"
                                       << "press 2\ncommand 57665\n";
    ::setenv("ORVANE_UI_SCRIPT", work.File("script").c_str(), 1);
    ch10fix::ProgramRun run = ch10fix::RunProgram({VEXA_PROGRAM, "--display", display}, work.Path());
    ::unsetenv("ORVANE_UI_SCRIPT");
    ASSERT_EQ(run.ExitCode(), 0) << run.out << run.err;
    EXPECT_EQ(run.err.find("Gtk-"), std::string::npos) << run.err;
    std::string out = UI_SMOKE_DIR;
    ASSERT_EQ(ch10fix::RunProgram({"/bin/mkdir", "-p", out}).ExitCode(), 0);
    CheckPicture(disk, out + "/open-files-disk.png");
    CheckPicture(rmm, out + "/open-files-rmm.png");
}

INSTANTIATE_TEST_SUITE_P(Start, UiWx,
                         ::testing::Values(SmokeCase{"NoErrorList", false, "Kelvane"},
                                           SmokeCase{"ErrorList", true, "Kelvane - Ver 3.9"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
