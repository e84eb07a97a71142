// Whole runs whose validation log (or the "TMATS" error-line file) refuses
// one write: whichever finding line, header or TMATS-log copy it was, the run
// ends with the write message, and the log holds exactly what came before.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "platform/output_file.h"
#include "tests/support/engine_rig.h"

namespace {

namespace fs = std::filesystem;
using ch10fix::Bytes;

constexpr const char* kWriteFailed = "Error writing validation output, processing stopped";

// Switches the write failure off again whatever the test does.
struct FailNthWrite {
    explicit FailNthWrite(int n) { platform::OutputFile::FailNthWriteForTests(n); }
    ~FailNthWrite() { platform::OutputFile::FailNthWriteForTests(0); }
    FailNthWrite(const FailNthWrite&) = delete;
    FailNthWrite& operator=(const FailNthWrite&) = delete;
};

constexpr uint8_t kVersion = 2;

enum class Tmats { Plain, EventsWithoutIndex, IndexWithoutPackets };

Bytes Setup(Tmats kind) {
    ch10fix::TmatsAttributes t = rig::Tmats({2});
    if (kind == Tmats::EventsWithoutIndex) {
        t.Add("R-1\\EV\\E", "T");
        t.Add("R-1\\IDX\\E", "F");
    } else if (kind == Tmats::IndexWithoutPackets) {
        t.Add("R-1\\IDX\\E", "T");
    }
    // A header version that the setup record's file version allows, so that
    // no packet of the recording has findings (and so no listing) of its own.
    Bytes p = ch10fix::BuildSetupPacket(t);
    p[12] = kVersion;
    ch10fix::Put16(p, 22, ch10fix::HeaderChecksum(p.data()));
    return p;
}

// A computer-generated packet without findings.
Bytes Quiet(uint8_t sequence) {
    ch10fix::PacketSpec s;
    s.dataType = 0x00;
    s.dataTypeVersion = kVersion;
    s.sequence = sequence;
    s.body = Bytes(40, 0x5A);
    return ch10fix::BuildPacket(s);
}

enum class Damage { None, Garbage, Oversized, BadChecksum };

Bytes Recording(Tmats kind, Damage damage) {
    Bytes out = Setup(kind);
    ch10fix::Append(out, Quiet(1));
    switch (damage) {
        case Damage::None: break;
        case Damage::Garbage: ch10fix::Append(out, Bytes(13, 0xA5)); break;
        case Damage::Oversized: {
            ch10fix::PacketSpec s;
            s.dataType = 0x00;
            s.dataTypeVersion = kVersion;
            s.sequence = 2;
            s.body = Bytes(40, 0x5A);
            s.packetLengthOverride = 0x200000;
            ch10fix::Append(out, ch10fix::BuildPacket(s));
            break;
        }
        case Damage::BadChecksum: {
            Bytes p = Quiet(2);
            ch10fix::BreakHeaderChecksum(p);
            ch10fix::Append(out, p);
            break;
        }
    }
    // A damaged packet is never accepted: the sequence goes on from 1.
    ch10fix::Append(out, Quiet(2));
    return out;
}

struct Outcome {
    vexa::RunEnd end;
    std::string log;  // the file the run's finding lines go to
    bool listingMade = false;
};

Outcome RunOnce(const std::string& source, const std::string& outDir, bool spaceDelimited, int failWrite,
                bool errorLineFileFull = false) {
    fs::create_directories(outDir);
    if (errorLineFileFull) fs::create_symlink("/dev/full", outDir + "/validate.logTMATS");
    Outcome o;
    rig::Engine e;
    vexa::Engine().spaceDelimited = spaceDelimited;
    {
        FailNthWrite fail(failWrite);
        EXPECT_TRUE(e.Open(source, outDir));
        e->Validate();
        EXPECT_TRUE(e.AwaitEnd());
    }
    if (!e.host.runEnds.empty()) o.end = e.host.runEnds.front();
    const std::string logName = outDir + (spaceDelimited ? "/validate.logTMATS" : "/validate.log");
    if (!errorLineFileFull) o.log = ch10fix::ReadText(logName);
    for (const auto& entry : fs::directory_iterator(outDir))
        if (entry.path().filename().string().find("_chan") != std::string::npos) o.listingMade = true;
    return o;
}

std::string After(const std::string& text, std::size_t at) { return at <= text.size() ? text.substr(at) : ""; }

TEST(LogWriteFailures, EveryFailedLogWriteEndsTheRun) {
    struct Case {
        const char* name;
        Tmats tmats;
        Damage damage;
        bool spaceDelimited;
        int failWrite;       // the n-th output write of the run fails
        std::string marker;  // what that write would have begun with
    };
    // The TMATS validation log begins with a rule of "=".
    const std::string copy = std::string(130, '=') + "\r\nTMATS Packet Validation:";
    const Case cases[] = {
        {"log header", Tmats::Plain, Damage::None, false, 1, "Kelvane\r\nSource File: "},
        {"TMATS-log copy", Tmats::Plain, Damage::None, false, 2, copy},
        {"version line", Tmats::Plain, Damage::None, false, 3, "IRIG 106 File Data Version :"},
        {"Error 159 at the index setup", Tmats::EventsWithoutIndex, Damage::None, false, 3, "Error 159: "},
        {"Error 39 line", Tmats::Plain, Damage::Garbage, false, 4, "Error 39: "},
        {"Error 39 continuation", Tmats::Plain, Damage::Garbage, false, 5, "found next sync pattern"},
        {"Error 43 line", Tmats::Plain, Damage::Oversized, false, 4, "Error 43: "},
        {"Error 4 line", Tmats::Plain, Damage::BadChecksum, false, 4, "Error 4: "},
        {"index finding at the end of data", Tmats::IndexWithoutPackets, Damage::None, false, 4, "Error 160: "},
        {"log header, Space Delimited", Tmats::Plain, Damage::None, true, 1, "Kelvane\r\nSource File: "},
        {"TMATS-log copy, Space Delimited", Tmats::Plain, Damage::None, true, 2, copy},
        {"Error 39 line, Space Delimited", Tmats::Plain, Damage::Garbage, true, 8, "Error 39: "},
        {"index finding at the end of data, Space Delimited", Tmats::IndexWithoutPackets, Damage::None, true, 10,
         "Error 160: "},
    };
    ch10fix::TempDir dir;
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string base = dir.File("case" + std::to_string(++n));
        fs::create_directories(base);
        const std::string source = base + "/rec.ch10";
        ASSERT_TRUE(ch10fix::WriteFile(source, Recording(c.tmats, c.damage)));

        const Outcome clean = RunOnce(source, base + "/clean", c.spaceDelimited, 0);
        EXPECT_EQ(clean.end.quietEnd, "");
        const Outcome failed = RunOnce(source, base + "/failed", c.spaceDelimited, c.failWrite);
        EXPECT_TRUE(failed.end.completed);
        EXPECT_EQ(failed.end.quietEnd, kWriteFailed);
        // Everything before the refused write is there, and nothing after it.
        EXPECT_TRUE(clean.log.starts_with(failed.log));
        const std::string rest = After(clean.log, failed.log.size());
        EXPECT_TRUE(rest.starts_with(c.marker)) << "the clean log goes on: " << rest.substr(0, 60);
        // The refused write was that line and no other file's: refusing the
        // next write instead lets it through.
        const Outcome later = RunOnce(source, base + "/later", c.spaceDelimited, c.failWrite + 1);
        const std::string laterRest = After(later.log, failed.log.size());
        EXPECT_TRUE(laterRest.starts_with(c.marker)) << "one write later the log goes on: " << laterRest.substr(0, 60);
    }
}

