// The summary file: its text from hand-set state against a golden written
// from the format's strings, the channel filter, and the write path with its
// failures, alone and at the end of a run.
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <memory>
#include <optional>

#include <gtest/gtest.h>

#include "platform/format.h"
#include "platform/output_file.h"
#include "tests/support/ch10_bodies.h"
#include "tests/support/pcm_packet_builder.h"
#include "tests/support/tmats_builder.h"
#include "tests/support/engine_rig.h"
#include "vexa/engine/check_sections.h"
#include "vexa/engine/summary_text.h"

namespace {

namespace fs = std::filesystem;
using vexa::Category;

std::string Golden(const std::string& name) { return ch10fix::ReadText(std::string(ENGINE_GOLDEN_DIR) + "/" + name); }

// Dates in the golden files are UTC.
class SummaryFile : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("TZ", "UTC", 1);
        tzset();
    }
};

// Engine-like state for the pure builder.
struct HandSet {
    std::array<uint32_t, vexa::kChannelSlots> ids{};
    vexa::PerSlot<vexa::SlotStreamStats> slots{};
    vexa::PerSlot<vexa::Bus1553SlotState> bus{};
    vexa::ErrorAccounting errors;
    uint64_t totalData = 0;
    uint64_t totalPackets = 0;

    void Slot(int s, uint32_t id, const char* type, uint32_t packets, uint64_t dataLength, const char* firstRtc,
              const char* lastRtc, float efficiency) {
        const auto i = static_cast<std::size_t>(s);
        ids[i] = id;
        slots[i].firstSeenText = "\r\n\r\nFound channel " + std::to_string(id) + " is of Data Type: " + type;
        slots[i].packetCount = packets;
        slots[i].summaryDataLength = dataLength;
        slots[i].firstRtcText = firstRtc;
        slots[i].lastRtcText = lastRtc;
        slots[i].efficiency = efficiency;
    }
    void Count(int s, Category c, int32_t n) { errors.Chan(c)[static_cast<std::size_t>(s)] = n; }
    void Table(int s, int number, uint32_t n) {
        errors.errorTable[static_cast<std::size_t>(s)][static_cast<std::size_t>(number)] = n;
    }

    vexa::SummaryInput Input(int selected = 0) const {
        return {.sourcePath = "/data/flight 12.ch10",
                .now = rig::FixedClock(),
                .selectedChannel = selected,
                .timeChannelSlot = 1,
                .channelIds = ids,
                .slots = slots,
                .bus = &bus,
                .startTime = "100:00:00:00:000",
                .endTime = "100:00:00:02:000",
                .totalDataLength = totalData,
                .totalPacketLength = totalPackets,
                .errors = errors};
    }
};

