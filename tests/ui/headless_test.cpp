// `vexa --headless` as users run it: exit status, what it prints, and the
// files it writes.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/registry.h"
#include "tests/support/ch10_fixture.h"
#include "tests/support/program_run.h"
#include "tools/sample_recording.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using ch10fix::TempDir;

using ch10fix::ReadText;

// Runs the program in `cwd` with `args`, with a registry of its own that
// holds nothing (never the machine's).
ch10fix::ProgramRun Vexa(const std::string& cwd, std::vector<std::string> args) {
    ::setenv("ORVANE_REGISTRY_DIR", (cwd + "/no-registry").c_str(), 1);
    args.insert(args.begin(), VEXA_PROGRAM);
    return ch10fix::RunProgram(args, cwd);
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(Headless, SingleFileRunPrintsItsOutputsAndLogsTheFindings) {
    TempDir dir;
    const std::string source = dir.File("sample.ch10");
    ASSERT_TRUE(ch10fix::WriteFile(source, ch10gen::SampleRecording()));
    ch10fix::ProgramRun r = Vexa(dir.Path(), {"--headless", "--output-dir", dir.Path(), source});
    EXPECT_EQ(r.ExitCode(), 0) << r.err;
    EXPECT_EQ(r.out, "Validation completed\n" + dir.File("validate.log.TMATS.tmt") + "\n" + dir.File("validate.log") +
                         "\n" + dir.File("validate.log.summary.txt") + "\n");
    EXPECT_EQ(r.err, "");

    const std::string log = ReadText(dir.File("validate.log"));
    EXPECT_TRUE(log.rfind("Kelvane\r\nSource File: " + source + "\r\nDate Time Validated: ", 0) == 0) << log;
    EXPECT_TRUE(Contains(log, "TMATS Packet Validation:\r\n"));
    EXPECT_TRUE(Contains(log, "Program Name            :SAMPLE"));
    EXPECT_TRUE(Contains(log, "Error 39: Expected start of packet sync pattern not found at offset 0x"));
    EXPECT_TRUE(Contains(log, ", found next sync pattern at offset 0x"));
    EXPECT_TRUE(Contains(log, "Error 174: Channel ID not defined in TMATS"));
    EXPECT_FALSE(Contains(log, "\r\r\n"));
}

TEST(Headless, DefaultOutputGoesToTheWorkingDirectory) {
    TempDir dir;
    ASSERT_TRUE(ch10fix::WriteFile(dir.File("s.ch10"), ch10gen::SampleRecording()));
    ch10fix::ProgramRun r = Vexa(dir.Path(), {"--headless", "--output-file", "run1.log", "s.ch10"});
    EXPECT_EQ(r.ExitCode(), 0) << r.err;
    EXPECT_TRUE(Contains(r.out, "/run1.log\n")) << r.out;
    EXPECT_TRUE(fs::is_regular_file(dir.File("run1.log")));
}

TEST(Headless, DirectoryRunWritesOneLogPerSourceNamedFromItsPath) {
    TempDir dir;
    const std::string src = dir.File("src");
    const std::string out = dir.File("out");
    fs::create_directories(src + "/sub");
    fs::create_directories(out);
    const ch10fix::Bytes sample = ch10gen::SampleRecording();
    ASSERT_TRUE(ch10fix::WriteFile(src + "/one.ch10", sample));
    ASSERT_TRUE(ch10fix::WriteFile(src + "/sub/two.CH10", sample));
    ASSERT_TRUE(ch10fix::WriteFile(src + "/skip.ch10.bak", sample));
    ch10fix::ProgramRun r = Vexa(dir.Path(), {"--headless", "--output-dir", out, "--output-file", "ignored.log", src});
    EXPECT_EQ(r.ExitCode(), 0) << r.err;
    EXPECT_FALSE(fs::exists(out + "/ignored.log"));

    // Separators become dots, the extension goes.
    std::string stem = src.substr(1);
    for (char& c : stem)
        if (c == '/') c = '.';
    const std::string one = out + "/" + stem + ".one.log";
    const std::string two = out + "/" + stem + ".sub.two.log";
    const std::string tmt1 = out + "/" + stem + ".one.TMATS.tmt";
    const std::string tmt2 = out + "/" + stem + ".sub.two.TMATS.tmt";
    EXPECT_EQ(r.out, "Validation completed\n" + tmt1 + "\n" + one + "\n" + out + "/" + stem + ".one.summary.txt\n" +
                         tmt2 + "\n" + two + "\n" + out + "/" + stem + ".sub.two.summary.txt\n");
    EXPECT_TRUE(Contains(ReadText(tmt2), "G\\PN:SAMPLE;\r\n"));
    EXPECT_TRUE(Contains(ReadText(one), "Source File: " + src + "/one.ch10\r\n"));
    EXPECT_TRUE(Contains(ReadText(two), "Source File: " + src + "/sub/two.CH10\r\n"));
    EXPECT_TRUE(Contains(ReadText(two), "Error 174: Channel ID not defined in TMATS"));
}

TEST(Headless, DirectoryNamedLikeARecordingIsNoRecording) {
    TempDir dir;
    const std::string src = dir.File("src");
    const std::string out = dir.File("out");
    fs::create_directories(src + "/b.ch10");
    fs::create_directories(out);
    const ch10fix::Bytes sample = ch10gen::SampleRecording();
    ASSERT_TRUE(ch10fix::WriteFile(src + "/a.CH10", sample));
    ASSERT_TRUE(ch10fix::WriteFile(src + "/c.ch10.bak", sample));
    ch10fix::ProgramRun r = Vexa(dir.Path(), {"--headless", "--output-dir", out, src});

    // The directory is listed, fails to open, and the run still completes.
    std::string stem = src.substr(1);
    for (char& c : stem)
        if (c == '/') c = '.';
    EXPECT_EQ(r.out, "Validation completed\n" + out + "/" + stem + ".a.TMATS.tmt\n" + out + "/" + stem + ".a.log\n" +
                         out + "/" + stem + ".a.summary.txt\n");
    EXPECT_FALSE(Contains(r.err, "Error reading TMATS Packet")) << r.err;
    EXPECT_TRUE(Contains(ReadText(out + "/" + stem + ".a.log"), "Source File: " + src + "/a.CH10\r\n"));
}

TEST(Headless, FailuresExitNonZeroWithTheirMessage) {
    TempDir dir;
    const ch10fix::Bytes sample = ch10gen::SampleRecording();
    ASSERT_TRUE(ch10fix::WriteFile(dir.File("s.ch10"), sample));
    // The same recording without its setup record.
    const uint32_t setupLength = ch10fix::Get32(sample, 4);
    ASSERT_TRUE(ch10fix::WriteFile(dir.File("nosetup.ch10"),
                                   ch10fix::Bytes(sample.begin() + setupLength, sample.end())));
    ASSERT_TRUE(ch10fix::WriteFile(dir.File("plainfile"), {}));
    const bool haveDevFull = fs::exists("/dev/full");
    if (haveDevFull) fs::create_symlink("/dev/full", dir.File("full.log"));

    struct Case {
        const char* what;
        std::vector<std::string> args;
        int status;
        std::string message;
        bool needsDevFull = false;
    };
    const Case cases[] = {
        {"missing source", {"--headless", "nosuch.ch10"}, 1, "Error reading TMATS Packet from 'nosuch.ch10'\n"},
        {"no setup record first", {"--headless", "nosetup.ch10"}, 1, "Error reading TMATS Packet from 'nosetup.ch10'\n"},
        {"unwritable output directory", {"--headless", "--output-dir", dir.File("plainfile"), "s.ch10"}, 1,
         "Error opening output file\n"},
        {"missing external TMATS", {"--headless", "--tmats", "none.tmt", "s.ch10"}, 1, "TMATS file does not exist!\n"},
        {"output file that takes no bytes", {"--headless", "--output-file", "full.log", "s.ch10"}, 1,
         "Error writing validation output, processing stopped\n", true},
        {"no path", {"--headless"}, 2, "usage: vexa --headless"},
        {"two paths", {"--headless", "a.ch10", "b.ch10"}, 2, "usage: vexa --headless"},
        {"unknown option", {"--headless", "--verbose", "s.ch10"}, 2, "usage: vexa --headless"},
        {"option without its value", {"--headless", "s.ch10", "--output-dir"}, 2, "usage: vexa --headless"},
        {"a limit out of the dialog's range", {"--headless", "--body-checks", "--max-errors-per-packet", "1000", "s.ch10"},
         2, "vexa: --max-errors-per-packet 1000: Please enter number from 0 to 999\n"},
        {"a value that is not a number", {"--headless", "--intra-packet-tolerance", "5ms", "s.ch10"}, 2,
         "vexa: --intra-packet-tolerance takes a number of digits, not \"5ms\"\n"},
        {"a negative value", {"--headless", "--max-same-error", "-1", "s.ch10"}, 2,
         "vexa: --max-same-error takes a number of digits, not \"-1\"\n"},
        {"an option twice", {"--headless", "--body-checks", "s.ch10", "--body-checks"}, 2,
         "vexa: --body-checks is given twice\n"},
        {"a channel the TMATS lacks", {"--headless", "--channel", "12", "s.ch10"}, 2,
         "vexa: --channel 12: the TMATS has no channel 12 to validate\n"},
        {"a channel of a directory run", {"--headless", "--channel", "2", dir.Path()}, 2,
         "vexa: --channel needs PATH to be one recording, not a directory\n"},
        {"a simulated check without the body checks", {"--headless", "--simulated-1553", "s.ch10"}, 2,
         "vexa: --simulated-1553 needs --body-checks\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.needsDevFull && !haveDevFull) continue;
        ch10fix::ProgramRun r = Vexa(dir.Path(), c.args);
        EXPECT_EQ(r.ExitCode(), c.status);
        EXPECT_TRUE(Contains(r.err, c.message)) << r.err;
    }
}

// An output that could not be opened or written whole fails the run: exit 1,
// the file named on standard error (by its own box where it has one), and
// neither "Validation completed" nor any file listed as written.
TEST(Headless, AFailedOutputIsNoCompletedRun) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "/dev/full is absent";
    struct Case {
        const char* what;
        const char* fullFile;  // in the output folder, a link to /dev/full; "" none
        const char* outputDir;  // under the test folder
        std::vector<std::string> messages;  // "DIR/" stands for the output folder
    };
    const Case cases[] = {
        {"summary refuses its write", "validate.log.summary.txt", "out",
         {"Error writing DIR/validate.log.summary.txt\n"}},
        {"TMATS content file refuses its write", "validate.log.TMATS.tmt", "out",
         {"Error writing DIR/validate.log.TMATS.tmt\n"}},
        {"log refuses its write", "validate.log", "out",
         {"Error writing validation output, processing stopped\n", "Error writing DIR/validate.log\n"}},
        {"missing output folder", "", "missing", {"Error opening output file\n"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        ASSERT_TRUE(ch10fix::WriteFile(dir.File("s.ch10"), ch10gen::SampleRecording()));
        const std::string out = dir.File(c.outputDir);
        if (std::string(c.outputDir) == "out") fs::create_directories(out);
        if (*c.fullFile) fs::create_symlink("/dev/full", out + "/" + c.fullFile);
        ch10fix::ProgramRun r = Vexa(dir.Path(), {"--headless", "--output-dir", out, "s.ch10"});
        EXPECT_EQ(r.ExitCode(), 1);
        EXPECT_EQ(r.out, "");
        for (std::string message : c.messages) {
            if (message.find("DIR/") != std::string::npos) message.replace(message.find("DIR"), 3, out);
            EXPECT_TRUE(Contains(r.err, message)) << r.err;
        }
    }
}

// The run seeds its own settings in memory: a user's stored choices are
// neither read nor changed, and a directory named like a recorder drive is
// validated from the disk without asking the recorder library.
TEST(Headless, OwnSettingsAndADriveLikeDirectory) {
    TempDir dir;
    const std::string regDir = dir.File("no-registry");
    fs::create_directories(regDir);
    {
        platform::RegistryConfig config;
        config.user.file = regDir + "/user.reg";
        config.machine.file = regDir + "/machine.reg";
        platform::Registry registry(config);
        platform::RegistryKey key;
        ASSERT_EQ(registry.Create(platform::Hive::CurrentUser, "SOFTWARE\\Orvane\\Kelvane", key),
                  platform::RegStatus::Ok);
        for (const auto& [name, value] : std::vector<std::pair<std::string, std::string>>{
                 {"InputType", "0"}, {"SourceDir1", dir.File("elsewhere")}, {"Input1", dir.File("other.ch10")},
                 {"OutputFile", "stored.log"}, {"UseExtern", "0"}, {"ExternTMATS1", dir.File("none.tmt")}})
            key.Set(name, platform::kRegSz, value + '\0');
    }
    const std::string userBefore = ReadText(regDir + "/user.reg");
    ASSERT_FALSE(userBefore.empty());
    ASSERT_TRUE(ch10fix::WriteFile(dir.File("s.ch10"), ch10gen::SampleRecording()));
    fs::create_directories(dir.File("1:x"));
    ASSERT_TRUE(ch10fix::WriteFile(dir.File("1:x/r.ch10"), ch10gen::SampleRecording()));

    struct Case {
        const char* what;
        std::string path;
        std::string log;
    } cases[] = {
        {"a file", "s.ch10", "validate.log"},
        {"a directory named like drive 1", "1:x", "1:x.r.log"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ch10fix::ProgramRun r = Vexa(dir.Path(), {"--headless", "--output-dir", dir.Path(), c.path});
        EXPECT_EQ(r.ExitCode(), 0) << r.err;
        EXPECT_EQ(r.out.rfind("Validation completed\n", 0), 0u) << r.out;
        EXPECT_TRUE(Contains(r.out, dir.File(c.log) + "\n")) << r.out;
        EXPECT_FALSE(Contains(r.out, "ParvellServer")) << r.out;
        EXPECT_EQ(ReadText(regDir + "/user.reg"), userBefore);
    }
}

}  // namespace
