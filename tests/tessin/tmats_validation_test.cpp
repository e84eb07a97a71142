#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/ch10_fixture.h"
#include "tests/support/temp_dir.h"
#include "tessin/src/tessin_state.h"
#include "tests/support/tmats_builder.h"
#include "tessin/src/tmats_run.h"
#include "tests/tessin/tmats_rig.h"

#ifndef TMATS_GOLDEN_DIR
#define TMATS_GOLDEN_DIR "."
#endif

namespace {

using namespace tmatstest;
using ch10fix::TmatsAttributes;

class TmatsValidation : public ::testing::Test {
protected:
    void SetUp() override { tessin::ResetStateForTests(); }
    void TearDown() override { tessin::ResetStateForTests(); }
    ch10fix::TempDir dir;
};

// Revision 07, usual form, IDs out of R-1 order; deliberate omissions: R-1\RID
// (general), R-1\TK4-5 (common), the analog sample rate (per kind, enabled),
// and a disabled time channel without TTF or a format.
TmatsAttributes GoldenTmats() {
    return TmatsAttributes{
        {"G\\PN", "GOLDEN"}, {"G\\106", "07"}, {"G\\DSI\\N", "1"}, {"G\\DSI-1", "REC"}, {"R-1\\ID", "REC"},
        {"R-1\\N", "7"}, {"R-1\\NSB", "0"}, {"R-1\\RI3", "Y"}, {"R-1\\EV\\E", "T"}, {"R-1\\IDX\\E", " T"},
        {"R-1\\EV\\TK1", "50"}, {"R-1\\IDX\\TK1", "51"},
        // time
        {"R-1\\TK1-1", "10"}, {"R-1\\DSI-1", "TIME"}, {"R-1\\TK4-1", "1"}, {"R-1\\CDLN-1", "TIMELINK"},
        {"R-1\\CHE-1", "T"}, {"R-1\\CDT-1", "TIMEIN"}, {"R-1\\TTF-1", "1"}, {"R-1\\TSRC-1", "E"},
        {"R-1\\IFMT-1", "A"},
        // PCM, with a Bits/Frame that disagrees with 31 x 16 + 24
        {"R-1\\TK1-2", "3"}, {"R-1\\DSI-2", "PCM"}, {"R-1\\TK4-2", "2"}, {"R-1\\CDLN-2", "PCMLINK"},
        {"R-1\\CHE-2", "T"}, {"R-1\\CDT-2", "PCMIN"}, {"R-1\\DP-2", "U"},
        {"P-1\\DLN", "PCMLINK"}, {"P-1\\D2", "1000000"}, {"P-1\\F1", "16"}, {"P-1\\F2", "M"}, {"P-1\\D4", "N"},
        {"P-1\\ISF\\N", "0"}, {"P-1\\MF\\N", "4"}, {"P-1\\MF1", "32"}, {"P-1\\MF2", "512"}, {"P-1\\MF4", "24"},
        {"P-1\\MF5", "111110101111001100100000"},
        // 1553 and its bus group
        {"R-1\\TK1-3", "1"}, {"R-1\\DSI-3", "BUS"}, {"R-1\\TK4-3", "3"}, {"R-1\\CDLN-3", "BusLink"},
        {"R-1\\CHE-3", "T"}, {"R-1\\CDT-3", "1553IN"}, {"B-1\\DLN", "BUSLINK"}, {"B-1\\BNA-1", "MUXA"},
        // analog without a sample rate
        {"R-1\\TK1-4", "20"}, {"R-1\\DSI-4", "ANALOG"}, {"R-1\\TK4-4", "4"}, {"R-1\\CDLN-4", "ANALINK"},
        {"R-1\\CHE-4", "T"}, {"R-1\\CDT-4", "ANAIN"}, {"R-1\\ACH\\N-4", "1"}, {"R-1\\AMN-4-1", "TEMP"},
        {"R-1\\ADL-4-1", "16"}, {"R-1\\ASF-4-1", "2"},
        // video without TK4
        {"R-1\\TK1-5", "7"}, {"R-1\\DSI-5", "CAM"}, {"R-1\\CDLN-5", "VIDLINK"}, {"R-1\\CHE-5", "T"},
        {"R-1\\CDT-5", "VIDIN"}, {"R-1\\VTF-5", "1"}, {"R-1\\VED-5", "100"}, {"R-1\\VNM-5", "NOSE"},
        // unknown type word
        {"R-1\\TK1-6", "2"}, {"R-1\\DSI-6", "X"}, {"R-1\\TK4-6", "6"}, {"R-1\\CDLN-6", "XLINK"},
        {"R-1\\CHE-6", "T"}, {"R-1\\CDT-6", "XYZIN"},
        // disabled time channel
        {"R-1\\TK1-7", "12"}, {"R-1\\DSI-7", "TIME2"}, {"R-1\\TK4-7", "7"}, {"R-1\\CDLN-7", "T2LINK"},
        {"R-1\\CHE-7", "F"}, {"R-1\\CDT-7", "TIMIN"}, {"R-1\\TSRC-7", "I"},
    };
}

TEST_F(TmatsValidation, GoldenLog) {
    Outcome o = RunWithLog(GoldenTmats());
    ASSERT_NE(o.info, nullptr);
    std::string expected = ReadText(TMATS_GOLDEN_DIR "/tmats_golden.log");
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(o.log, expected);
    const CHAN_INFO& c = *o.info;
    EXPECT_EQ(c.FindingCount, static_cast<int16_t>(o.findings.size()));
    EXPECT_EQ(c.FindingCount, 6);

    struct Entry {
        uint16_t id;
        int16_t type, enable;
    } entries[] = {{1, 25, 1}, {2, -1, 1}, {3, 9, 1}, {7, 65, 1}, {10, 17, 1},
                   {12, 17, 0}, {20, 33, 1}, {50, 2, 1}, {51, 3, 1}};
    ASSERT_EQ(c.ChannelCount, 9);
    for (int i = 0; i < 9; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(c.Channels[i].ChannelID, entries[i].id);
        EXPECT_EQ(c.Channels[i].DataType, entries[i].type);
        EXPECT_EQ(c.Channels[i].Enable, entries[i].enable);
    }
    struct Field {
        const char* name;
        long long actual, expected;
    } fields[] = {
        {"IrigRevision", c.IrigRevision, 7}, {"EventsEnabled", c.EventsEnabled, 1},
        {"IndexEnabled", c.IndexEnabled, 1}, {"SourceBits", c.SourceBits, 0},
        {"PcmCount", c.PcmCount, 1}, {"TimeCount", c.TimeCount, 2}, {"Bus1553Count", c.Bus1553Count, 1},
        {"AnalogCount", c.AnalogCount, 1}, {"VideoCount", c.VideoCount, 1}, {"OtherCount", c.OtherCount, 1},
        {"DiscreteCount", c.DiscreteCount, 0}, {"MessageCount", c.MessageCount, 0},
        {"pcm.ChannelID", c.PcmChannels[0].ChannelID, 3}, {"pcm.BitRate", c.PcmChannels[0].BitRate, 1000000},
        {"pcm.WordLength", c.PcmChannels[0].WordLength, 16}, {"pcm.NumFrames", c.PcmChannels[0].NumFrames, 4},
        {"pcm.NumWords", c.PcmChannels[0].NumWords, 32},
        {"pcm.BitsInMinorFrame", c.PcmChannels[0].BitsInMinorFrame, 520},
        {"pcm.SyncPatternLength", c.PcmChannels[0].SyncPatternLength, 24},
        {"pcm.SyncPattern", c.PcmChannels[0].SyncPattern, 0xFAF320},
        {"pcm.SyncMask", c.PcmChannels[0].SyncMask, 0xFFFFFF}, {"pcm.DataMode", c.PcmChannels[0].DataMode, 1},
        {"pcm.WordLengthCount", c.PcmChannels[0].WordLengthCount, 32},
        {"pcm.FrameIDPosition", c.PcmChannels[0].FrameIDPosition, 1},
        {"pcm.IDCWordLength", c.PcmChannels[0].IDCWordLength, 16},
        {"pcm.IDCLength", c.PcmChannels[0].IDCLength, 16}, {"pcm.IDCEndValue", c.PcmChannels[0].IDCEndValue, 3},
        {"pcm.FrameVariant", c.PcmChannels[0].FrameVariant, 0},
        {"time0.ChannelID", c.TimeChannels[0].ChannelID, 10}, {"time0.TimeFormat", c.TimeChannels[0].TimeFormat, 'A'},
        {"time1.ChannelID", c.TimeChannels[1].ChannelID, 12}, {"time1.Enable", c.TimeChannels[1].Enable, 0},
        {"time1.TimeFormat", c.TimeChannels[1].TimeFormat, 0},
        {"1553.ChannelID", c.Bus1553Channels[0].ChannelID, 1},
        {"analog.ChannelID", c.AnalogChannels[0].ChannelID, 20},
        {"analog.SubchannelCount", c.AnalogChannels[0].SubchannelCount, 1},
        {"analog.DataLength", c.AnalogChannels[0].Subchannels[0].DataLength, 16},
        {"analog.ScaleFactor", c.AnalogChannels[0].Subchannels[0].ScaleFactor, 2},
        {"video.ChannelID", c.VideoChannels[0].ChannelID, 7},
        {"video.EncodingDelay", c.VideoChannels[0].EncodingDelay, 100},
        {"other.ChannelID", c.OtherChannels[0].ChannelID, 2},
    };
    for (const Field& f : fields) EXPECT_EQ(f.actual, f.expected) << f.name;
    EXPECT_STREQ(c.ProgramName, "GOLDEN");
    EXPECT_STREQ(c.PcmChannels[0].DataLinkName, "PCMLINK");
    EXPECT_STREQ(c.Bus1553Channels[0].BusName, "MUXA");
    EXPECT_STREQ(c.AnalogChannels[0].Subchannels[0].Name, "TEMP");
    EXPECT_STREQ(c.AnalogChannels[0].DsiName, "ANALOG");
    EXPECT_STREQ(c.VideoChannels[0].Name, "NOSE");
}

TmatsAttributes TwoChannels() {
    return TmatsAttributes{{"G\\106", "05"}, {"R-1\\N", "2"}, {"R-1\\TK1-1", "1"}, {"R-1\\CDT-1", "TIMIN"},
                           {"R-1\\TK1-2", "2"}, {"R-1\\CDT-2", "ANAIN"}};
}

TEST_F(TmatsValidation, Failures) {
    const std::string banner = std::string(130, '=') + "\r\nTMATS Packet Validation:\r\n\r\n";
    TmatsAttributes noCount = TwoChannels();
    noCount.Remove("R-1\\N");
    struct Case {
        const char* name;
        std::string text;
        int length;  // -1: the text's size
        bool nullText;
        const char* error;
        const char* logEnd;
    } cases[] = {
        {"length 0", "G\\106:07;", 0, false, "Empty TMATS Packet.\r\n", "Error: Empty TMATS Packet.\r\n"},
        {"length -5", "G\\106:07;", -5, false, "Empty TMATS Packet.\r\n", "Error: Empty TMATS Packet.\r\n"},
        {"NULL text", "", 100, true, "Empty TMATS Packet.\r\n", "Error: Empty TMATS Packet.\r\n"},
        {"no program name", "G\\PN:A;R-1\\N:1;", -1, false,
         "Unable to locate Program Name (G\\106:) or (G\\DSI) attribute in TMATS packet.\r\n",
         "Error: Problem sorting the TMATS data.\r\n"},
        {"no channel count", noCount.Text(), -1, false, "Unable to locate R-1\\N: in the TMATS packet.\r\n",
         "Error: Number of Channels (R-d\\N) attribute is missing in TMATS Packet.\r\n"},
        {"count 0", TwoChannels().Replace("R-1\\N", "0").Text(), -1, false, "Invalid TMATS packet.\r\n",
         "Error: Number of Channels (R-d\\N) is 0.\r\n"},
        {"count -3", TwoChannels().Replace("R-1\\N", "-3").Text(), -1, false, "Invalid TMATS packet.\r\n",
         "Error: Number of Channels (R-d\\N) is 0.\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tessin::ResetStateForTests();
        std::string path = dir.File("fail.log");
        ErrorBuffer err;
        auto buf = ExactCopy(c.text);
        int length = c.length == -1 ? static_cast<int>(c.text.size()) : c.length;
        CHAN_INFO* info = process_tmats_packet(c.nullText ? nullptr : buf.get(), length, err.get(), path.c_str());
        EXPECT_EQ(info, nullptr);
        EXPECT_EQ(err.text(), c.error);
        EXPECT_TRUE(err.CanaryIntact());
        std::string log = ReadText(path);
        EXPECT_EQ(log.rfind(banner, 0), 0u);
        ASSERT_GE(log.size(), std::strlen(c.logEnd));
        EXPECT_EQ(log.substr(log.size() - std::strlen(c.logEnd)), c.logEnd);
        // every failure from the split on releases the array
        EXPECT_EQ(tessin::State().tmats.packet, nullptr);
        EXPECT_TRUE(tessin::State().tmats.attributes.empty());
    }
}

TEST_F(TmatsValidation, HugeChannelCountIsCapped) {
    ErrorBuffer err;
    std::string path = dir.File("huge.log");
    std::string text = TwoChannels().Replace("R-1\\N", "2000000000").Text();
    CHAN_INFO* info = process_tmats_packet(text.c_str(), static_cast<int>(text.size()), err.get(), path.c_str());
    ASSERT_NE(info, nullptr);
    EXPECT_TRUE(err.CanaryIntact());
    EXPECT_EQ(info->ChannelCount, 2);
    EXPECT_EQ(info->FindingCount, 32767);
    std::string log = ReadText(path);
    EXPECT_GT(FindingLines(log).size(), 32767u);
    std::string end = std::string(130, '=') + "\r\n";
    EXPECT_EQ(log.substr(log.size() - end.size()), end);
    EXPECT_NE(log.find("Number of Channels      :2\r\n"), std::string::npos);
}

TEST_F(TmatsValidation, LogFileHandling) {
    std::string text = TwoChannels().Text();
    int len = static_cast<int>(text.size());
    std::string path = dir.File("a.log");
    // an existing log is truncated
    { std::ofstream(path) << std::string(100000, '#'); }
    CHAN_INFO* first = process_tmats_packet(text.c_str(), len, nullptr, path.c_str());
    ASSERT_NE(first, nullptr);
    std::string log = ReadText(path);
    EXPECT_EQ(log.find('#'), std::string::npos);
    EXPECT_EQ(first->FindingCount, static_cast<int16_t>(FindingLines(log).size()));
    EXPECT_GT(first->FindingCount, 0);
    EXPECT_EQ(log.find("\r\r\n"), std::string::npos);
    EXPECT_EQ(log.find("\n"), log.find("\r\n") + 1);

    // an empty path, then none: no file, no findings counted
    auto before = std::distance(std::filesystem::directory_iterator(dir.Path()), {});
    CHAN_INFO* second = process_tmats_packet(text.c_str(), len, nullptr, "");
    CHAN_INFO* third = process_tmats_packet(text.c_str(), len, nullptr, nullptr);
    ASSERT_NE(second, nullptr);
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(second->FindingCount, 0);
    EXPECT_EQ(third->FindingCount, 0);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), before);
    EXPECT_EQ(ReadText(path), log);

