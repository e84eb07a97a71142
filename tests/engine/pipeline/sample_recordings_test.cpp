// The public sample recordings through the built `vexa --headless`, each into
// its own temporary directory. Skipped when the sample folder is absent.
#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <sstream>
#include <map>
#include <regex>

#include "tests/support/ch10_fixture.h"
#include "tests/support/engine_rig.h"
#include "platform/format.h"
#include "tests/support/program_run.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

struct HeadlessRun : ch10fix::ProgramRun {
    std::string log;
    std::string dir;  // the output directory
};

HeadlessRun RunVexa(const ch10fix::TempDir& dir, const std::string& name, std::vector<std::string> extra) {
    HeadlessRun run;
    run.dir = dir.File(name);
    fs::create_directories(run.dir);
    std::vector<std::string> args{VEXA_BINARY, "--headless", "--output-dir", run.dir};
    args.insert(args.end(), extra.begin(), extra.end());
    static_cast<ch10fix::ProgramRun&>(run) = ch10fix::RunProgram(args);
    run.log = rig::ReadText(run.dir + "/validate.log");
    return run;
}

// Finding numbers of the log with their counts.
std::map<int, int> FindingCounts(const std::string& log) {
    static const std::regex finding("Error ([0-9]+):");
    std::map<int, int> counts;
    for (auto it = std::sregex_iterator(log.begin(), log.end(), finding); it != std::sregex_iterator(); ++it)
        counts[std::stoi((*it)[1])]++;
    return counts;
}

bool SanitizerOrSignal(const HeadlessRun& r) {
    return !r.Exited() || r.err.find("Sanitizer") != std::string::npos ||
           r.err.find("runtime error:") != std::string::npos;
}

class SampleRecordings : public testing::Test {
protected:
    void SetUp() override {
        samples = ch10fix::SampleDataDir();
        if (samples.empty()) GTEST_SKIP() << "no sample recordings beside the checkout";
    }
    std::string Sample(const std::string& name) const { return samples + "/" + name; }
    static std::vector<std::string> Recordings() { return ch10fix::SampleRecordingNames(); }
    bool StartsWithSetupRecord(const std::string& name) const {
        const ch10fix::Bytes b = ch10fix::ReadFile(Sample(name));
        return b.size() >= 24 && ch10fix::Get16(b, 0) == ch10fix::kSync && b[15] == 0x01;
    }
    std::string samples;
    ch10fix::TempDir dir;
};

const char* const kWithoutSetupRecord[] = {"eth-21195e8.c10", "eth-c9cedaa.c10", "event-9a3ea91.c10",
                                           "index-a3fc32f.c10"};
constexpr const char* kDamaged = "c10tools-bad-f2b392a.c10";

TEST_F(SampleRecordings, WellFormedRecordingsValidateCleanly) {
    for (const std::string& name : Recordings()) {
        SCOPED_TRACE(name);
        if (!StartsWithSetupRecord(name)) continue;
        const HeadlessRun r = RunVexa(dir, name, {Sample(name)});
        ASSERT_FALSE(SanitizerOrSignal(r)) << r.err;
        EXPECT_EQ(r.ExitCode(), 0) << r.err;
        EXPECT_NE(r.out.find("Validation completed\n"), std::string::npos);
        EXPECT_NE(r.log.find("IRIG 106 File Data Version :"), std::string::npos);
        if (name == kDamaged) continue;
        const auto counts = FindingCounts(r.log);
        for (int number : {4, 6, 39, 43}) EXPECT_EQ(counts.count(number), 0u) << "Error " << number;
    }
}

