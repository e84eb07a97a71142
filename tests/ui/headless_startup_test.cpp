// `vexa --headless` starting as the window does: the title its logs copy,
// the user-permission object asked after the command line, and --help.
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/ch10_fixture.h"
#include "tests/support/program_run.h"
#include "tests/ui/registry_fixture.h"
#include "tools/sample_recording.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using platform::Hive;
using uitest::TempRegistry;

const std::string kRefusal = "The current user does not have permission to use this application.\n";

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs the program in `cwd`; the test's TempRegistry is the registry it sees.
ch10fix::ProgramRun Vexa(const std::string& cwd, std::vector<std::string> args) {
    args.insert(args.begin(), VEXA_PROGRAM);
    return ch10fix::RunProgram(args, cwd);
}

// Registers a permission object whose body is `script`; it leaves a file
// "started" beside itself when it runs.
std::string RegisterObject(const TempRegistry& reg, const std::string& script) {
    const std::string server = reg.Dir() + "/select_db";
    std::ofstream(server) << "#!/bin/sh\ntouch \"$0.started\"\n" << script << "\n";
    ::chmod(server.c_str(), 0755);
    reg.SetText(Hive::LocalMachine, "SOFTWARE\\Classes\\Talmor_SelectDB.SelectDBClass", "LocalServer", server);
    return server;
}

std::string FirstLine(const std::string& text) { return text.substr(0, text.find("\r\n")); }

TEST(HeadlessStartup, LogTitleFollowsTheErrorList) {
    enum class Entry { None, File, Directory };
    struct Case {
        const char* what;
        Entry entry;
        std::string title;
    };
    const Case cases[] = {
        {"present", Entry::File, "Kelvane - Ver 3.9"},
        {"absent", Entry::None, "Kelvane"},
        {"a directory of that name", Entry::Directory, "Kelvane"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempRegistry reg;
        ch10fix::TempDir dir;
        ASSERT_TRUE(ch10fix::WriteFile(dir.File("s.ch10"), ch10gen::SampleRecording()));
        if (c.entry == Entry::File) std::ofstream(dir.File("VexaV_ErrorList.txt")) << "list\n";
        if (c.entry == Entry::Directory) fs::create_directory(dir.File("VexaV_ErrorList.txt"));
        ch10fix::ProgramRun r = Vexa(dir.Path(), {"--headless", "s.ch10"});
        EXPECT_EQ(r.ExitCode(), 0) << r.err;
        EXPECT_EQ(FirstLine(Slurp(dir.File("validate.log"))), c.title);
    }
}

TEST(HeadlessStartup, PermissionObject) {
    struct Case {
        const char* what;
        std::string script;
        std::vector<std::string> extraArgs;
        int status;
        std::string err;  // standard error, exactly; "*" marks a reason line first
        bool objectStarted;
    };
    const Case cases[] = {
        {"refuses", "echo 0", {}, 1, kRefusal, true},
        {"fails: exits 3", "echo 5; exit 3", {}, 1, "*" + kRefusal, true},
        {"refuses, but the command line is wrong", "echo 0", {"--bogus"}, 2,
         "vexa: unknown option --bogus\nusage: vexa --headless", false},
        {"admits", "echo 5", {}, 0, "", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempRegistry reg;
        const std::string server = RegisterObject(reg, c.script);
        const std::string machineBefore = Slurp(reg.MachineFile());
        ch10fix::TempDir dir;
        ASSERT_TRUE(ch10fix::WriteFile(dir.File("s.ch10"), ch10gen::SampleRecording()));
        std::vector<std::string> args{"--headless"};
        args.insert(args.end(), c.extraArgs.begin(), c.extraArgs.end());
        args.push_back("s.ch10");

        ch10fix::ProgramRun r = Vexa(dir.Path(), args);
        EXPECT_EQ(r.ExitCode(), c.status);
        EXPECT_EQ(fs::exists(server + ".started"), c.objectStarted);
        if (c.err.rfind("*", 0) == 0) {
            const std::string reason = "Talmor_SelectDB.SelectDBClass CheckUserPermission failed: " + server +
                                       " exited with status 3\n";
            EXPECT_EQ(r.err, reason + c.err.substr(1));
        } else if (c.status == 2) {
            EXPECT_EQ(r.err.rfind(c.err, 0), 0u) << r.err;
        } else {
            EXPECT_EQ(r.err, c.err);
        }
        EXPECT_EQ(fs::exists(dir.File("validate.log")), c.status == 0);
        if (c.status != 0) {
            EXPECT_EQ(r.out, "");
        }
        EXPECT_EQ(Slurp(reg.MachineFile()), machineBefore);
        EXPECT_FALSE(fs::exists(reg.UserFile()));
    }
}

TEST(HeadlessStartup, HelpPrintsTheUsageAndSucceeds) {
    for (const char* help : {"--help", "-h"}) {
        SCOPED_TRACE(help);
        TempRegistry reg;
        const std::string server = RegisterObject(reg, "echo 0");
        ch10fix::TempDir dir;
        ch10fix::ProgramRun r = Vexa(dir.Path(), {"--headless", help});
        EXPECT_EQ(r.ExitCode(), 0);
        EXPECT_EQ(r.out.rfind("usage: vexa --headless", 0), 0u) << r.out;
        EXPECT_EQ(r.err, "");
        EXPECT_FALSE(fs::exists(server + ".started"));
    }
}

}  // namespace
