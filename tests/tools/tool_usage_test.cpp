// The hand-run tools answer --help with their usage on standard output and
// status 0, and an option they do not know with it on standard error and
// status 2, writing nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/program_run.h"
#include "tests/support/temp_dir.h"

namespace {

struct Tool {
    const char* name;
    const char* program;
};

const Tool kTools[] = {
    {"ch10-gen", CH10_GEN_PROGRAM},           {"ingest-standin", INGEST_STANDIN_PROGRAM},
    {"stanag-image", STANAG_IMAGE_PROGRAM},   {"stanag-cat", STANAG_CAT_PROGRAM},
    {"sandral-list", SANDRAL_LIST_PROGRAM},
};

TEST(ToolUsage, HelpOnStandardOutputAndAnUnknownOptionOnStandardError) {
    for (const Tool& t : kTools) {
        SCOPED_TRACE(t.name);
        for (const char* help : {"--help", "-h"}) {
            ch10fix::TempDir dir;
            ch10fix::ProgramRun run = ch10fix::RunProgram({t.program, help}, dir.Path());
            EXPECT_EQ(run.ExitCode(), 0) << help;
            EXPECT_EQ(run.out.rfind(std::string("usage: ") + t.name, 0), 0u) << run.out;
            EXPECT_EQ(run.err, "");
            EXPECT_TRUE(std::filesystem::is_empty(dir.Path())) << "wrote a file named " << help;
        }
        ch10fix::TempDir dir;
        ch10fix::ProgramRun run = ch10fix::RunProgram({t.program, "--bogus"}, dir.Path());
        EXPECT_EQ(run.ExitCode(), 2);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find(std::string("usage: ") + t.name), std::string::npos) << run.err;
        EXPECT_TRUE(std::filesystem::is_empty(dir.Path())) << "wrote a file named --bogus";
    }
}

}  // namespace