TEST_F(SampleRecordings, StreamAndIndexFindings) {
    // The stream and index numbers each recording gives, explained by its
    // bytes: no time packet at all (30 for every data packet), the index
    // switch on without index packets (160), node index packets cut off
    // before their root (157, 160), and the root offsets of an extract that
    // still point into the recording it was cut from (155, 156).
    const std::map<std::string, std::map<int, int>> expected = {
        {"analog-6a6fc69.ch10", {}},
        {"analog-a0e2053.c10", {}},
        {"c10tools-1-05692ce.c10", {}},
        {"c10tools-1-bce51bb.c10", {{160, 1}}},
        {"c10tools-1-f614912.c10", {}},
        {"c10tools-bad-f2b392a.c10", {{160, 1}}},
        {"c10tools-err-6cb05a5.c10", {}},
        {"c10tools-ethernet-7b106ad.c10", {{157, 1}, {160, 1}}},
        {"discrete-7de3e72.c10", {{155, 1}, {156, 4}}},
        {"eth-9f1766a.c10", {{30, 233}, {160, 1}}},
        {"ethernet-8d1837f.c10", {{157, 1}, {160, 1}}},
        {"pcm-18d3127.c10", {}},
        {"pcm-b488c4f.c10", {{30, 24}, {160, 1}}},
        {"sample-1c7a9a5.c10", {{160, 1}}},
        {"sample-63e68c5.c10", {{160, 1}}},
        {"sample-aea1a3d.c10", {{160, 1}}},
        {"uart-0b11721.c10", {{30, 1632}}},
    };
    const std::vector<int> owned{30, 31, 32, 33, 34, 35, 36, 37, 38, 80, 155, 156, 157, 159,
                                 160, 162, 163, 164, 165, 166, 173, 175};
    for (const auto& [name, numbers] : expected) {
        SCOPED_TRACE(name);
        if (!fs::exists(Sample(name))) continue;
        const HeadlessRun r = RunVexa(dir, name, {Sample(name)});
        ASSERT_FALSE(SanitizerOrSignal(r)) << r.err;
        const auto counts = FindingCounts(r.log);
        std::map<int, int> got;
        for (int n : owned)
            if (counts.count(n)) got[n] = counts.at(n);
        EXPECT_EQ(got, numbers);
    }
}

TEST_F(SampleRecordings, WithoutASetupRecordOnlyWithExternalTmats) {
    const std::string tmats = Sample("c10tools-test-cff86aa.tmt");
    for (const char* name : kWithoutSetupRecord) {
        SCOPED_TRACE(name);
        if (!fs::exists(Sample(name))) continue;
        const HeadlessRun plain = RunVexa(dir, std::string(name) + ".plain", {Sample(name)});
        ASSERT_FALSE(SanitizerOrSignal(plain)) << plain.err;
        EXPECT_EQ(plain.ExitCode(), 1);
        EXPECT_NE(plain.err.find("Error reading TMATS Packet from '" + Sample(name) + "'"), std::string::npos)
            << plain.err;
        EXPECT_EQ(plain.out.find("Validation completed"), std::string::npos);

        if (!fs::exists(tmats)) continue;
        const HeadlessRun external = RunVexa(dir, std::string(name) + ".tmats", {"--tmats", tmats, Sample(name)});
        ASSERT_FALSE(SanitizerOrSignal(external)) << external.err;
        EXPECT_NE(external.out.find("Validation completed\n"), std::string::npos) << external.err;
        EXPECT_EQ(FindingCounts(external.log).count(4), 0u);
    }
}

TEST_F(SampleRecordings, DamagedCopyResynchronisesOnce) {
    if (!fs::exists(Sample(kDamaged))) GTEST_SKIP() << kDamaged;
    const ch10fix::Bytes b = ch10fix::ReadFile(Sample(kDamaged));
    // Walk the packets to the first position without a sync word, then find
    // the next header whose checksum holds, as the frame must.
    auto headerAt = [&](std::size_t at) {
        return at + 24 <= b.size() && ch10fix::Get16(b, at) == ch10fix::kSync && ch10fix::Get32(b, at + 4) > 24 &&
               ch10fix::HeaderChecksum(b.data() + at) == ch10fix::Get16(b, at + 22);
    };
    std::size_t broken = 0;
    while (headerAt(broken) && broken + ch10fix::Get32(b, broken + 4) <= b.size()) broken += ch10fix::Get32(b, broken + 4);
    ASSERT_LT(broken, b.size());
    std::size_t next = broken + 1;
    while (next < b.size() && !headerAt(next)) ++next;
    ASSERT_LT(next, b.size());
    // From there every packet follows the one before to the end (a cut
    // last packet aside).
    std::size_t at = next;
    while (headerAt(at) && at + ch10fix::Get32(b, at + 4) <= b.size()) at += ch10fix::Get32(b, at + 4);
    EXPECT_TRUE(at == b.size() || headerAt(at)) << at;

    const HeadlessRun r = RunVexa(dir, kDamaged, {Sample(kDamaged)});
    ASSERT_FALSE(SanitizerOrSignal(r)) << r.err;
    EXPECT_EQ(r.ExitCode(), 0) << r.err;
    const auto counts = FindingCounts(r.log);
    EXPECT_EQ(counts.count(39) ? counts.at(39) : 0, 1);
    EXPECT_NE(r.log.find(platform::Format("Error 39: Expected start of packet sync pattern not found at offset 0x%x, "
                                          "found next sync pattern at offset 0x%x",
                                          static_cast<unsigned>(broken), static_cast<unsigned>(next))),
              std::string::npos)
        << r.log;
    EXPECT_EQ(counts.count(43), 0u);
}

