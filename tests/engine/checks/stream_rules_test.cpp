#include <gtest/gtest.h>

#include <cinttypes>
#include <cstring>

#include "tests/support/engine_test_access.h"
#include "platform/format.h"
#include "tests/engine/checks/stream_rig.h"
#include "vexa/engine/validation_engine.h"

namespace {

using streamrig::Packet;
using streamrig::Rig;
using streamrig::SetupRecord;
using vexa::FormCounter;
using vexa::TmatsChannelEntry;

constexpr const char* k30 = "Error 30: Non Computer Generated packet occurs before IRIG packet. \r\n";
constexpr const char* k31 = "Error 31: First data packet is not Computer Generated Data Format 1 Setup Record packet. \r\n";
constexpr const char* k32 = "Error 32: First packet's Channel ID is not 0. \r\n";
constexpr const char* k33 = "Error 33: TMATS packet is more than 134,217,728 bytes. \r\n";
constexpr const char* k34 = "Error 34: Data type is undefined\r\n";
constexpr const char* k38 =
    "Error 38: This Computer Generated (TMATS/Setup Record) packet comes in after the Time Packet. \r\n";
constexpr const char* k173 = "Error 173: Channel ID should be 0 for Computer Generated Data Types\r\n";
constexpr const char* k175 = "Error 175: Packet Data type is Reserved\r\n";

std::string Text35(int channel, int type) {
    return platform::Format(
        "Error 35: Found packet on channel ID %d of Data Type %d but described in TMATS packet as Disabled. \r\n",
        channel, type);
}
std::string Text37(int channel, int type) {
    return platform::Format(
        "Error 37: Found packet on channel ID %d of Data Type %d but not described in TMATS packet. \r\n", channel,
        type);
}

TEST(StreamRules, Error30OnlyBeforeTheFirstTimePacket) {
    Rig r({{0x09, 2, 1}, {0x11, 1, 1}});
    r.s.tmatsRevision = 11;
    struct Step {
        uint16_t channel;
        uint8_t type;
        bool error30;
    } steps[] = {
        {0, 0x00, false}, {0, 0x02, false}, {0, 0x03, false}, {0, 0x07, false},
        {2, 0x09, true},  {1, 0x11, false}, {2, 0x09, false},
    };
    for (const auto& st : steps) {
        const std::string text = r.Feed(Packet(st.channel, st.type, 16));
        EXPECT_EQ(text.find(k30) != std::string::npos, st.error30) << int(st.type) << text;
    }
    EXPECT_EQ(r.Counter(FormCounter::invalidTimeErrors), 1u);
    EXPECT_EQ(r.Count(2, 30), 1u);
    EXPECT_EQ(r.errors.chanTimeErrors[1], 0);  // no category
    EXPECT_EQ(r.Consistency(2), 0);
    EXPECT_EQ(r.s.timeChannelSlot, 2);  // channel 1 sits at slot 2
}

TEST(StreamRules, SetupRecordPosition) {
    struct Case {
        const char* name;
        std::vector<ch10fix::Bytes> before;
        uint16_t channel;
        std::string findings;
        FormCounter counter;
    } cases[] = {
        {"first, channel 0", {}, 0, "", FormCounter::consistencyErrors},
        {"first, channel 5", {}, 5, k32, FormCounter::consistencyErrors},
        {"after a data packet", {Packet(2, 0x09)}, 0, k31, FormCounter::consistencyErrors},
        // Time packet first: 31 for the setup record, then 38.
        {"after a time packet", {Packet(1, 0x11)}, 0, std::string(k31) + k38, FormCounter::consistencyErrors},
    };
    for (const auto& c : cases) {
        Rig r({{0x09, 2, 1}, {0x11, 1, 1}});
        r.s.tmatsRevision = 11;
        for (const auto& b : c.before) r.Feed(b);
        const uint32_t consistencyBefore = r.Counter(FormCounter::consistencyErrors);
        EXPECT_EQ(r.Feed(SetupRecord(c.channel)), c.findings) << c.name;
        const uint32_t raised = c.findings.empty() ? 0u : (c.findings.find(k38) != std::string::npos ? 2u : 1u);
        EXPECT_EQ(r.Counter(c.counter) - consistencyBefore, raised) << c.name;
        // 31 and 32 raise no per-channel category; 38 does.
        EXPECT_EQ(r.Consistency(c.channel), c.findings.find(k38) != std::string::npos ? 1 : 0) << c.name;
    }

    // 33 needs a length the frame never accepts: the section is called
    // directly with the header's length beyond the bytes held.
    Rig r;
    auto setup = SetupRecord();
    ch10fix::Put32(setup, 4, 0x8000001);
    EXPECT_EQ(r.Feed(setup), k33);
    EXPECT_EQ(r.Counter(FormCounter::packetLenErrors), 1u);
    EXPECT_EQ(r.errors.chanPacketLenErrors[0], 0);
    EXPECT_EQ(r.Count(0, 33), 1u);
    Rig exact;
    auto limit = SetupRecord();
    ch10fix::Put32(limit, 4, 0x8000000);
    EXPECT_EQ(exact.Feed(limit), "");
}

TEST(StreamRules, DataFileVersionFromTheSetupRecord) {
    const std::pair<uint8_t, int> versions[] = {{7, 7}, {8, 9}, {9, 11}, {10, 13}, {11, 15}, {12, 5}, {0, 5}};
    for (auto [byte, version] : versions) {
        Rig r;
        r.s.tmatsRevision = 15;
        r.s.dataTypeRowCount = 5;
        EXPECT_EQ(r.Feed(SetupRecord(0, byte)), "") << int(byte);
        EXPECT_EQ(r.s.fileDataVersion, version) << int(byte);
        EXPECT_EQ(r.s.dataTypeRowCount, 33);
        EXPECT_EQ(r.AtOnce(), platform::Format("IRIG 106 File Data Version :%02d\r\n", version));
        EXPECT_EQ(r.display.Text(vexa::DisplayText::versionInfo),
                  platform::Format("IRIG 106 Data File Version: %02d, TMATS Version: 15", version));
    }

    struct Case {
        int revision;
        uint8_t byte;
        bool error80;
    } cases[] = {{9, 9, true}, {6, 7, false}, {7, 7, false}, {15, 11, false}, {7, 8, true}};
    for (const auto& c : cases) {
        Rig r;
        r.s.tmatsRevision = c.revision;
        const std::string text = r.Feed(SetupRecord(0, c.byte));
        const std::string expected =
            c.error80 ? platform::Format("Error 80: Computer generated format 1 IRIG-106 Chapter 10 Data File Version "
                                         "(%02d) is inconsistent with the version in the TMATS (%02d)\r\n",
                                         r.s.fileDataVersion, c.revision)
                      : std::string();
        EXPECT_EQ(text, expected) << c.revision << "/" << int(c.byte);
        EXPECT_EQ(r.Consistency(0), c.error80 ? 1 : 0);
        EXPECT_EQ(r.Count(0, 80), c.error80 ? 1u : 0u);
    }

    // Each setup record sets it anew; a later one of another version wins.
    Rig r;
    r.s.tmatsRevision = 15;
    r.Feed(SetupRecord(0, 9));
    r.Feed(SetupRecord(0, 7));
    EXPECT_EQ(r.s.fileDataVersion, 7);
    EXPECT_EQ(r.AtOnce(), "IRIG 106 File Data Version :11\r\nIRIG 106 File Data Version :07\r\n");
}

TEST(StreamRules, DataTypeTableFirstSeenAndTimeChannel) {
    Rig r({{0x4B, 2, 1}, {0xFF, 3, 1}, {0x09, 4, 1}, {0x11, 5, 1}, {0x11, 6, 1}});
    r.s.tmatsRevision = 11;
    r.Feed(SetupRecord());
    // Before any time packet each of these also gets 30.
    EXPECT_EQ(r.Feed(Packet(2, 0x4B)), std::string(k30) + k34);
    EXPECT_EQ(r.s.currentDataTypeName, "Undefined");
    EXPECT_EQ(r.s.slots[1].firstSeenText, "\r\n\r\nFound channel 2 is of Data Type: Undefined");
    EXPECT_EQ(r.Feed(Packet(3, 0xFF)), std::string(k30) + k34);  // unsigned: not the -1 row
    EXPECT_EQ(r.Feed(Packet(4, 0x09)), k30);
    EXPECT_EQ(r.s.currentDataTypeName, "PCM - Fmt 1");
    EXPECT_EQ(r.s.slots[3].firstSeenText, "\r\n\r\nFound channel 4 is of Data Type: PCM - Fmt 1");
    EXPECT_EQ(r.Counter(FormCounter::consistencyErrors), 2u);
    EXPECT_EQ(r.Consistency(2), 1);
    EXPECT_EQ(r.Count(3, 34), 1u);

    EXPECT_EQ(r.s.timeChannelSlot, -1);
    r.Feed(Packet(5, 0x11));
    EXPECT_EQ(r.s.timeChannelSlot, 4);
    r.Feed(Packet(6, 0x11));
    EXPECT_EQ(r.s.timeChannelSlot, 5);
    r.Feed(Packet(5, 0x11));  // not its first packet: stays with the latest
    EXPECT_EQ(r.s.timeChannelSlot, 5);
    // The first-seen text is the first packet's.
    r.Feed(Packet(4, 0x4B));
    EXPECT_EQ(r.s.slots[3].firstSeenText, "\r\n\r\nFound channel 4 is of Data Type: PCM - Fmt 1");
    EXPECT_EQ(r.s.slots[0].firstSeenText, "\r\n\r\nFound channel 0 is of Data Type: Comp Gen - Fmt 1 (SETUP RECORD)");
}

TEST(StreamRules, Error173ForComputerGeneratedTypesOffChannel0) {
    struct Case {
        int revision;
        uint16_t channel;
        uint8_t type;
        bool error173;
    } cases[] = {
        {9, 5, 0x02, true}, {9, 5, 0x00, true}, {11, 5, 0x02, false}, {9, 0, 0x02, false}, {9, 5, 0x09, false},
    };
    for (const auto& c : cases) {
        Rig r({{c.type, c.channel, 1}});
        r.s.tmatsRevision = c.revision;
        const std::string text = r.Feed(Packet(c.channel, c.type));
        EXPECT_EQ(text.find(k173) != std::string::npos, c.error173) << c.revision << " " << c.channel << text;
        EXPECT_EQ(r.Consistency(c.channel), c.error173 ? 1 : 0);
    }
}

TEST(StreamRules, TmatsChannelTypeAndEnable) {
    const std::string pcmAs1553 =
        "Error 36: TMATS info indicates channel ID 4 is of Data Type 25 (Bus 1553 - Fmt 1) but Packet Header "
        "indicates Data Type is 9 (PCM - Fmt 1). \r\n";
    struct Case {
        const char* name;
        std::vector<TmatsChannelEntry> tmats;
        int selected;
        ch10fix::Bytes packet;
        std::string findings;
    } cases[] = {
        {"disabled, of interest", {{0x09, 4, 0}}, 0, Packet(4, 0x09), Text35(4, 9)},
        {"disabled, not of interest", {{0x09, 4, 0}}, 7, Packet(4, 0x09), ""},
        {"enabled", {{0x09, 4, 1}}, 0, Packet(4, 0x09), ""},
        {"1553 format 2 on a format 1 channel", {{0x19, 4, 1}}, 0, Packet(4, 0x1A), ""},
        {"PCM on a 1553 channel", {{0x19, 4, 1}}, 0, Packet(4, 0x09), pcmAs1553},
        {"PCM on a 1553 channel, not of interest", {{0x19, 4, 1}}, 7, Packet(4, 0x09), ""},
        {"first entry only", {{0x19, 4, 1}, {0x09, 4, 1}}, 0, Packet(4, 0x09), pcmAs1553},
        {"codes of 128 and above share no block",
         {{0x80, 4, 1}},
         0,
         Packet(4, 0x81),
         std::string(k34) + "Error 36: TMATS info indicates channel ID 4 is of Data Type 128 (Undefined) but Packet "
                            "Header indicates Data Type is 129 (Undefined). \r\n"},
        {"TMATS -1 against 0xFF",
         {{-1, 4, 1}},
         0,
         Packet(4, 0xFF),
         std::string(k34) + "Error 36: TMATS info indicates channel ID 4 is of Data Type -1 (Undefined) but Packet "
                            "Header indicates Data Type is 255 (Undefined). \r\n"},
        {"TMATS -1 against a computer-generated type",
         {{-1, 4, 1}},
         0,
         Packet(4, 0x00),
         "Error 36: TMATS info indicates channel ID 4 is of Data Type -1 (Undefined) but Packet Header indicates "
         "Data Type is 0 (Comp Gen - Fmt 0 (USER DEFINED)). \r\n"},
    };
    for (const auto& c : cases) {
        Rig r(c.tmats, c.selected);
        r.s.tmatsRevision = 11;
        r.s.timeChannelSlot = 0;  // a time packet was seen: no Error 30
        EXPECT_EQ(r.Feed(c.packet), c.findings) << c.name;
        int findings = 0;
        for (std::size_t at = c.findings.find("Error "); at != std::string::npos; at = c.findings.find("Error ", at + 1))
            ++findings;
        EXPECT_EQ(r.Consistency(4), findings) << c.name;
    }
}

TEST(StreamRules, SelectedChannelStillChecksTimePackets) {
    // Channel 25 selected: a time packet of channel 1 is of interest, a
    // packet of channel 30 is not.
    struct Case {
        const char* name;
        std::vector<TmatsChannelEntry> tmats;
        std::string timeFindings;
    } cases[] = {
        {"disabled", {{0x11, 1, 0}, {0x09, 30, 0}}, Text35(1, 17)},
        {"other type",
         {{0x09, 1, 1}, {0x19, 30, 1}},
         "Error 36: TMATS info indicates channel ID 1 is of Data Type 9 (PCM - Fmt 1) but Packet Header indicates "
         "Data Type is 17 (Time - Fmt 1). \r\n"},
        {"not described", {}, Text37(1, 17)},
    };
    for (const auto& c : cases) {
        Rig r(c.tmats, 25);
        r.s.tmatsRevision = 11;
        r.Feed(SetupRecord());
        EXPECT_EQ(r.Feed(Packet(1, 0x11)), c.timeFindings) << c.name;
        // The same finding would be due for this PCM packet if it were of interest.
        EXPECT_EQ(r.Feed(Packet(30, 0x09)), "") << c.name;
        EXPECT_EQ(r.Consistency(30), 0) << c.name;
    }
}

TEST(StreamRules, ReservedTypeAndUndescribedChannels) {
    Rig r({{0x4F, 2, 1}});
    r.s.tmatsRevision = 11;
    // 37 never for the run's first packet.
    EXPECT_EQ(r.Feed(Packet(7, 0x09)), k30);
    EXPECT_EQ(r.Feed(Packet(2, 0x4F)), std::string(k30) + k175);
    EXPECT_EQ(r.Count(2, 175), 1u);
    EXPECT_EQ(r.Consistency(2), 1);
    r.Feed(Packet(9, 0x11));
    // Counted for every packet, written once per channel.
    std::string texts;
    for (int i = 0; i < 3; ++i) texts += r.Feed(Packet(7, 0x09));
    EXPECT_EQ(texts, Text37(7, 9));
    EXPECT_EQ(r.Count(7, 37), 3u);
    EXPECT_EQ(r.Consistency(7), 3);
    EXPECT_EQ(r.Count(9, 37), 1u);  // the time packet's own channel
    // Never for computer-generated types or packets not of interest.
    EXPECT_EQ(r.Feed(Packet(0, 0x02)), "");
    r.selected = 2;
    EXPECT_EQ(r.Feed(Packet(8, 0x09)), "");
    EXPECT_EQ(r.Count(8, 37), 0u);

    // "MaxLog" 1 still counts every packet; the text goes with the first.
    Rig m;
    m.errors.maxSameErrorPerChannel = 1;
    m.Feed(SetupRecord());
    EXPECT_EQ(m.Feed(Packet(7, 0x11)), Text37(7, 17));
    EXPECT_EQ(m.Feed(Packet(7, 0x11)), "");
    EXPECT_EQ(m.Count(7, 37), 2u);
}

TEST(StreamRules, Error38AfterATimePacketOnALaterSlot) {
    struct Case {
        const char* name;
        uint16_t timeChannel;
        int selected;
        bool error38;
    } cases[] = {
        {"time on slot 1", 1, 0, true},
        {"time on slot 0", 0, 0, false},
        {"time on slot 1, another channel selected", 1, 5, false},
    };
    for (const auto& c : cases) {
        Rig r({{0x11, 1, 1}}, c.selected);
        r.s.tmatsRevision = 11;
        r.Feed(Packet(c.timeChannel, 0x11));
        const std::string text = r.Feed(SetupRecord());
        EXPECT_EQ(text, std::string(k31) + (c.error38 ? k38 : "")) << c.name;
    }
    // A time channel on slot 0 still ends Error 30.
    Rig r({{0x09, 2, 1}});
    r.s.tmatsRevision = 11;
    r.Feed(Packet(0, 0x11));
    EXPECT_EQ(r.s.timeChannelSlot, 0);
    EXPECT_EQ(r.Feed(Packet(2, 0x09)), "");
}

TEST(StreamRules, StatisticsAndEfficiency) {
    Rig r({{0x09, 2, 1}, {0x09, 3, 1}}, 3);
    r.s.tmatsRevision = 11;
    r.Feed(Packet(0, 0x11, 4, 9, 1234));       // 32 bytes, data 8
    r.Feed(Packet(2, 0x09, 100, 17, 5000));    // 128, data 104
    r.Feed(Packet(3, 0x09, 36, 18, 6000));     // 64, data 40
    r.Feed(Packet(3, 0x09, 36, 19, 7000));
    EXPECT_EQ(r.display.packetSeqAll.load(), 19u);
    const auto& s3 = r.s.slots[2];
    EXPECT_EQ(s3.packetCount, 2u);
    EXPECT_EQ(s3.summaryDataLength, 80u);
    EXPECT_EQ(s3.packetLengthSum, 128u);
    EXPECT_FLOAT_EQ(s3.efficiency, 62.5f);
    EXPECT_FLOAT_EQ(r.s.slots[1].efficiency, static_cast<float>(104.0 / 128.0 * 100.0));
    EXPECT_EQ(r.s.totalPacketLength, 32u + 128u + 128u);
    EXPECT_EQ(r.s.totalDataLength, 8u + 104u + 80u);
    EXPECT_FLOAT_EQ(r.display.efficiencyAll.load(), static_cast<float>(192.0 / 288.0 * 100.0));
    EXPECT_FLOAT_EQ(r.display.efficiencySelected.load(), 62.5f);
    // Relative time texts: the first, then the latest.
    EXPECT_EQ(s3.firstRtcText, "6000");
    EXPECT_EQ(s3.lastRtcText, "7000");
    EXPECT_EQ(r.s.slots[0].firstRtcText, "1234");
    EXPECT_EQ(r.s.slots[0].lastRtcText, "");

    // Only the selected channel sets its efficiency.
    r.Feed(Packet(2, 0x09, 4));
    EXPECT_FLOAT_EQ(r.display.efficiencySelected.load(), 62.5f);

    // The form's Reset clears the summary totals only.
    r.s.ClearSummaryTotals();
    EXPECT_EQ(r.s.slots[2].summaryDataLength, 0u);
    EXPECT_EQ(r.s.slots[2].packetLengthSum, 128u);

    // Totals past 2^32 keep counting small packets exactly.
    Rig big({{0x09, 2, 1}});
    const uint64_t preset = (uint64_t{1} << 32) * 3 + 7;
    big.s.totalPacketLength = preset;
    big.s.totalDataLength = preset;
    big.s.slots[1].packetLengthSum = preset;
    big.s.slots[1].dataLengthSum = preset;
    big.s.slots[1].summaryDataLength = preset;
    for (int i = 0; i < 3; ++i) big.Feed(Packet(2, 0x09, 4));  // 32 bytes, data 8
    EXPECT_EQ(big.s.totalPacketLength, preset + 96);
    EXPECT_EQ(big.s.totalDataLength, preset + 24);
    EXPECT_EQ(big.s.slots[1].packetLengthSum, preset + 96);
    EXPECT_EQ(big.s.slots[1].summaryDataLength, preset + 24);
}

TEST(StreamRules, TmatsChannelsFromTheChannelRecord) {
    vexa::SilentEngineHost host;
    vexa::ValidationEngine engine(host);
    // A null record: no channels, events and index off.
    vexa::EngineTestAccess::FrameOf(engine).PrefillChannelTable(nullptr);
    EXPECT_TRUE(vexa::EngineTestAccess::Run(engine).tmatsChannels.entries.empty());
    EXPECT_FALSE(vexa::EngineTestAccess::Run(engine).tmatsChannels.eventsEnabled);
    EXPECT_FALSE(vexa::EngineTestAccess::Run(engine).tmatsChannels.indexEnabled);

    ch10fix::TmatsAttributes t{{"G\\PN", "RIG"}, {"G\\106", "09"}, {"R-1\\ID", "REC"}, {"R-1\\N", "3"}};
    const char* types[] = {"PCMIN", "1553IN", "TIMEIN"};
    for (int i = 1; i <= 3; ++i) {
        const std::string n = std::to_string(i);
        t.Add("R-1\\TK1-" + n, std::to_string(10 * i));
        t.Add("R-1\\DSI-" + n, "CH" + n);
        t.Add("R-1\\CDT-" + n, types[i - 1]);
        t.Add("R-1\\CHE-" + n, i == 2 ? "F" : "T");
    }
    t.Add("R-1\\EV\\E", "T");
    t.Add("R-1\\IDX\\E", "F");
    const std::string text = t.Text();
    char message[80] = {};
    const CHAN_INFO* info = process_tmats_packet(text.c_str(), static_cast<int>(text.size()), message, nullptr);
    ASSERT_NE(info, nullptr) << message;
    vexa::EngineTestAccess::FrameOf(engine).PrefillChannelTable(info);
    const auto& list = vexa::EngineTestAccess::Run(engine).tmatsChannels;
    EXPECT_TRUE(list.eventsEnabled);
    EXPECT_FALSE(list.indexEnabled);
    const vexa::TmatsChannelEntry* pcm = list.Find(10);
    const vexa::TmatsChannelEntry* bus = list.Find(20);
    const vexa::TmatsChannelEntry* time = list.Find(30);
    ASSERT_TRUE(pcm && bus && time);
    EXPECT_EQ(pcm->dataType, 0x09);
    EXPECT_EQ(bus->dataType, 0x19);
    EXPECT_EQ(bus->enable, 0);
    EXPECT_EQ(time->dataType, 0x11);
    EXPECT_EQ(time->enable, 1);
    EXPECT_EQ(list.Find(40), nullptr);
}

}  // namespace
