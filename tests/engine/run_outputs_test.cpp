#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/engine/host_rig.h"
#include "vexa/engine/run_outputs.h"
#include "tests/support/temp_dir.h"

namespace vexa {
namespace {

using test::kFixedDate;
using test::kTitle;
using test::ReadText;
using test::RecordingHost;
using test::WriteText;

std::string Header(const std::string& source) {
    return std::string(kTitle) + "\r\nSource File: " + source + "\r\nDate Time Validated: " + kFixedDate + "\r\n";
}

// A TMATS log as the library writes it: CR LF lines, one longer than 255.
std::string SampleLog() {
    return "TMATS validation\r\n" + std::string(300, 'x') + "\r\nG\\DSI-1:ok;\r\nend\r\n";
}

struct Fixture {
    ch10fix::TempDir dir;
    RecordingHost host;
    RunOutputs outputs;
    std::string logPath = dir.File("tmats.log");

    OutputOpenRequest Request(bool spaceDelimited, const std::string& output = "validate.log") {
        OutputOpenRequest r;
        r.outputPath = output.empty() || output[0] == '/' || output[0] == '\\' ? output : dir.File(output);
        r.sourcePath = "/data/flight 1.ch10";
        r.tmatsLogPath = logPath;
        r.spaceDelimited = spaceDelimited;
        r.title = kTitle;
        r.clock = test::FixedClock;
        return r;
    }
};

TEST(RunOutputs, VerboseHeaderAndLogGoToTheOutputFile) {
    Fixture f;
    WriteText(f.logPath, SampleLog());
    f.outputs.OpenOutputFiles(f.Request(false), f.host);
    EXPECT_TRUE(f.host.Messages().empty());
    EXPECT_TRUE(f.outputs.outputHandle.IsOpen());
    EXPECT_FALSE(f.outputs.errorLineHandle.IsOpen());
    EXPECT_TRUE(f.outputs.WriteLogLine("Error 39: line\r\n", false));
    f.outputs.Close();
    EXPECT_EQ(ReadText(f.dir.File("validate.log")),
              Header("/data/flight 1.ch10") + SampleLog() + "Error 39: line\r\n");
    EXPECT_TRUE(f.outputs.listingNames[256].empty());
    EXPECT_FALSE(std::filesystem::exists(f.dir.File("validate.logTMATS")));
}

TEST(RunOutputs, SpaceDelimitedHeaderAndLinesGoToTheTmatsFile) {
    Fixture f;
    WriteText(f.logPath, SampleLog());
    f.outputs.OpenOutputFiles(f.Request(true), f.host);
    EXPECT_TRUE(f.host.Messages().empty());
    EXPECT_EQ(f.outputs.listingNames[256], f.dir.File("validate.logTMATS"));
    EXPECT_TRUE(f.outputs.WriteLogLine("Error 155: line\r\n", true));
    f.outputs.Close();
    EXPECT_EQ(ReadText(f.dir.File("validate.logTMATS")),
              Header("/data/flight 1.ch10") + SampleLog() + "Error 155: line\r\n");
    EXPECT_EQ(ReadText(f.dir.File("validate.log")), "");
}

TEST(RunOutputs, WithoutALogTheFilesAreOpenedWithoutAHeader) {
    struct Case {
        const char* name;
        bool emptyPath;
        bool spaceDelimited;
    };
    const Case cases[] = {{"empty path, Verbose", true, false},
                          {"absent log, Verbose", false, false},
                          {"empty path, Space Delimited", true, true},
                          {"absent log, Space Delimited", false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        WriteText(f.dir.File("validate.log"), "old contents");
        WriteText(f.dir.File("validate.logTMATS"), "old contents");
        OutputOpenRequest r = f.Request(c.spaceDelimited);
        r.tmatsLogPath = c.emptyPath ? "" : f.dir.File("absent.log");
        f.outputs.OpenOutputFiles(r, f.host);
        EXPECT_TRUE(f.host.Messages().empty());
        EXPECT_TRUE(f.outputs.WriteLogLine("Error 43: x\r\n", c.spaceDelimited));
        f.outputs.Close();
        EXPECT_EQ(ReadText(f.dir.File("validate.log")), c.spaceDelimited ? "" : "Error 43: x\r\n");
        if (c.spaceDelimited) {
            EXPECT_EQ(ReadText(f.dir.File("validate.logTMATS")), "Error 43: x\r\n");
            EXPECT_EQ(f.outputs.listingNames[256], f.dir.File("validate.logTMATS"));
        } else {
            EXPECT_EQ(ReadText(f.dir.File("validate.logTMATS")), "old contents");
        }
    }
}

TEST(RunOutputs, AnExistingEmptyLogStillGetsTheHeader) {
    Fixture f;
    WriteText(f.logPath, "");
    f.outputs.OpenOutputFiles(f.Request(false), f.host);
    f.outputs.Close();
    EXPECT_EQ(ReadText(f.dir.File("validate.log")), Header("/data/flight 1.ch10"));
}

TEST(RunOutputs, OpenFailuresAreShownAndTheRunGoesOnWithoutThoseFiles) {
    {
        Fixture f;
        WriteText(f.logPath, SampleLog());
        f.outputs.OpenOutputFiles(f.Request(true, "missing/validate.log"), f.host);
        EXPECT_EQ(f.host.Messages(), std::vector<std::string>{"Error opening output file"});
        EXPECT_FALSE(f.outputs.outputHandle.IsOpen());
        EXPECT_FALSE(f.outputs.errorLineHandle.IsOpen());
        // Writes to absent files are skipped, not failures.
        EXPECT_TRUE(f.outputs.WriteLogLine("Error 39: x\r\n", true));
        EXPECT_TRUE(f.outputs.WriteLogLine("Error 39: x\r\n", false));
    }
    {
        Fixture f;
        WriteText(f.logPath, SampleLog());
        std::filesystem::create_directory(f.dir.File("validate.logTMATS"));
        f.outputs.OpenOutputFiles(f.Request(true), f.host);
        EXPECT_EQ(f.host.Messages(), std::vector<std::string>{"Error on opening tmats log file"});
        EXPECT_TRUE(f.outputs.outputHandle.IsOpen());
        EXPECT_FALSE(f.outputs.errorLineHandle.IsOpen());
        EXPECT_TRUE(f.outputs.listingNames[256].empty());
        f.outputs.Close();
        EXPECT_EQ(ReadText(f.dir.File("validate.log")), "");
    }
}

TEST(RunOutputs, DevicePrefixOpensAnExistingFileWithoutTruncating) {
    Fixture f;
    WriteText(f.logPath, "");
    const std::string target = f.dir.File("device.img");
    const std::string old(400, 'D');
    WriteText(target, old);
    f.outputs.OpenOutputFiles(f.Request(false, "\\\\.\\" + target), f.host);
    EXPECT_TRUE(f.host.Messages().empty());
    f.outputs.Close();
    const std::string header = Header("/data/flight 1.ch10");
    EXPECT_EQ(ReadText(target), header + old.substr(header.size()));

    f.outputs.OpenOutputFiles(f.Request(false, "\\\\.\\" + f.dir.File("no such device")), f.host);
    EXPECT_EQ(f.host.Messages(), std::vector<std::string>{"Error opening output file"});
    EXPECT_FALSE(std::filesystem::exists(f.dir.File("no such device")));
}

TEST(RunOutputs, ReopenForTheNextFileLeavesTheOldFilesAlone) {
    Fixture f;
    WriteText(f.logPath, SampleLog());
    f.outputs.OpenOutputFiles(f.Request(true, "first.log"), f.host);
    ASSERT_NE(f.outputs.ListingFile(3, 7, f.host), nullptr);
    ASSERT_TRUE(f.outputs.listingHandles[3].WriteAll("row\r\n"));
    f.outputs.Close();
    const std::string first = ReadText(f.dir.File("first.logTMATS"));

    f.outputs.OpenOutputFiles(f.Request(true, "second.log"), f.host);
    ASSERT_NE(f.outputs.ListingFile(3, 7, f.host), nullptr);
    EXPECT_EQ(f.outputs.listingNames[3], f.dir.File("second.log_chan7"));
    EXPECT_TRUE(f.outputs.WriteLogLine("Error 39: x\r\n", true));
    f.outputs.Close();
    EXPECT_EQ(ReadText(f.dir.File("first.logTMATS")), first);
    EXPECT_EQ(ReadText(f.dir.File("first.log_chan7")), "row\r\n");
    EXPECT_EQ(ReadText(f.dir.File("second.log_chan7")), "");
    EXPECT_TRUE(f.host.Messages().empty());
}

TEST(RunOutputs, DayNamesStayEnglishUnderAnotherLocale) {
    test::ForeignLocale locale;
    if (locale.Name().empty()) GTEST_SKIP() << "no locale with other day names is installed";
    Fixture f;
    WriteText(f.logPath, "");
    f.outputs.OpenOutputFiles(f.Request(false), f.host);
    f.outputs.Close();
    EXPECT_EQ(ReadText(f.dir.File("validate.log")), Header("/data/flight 1.ch10"));
}

}  // namespace
}  // namespace vexa
