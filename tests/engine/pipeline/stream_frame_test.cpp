// The stream, index and data-type rules and the TMATS content file through
// whole runs: findings in section order, lines written at once, and what a
// second file starts afresh.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/engine_test_access.h"
#include "tests/support/engine_rig.h"
#include "tests/support/temp_dir.h"

namespace {

using ch10fix::Bytes;
namespace fs = std::filesystem;

// Channel 2 PCM, channel 3 time; the index switch as given.
ch10fix::TmatsAttributes StreamTmats(bool indexEnabled) {
    ch10fix::TmatsAttributes t{{"G\\PN", "RIG"}, {"G\\106", "07"}, {"R-1\\ID", "REC"}, {"R-1\\N", "2"}};
    t.Add("R-1\\TK1-1", "2").Add("R-1\\DSI-1", "PCM").Add("R-1\\CDT-1", "PCMIN");
    t.Add("R-1\\TK1-2", "3").Add("R-1\\DSI-2", "TIME").Add("R-1\\CDT-2", "TIMEIN");
    t.Add("R-1\\IDX\\E", indexEnabled ? "T" : "F");
    return t;
}

Bytes SetupRecord(uint8_t versionByte, bool indexEnabled = true) {
    ch10fix::SetupOptions o;
    o.csdwVersion = versionByte;
    return ch10fix::BuildSetupPacket(StreamTmats(indexEnabled), o);
}

Bytes Index(bool node, uint64_t backPointer) {
    ch10fix::PacketSpec s;
    s.dataType = 0x03;
    s.csdw = node ? 0x80000001u : 0x00000001u;
    s.body = Bytes(16, 0);
    for (int i = 0; i < 8; ++i) s.body[8 + static_cast<std::size_t>(i)] = static_cast<uint8_t>(backPointer >> (8 * i));
    return ch10fix::BuildPacket(s);
}

// Setup record (file version 9 against TMATS 07: Error 80), an undeclared
// PCM channel before any time packet (174, 30, 37), a time packet, a root
// index packet pointing elsewhere (155), a node index packet, PCM, and a
// second setup record (31, 80, 38). The node is the last index packet: 157.
Bytes PlantedStream() {
    Bytes s = SetupRecord(8);
    ch10fix::Append(s, rig::Packet(9, 0x09, 16));
    ch10fix::Append(s, rig::Packet(3, 0x11, 12));
    ch10fix::Append(s, Index(false, 12345));
    ch10fix::Append(s, Index(true, 0));
    ch10fix::Append(s, rig::Packet(2, 0x09, 16));
    ch10fix::Append(s, SetupRecord(8));
    return s;
}

std::size_t At(const std::string& log, const std::string& text, std::size_t from = 0) {
    const std::size_t at = log.find(text, from);
    EXPECT_NE(at, std::string::npos) << text << "\n" << log;
    return at;
}

struct RunRig {
    ch10fix::TempDir dir;
    rig::Engine e;
    bool Validate(const std::string& source, int inputType = 1) {
        if (!e.Open(source, dir.Path(), inputType)) return false;
        e->Validate();
        return e.AwaitEnd();
    }
};

TEST(StreamThroughTheFrame, VerboseFindingsInSectionOrder) {
    RunRig r;
    const std::string source = r.dir.File("planted.ch10");
    ASSERT_TRUE(ch10fix::WriteFile(source, PlantedStream()));
    ASSERT_TRUE(r.Validate(source));
    const std::string log = rig::Findings(rig::ReadText(r.dir.File("validate.log")));

    const std::string version = "IRIG 106 File Data Version :09\r\n";
    const std::size_t v1 = At(log, version);
    const std::size_t e80 = At(log, "Error 80: Computer generated format 1 IRIG-106 Chapter 10 Data File Version (09) is "
                                    "inconsistent with the version in the TMATS (07)\r\n");
    EXPECT_LT(v1, e80);  // at once, before the setup record's block
    // One packet's findings in section order: frame, stream start, data type.
    const std::size_t e174 = At(log, "Error 174: Channel ID not defined in TMATS\r\n");
    const std::size_t e30 = At(log, "Error 30: Non Computer Generated packet occurs before IRIG packet. \r\n");
    const std::size_t e37 = At(log, "Error 37: Found packet on channel ID 9 of Data Type 9 but not described in "
                                    "TMATS packet. \r\n");
    EXPECT_LT(e80, e174);
    EXPECT_LT(e174, e30);
    EXPECT_LT(e30, e37);
    const std::size_t e155 =
        At(log, "Error 155: The first computer generated root index packet does not point to itself. \r\n");
    EXPECT_LT(e37, e155);
    // The second setup record: its version line, then 31, 80, 38.
    const std::size_t v2 = At(log, version, v1 + 1);
    const std::size_t e31 = At(log, "Error 31: First data packet is not Computer Generated Data Format 1 Setup "
                                    "Record packet. \r\n");
    const std::size_t e80b = At(log, "Error 80:", e80 + 1);
    const std::size_t e38 = At(log, "Error 38: This Computer Generated (TMATS/Setup Record) packet comes in after "
                                    "the Time Packet. \r\n");
    EXPECT_LT(e155, v2);
    EXPECT_LT(v2, e31);
    EXPECT_LT(e31, e80b);
    EXPECT_LT(e80b, e38);
    // End of data: the node was the last index packet.
    const std::size_t e157 = At(log, "Error 157: The last computer generated packet is not a root index packet. \r\n");
    EXPECT_LT(e38, e157);
    EXPECT_EQ(log.find("Error 160"), std::string::npos);
    EXPECT_EQ(log.find("Error 31", e31 + 1), std::string::npos);

    // The content file of the last setup record, one attribute per line.
    const std::string content = rig::ReadText(r.dir.File("validate.log.TMATS.tmt"));
    EXPECT_EQ(content, StreamTmats(true).Text());
    const auto written = r.e->OutputsWritten();
    EXPECT_NE(std::find(written.begin(), written.end(), r.dir.File("validate.log.TMATS.tmt")), written.end());
    EXPECT_EQ(r.e->Snapshot().Text(vexa::DisplayText::versionInfo),
              "IRIG 106 Data File Version: 09, TMATS Version: 07");
}

TEST(StreamThroughTheFrame, SpaceDelimitedWritesTheLinesAtOnceToTheTmatsFile) {
    RunRig r;
    vexa::Engine().spaceDelimited = true;
    const std::string source = r.dir.File("planted.ch10");
    ASSERT_TRUE(ch10fix::WriteFile(source, PlantedStream()));
    ASSERT_TRUE(r.Validate(source));
    vexa::Engine().spaceDelimited = false;
    const std::string tmatsFile = rig::ReadText(r.dir.File("validate.logTMATS"));
    const std::size_t v1 = At(tmatsFile, "IRIG 106 File Data Version :09\r\n");
    const std::size_t v2 = At(tmatsFile, "IRIG 106 File Data Version :09\r\n", v1 + 1);
    EXPECT_LT(v2, At(tmatsFile, "Error 157: The last computer generated packet is not a root index packet. \r\n"));
    // A packet's own findings are numbers of its compact row, not texts.
    for (const char* text : {"Error 80", "Error 155", "Error 37", "Error 31"})
        EXPECT_EQ(tmatsFile.find(text), std::string::npos) << text;
    const std::string log = rig::ReadText(r.dir.File("validate.log"));
    EXPECT_EQ(log.find("IRIG 106 File Data Version"), std::string::npos);
}

TEST(StreamThroughTheFrame, ASecondFileStartsAfresh) {
    // Each file: setup record, a root index packet pointing to itself, then
    // PCM. Only a fresh run count and index chain keep 31, 155 and 156 away.
    // The second file's root lies elsewhere, so a chain kept from the first
    // would give 156.
    auto file = [](uint8_t versionByte, std::size_t pcmBefore) {
        Bytes s = SetupRecord(versionByte, true);
        for (std::size_t i = 0; i < pcmBefore; ++i) ch10fix::Append(s, rig::Packet(2, 0x09, 16));
        ch10fix::Append(s, Index(true, 0));
        const uint64_t rootOffset = s.size();
        ch10fix::Append(s, Index(false, rootOffset));
        ch10fix::Append(s, rig::Packet(2, 0x09, 16));
        return s;
    };
    struct Mode {
        const char* name;
        bool directory;
    } modes[] = {{"directory run", true}, {"new run", false}};
    for (const auto& m : modes) {
        SCOPED_TRACE(m.name);
        RunRig r;
        const std::string src = r.dir.File("src");
        fs::create_directory(src);
        ASSERT_TRUE(ch10fix::WriteFile(src + "/a.ch10", file(7, 0)));
        ASSERT_TRUE(ch10fix::WriteFile(src + "/b.ch10", file(10, 2)));
        std::vector<std::string> logs;
        if (m.directory) {
            ASSERT_TRUE(r.Validate(src, 0));
            EXPECT_EQ(r.e->FilesValidated(), 2);
            for (const auto& entry : fs::directory_iterator(r.dir.Path()))
                if (entry.path().extension() == ".log") logs.push_back(entry.path().string());
            std::sort(logs.begin(), logs.end());
        } else {
            ASSERT_TRUE(r.Validate(src + "/a.ch10"));
            logs.push_back(r.dir.File("a.log"));
            fs::rename(r.dir.File("validate.log"), logs.back());
            r.e.host.runEnds.clear();
            ASSERT_TRUE(r.Validate(src + "/b.ch10"));
            logs.push_back(r.dir.File("validate.log"));
        }
        ASSERT_EQ(logs.size(), 2u);
        const std::string a = rig::Findings(rig::ReadText(logs[0]));
        const std::string b = rig::Findings(rig::ReadText(logs[1]));
        EXPECT_NE(a.find("IRIG 106 File Data Version :07\r\n"), std::string::npos) << a;
        EXPECT_NE(b.find("IRIG 106 File Data Version :13\r\n"), std::string::npos) << b;
        EXPECT_EQ(b.find("IRIG 106 File Data Version :07"), std::string::npos) << b;
        for (const std::string& log : {a, b})
            for (const char* number : {"Error 31", "Error 155", "Error 156", "Error 157", "Error 160"})
                EXPECT_EQ(log.find(number), std::string::npos) << number << "\n" << log;
        EXPECT_EQ(vexa::EngineTestAccess::Run(*r.e).streamRules.fileDataVersion, 13);
    }
}

TEST(StreamThroughTheFrame, ContentFileOpenFailureSkipsOnlyThatPacket) {
    RunRig r;
    const std::string source = r.dir.File("rec.ch10");
    Bytes s = SetupRecord(8, false);  // 80, counted before the file is opened
    ch10fix::Append(s, rig::Packet(9, 0x09, 16));  // 174, 30 and 37 in its own listing
    ASSERT_TRUE(ch10fix::WriteFile(source, s));
    // The content file's name is taken by a directory.
    fs::create_directory(r.dir.File("validate.log.TMATS.tmt"));
    ASSERT_TRUE(r.Validate(source));
    EXPECT_EQ(r.e.BoxTexts(), std::vector<std::string>{"Error on opening TMATS packet's content output file"});
    const std::string log = rig::Findings(rig::ReadText(r.dir.File("validate.log")));
    EXPECT_NE(log.find("IRIG 106 File Data Version :09\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find("Error 37: Found packet on channel ID 9"), std::string::npos) << log;
    // The setup record's finding text went with the rest of the packet.
    EXPECT_EQ(log.find("Error 80"), std::string::npos) << log;
    const auto snapshot = r.e->Snapshot();
    EXPECT_EQ(snapshot.packetCountAll, 2u);
    EXPECT_EQ(snapshot.errorCounters[static_cast<std::size_t>(vexa::FormCounter::consistencyErrors)], 3u);
    const auto written = r.e->OutputsWritten();
    EXPECT_EQ(std::find(written.begin(), written.end(), r.dir.File("validate.log.TMATS.tmt")), written.end());
}

}  // namespace

namespace {

TEST(StreamThroughTheFrame, IndexEndChecksOnlyAtTheEndOfData) {
    // A node index packet as the last index packet, index on: 157 and
    // nothing else, but only when the data ended.
    struct Case {
        const char* name;
        bool endOfData;
    } cases[] = {{"end of data", true}, {"failed read", false}};
    for (const auto& c : cases) {
        vexa::EngineTestAccess::ResetModuleState();
        ch10fix::TempDir dir;
        vexa::QueueHost host;
        vexa::ValidationEngine engine(host);
        std::vector<CHAN_ENTRY> entries{{0x09, 2, 1}};
        CHAN_INFO info{};
        info.IndexEnabled = 1;
        info.ChannelCount = 1;
        info.Channels = entries.data();
        vexa::EngineTestAccess::FrameOf(engine).PrefillChannelTable(&info);
        vexa::OutputOpenRequest request;
        request.outputPath = dir.File("v.log");
        request.clock = rig::FixedClock;
        engine.Outputs().OpenOutputFiles(request, host);
        vexa::EngineTestAccess::BeginFrameTest(engine);
        Bytes s = Index(false, 0);
        ch10fix::Append(s, Index(true, 0));
        ch10fix::Append(s, rig::Packet(2, 0x09, 16));  // the last packet: slot 1
        ASSERT_EQ(vexa::EngineTestAccess::AppendAndValidate(engine, 1, static_cast<int>(s.size()), s.data(), [] {}),
                  vexa::BufferOutcome::NeedData);
        if (c.endOfData) {
            EXPECT_EQ(vexa::EngineTestAccess::AppendAndValidate(engine, 2, 0, nullptr, [] {}), vexa::BufferOutcome::EndOfData);
        } else {
            EXPECT_EQ(vexa::EngineTestAccess::AppendAndValidate(engine, 1, -1, nullptr, [] {}), vexa::BufferOutcome::ReadFailed);
        }
        engine.Outputs().Close();
        const std::string log = rig::Findings(rig::ReadText(dir.File("v.log")));
        const bool has157 =
            log.find("Error 157: The last computer generated packet is not a root index packet. \r\n") !=
            std::string::npos;
        EXPECT_EQ(has157, c.endOfData) << c.name << "\n" << log;
        EXPECT_EQ(log.find("Error 160"), std::string::npos) << c.name;
        EXPECT_EQ(engine.Errors().errorTable[1][157], c.endOfData ? 1u : 0u) << c.name;
        host.Pump();
    }
}

}  // namespace

namespace {

TEST(StreamThroughTheFrame, ResetClearsTheSummaryTotalsAtThePacketEnd) {
    vexa::EngineTestAccess::ResetModuleState();
    vexa::QueueHost host;
    vexa::ValidationEngine engine(host);
    std::vector<CHAN_ENTRY> entries{{0x09, 2, 1}};
    CHAN_INFO info{};
    info.ChannelCount = 1;
    info.Channels = entries.data();
    vexa::EngineTestAccess::FrameOf(engine).PrefillChannelTable(&info);
    vexa::EngineTestAccess::BeginFrameTest(engine);
    auto feed = [&](std::size_t body) {
        const Bytes p = rig::Packet(2, 0x09, body);
        ASSERT_EQ(vexa::EngineTestAccess::AppendAndValidate(engine, 1, static_cast<int>(p.size()), p.data(), [] {}),
                  vexa::BufferOutcome::NeedData);
    };
    feed(100);  // data length 104
    EXPECT_EQ(vexa::EngineTestAccess::Run(engine).streamRules.slots[1].summaryDataLength, 104u);
    engine.ResetCounters();
    feed(20);  // counted, then cleared with the statistics at its end
    EXPECT_EQ(vexa::EngineTestAccess::Run(engine).streamRules.slots[1].summaryDataLength, 0u);
    EXPECT_EQ(vexa::EngineTestAccess::Run(engine).streamRules.slots[1].packetCount, 2u);
    feed(20);
    EXPECT_EQ(vexa::EngineTestAccess::Run(engine).streamRules.slots[1].summaryDataLength, 24u);
    EXPECT_EQ(vexa::EngineTestAccess::Run(engine).streamRules.slots[1].dataLengthSum, 104u + 24u + 24u);
}

}  // namespace

namespace {

TEST(StreamThroughTheFrame, PacketsNotOfInterestAreCountedButNotListed) {
    // Channel 5 selected: the setup record, the index packet and channel 2
    // still pass the stream, index and data-type rules, but get no listing.
    RunRig r;
    r.e->runConfig.selectedChannel = 5;
    Bytes s = SetupRecord(7);
    ch10fix::Append(s, rig::Packet(2, 0x09, 16));  // 30
    ch10fix::Append(s, Index(true, 0));
    ch10fix::Append(s, Index(false, 999));          // 155
    ch10fix::Append(s, rig::Packet(2, 0x4F, 16));  // 30, 36 not (not of interest), 175
    const std::string source = r.dir.File("rec.ch10");
    ASSERT_TRUE(ch10fix::WriteFile(source, s));
    ASSERT_TRUE(r.Validate(source));
    const std::string log = rig::Findings(rig::ReadText(r.dir.File("validate.log")));
    EXPECT_NE(log.find("IRIG 106 File Data Version :07\r\n"), std::string::npos) << log;
    for (const char* number : {"Error 30", "Error 155", "Error 175", "Error 36"})
        EXPECT_EQ(log.find(number), std::string::npos) << number << "\n" << log;
    const auto snapshot = r.e->Snapshot();
    EXPECT_EQ(snapshot.errorCounters[static_cast<std::size_t>(vexa::FormCounter::invalidTimeErrors)], 2u);
    EXPECT_EQ(snapshot.errorCounters[static_cast<std::size_t>(vexa::FormCounter::consistencyErrors)], 2u);
    // Not the content file: the setup record is on channel 0.
    EXPECT_FALSE(fs::exists(r.dir.File("validate.log.TMATS.tmt")));
}

}  // namespace
