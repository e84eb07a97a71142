#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "tests/engine/listing_rig.h"

namespace vexa {
namespace {

using namespace test;

bool HaveDevFull() { return std::filesystem::exists("/dev/full"); }

void FullAt(const ListingFixture& f, const std::string& name) {
    std::filesystem::create_symlink("/dev/full", f.dir.File(name));
}

ListingOptions Options(bool spaceDelimited, bool listingOn = true) {
    ListingOptions o;
    o.spaceDelimited = spaceDelimited;
    o.listingOn = listingOn;
    o.listAllPackets = true;
    return o;
}

TEST(ListingWriteFailures, FailedListingWritesEndTheCall) {
    if (!HaveDevFull()) GTEST_SKIP() << "/dev/full is absent";
    {
        SCOPED_TRACE("Verbose block");
        ListingFixture f;
        FullAt(f, "validate.log");
        f.Open(false);
        ASSERT_TRUE(f.outputs.outputHandle.IsOpen());
        EXPECT_EQ(f.List(PcmRef().in, Options(false)), -1);
    }
    {
        SCOPED_TRACE("PCM attribute warning");
        ListingFixture f;
        FullAt(f, "validate.log");
        f.Open(true);
        f.listing.bodyChecks = &f.checks;
        f.checks.attributeResult = -1;
        ListingOptions o = Options(true, false);
        o.validateBodies = true;
        EXPECT_EQ(f.List(PcmRef().in, o), -1);
        EXPECT_TRUE(f.listing.pcmChecksOff[3]);
    }
    {
        SCOPED_TRACE("compact row");
        ListingFixture f;
        FullAt(f, "validate.log_chan3");
        f.Open(true);
        EXPECT_EQ(f.List(PcmRef().in, Options(true)), -1);
    }
}

TEST(ListingWriteFailures, FailedCompactTailEndsTheCall) {
    ListingFixture f;
    f.Open(true);
    RefPacket r = PcmRef();
    r.in.firstOfSlot = true;
    platform::OutputFile::FailNthWriteForTests(2);  // the row goes out, the tail fails
    EXPECT_EQ(f.List(r.in, Options(true)), -1);
    platform::OutputFile::FailNthWriteForTests(0);
    f.outputs.Close();
    const std::string out = ReadText(f.dir.File("validate.log_chan3"));
    EXPECT_EQ(out.size(), 3 * 111 + 94u);
}

TEST(ListingWriteFailures, FailedLogLinesAndHeaderAreReported) {
    if (!HaveDevFull()) GTEST_SKIP() << "/dev/full is absent";
    for (bool spaceDelimited : {false, true}) {
        SCOPED_TRACE(spaceDelimited ? "Space Delimited" : "Verbose");
        ListingFixture f;
        FullAt(f, spaceDelimited ? "validate.logTMATS" : "validate.log");
        WriteText(f.dir.File("tmats.log"), "log line\r\n");
        OutputOpenRequest r;
        r.outputPath = f.dir.File("validate.log");
        r.tmatsLogPath = f.dir.File("tmats.log");
        r.spaceDelimited = spaceDelimited;
        r.title = kTitle;
        r.clock = FixedClock;
        f.outputs.OpenOutputFiles(r, f.host);
        // A full file is no open failure: no box, and the files stay open
        // for the run's end to close and name them.
        EXPECT_TRUE(f.host.Messages().empty());
        EXPECT_TRUE(f.outputs.outputHandle.IsOpen());
        EXPECT_EQ(f.outputs.errorLineHandle.IsOpen(), spaceDelimited);
        EXPECT_TRUE(f.outputs.headerFailed);
        EXPECT_FALSE(f.outputs.WriteLogLine("Error 39: x\r\n", spaceDelimited));
        // The listing step answers for its own files only.
        RefPacket p = PcmRef();
        p.in.findingText = "Error 42: x\r\n";
        EXPECT_EQ(f.List(p.in, Options(spaceDelimited)), spaceDelimited ? 0 : -1);
        f.outputs.Close();
        EXPECT_FALSE(f.outputs.headerFailed);
    }
}

TEST(ListingWriteFailures, AFailedHeaderOrCopyWriteIsNoted) {
    const std::string header = std::string(kTitle) + "\r\nSource File: s.ch10\r\nDate Time Validated: " + kFixedDate +
                               "\r\n";
    const std::string copy(70000, 'x');  // more than one block of the copy
    struct Case {
        const char* name;
        bool spaceDelimited;
        bool withLog;
        int failWrite;  // 0: none
        bool failed;
        std::string written;
    } cases[] = {
        {"all written", false, true, 0, false, header + copy},
        {"header refused", false, true, 1, true, ""},
        {"first block of the copy refused", false, true, 2, true, header},
        {"second block of the copy refused", false, true, 3, true, header + copy.substr(0, 1 << 16)},
        {"no TMATS log, no header", false, false, 1, false, ""},
        {"header refused, Space Delimited", true, true, 1, true, ""},
        {"copy refused, Space Delimited", true, true, 2, true, header},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ListingFixture f;
        WriteText(f.dir.File("tmats.log"), copy);
        OutputOpenRequest r;
        r.outputPath = f.dir.File("validate.log");
        if (c.withLog) r.tmatsLogPath = f.dir.File("tmats.log");
        r.sourcePath = "s.ch10";
        r.spaceDelimited = c.spaceDelimited;
        r.title = kTitle;
        r.clock = FixedClock;
        platform::OutputFile::FailNthWriteForTests(c.failWrite);
        f.outputs.OpenOutputFiles(r, f.host);
        platform::OutputFile::FailNthWriteForTests(0);
        EXPECT_EQ(f.outputs.headerFailed, c.failed);
        EXPECT_TRUE(f.host.Messages().empty());
        f.outputs.Close();
        EXPECT_EQ(ReadText(f.dir.File(c.spaceDelimited ? "validate.logTMATS" : "validate.log")), c.written);
    }
}

TEST(ListingWriteFailures, NoOutputFileAtAllIsNoFailure) {
    for (bool spaceDelimited : {false, true}) {
        ListingFixture f;  // never opened
        RefPacket r = PcmRef();
        r.in.findingText = "Error 42: x\r\n";
        f.listing.bodyChecks = &f.checks;
        f.checks.attributeResult = -1;
        ListingOptions o = Options(spaceDelimited);
        o.validateBodies = true;
        EXPECT_EQ(f.List(r.in, o), 0);
        EXPECT_TRUE(f.outputs.WriteLogLine("Error 39: x\r\n", spaceDelimited));
        EXPECT_TRUE(f.host.Messages().empty());
    }
}

TEST(ListingWriteFailures, AListingFileThatCannotBeCreatedIsShownOnce) {
    ListingFixture f;
    std::filesystem::create_directory(f.dir.File("validate.log_chan3"));
    f.Open(true);
    RefPacket three = PcmRef();
    three.in.firstOfSlot = true;
    EXPECT_EQ(f.List(three.in, Options(true)), 0);
    three.in.firstOfSlot = false;
    EXPECT_EQ(f.List(three.in, Options(true)), 0);
    ASSERT_EQ(f.host.Messages().size(), 1u);
    EXPECT_EQ(f.host.Messages()[0], platform::SystemErrorText(EISDIR));
    EXPECT_TRUE(f.outputs.listingFailed[3]);
    EXPECT_TRUE(f.outputs.listingNames[3].empty());

    RefPacket four = MakeRef(Spec(4, 0x09, 0), 4, "PCM Format 1");
    four.in.firstOfSlot = true;
    EXPECT_EQ(f.List(four.in, Options(true)), 0);
    f.outputs.Close();
    const std::string listed = ReadText(f.dir.File("validate.log_chan4"));
    EXPECT_EQ(LineLengths(listed).size(), 4u);
    EXPECT_EQ(f.host.Messages().size(), 1u);
}

}  // namespace
}  // namespace vexa