    // a log that cannot be created only means no log
    CHAN_INFO* fourth = process_tmats_packet(text.c_str(), len, nullptr, dir.Path().c_str());
    ASSERT_NE(fourth, nullptr);
    EXPECT_EQ(fourth->FindingCount, 0);
    EXPECT_EQ(fourth->ChannelCount, 2);
}

TEST_F(TmatsValidation, RecordsOutliveLaterCalls) {
    std::string a = GoldenTmats().Text();
    std::string b = TwoChannels().Text();
    CHAN_INFO* first = process_tmats_packet(a.c_str(), static_cast<int>(a.size()), nullptr, nullptr);
    ASSERT_NE(first, nullptr);
    std::string described = Describe(*first);
    CHAN_INFO* second = process_tmats_packet(b.c_str(), static_cast<int>(b.size()), nullptr, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(tessin::State().tmats.current, second);
    EXPECT_EQ(Describe(*first), described);
    EXPECT_EQ(process_tmats_packet("G\\PN:A;", 7, nullptr, nullptr), nullptr);
    EXPECT_EQ(tessin::State().tmats.current, nullptr);
    EXPECT_EQ(Describe(*first), described);
    EXPECT_EQ(second->ChannelCount, 2);
}

TEST_F(TmatsValidation, WholeFirstReadEqualsBareText) {
    TmatsAttributes tmats = GoldenTmats();
    std::string bare = tmats.Text();
    CHAN_INFO* fromText = process_tmats_packet(bare.c_str(), static_cast<int>(bare.size()), nullptr, nullptr);
    ASSERT_NE(fromText, nullptr);
    ch10fix::Bytes read = ch10fix::BuildSetupPacket(tmats);
    ch10fix::PacketSpec time;
    time.channelId = 10;
    time.dataType = 0x11;
    time.body = ch10fix::Bytes(8, 0);
    ch10fix::Append(read, ch10fix::BuildPacket(time));
    std::string whole(read.begin(), read.end());
    auto buf = ExactCopy(whole);
    CHAN_INFO* fromRead = process_tmats_packet(buf.get(), static_cast<int>(whole.size()), nullptr, nullptr);
    ASSERT_NE(fromRead, nullptr);
    EXPECT_EQ(Describe(*fromRead), Describe(*fromText));
}

}  // namespace