// Channel 0, the time channel, a 1553 channel with every bus count, a clean
// channel above 2^32 bytes, a one-packet channel and a heading without packets.
std::unique_ptr<HandSet> Sample() {
    auto held = std::make_unique<HandSet>();
    HandSet& h = *held;
    h.Slot(0, 0, "Comp Gen - Fmt 1 (SETUP RECORD)", 1, 238, "0", "", 90.5f);
    h.Slot(1, 1, "Time - Fmt 1", 3, 36, "10000000", "30000000", 0.0f);
    h.Count(1, Category::chanTimeErrors, 2);
    h.Count(1, Category::chanRtcErrors, 1);
    h.Table(1, 11, 2);
    h.Table(1, 5, 1);
    h.Slot(2, 3, "Bus 1553 - Fmt 1", 4, 1280, "10002000", "40002000", 85.25f);
    h.bus[2].busA = 6;
    h.bus[2].busB = 2;
    h.Count(2, Category::chanPacketDataErrors, 12);
    h.Count(2, Category::chanSequenceErrors, 1);
    h.Count(2, Category::chanHdrChecksumErrors, 2);
    h.errors.bus1553ErrorCounts[2] = {1, 2, 3, 4, 5, 6};  // WE, SE, LE, TM, FE, ME
    for (int n = 119; n <= 124; ++n) h.Table(2, n, static_cast<uint32_t>(125 - n));
    h.Table(2, 125, 3);
    h.Table(2, 2, 1);
    h.Table(2, 30, 1);
    h.Slot(3, 2, "PCM - Fmt 1", 2, 5'000'000'000ull, "10001000", "20001000", 99.5f);
    h.Slot(4, 9, "PCM - Fmt 1", 1, 20, "60003000", "", 45.5f);
    h.Count(4, Category::chanConsistencyErrors, 1);
    h.Table(4, 37, 1);
    h.Table(4, 174, 1);
    h.Slot(5, 12, "PCM - Fmt 1", 0, 0, "", "", 0.0f);
    h.totalData = 3;
    h.totalPackets = 4;
    return held;
}

TEST_F(SummaryFile, HandSetStateMatchesTheGolden) {
    const auto h = Sample();
    EXPECT_EQ(vexa::BuildSummaryText(h->Input()), Golden("summary_hand_set.txt"));
}

std::vector<std::string> Headings(const std::string& text) {
    std::vector<std::string> out;
    const std::string head = "Found channel ";
    for (std::size_t at = text.find(head); at != std::string::npos; at = text.find(head, at + 1))
        out.push_back(text.substr(at + head.size(), text.find(' ', at + head.size()) - at - head.size()));
    return out;
}

TEST_F(SummaryFile, ChannelFilter) {
    struct Case {
        int selected;
        std::vector<std::string> channels;
        bool allPacketLine;
    };
    const auto h = Sample();
    for (const Case& c : {Case{0, {"0", "1", "3", "2", "9"}, true}, Case{2, {"0", "1", "2"}, false},
                          Case{77, {"0", "1"}, false}}) {
        SCOPED_TRACE(c.selected);
        const std::string text = vexa::BuildSummaryText(h->Input(c.selected));
        EXPECT_EQ(Headings(text), c.channels);
        EXPECT_EQ(text.find("All packet efficiency") != std::string::npos, c.allPacketLine);
        EXPECT_TRUE(text.ends_with("\r\n\r\n--- End of Summary ---\r\n"));
    }
}

// Counts that feed no category, bus counts without packet data errors, and
// bus lines without messages.
TEST_F(SummaryFile, ListsOnlyUnderTheirTotals) {
    struct Case {
        const char* name;
        void (*set)(HandSet&);
        std::vector<std::string> present;
        std::vector<std::string> absent;
    };
    const Case cases[] = {
        {"stream-start numbers alone",
         [](HandSet& h) {
             for (int n = 30; n <= 33; ++n) h.Table(3, n, 1);
         },
         {"Total number of errors: 0"},
         {"Total errors by error codes:", "of 30"}},
        {"stream-start numbers under a category",
         [](HandSet& h) {
             h.Table(3, 31, 4);
             h.Count(3, Category::chanDataLenErrors, 1);
         },
         {"Total number of errors: 1\r\n  Number of errors per category: \r\n   Data length: 1\r\n Total errors by "
          "error codes:\r\n  4 of 31"},
         {}},
        {"bus counts without packet data errors",
         [](HandSet& h) {
             h.errors.bus1553ErrorCounts[3] = {1, 1, 1, 1, 1, 1};
             h.Count(3, Category::chanSimDataErrors, 2);
         },
         {"   Simulation data errors: 2"},
         {"Format Errors", "Packet data errors"}},
        {"one bus count",
         [](HandSet& h) {
             h.errors.bus1553ErrorCounts[3][1] = 7;
             h.Count(3, Category::chanPacketDataErrors, 7);
         },
         {"   Packet data errors: 7\r\n     Number of (SE) Sync Type Errors: 7\r\n"},
         {"Format Errors"}},
        {"messages on bus B only",
         [](HandSet& h) { h.bus[3].busB = 4; },
         {"\r\n Number of messages on Channel A:   0\r\n Number of messages on Channel B:   4\r\n Packet "
          "efficiency: 99.500000"},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto h = Sample();
        c.set(*h);
        const std::string text = vexa::BuildSummaryText(h->Input());
        // The PCM channel's block: from its heading to the next one.
        const std::size_t from = text.find("Found channel 2 ");
        const std::string block = text.substr(from, text.find("Found channel 9 ") - from);
        for (const std::string& p : c.present) EXPECT_NE(block.find(p), std::string::npos) << p << "\n" << block;
        for (const std::string& a : c.absent) EXPECT_EQ(block.find(a), std::string::npos) << a << "\n" << block;
    }
}

TEST_F(SummaryFile, NoPacketsAnywhere) {
    const auto h = std::make_unique<HandSet>();
    EXPECT_EQ(vexa::BuildSummaryText(h->Input()),
              "Source File: /data/flight 12.ch10\r\nDate Time Validated: Tuesday, November 14, 2023 22:13:20\r\n--- "
              "Start of Summary ---\r\n\r\nAll packet efficiency: 0.000000\r\n\r\n--- End of Summary ---\r\n");
}

// The write path over an engine's run context, without a run.
struct WriteRig {
    WriteRig() {
        engine->runConfig.sourcePath = "in.ch10";
        engine->runConfig.summaryPath = dir.File("run.summary.txt");
    }
    void OpenLog() { engine->Outputs().outputHandle = platform::OutputFile::Open(dir.File("run.log")); }
    int Write() {
        vexa::SummarySources sources;
        sources.now = rig::FixedClock();
        const int r = vexa::WriteSummaryFile(vexa::EngineTestAccess::Run(*engine), sources);
        engine->Outputs().Close();
        host.Pump();
        return r;
    }
    std::vector<std::string> Boxes() const {
        std::vector<std::string> out;
        for (const auto& b : host.boxes) out.push_back(b.text);
        return out;
    }
    ch10fix::TempDir dir;
    vexa::QueueHost host;
    std::unique_ptr<vexa::ValidationEngine> engine = std::make_unique<vexa::ValidationEngine>(host);
};

const char* kNoChannels =
    "Source File: in.ch10\r\nDate Time Validated: Tuesday, November 14, 2023 22:13:20\r\n--- Start of Summary "
    "---\r\n\r\nAll packet efficiency: 0.000000\r\n\r\n--- End of Summary ---\r\n";

TEST_F(SummaryFile, WritePath) {
    struct Case {
        const char* name;
        bool logOpen;
        std::string path;        // "" keeps the rig's; "-" sets it empty
        std::string existing;    // written to the target first when not empty
        int failWrite;           // FailNthWriteForTests
        int result;
        std::vector<std::string> boxes;
        std::string content;     // "" when no file may exist
    };
    const std::string longer(300, 'x');
    const Case cases[] = {
        {"written", true, "", "", 0, 0, {}, kNoChannels},
        {"no log open", false, "", "", 0, 0, {}, ""},
        {"no summary name", true, "-", "", 0, 0, {}, ""},
        {"a directory", true, "dir", "", 0, -1, {"Error on opening summary file"}, ""},
        {"failing write", true, "", "", 1, -1, {}, ""},
        {"device name over a longer file", true, "\\\\.\\", longer, 0, 0, {}, kNoChannels + longer.substr(std::string(kNoChannels).size())},
        {"device name of a missing file", true, "\\\\.\\", "", 0, -1, {"Error on opening summary file"}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteRig r;
        const std::string target = r.dir.File("run.summary.txt");
        if (c.path == "-") r.engine->runConfig.summaryPath.clear();
        if (c.path == "dir") {
            fs::create_directory(r.dir.File("d"));
            r.engine->runConfig.summaryPath = r.dir.File("d");
        }
        if (c.path == "\\\\.\\") r.engine->runConfig.summaryPath = "\\\\.\\" + target;
        if (!c.existing.empty()) {
            ASSERT_TRUE(ch10fix::WriteFile(target, ch10fix::Bytes(c.existing.begin(), c.existing.end())));
        }
        if (c.logOpen) r.OpenLog();
        platform::OutputFile::FailNthWriteForTests(c.failWrite);
        EXPECT_EQ(r.Write(), c.result);
        platform::OutputFile::FailNthWriteForTests(0);
        EXPECT_EQ(r.Boxes(), c.boxes);
        if (c.content.empty()) {
            EXPECT_TRUE(!fs::exists(target) || fs::file_size(target) == 0) << "a summary was written";
        } else {
            EXPECT_EQ(ch10fix::ReadText(target), c.content);
        }
    }
}

// A run whose summary cannot be opened still ends normally and lists no summary.
TEST_F(SummaryFile, UnopenableSummaryEndsTheRunNormally) {
    ch10fix::TempDir dir;
    ASSERT_TRUE(ch10fix::WriteFile(dir.File("in.ch10"), rig::BusyStream(20'000)));
    rig::Engine e;
    ASSERT_TRUE(e.Open(dir.File("in.ch10"), dir.Path()));
    fs::create_directory(dir.File("blocked"));
    e->runConfig.summaryPath = dir.File("blocked");
    e->Validate();
    ASSERT_TRUE(e.AwaitEnd());
    ASSERT_EQ(e.host.runEnds.size(), 1u);
    EXPECT_TRUE(e.host.runEnds[0].completed);
    EXPECT_EQ(e.host.runEnds[0].quietEnd, "");
    EXPECT_EQ(e.BoxTexts(), std::vector<std::string>{"Error on opening summary file"});
    EXPECT_EQ(e->OutputsWritten(), (std::vector<std::string>{dir.File("validate.log.TMATS.tmt"), dir.File("validate.log")}));
}

// --- a recording through the engine -------------------------------------------

// Setup record, two time packets, two PCM and two 1553 packets with planted
// body findings, one channel the TMATS does not declare; every packet of
// data type version 3, which the setup record's version 7 accepts.
struct FixtureRecording {
    std::vector<ch10fix::Bytes> packets;
    std::vector<uint16_t> channels;  // of each packet

    void Add(uint16_t channel, ch10fix::PacketSpec spec) {
        spec.dataTypeVersion = 3;
        packets.push_back(ch10fix::BuildPacket(spec));
        channels.push_back(channel);
    }
    ch10fix::Bytes Bytes() const {
        ch10fix::Bytes out;
        for (const auto& p : packets) ch10fix::Append(out, p);
        return out;
    }
    // Data and packet lengths of a channel's packets (all channels: none).
    std::pair<uint64_t, uint64_t> Lengths(std::optional<uint16_t> channel = std::nullopt) const {
        uint64_t data = 0, packet = 0;
        for (std::size_t i = 0; i < packets.size(); ++i)
            if (!channel || channels[i] == *channel) {
                data += ch10fix::Get32(packets[i], 8);
                packet += ch10fix::Get32(packets[i], 4);
            }
        return {data, packet};
    }
    std::string Efficiency(std::optional<uint16_t> channel = std::nullopt) const {
        const auto [data, packet] = Lengths(channel);
        return platform::Format("%f", static_cast<double>(static_cast<float>(100.0 * static_cast<double>(data) /
                                                                            static_cast<double>(packet))));
    }
};

ch10fix::PacketSpec TimeAt(uint64_t rtc, int second, uint8_t sequence) {
    ch10fix::TimeSpec t;
    t.channelId = 1;
    t.rtc = rtc;
    t.day = 100;
    t.seconds = second;
    ch10fix::PacketSpec p = ch10fix::TimePacket(t);
    p.sequence = sequence;
    return p;
}

// One minor frame a second: sync, frame ID, two data words.
ch10fix::PacketSpec PcmAt(uint64_t rtc, uint16_t fid, uint16_t sync, uint8_t sequence) {
    ch10fix::PcmPacket p;
    p.channelId = 2;
    p.csdw = ch10fix::kPcmUnpacked | ch10fix::kPcmIph | ch10fix::kPcmMi | 0xFu << 24;
    p.rtc = rtc;
    p.frames.push_back({rtc, ch10fix::kPcmInLock, {sync, fid, 0, 0}});
    ch10fix::PacketSpec spec = ch10fix::PcmPacketSpec(p);
    spec.sequence = sequence;
    return spec;
}

struct Message {
    uint64_t stamp;
    uint16_t status;
    uint16_t gaps;
};
// BC to RT 1, subaddress 1, one data word: command, data, status.
ch10fix::PacketSpec BusAt(uint64_t rtc, const std::vector<Message>& messages, uint8_t sequence) {
    ch10fix::PacketSpec s = ch10fix::Bus1553Packet(3, rtc, {});
    s.csdw = static_cast<uint32_t>(messages.size());
    s.sequence = sequence;
    auto put16 = [&s](uint32_t v) {
        s.body.push_back(static_cast<uint8_t>(v));
        s.body.push_back(static_cast<uint8_t>(v >> 8));
    };
    for (const Message& m : messages) {
        for (int k = 0; k < 4; ++k) put16(static_cast<uint32_t>(m.stamp >> (16 * k)));
        for (uint32_t w : {uint32_t{m.status}, uint32_t{m.gaps}, 6u, 0x0821u, 0x1234u, 0x0800u}) put16(w);
    }
    return s;
}

FixtureRecording Fixture() {
    ch10fix::TmatsAttributes t{
        {"G\\PN", "FIXTURE"},  {"G\\106", "07"},       {"G\\DSI\\N", "1"},     {"G\\DSI-1", "SOURCE"},
        {"R-1\\ID", "REC"},    {"R-1\\N", "3"},        {"R-1\\TK1-1", "1"},    {"R-1\\DSI-1", "TIME"},
        {"R-1\\CDT-1", "TIMIN"}, {"R-1\\TK1-2", "2"},  {"R-1\\DSI-2", "PCM"},  {"R-1\\CDT-2", "PCMIN"},
        {"R-1\\TK1-3", "3"},   {"R-1\\DSI-3", "BUS"},  {"R-1\\CDT-3", "1553IN"}, {"R-1\\PDP-2", "UN"},
        // 64 bits a frame at 64 bit/s: one frame a second; frame IDs 0..3.
        {"P-1\\DLN", "PCM"},   {"P-1\\D2", "64"},      {"P-1\\D4", "N"},       {"P-1\\F1", "16"},
        {"P-1\\F2", "M"},      {"P-1\\MF\\N", "4"},    {"P-1\\MF1", "4"},      {"P-1\\MF2", "64"},
        {"P-1\\MF4", "16"},    {"P-1\\MF5", "1111111001101011"}, {"P-1\\ISF\\N", "1"}, {"P-1\\IDC1-1", "1"},
        {"P-1\\IDC2-1", "16"}, {"P-1\\IDC3-1", "1"},   {"P-1\\IDC4-1", "16"},  {"P-1\\IDC6-1", "0"},
        {"P-1\\IDC8-1", "3"},  {"P-1\\IDC10-1", "INC"},
    };
    FixtureRecording r;
    ch10fix::PacketSpec setup;
    setup.dataType = 0x01;
    setup.csdw = 0x07;
    const std::string text = t.Text();
    setup.body.assign(text.begin(), text.end());
    r.Add(0, setup);
    r.Add(1, TimeAt(10'000'000, 0, 0));
    r.Add(2, PcmAt(10'001'000, 0, 0xFE6B, 0));
    // GAP1 of 2 us on the second message (Error 125), which is on bus B.
    r.Add(3, BusAt(10'002'000, {{10'002'000, 0, 40}, {10'002'010, 0x2000, 20}}, 0));
    r.Add(1, TimeAt(20'000'000, 1, 1));
    // A wrong sync word (Errors 90, 91, 93 and 94) one period after the last frame.
    r.Add(2, PcmAt(20'001'000, 1, 0x1234, 1));
    // The message error bit (Error 119 and the block-status listing).
    r.Add(3, BusAt(20'002'000, {{20'002'000, 0x1000, 40}}, 1));
    ch10fix::PacketSpec undeclared = PcmAt(20'003'000, 0, 0xFE6B, 0);
    undeclared.channelId = 9;
    r.Add(9, undeclared);
    return r;
}

TEST_F(SummaryFile, FixtureRecordingThroughTheEngine) {
    const FixtureRecording rec = Fixture();
    ch10fix::TempDir dir;
    const std::string source = dir.File("fixture.ch10");
    ASSERT_TRUE(ch10fix::WriteFile(source, rec.Bytes()));
    rig::Engine e;
    e->runConfig.validateBodies = 1;
    ASSERT_TRUE(e.Open(source, dir.Path()));
    e->Validate();
    ASSERT_TRUE(e.AwaitEnd());
    const std::string summary = ch10fix::ReadText(dir.File("validate.log.summary.txt"));

    auto dataLength = [&](uint16_t channel) { return std::to_string(rec.Lengths(channel).first); };
    // Channel 0 and the time channel have no findings; the PCM channel's four
    // come from the wrong sync word; the 1553 channel counts the gap finding,
    // the message error bit and the message it marks (packet data errors 3);
    // the undeclared channel has Errors 37 and 174.
    const std::string expected =
        "Source File: " + source + "\r\nDate Time Validated: Tuesday, November 14, 2023 22:13:20\r\n--- Start of "
        "Summary ---"
        "\r\n\r\nFound channel 0 is of Data Type: Comp Gen - Fmt 1 (SETUP RECORD)\r\n Total number of packets: 1"
        "\r\n Total packet's Data Length in bytes: " + dataLength(0) +
        "\r\n Start Relative Time Count (in 10th microsec): 0\r\n End Relative Time Count (in 10th microsec):   "
        "\r\n Packet efficiency: " + rec.Efficiency(0) + "\r\n Total number of errors: 0"
        "\r\n\r\nFound channel 1 is of Data Type: Time - Fmt 1\r\n Total number of packets: 2"
        "\r\n Start time: 100:00:00:00:000\r\n End time:   100:00:00:01:000"
        "\r\n Start Relative Time Count (in 10th microsec): 10000000"
        "\r\n End Relative Time Count (in 10th microsec):   20000000"
        "\r\n Packet efficiency: " + rec.Efficiency(1) + "\r\n Total number of errors: 0"
        "\r\n\r\nFound channel 2 is of Data Type: PCM - Fmt 1\r\n Total number of packets: 2"
        "\r\n Total packet's Data Length in bytes: " + dataLength(2) +
        "\r\n Start Relative Time Count (in 10th microsec): 10001000"
        "\r\n End Relative Time Count (in 10th microsec):   20001000"
        "\r\n Packet efficiency: " + rec.Efficiency(2) +
        "\r\n Total number of errors: 4\r\n  Number of errors per category: \r\n   Packet data errors: 4"
        "\r\n Total errors by error codes:\r\n  1 of 90\r\n  1 of 91\r\n  1 of 93\r\n  1 of 94"
        "\r\n\r\nFound channel 3 is of Data Type: Bus 1553 - Fmt 1\r\n Total number of packets: 2"
        "\r\n Total packet's Data Length in bytes: " + dataLength(3) +
        "\r\n Start Relative Time Count (in 10th microsec): 10002000"
        "\r\n End Relative Time Count (in 10th microsec):   20002000"
        "\r\n Number of messages on Channel A:   2\r\n Number of messages on Channel B:   1"
        "\r\n Packet efficiency: " + rec.Efficiency(3) +
        "\r\n Total number of errors: 3\r\n  Number of errors per category: \r\n   Packet data errors: 3"
        "\r\n     Number of (ME) Message Errors: 1"
        "\r\n Total errors by error codes:\r\n  1 of 119\r\n  1 of 125"
        "\r\n\r\nFound channel 9 is of Data Type: PCM - Fmt 1\r\n Total number of packets: 1"
        "\r\n Total packet's Data Length in bytes: " + dataLength(9) +
        "\r\n Start Relative Time Count (in 10th microsec): 20003000"
        "\r\n End Relative Time Count (in 10th microsec):   "
        "\r\n Packet efficiency: " + rec.Efficiency(9) +
        "\r\n Total number of errors: 2\r\n  Number of errors per category: \r\n   Consistency: 2"
        "\r\n Total errors by error codes:\r\n  1 of 37\r\n  1 of 174"
        "\r\n\r\nAll packet efficiency: " + rec.Efficiency() + "\r\n\r\n--- End of Summary ---\r\n";
    EXPECT_EQ(summary, expected);
}

}  // namespace
