// The window back end lives in a module of its own: the headless run maps
// no toolkit library, and the windowed program finds the module beside it or
// in ../lib, or says in one line that it cannot.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/ui/wx_module.h"
#include "tests/support/ch10_fixture.h"
#include "tests/support/program_run.h"
#include "tests/support/temp_dir.h"
#include "tools/sample_recording.h"

namespace {

namespace fs = std::filesystem;

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Every line the dynamic loader wrote about the libraries it loaded.
std::string LoaderLog(const ch10fix::TempDir& dir, const std::string& stem) {
    std::string all;
    for (const auto& entry : fs::directory_iterator(dir.Path()))
        if (entry.path().filename().string().rfind(stem + ".", 0) == 0) all += ch10fix::ReadText(entry.path());
    return all;
}

TEST(WindowModule, HeadlessRunMapsNoToolkitLibrary) {
    ch10fix::TempDir dir;
    ASSERT_TRUE(ch10fix::WriteFile(dir.File("s.ch10"), ch10gen::SampleRecording()));
    ::setenv("ORVANE_REGISTRY_DIR", dir.File("no-registry").c_str(), 1);
    ::setenv("LD_DEBUG", "libs", 1);
    ::setenv("LD_DEBUG_OUTPUT", dir.File("loader").c_str(), 1);
    const ch10fix::ProgramRun r =
        ch10fix::RunProgram({VEXA_PROGRAM, "--headless", "--body-checks", "--output-dir", dir.Path(), "s.ch10"},
                            dir.Path());
    ::unsetenv("LD_DEBUG");
    ::unsetenv("LD_DEBUG_OUTPUT");
    EXPECT_EQ(r.ExitCode(), 0) << r.err;
    EXPECT_TRUE(Contains(r.out, "Validation completed\n")) << r.out;

    const std::string loaded = LoaderLog(dir, "loader");
    // The log does record what the program loads.
    ASSERT_TRUE(Contains(loaded, "libtessin.so")) << loaded.substr(0, 2000);
    for (const char* toolkit : {"libwx_", "libgtk", "libgdk", "libX11", "libwayland", ui::kWxModuleName})
        EXPECT_FALSE(Contains(loaded, toolkit)) << toolkit;
}

// A copy of the program in `bin`, with the shared libraries of the build
// beside it but not the window module.
std::string CopyProgram(const fs::path& bin) {
    fs::create_directories(bin);
    const fs::path built(VEXA_PROGRAM);
    for (const auto& entry : fs::directory_iterator(built.parent_path())) {
        const std::string name = entry.path().filename().string();
        if (name.find(".so") != std::string::npos && name != ui::kWxModuleName)
            fs::create_symlink(entry.path(), bin / name);
    }
    fs::copy_file(built, bin / "vexa");
    return (bin / "vexa").string();
}

ch10fix::ProgramRun WithoutDisplay(const std::string& program, const std::string& cwd) {
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
    return ch10fix::RunProgram({program}, cwd);
}

TEST(WindowModule, MissingModuleIsOneLineAndStatus1) {
    ch10fix::TempDir dir;
    ::setenv("ORVANE_REGISTRY_DIR", dir.File("no-registry").c_str(), 1);
    const std::string program = CopyProgram(dir.File("bin"));
    const ch10fix::ProgramRun r = WithoutDisplay(program, dir.Path());
    EXPECT_EQ(r.ExitCode(), 1);
    EXPECT_EQ(r.err.rfind("vexa: the window module cannot be loaded: ", 0), 0u) << r.err;
    EXPECT_TRUE(Contains(r.err, ui::kWxModuleName)) << r.err;
    EXPECT_TRUE(Contains(r.err, "vexa --headless PATH")) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
}

#ifdef VEXA_WX_MODULE
// bin/vexa with lib/libvexa_wx.so, as installed: the module loads and, with
// no display, says so.
TEST(WindowModule, FoundInTheLibDirectoryBesideBin) {
    ch10fix::TempDir dir;
    ::setenv("ORVANE_REGISTRY_DIR", dir.File("no-registry").c_str(), 1);
    const std::string program = CopyProgram(dir.File("bin"));
    fs::create_directories(dir.File("lib"));
    fs::copy_file(VEXA_WX_MODULE, dir.File("lib") + "/" + ui::kWxModuleName);
    const ch10fix::ProgramRun r = WithoutDisplay(program, dir.Path());
    EXPECT_EQ(r.ExitCode(), 1);
    EXPECT_EQ(r.err, "vexa: no display can be opened; run a validation with vexa --headless PATH\n");
}
#endif

}  // namespace
