// tmats-client as its own process, through the shipped libtessin.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/ch10_fixture.h"
#include "tests/support/program_run.h"
#include "tests/support/temp_dir.h"
#include "tests/tessin/sample_file_writer.h"

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

ch10fix::ProgramRun RunArgs(const std::vector<std::string>& args, const ch10fix::TempDir& logs) {
    ::setenv("TESSIN_LOG_DIR", logs.Path().c_str(), 1);
    ch10fix::ProgramRun run = ch10fix::RunProgram(args);
    ::unsetenv("TESSIN_LOG_DIR");
    return run;
}

// process writes the .cfg beside its source; write makes a TMATS text that
// channels and process read back.
TEST(TmatsClient, ProcessWriteAndReadBack) {
    ch10fix::TempDir logs;
    std::string source = logs.File("golden.tmt");
    std::string text = ch10fix::ReadText(std::string(TMATS_GOLDEN_DIR) + "/pcm_golden.tmt");
    ASSERT_TRUE(ch10fix::WriteFile(source, ch10fix::Bytes(text.begin(), text.end())));
    ch10fix::ProgramRun run = RunArgs({TMATS_CLIENT_PROGRAM, "process", source}, logs);
    EXPECT_EQ(run.ExitCode(), 0) << run.err;
    EXPECT_EQ(run.out.substr(0, 15), "ProcessTMATS=2\n");
    const std::string cfg = "Ovandry1.1\r\n3 CH4 FMT1 2 2 NotRandomized\r\n0 CH4 FORMATTWO 0 0 NotRandomized\r\n"
                            "4 BUS MUXA 1553 1553 1553\r\n0 ARINC429 1 ARINC ARINC429 ARINC429\r\n";
    EXPECT_EQ(ch10fix::ReadText(logs.File("golden.cfg")), cfg);
    EXPECT_NE(run.out.find(cfg), std::string::npos);

    std::string written = logs.File("written.tmt");
    run = RunArgs({TMATS_CLIENT_PROGRAM, "write", source, written}, logs);
    EXPECT_EQ(run.ExitCode(), 0) << run.err;
    EXPECT_EQ(run.out, "GetPCMFormatInfo=2\nWriteTMATS=0\n");
    run = RunArgs({TMATS_CLIENT_PROGRAM, "channels", written}, logs);
    EXPECT_EQ(run.out, "GetTMATSConfigInfo=46\nCH4 2 UNIT9 FMT1 2,CH4 3 NONE FORMATTWO 0,    \n");
    run = RunArgs({TMATS_CLIENT_PROGRAM, "process", written}, logs);
    EXPECT_EQ(run.ExitCode(), 0) << run.err;
    EXPECT_EQ(ch10fix::ReadText(logs.File("written.cfg")),
              "Ovandry1.1\r\n2 CH4 FMT1 2 2 NotRandomized\r\n3 CH4 FORMATTWO 0 0 NotRandomized\r\n");
}

TEST(TmatsClient, ExportsGeneratedSampleFiles) {
    ch10fix::TempDir logs;
    ::mkdir(logs.File("in").c_str(), 0755);
    ::mkdir(logs.File("in/names").c_str(), 0755);
    exporttest::SampleFile f;
    f.timeBase = 86400000000LL;
    f.samples = {{0, 10}, {500000, 20}};
    ASSERT_TRUE(exporttest::WriteSampleFile(logs.File("in/names/ALT_M.DAT"), f));
    std::string list = logs.File("names.txt");
    ASSERT_TRUE(ch10fix::WriteFile(list, ch10fix::Bytes{'A', 'L', 'T', '\n'}));
    ch10fix::ProgramRun run =
        RunArgs({TMATS_CLIENT_PROGRAM, "export", logs.File("in"), logs.File("out.csv"), "001:00:00:00:000000",
                 "001:00:00:00:500000", "250000", list},
                logs);
    EXPECT_EQ(run.ExitCode(), 0) << run.err;
    EXPECT_EQ(run.out, "ExportData=0\n");
    EXPECT_EQ(ch10fix::ReadText(logs.File("out.csv")),
              "IRIG_TIME,DELTA_IRIG,ALT\r\n001:00:00:00:000000,0.000000,10\r\n"
              "001:00:00:00:250000,0.250000,20\r\n001:00:00:00:500000,0.500000,20\r\n");
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