TEST(LogWriteFailures, AFullErrorLineFileEndsTheRunBeforeAnyListing) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "/dev/full is absent";
    ch10fix::TempDir dir;
    const std::string source = dir.File("rec.ch10");
    ASSERT_TRUE(ch10fix::WriteFile(source, Recording(Tmats::Plain, Damage::Garbage)));
    const Outcome o = RunOnce(source, dir.File("out"), true, 0, true);
    EXPECT_TRUE(o.end.completed);
    EXPECT_EQ(o.end.quietEnd, kWriteFailed);
    EXPECT_FALSE(o.listingMade);
}

}  // namespace

namespace {

// Switches the close failure off again whatever the test does.
struct FailNthClose {
    explicit FailNthClose(int n) { platform::OutputFile::FailNthCloseForTests(n); }
    ~FailNthClose() { platform::OutputFile::FailNthCloseForTests(0); }
    FailNthClose(const FailNthClose&) = delete;
    FailNthClose& operator=(const FailNthClose&) = delete;
};

struct Listed {
    std::vector<std::string> written;
    std::vector<vexa::FailedOutput> failed;
    std::vector<std::string> boxes;
};

Listed RunListing(const std::string& source, const std::string& outDir, bool spaceDelimited, int failClose) {
    rig::Engine e;
    vexa::Engine().spaceDelimited = spaceDelimited;
    {
        FailNthClose fail(failClose);
        EXPECT_TRUE(e.Open(source, outDir));
        e->Validate();
        EXPECT_TRUE(e.AwaitEnd());
    }
    return {e->OutputsWritten(), e->OutputsFailed(), e.BoxTexts()};
}

}  // namespace

