// The body checks inside whole runs: the generated recordings pass them, and
// planted body findings reach the log, the form's counters and the summary.
#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/output_file.h"
#include "tests/support/ch10_bodies.h"
#include "tests/support/engine_rig.h"
#include "tests/support/pcm_packet_builder.h"
#include "tests/support/pcm_record_rig.h"
#include "tools/sample_recording.h"
#include "vexa/engine/body_checks.h"

namespace {

namespace fs = std::filesystem;
using vexa::FormCounter;

struct BodyRun {
    std::string findings;  // the log after its header
    std::string summary;
    std::vector<std::string> boxes;
    bool completed = false;
};

// One run of `source` with the body checks on.
BodyRun RunWithBodyChecks(const std::string& source, const std::string& outDir, int selected = 0, bool simulated = false) {
    rig::Engine e;
    e->runConfig.validateBodies = 1;
    e->runConfig.selectedChannel = selected;
    e->runConfig.validateSimPcm = simulated ? 1 : 0;
    e->runConfig.validateSim1553 = simulated ? 1 : 0;
    BodyRun r;
    EXPECT_TRUE(e.Open(source, outDir));
    e->Validate();
    EXPECT_TRUE(e.AwaitEnd());
    if (!e.host.runEnds.empty()) r.completed = e.host.runEnds[0].completed;
    r.findings = rig::Findings(ch10fix::ReadText(outDir + "/validate.log"));
    r.summary = ch10fix::ReadText(outDir + "/validate.log.summary.txt");
    r.boxes = e.BoxTexts();
    return r;
}

// Error numbers named in a log, in order.
std::vector<int> Numbers(const std::string& log) {
    std::vector<int> out;
    for (std::size_t at = log.find("Error "); at != std::string::npos; at = log.find("Error ", at + 1))
        if (std::isdigit(static_cast<unsigned char>(log[at + 6]))) out.push_back(std::stoi(log.substr(at + 6)));
    return out;
}

// A channel's block of a summary, from its heading to the next blank line.
std::string Block(const std::string& summary, int channel) {
    const std::size_t from = summary.find("Found channel " + std::to_string(channel) + " ");
    if (from == std::string::npos) return "";
    return summary.substr(from, summary.find("\r\n\r\n", from) - from);
}

TEST(GeneratedRecordings, PassEveryBodyCheck) {
    ch10fix::TempDir dir;
    ASSERT_TRUE(ch10fix::WriteFile(dir.File("sample.ch10"), ch10gen::SampleRecording()));
    ASSERT_TRUE(ch10gen::WriteStream(dir.File("stream.ch10"), 3'000'000));
    struct Case {
        const char* name;
        std::string source;
        int selected;
        bool simulated;
        std::vector<int> numbers;  // the sample's planted framing and TMATS findings only
    };
    for (const Case& c : {Case{"sample", dir.File("sample.ch10"), 0, false, {39, 174, 37}},
                          Case{"stream", dir.File("stream.ch10"), 0, false, {}},
                          Case{"stream, simulated PCM", dir.File("stream.ch10"), 2, true, {}},
                          Case{"stream, simulated 1553", dir.File("stream.ch10"), 3, true, {}},
                          Case{"sample, simulated PCM", dir.File("sample.ch10"), 2, true, {39}},
                          Case{"sample, simulated 1553", dir.File("sample.ch10"), 3, true, {39}}}) {
        SCOPED_TRACE(c.name);
        const std::string out = dir.File(std::string("out ") + c.name);
        fs::create_directory(out);
        const BodyRun r = RunWithBodyChecks(c.source, out, c.selected, c.simulated);
        EXPECT_TRUE(r.completed);
        EXPECT_TRUE(r.boxes.empty());
        EXPECT_EQ(Numbers(r.findings), c.numbers) << r.findings.substr(0, 4000);
        EXPECT_EQ(r.findings.find("Warning"), std::string::npos);
        // The bus lines show that the 1553 check walked the messages.
        EXPECT_EQ(r.summary.find("Number of messages on Channel B:") != std::string::npos, c.selected != 2);
        if (c.selected != 3) {
            EXPECT_TRUE(Block(r.summary, 2).ends_with(" Total number of errors: 0")) << r.summary;
        }
    }
}

// --- through the frame ----------------------------------------------------------

constexpr uint16_t kSync = ch10fix::kTestPcmSync;
constexpr uint64_t kPeriod = 10000;  // 64 bits at 64,000 bit/s, in ticks
// Unpacked, intra-packet headers, MI set, both lock states InLock: a
// channel word without findings of its own.
constexpr uint32_t kCleanCsdw = ch10fix::kPcmUnpacked | ch10fix::kPcmIph | ch10fix::kPcmMi | 0xFu << 24;

// PCM channel 2 (sync, FID 0..3, two data words) and 1553 channel 4; time on 3.
struct BodyFrame {
    BodyFrame() {
        r.entries = {{0x09, 2, 1}, {0x11, 3, 1}, {0x19, 4, 1}};
        r.info.Channels = r.entries.data();
        r.info.ChannelCount = static_cast<int16_t>(r.entries.size());
        pcm = ch10fix::TestPcmRecord(2);
        r.info.PcmChannels = &pcm;
        r.info.PcmCount = 1;
        r.info.Bus1553Channels = &bus;
        r.info.Bus1553Count = 1;
        vexa::EngineTestAccess::FrameOf(*r.engine).PrefillChannelTable(&r.info);
        vexa::EngineTestAccess::Run(*r.engine).tmatsInfo = &r.info;
        // Packets of data type version 6 without version findings.
        vexa::EngineTestAccess::Run(*r.engine).streamRules.fileDataVersion = 13;
        r.engine->runConfig.validateBodies = 1;
    }
    // Feeds one buffer; the outcome of the append step.
    vexa::BufferOutcome Feed(const ch10fix::Bytes& bytes) {
        return vexa::EngineTestAccess::AppendAndValidate(*r.engine, 1, static_cast<int>(bytes.size()), bytes.data(),
                                                         [] {});
    }
    std::string Log() {
        r.engine->Outputs().Close();
        return rig::Findings(ch10fix::ReadText(r.dir.File("frame.log")));
    }
    uint32_t Counter(FormCounter c) const { return r.Counter(c); }

