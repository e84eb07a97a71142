// The public sample recordings through the built `vexa --headless`, each into
// its own temporary directory. Skipped when the sample folder is absent.
#include <gtest/gtest.h>

#include <filesystem>
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
    std::vector<std::string> Recordings() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(samples)) {
            const std::string ext = e.path().extension().string();
            if (ext == ".c10" || ext == ".ch10") names.push_back(e.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
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