// Whichever output refuses a write or its close, or cannot be opened, is
// listed as failed and not as written; every other output is written as in
// a clean run.
TEST(LogWriteFailures, AFailedOutputIsNeverListedAsWritten) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "/dev/full is absent";
    constexpr const char* kFirstListing = "<first listing>";
    struct Case {
        const char* name;
        bool spaceDelimited;
        const char* outputDir;  // "out" is made; any other name is missing
        const char* fullFile;   // in the output folder, a link to /dev/full; "" none
        int failClose;          // the n-th close of an open output is refused; 0 none
        std::vector<std::pair<std::string, bool>> failed;  // name in the output folder, reported by a box
        std::vector<std::string> boxes;
    };
    const Case cases[] = {
        {"summary refuses its write", false, "out", "validate.log.summary.txt", 0, {{"validate.log.summary.txt", false}}, {}},
        {"content file refuses its write", false, "out", "validate.log.TMATS.tmt", 0, {{"validate.log.TMATS.tmt", false}}, {}},
        {"log refuses its close", false, "out", "", 1, {{"validate.log", false}}, {}},
        {"summary refuses its close", false, "out", "", 2, {{"validate.log.summary.txt", false}}, {}},
        {"error-line file refuses its close", true, "out", "", 3, {{"validate.logTMATS", false}}, {}},
        {"listing refuses its close", true, "out", "", 4, {{kFirstListing, false}}, {}},
        {"no output folder", false, "missing", "", 0,
         {{"validate.log", true}, {"validate.log.TMATS.tmt", true}},
         {"Error opening output file", "Error on opening TMATS packet's content output file"}},
    };
    ch10fix::TempDir dir;
    const std::string source = dir.File("rec.ch10");
    ASSERT_TRUE(ch10fix::WriteFile(source, Recording(Tmats::Plain, Damage::Garbage)));
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string base = dir.File("case" + std::to_string(++n));
        fs::create_directories(base + "/clean");
        const Listed clean = RunListing(source, base + "/clean", c.spaceDelimited, 0);
        ASSERT_TRUE(clean.failed.empty());

        const std::string out = base + "/" + c.outputDir;
        if (std::string(c.outputDir) == "out") fs::create_directories(out);
        if (*c.fullFile) fs::create_symlink("/dev/full", out + "/" + c.fullFile);
        const Listed listed = RunListing(source, out, c.spaceDelimited, c.failClose);

        // The clean run's names, moved to the failing run's folder.
        std::vector<std::string> expectWritten;
        std::string firstListing;
        for (const std::string& path : clean.written) {
            const std::string name = fs::path(path).filename().string();
            if (firstListing.empty() && name.find("_chan") != std::string::npos) firstListing = name;
            expectWritten.push_back(name);
        }
        std::vector<std::string> gotFailed;
        for (const auto& [name, reported] : c.failed) {
            const std::string failedName = name == kFirstListing ? firstListing : name;
            EXPECT_FALSE(failedName.empty());
            gotFailed.push_back(failedName);
            std::erase(expectWritten, failedName);
        }
        if (std::string(c.outputDir) != "out") expectWritten.clear();
        std::vector<std::string> written;
        for (const std::string& path : listed.written) written.push_back(fs::path(path).filename().string());
        EXPECT_EQ(written, expectWritten);
        EXPECT_EQ(listed.failed.size(), c.failed.size());
        for (std::size_t i = 0; i < std::min(c.failed.size(), listed.failed.size()); ++i) {
            EXPECT_EQ(listed.failed[i].path, out + "/" + gotFailed[i]);
            EXPECT_EQ(listed.failed[i].reported, c.failed[i].second);
        }
        EXPECT_EQ(listed.boxes, c.boxes);
    }
}