    rig::FrameRig r{std::vector<uint16_t>{}};
    PCM_CHAN_INFO pcm{};
    BUS1553_CHAN_INFO bus{4, 1, "BUS"};
};

ch10fix::Bytes Time(uint64_t rtc = 0) {
    ch10fix::TimeSpec t;
    t.channelId = 3;
    t.rtc = rtc;
    return ch10fix::BuildPacket(ch10fix::TimePacket(t));
}

// PCM frames of channel 2 with these FIDs, `kPeriod` apart from `t0`.
ch10fix::Bytes Pcm(const std::vector<uint16_t>& fids, uint64_t t0, uint8_t sequence = 0, uint16_t sync = kSync) {
    ch10fix::PcmPacket p;
    p.channelId = 2;
    p.csdw = kCleanCsdw;
    p.rtc = t0;
    for (std::size_t i = 0; i < fids.size(); ++i)
        p.frames.push_back({t0 + i * kPeriod, ch10fix::kPcmInLock, {sync, fids[i], 0, 0}});
    ch10fix::PacketSpec spec = ch10fix::PcmPacketSpec(p);
    spec.sequence = sequence;
    return ch10fix::BuildPacket(spec);
}

// 1553 messages of channel 4 (mode code without data), one per stamp.
ch10fix::Bytes Bus(const std::vector<uint64_t>& stamps, uint16_t gaps, uint8_t sequence = 0) {
    std::vector<ch10fix::BusMessage> messages;
    for (uint64_t t : stamps) {
        ch10fix::BusMessage m;
        m.stamp = t;
        m.gapTimes = gaps;
        messages.push_back(m);
    }
    ch10fix::PacketSpec spec = ch10fix::Bus1553Packet(4, stamps.front(), messages);
    spec.sequence = sequence;
    return ch10fix::BuildPacket(spec);
}

// The form's counters after each body-checked packet: packet data errors
// through their totals, the time findings once per packet.
TEST(BodyChecksInRuns, FormCountersAfterEachBodyCheck) {
    struct Step {
        const char* name;
        ch10fix::Bytes packet;
        uint32_t dataErrors, invalidTime;
    };
    BodyFrame f;
    ASSERT_EQ(f.Feed(Time()), vexa::BufferOutcome::NeedData);
    // FIDs 7 and 8 are out of bound (101) while InLock (102), in sequence.
    const Step steps[] = {
        {"out-of-bound FID", Pcm({7}, 1000, 0), 2, 0},
        {"the next one, a second late (115)", Pcm({8}, 1000 + kPeriod + 10'000'000, 1), 5, 0},
        {"three gap findings and a span over 100 ms", Bus({10'100'000, 10'100'010, 11'100'000}, 20, 0), 8, 1},
        {"a clean 1553 packet", Bus({12'000'000, 12'000'010}, 40, 1), 8, 1},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        ASSERT_EQ(f.Feed(s.packet), vexa::BufferOutcome::NeedData);
        EXPECT_EQ(f.Counter(FormCounter::dataErrors), s.dataErrors);
        EXPECT_EQ(f.Counter(FormCounter::invalidTimeErrors), s.invalidTime);
        EXPECT_EQ(f.Counter(FormCounter::simDataErrors), 0u);
    }
}

// The form's Reset between two PCM packets: the second packet's first frame
// is no longer compared with the first packet's last.
TEST(BodyChecksInRuns, ResetDropsTheFrameTimeLink) {
    for (bool reset : {false, true}) {
        SCOPED_TRACE(reset ? "reset" : "no reset");
        BodyFrame f;
        ASSERT_EQ(f.Feed(Time()), vexa::BufferOutcome::NeedData);
        ASSERT_EQ(f.Feed(Pcm({0, 1}, 1000, 0)), vexa::BufferOutcome::NeedData);
        if (reset) f.r.engine->ResetCounters();
        // The request is honoured at the end of the next packet.
        ASSERT_EQ(f.Feed(Time(5000)), vexa::BufferOutcome::NeedData);
        ASSERT_EQ(f.Feed(Pcm({2, 3}, 500'000, 1)), vexa::BufferOutcome::NeedData);
        const std::string log = f.Log();
        EXPECT_EQ(log.find("Error 115: at frame position 1: Frame ID = 2") != std::string::npos, !reset) << log;
    }
}

// The body text goes out with the packet's block in one write; a refused
// write ends the processor's validation.
TEST(BodyChecksInRuns, VerboseBodyTextAndItsFailedWrite) {
    struct Case {
        const char* name;
        int failWrite;
        vexa::BufferOutcome outcome;
        bool written;
    };
    for (const Case& c : {Case{"written", 0, vexa::BufferOutcome::NeedData, true},
                          Case{"refused", 1, vexa::BufferOutcome::ValidatorFailed, false},
                          Case{"a later write refused", 2, vexa::BufferOutcome::NeedData, true}}) {
        SCOPED_TRACE(c.name);
        BodyFrame f;
        ASSERT_EQ(f.Feed(Time()), vexa::BufferOutcome::NeedData);
        platform::OutputFile::FailNthWriteForTests(c.failWrite);
        // A wrong sync word is the packet's only finding: the body text is its first write.
        EXPECT_EQ(f.Feed(Pcm({0}, 1000, 0, 0x1234)), c.outcome);
        platform::OutputFile::FailNthWriteForTests(0);
        const std::string log = f.Log();
        const std::string block = "\r\nPacket at offset 0x";
        EXPECT_EQ(log.find("Error 90: at frame 1: Sync pattern does not match") != std::string::npos, c.written)
            << log;
        // One block, its row, then the body text.
        if (c.written) {
            EXPECT_EQ(log.find(block), log.rfind(block)) << log;
            EXPECT_NE(log.find(" 0 \r\nError 90: at frame 1"), std::string::npos) << log;
        }
    }
}

// The write of one body check's text alone: Verbose block and text at once,
// Space Delimited only the row's flag.
TEST(BodyChecksInRuns, BodyTextWrite) {
    struct Case {
        const char* name;
        std::string text;
        bool spaceDelimited;
        bool logOpen;
        int failWrite;
        int result;
        std::string written;
        bool flag;
    };
    const Case cases[] = {
        {"Verbose", "Error 90: x\r\n", false, true, 0, 0, "BLOCK\r\nError 90: x\r\n", false},
        {"nothing to say", "", false, true, 0, 0, "", false},
        {"Space Delimited", "Error 90: x\r\n", true, true, 0, 0, "", true},
        {"refused write", "Error 90: x\r\n", false, true, 1, -1, "", false},
        {"no output file", "Error 90: x\r\n", false, false, 0, 0, "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ch10fix::TempDir dir;
        vexa::RunOutputs outputs;
        if (c.logOpen) outputs.outputHandle = platform::OutputFile::Open(dir.File("log"));
        vexa::PacketListingInput packet;
        bool flag = false;
        std::function<std::string_view()> block;
        if (!c.spaceDelimited) block = [] { return std::string_view("BLOCK\r\n"); };
        vexa::BodyCheckCall call{packet, block, c.spaceDelimited, flag, outputs};
        platform::OutputFile::FailNthWriteForTests(c.failWrite);
        EXPECT_EQ(vexa::WriteBodyText(call, c.text), c.result);
        platform::OutputFile::FailNthWriteForTests(0);
        outputs.Close();
        EXPECT_EQ(flag, c.flag);
        if (c.logOpen) {
            EXPECT_EQ(ch10fix::ReadText(dir.File("log")), c.written);
        }
    }
}

// A directory run's second summary owes nothing to the first file's 1553
// findings and message counts: it equals that file's summary alone.
TEST(BodyChecksInRuns, DirectoryRunSecondSummaryIsItsOwn) {
    ch10fix::TempDir dir;
    auto recording = [](uint16_t gaps) {
        ch10fix::TmatsAttributes t = rig::Tmats({4});
        t.Add("R-1\\CDT-1", "1553IN");
        ch10fix::Bytes out = ch10fix::BuildSetupPacket(t);
        for (uint8_t i = 0; i < 3; ++i)
            ch10fix::Append(out, Bus({1000u + 100'000u * i, 1010u + 100'000u * i}, gaps, i));
        return out;
    };
    fs::create_directories(dir.File("src"));
    fs::create_directories(dir.File("alone"));
    ASSERT_TRUE(ch10fix::WriteFile(dir.File("src/a.ch10"), recording(20)));
    ASSERT_TRUE(ch10fix::WriteFile(dir.File("src/b.ch10"), recording(40)));
    ASSERT_TRUE(ch10fix::WriteFile(dir.File("alone/b.ch10"), recording(40)));

    auto summaries = [&](const std::string& source, const std::string& out, int inputType) {
        fs::create_directories(out);
        rig::Engine e;
        e->runConfig.validateBodies = 1;
        EXPECT_TRUE(e.Open(source, out, inputType));
        e->Validate();
        EXPECT_TRUE(e.AwaitEnd());
        std::vector<std::string> texts;
        for (const std::string& path : e->OutputsWritten())
            if (path.ends_with(".summary.txt")) texts.push_back(ch10fix::ReadText(path));
        return texts;
    };
    const auto both = summaries(dir.File("src"), dir.File("out"), 0);
    const auto alone = summaries(dir.File("alone/b.ch10"), dir.File("out alone"), 1);
    ASSERT_EQ(both.size(), 2u);
    ASSERT_EQ(alone.size(), 1u);
    // The first file's gap findings, counted on its bus lines.
    EXPECT_NE(both[0].find("Number of messages on Channel A:   6"), std::string::npos) << both[0];
    EXPECT_NE(both[0].find("  6 of 125"), std::string::npos) << both[0];
    auto body = [](const std::string& s) { return s.substr(s.find("--- Start of Summary ---")); };
    EXPECT_EQ(body(both[1]), body(alone[0]));
    EXPECT_NE(both[1].find("Number of messages on Channel A:   6"), std::string::npos) << both[1];
    EXPECT_EQ(both[1].find(" of 125"), std::string::npos) << both[1];
}

}  // namespace