namespace {

TEST_F(TmatsValidation, TableNames) {
    struct Case {
        int code;
        const char* name;
    } types[] = {{0, "USER"},       {1, "SETUP"},        {2, "EVENT"},       {3, "INDEX"},     {9, "PCM"},
                 {17, "IRIG Time"}, {25, "BUS 1553"},    {26, "BUS 1553"},   {33, "ANALOG"},   {41, "DISCRETE"},
                 {48, "MESSAGE"},   {55, "F-35 FIBRECH"}, {56, "ARINC 429"}, {64, "VIDEO"},    {68, "VIDEO"},
                 {69, "UNDEFINED"}, {72, "IMAGE"},       {73, "SIMAGE"},     {74, "DIMAGE"},   {80, "UART"},
                 {88, "IEEE1394"},  {89, "IEEE1394"},    {96, "PARALLEL"},   {104, "ETHERNET"}, {105, "ETHERNET"},
                 {112, "TSPIGPS"},  {113, "TSPIEAG"},    {114, "TSPIACTTS"}, {120, "CANBUS"},  {121, "FIBRECH"},
                 {-1, "UNDEFINED"}, {4, "UNDEFINED"},    {122, "UNDEFINED"}};
    for (const Case& c : types) EXPECT_STREQ(tessin::data_type_name(c.code), c.name) << c.code;
    EXPECT_STREQ(tessin::packing_mode_name(1), "Unpacked");
    EXPECT_STREQ(tessin::packing_mode_name(2), "Packed");
    EXPECT_STREQ(tessin::packing_mode_name(3), "Throughput");
    EXPECT_STREQ(tessin::packing_mode_name(0), "UNDEFINED");
    EXPECT_STREQ(tessin::packing_mode_name(4), "UNDEFINED");
}

TEST_F(TmatsValidation, PcmRowWithoutMatchingRecord) {
    // Without a TK1 the entry has ID 0 and the PCM record keeps its index.
    TmatsAttributes t{{"G\\106", "05"}, {"R-1\\N", "1"}, {"R-1\\CDT-1", "PCMIN"}, {"P-1\\D2", "7"}};
    Outcome o = RunWithLog(t);
    ASSERT_NE(o.info, nullptr);
    EXPECT_EQ(o.info->PcmChannels[0].ChannelID, 1);
    EXPECT_NE(o.log.find("\r\n      0   PCM                 Enabled   \r\n"), std::string::npos);
    // A disabled channel without a bit rate shows 0 and logs nothing for it.
    t.Add("R-1\\TK1-1", "4").Add("R-1\\CHE-1", "F").Remove("P-1\\D2");
    o = RunWithLog(t);
    ASSERT_NE(o.info, nullptr);
    EXPECT_EQ(o.log.find("Bitrate"), std::string::npos);
    EXPECT_NE(o.log.find("\r\n      4   PCM                 Disabled         0        0          0            0"),
              std::string::npos);
}

}  // namespace