TEST_F(SampleRecordings, ContentFileOneAttributePerLine) {
    const char* name = "c10tools-1-bce51bb.c10";
    if (!fs::exists(Sample(name))) GTEST_SKIP() << name;
    const HeadlessRun r = RunVexa(dir, name, {Sample(name)});
    ASSERT_EQ(r.ExitCode(), 0) << r.err;
    EXPECT_NE(r.log.find("IRIG 106 File Data Version :07\r\n"), std::string::npos);
    const std::string path = r.dir + "/validate.log.TMATS.tmt";
    EXPECT_NE(r.out.find(path + "\n"), std::string::npos) << r.out;
    const std::string text = rig::ReadText(path);
    ASSERT_FALSE(text.empty());
    std::size_t lines = 0;
    for (std::size_t from = 0; from < text.size();) {
        const std::size_t end = text.find("\r\n", from);
        ASSERT_NE(end, std::string::npos) << "unterminated last line";
        const std::string line = text.substr(from, end - from);
        EXPECT_TRUE(!line.empty() && line.back() == ';' && line.find(';') == line.size() - 1) << line;
        EXPECT_EQ(line.find('\r'), std::string::npos) << line;  // never CR CR LF
        from = end + 2;
        ++lines;
    }
    EXPECT_GT(lines, 100u);
}

}  // namespace

