// tmats-client as its own process, through the shipped libtessin.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/support/ch10_fixture.h"
#include "tests/support/program_run.h"
#include "tests/support/temp_dir.h"

namespace {

ch10fix::ProgramRun RunClient(const std::string& file, const ch10fix::TempDir& logs,
                              const std::string& command = "pcm") {
    ::setenv("TESSIN_LOG_DIR", logs.Path().c_str(), 1);
    ch10fix::ProgramRun run = ch10fix::RunProgram({TMATS_CLIENT_PROGRAM, command, file});
    ::unsetenv("TESSIN_LOG_DIR");
    return run;
}

TEST(TmatsClient, PrintsTheGoldenFormats) {
    ch10fix::TempDir logs;
    std::string dump = ch10fix::ReadText(std::string(TMATS_GOLDEN_DIR) + "/pcm_golden.dump");
    std::string formatPart = dump.substr(0, dump.find("Bus[0]\n"));
    ASSERT_FALSE(formatPart.empty());
    ch10fix::ProgramRun run = RunClient(std::string(TMATS_GOLDEN_DIR) + "/pcm_golden.tmt", logs);
    EXPECT_EQ(run.ExitCode(), 0) << run.err;
    EXPECT_EQ(run.out, "GetPCMFormatInfo=2\nGetErrMsg=\n" + formatPart + "FreePCMFormatInfo=0\n");
    EXPECT_NE(ch10fix::ReadText(logs.File("TMATSUtils.log")).find("G-1\\PN:GOLDPROG\r\n"), std::string::npos);
}

TEST(TmatsClient, SampleTmatsWithoutConversions) {
    std::string dir = ch10fix::SampleDataDir();
    if (dir.empty()) GTEST_SKIP() << "no sample data";
    ch10fix::TempDir logs;
    ch10fix::ProgramRun run = RunClient(dir + "/c10tools-test-cff86aa.tmt", logs);
    EXPECT_EQ(run.ExitCode(), 0) << run.err;
    EXPECT_EQ(run.out, "GetPCMFormatInfo=-1\nGetErrMsg=\nFreePCMFormatInfo=0\n");
}

TEST(TmatsClient, PrintsBothLists) {
    ch10fix::TempDir logs;
    std::string text = "G\\PN:P;\nG\\106:07;\nR-1\\N:1;\nR-1\\TK1-1:4;\nR-1\\CDT-1:ETHIN;\nR-1\\CHE-1:T;\n"
                       "C-1\\DCN:A;\nC-1\\MN3:V;\n";
    text.append(600, '\n');
    std::string path = logs.File("small.tmt");
    ASSERT_TRUE(ch10fix::WriteFile(path, ch10fix::Bytes(text.begin(), text.end())));
    struct Case {
        const char* command;
        std::string file;
        int exitCode;
        std::string out;
    } cases[] = {
        {"channels", path, 0, "GetTMATSConfigInfo=15\nETHERNET 4,    \n"},
        {"params", path, 0, "GetParametersFromTMATS=15\nA|M||V|UNKNOWN\n\n"},
        {"channels", logs.File("none.tmt"), 1,
         "GetTMATSConfigInfo=-1\nGetErrMsg=ReadTMATS: Error opening input file " + logs.File("none.tmt") + "\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        ch10fix::ProgramRun run = RunClient(c.file, logs, c.command);
        EXPECT_EQ(run.ExitCode(), c.exitCode) << run.err;
        EXPECT_EQ(run.out, c.out);
    }
}

TEST(TmatsClient, Usage) {
    ch10fix::TempDir logs;
    for (const char* kind : {"bus", ""}) {
        ch10fix::ProgramRun run = ch10fix::RunProgram({TMATS_CLIENT_PROGRAM, kind, "x"});
        EXPECT_EQ(run.ExitCode(), 2) << kind;
        EXPECT_EQ(run.out, "");
    }
}

}  // namespace