namespace {

// The numbers of the time, channel-word and differs checks.
const std::vector<int> kTimeWordDiffersNumbers{
    5,  12, 13, 14, 15, 16, 17, 18, 19, 25, 26, 27, 28, 51, 133, 152, 153, 154,                      // time
    8,  53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63, 64, 69, 70, 71, 72, 132, 135, 136, 137, 138, 139,  // words
    148, 149, 168, 169, 170, 171,
    20, 21, 40, 65, 66, 67, 68, 73, 74, 75, 76, 77, 78, 79, 81, 82, 83, 84, 85, 86, 87, 88, 89,  // differs
    140, 141, 142, 143, 144, 145, 146, 147, 150, 161, 176};

TEST_F(SampleRecordings, TimeWordAndDiffersFindings) {
    ASSERT_EQ(kTimeWordDiffersNumbers.size(), 81u);
    const std::string tmats = Sample("c10tools-test-cff86aa.tmt");
    for (const std::string& name : Recordings()) {
        SCOPED_TRACE(name);
        std::vector<std::string> args{Sample(name)};
        if (!StartsWithSetupRecord(name)) {
            if (!fs::exists(tmats)) continue;
            args.insert(args.begin(), {"--tmats", tmats});
        }
        const HeadlessRun r = RunVexa(dir, name, args);
        ASSERT_FALSE(SanitizerOrSignal(r)) << r.err;
        const auto counts = FindingCounts(r.log);
        std::map<int, int> got;
        for (int n : kTimeWordDiffersNumbers)
            if (counts.count(n)) got[n] = counts.at(n);
        // The damaged copy's 1553 packet at 0x1a3c on channel 3 carries
        // messages beyond its count, the first stamped before the header;
        // the channel's next packet starts before its last message.
        const std::map<int, int> expected =
            name == kDamaged ? std::map<int, int>{{62, 2}, {63, 1}, {64, 1}, {169, 1}} : std::map<int, int>{};
        EXPECT_EQ(got, expected);
        if (name != kDamaged) continue;
        const std::size_t damaged = r.log.find("Packet at offset 0x1a3c, with Sequence Number 204, Channel 3, of Data "
                                               "Type: Bus 1553 - Fmt 1\r\n");
        ASSERT_NE(damaged, std::string::npos) << r.log;
        const std::size_t next = r.log.find("Packet at offset", damaged + 1);
        const std::string block = r.log.substr(damaged, next - damaged);
        EXPECT_NE(block.find(" 343:16:47:12:347:833 "), std::string::npos) << block;
        EXPECT_NE(block.find("Error 169: The time of the first bus message in a 1553 packet is less than the relative "
                             "time counter in the packet header\r\n"
                             "Error 62: Bus message time reversed at message   3 \r\n"
                             "Error 63: Bus Message Count is greater than actual messages\r\n"
                             "Error 64: Bus Message Count is less than actual messages\r\n"),
                  std::string::npos)
            << block;
        EXPECT_NE(r.log.find("Error 62: Bus message time reversed at message   1 \r\n", next), std::string::npos);
    }
}

// A run through the engine with every packet listed.
struct ListedRun {
    std::string log;
    std::string dir;
};
ListedRun RunListed(const ch10fix::TempDir& dir, const std::string& source, const std::string& name,
                    bool spaceDelimited) {
    ListedRun out;
    out.dir = dir.File(name);
    fs::create_directories(out.dir);
    rig::Engine r;
    r->runConfig.listAllPackets = 1;
    vexa::Engine().spaceDelimited = spaceDelimited;
    EXPECT_TRUE(r.Open(source, out.dir));
    r->Validate();
    EXPECT_TRUE(r.AwaitEnd());
    out.log = rig::ReadText(out.dir + "/validate.log");
    return out;
}

TEST_F(SampleRecordings, FirstTimePacketTextsAndCorrelation) {
    struct Case {
        const char* name;
        const char* firstTime;
    };
    // discrete: day of year; ethernet: 17 October 2018 in the month/day form.
    for (const Case& c : {Case{"discrete-7de3e72.c10", "022:21:19:58:000"},
                          Case{"ethernet-8d1837f.c10", "290:22:19:22:000"},
                          Case{"c10tools-1-bce51bb.c10", "343:16:47:12:000"}}) {
        SCOPED_TRACE(c.name);
        if (!fs::exists(Sample(c.name))) continue;
        const ListedRun r = RunListed(dir, Sample(c.name), c.name, false);
        const std::size_t time = r.log.find("of Data Type: Time - Fmt 1\r\n");
        ASSERT_NE(time, std::string::npos) << r.log.substr(0, 4000);
        const std::size_t row = r.log.find("\r\n", r.log.find("-------- ----", time));
        EXPECT_NE(r.log.substr(row, 200).find(std::string(" ") + c.firstTime), std::string::npos)
            << r.log.substr(time, 800);
        if (std::string(c.name) != "ethernet-8d1837f.c10") continue;
        // The Ethernet packet 180,798 ticks before the first time packet.
        const std::size_t eth = r.log.find("Packet at offset 0x65e0,");
        ASSERT_NE(eth, std::string::npos);
        EXPECT_NE(r.log.substr(eth, 800).find(" 290:22:19:21:981:920 "), std::string::npos) << r.log.substr(eth, 800);
    }
}

}  // namespace

namespace {

TEST_F(SampleRecordings, TimePacketDriftInSpaceDelimitedRows) {
    const char* name = "discrete-7de3e72.c10";
    if (!fs::exists(Sample(name))) GTEST_SKIP() << name;
    const ListedRun r = RunListed(dir, Sample(name), name, true);
    vexa::Engine().spaceDelimited = false;
    // The drift is the second-last column of each time packet's row.
    std::vector<int> drifts;
    std::istringstream rows(rig::ReadText(r.dir + "/validate.log_chan1"));
    for (std::string line; std::getline(rows, line);) {
        std::istringstream cols(line);
        std::vector<std::string> c{std::istream_iterator<std::string>(cols), std::istream_iterator<std::string>()};
        if (c.size() > 2 && c[1] == "0x11") drifts.push_back(std::stoi(c[c.size() - 2]));
    }
    ASSERT_EQ(drifts.size(), 61u);
    EXPECT_EQ(std::vector<int>(drifts.begin(), drifts.begin() + 7), (std::vector<int>{0, 3, 6, 9, 12, 15, 17}));
    EXPECT_EQ(drifts.back(), 176);
    // In Space Delimited the numbered lines go to the "TMATS" file.
    const std::string lines = rig::ReadText(r.dir + "/validate.logTMATS");
    ASSERT_NE(lines.find("IRIG 106 File Data Version"), std::string::npos);
    EXPECT_EQ(FindingCounts(lines).count(12), 0u);
}

}  // namespace
