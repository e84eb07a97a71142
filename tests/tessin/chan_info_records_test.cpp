#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <string>
#include <vector>

#include "tessin/src/tessin_state.h"
#include "tests/support/tmats_builder.h"
#include "tests/tessin/tmats_rig.h"

namespace {

using namespace tmatstest;
using ch10fix::TmatsAttributes;

class ChanInfoRecords : public ::testing::Test {
protected:
    void SetUp() override { tessin::ResetStateForTests(); }
    void TearDown() override { tessin::ResetStateForTests(); }
};

TmatsAttributes Base(int channels) { return TmatsAttributes{{"G\\106", "07"}, {"R-1\\N", std::to_string(channels)}}; }

TmatsAttributes& Chan(TmatsAttributes& t, int n, const std::string& id, const std::string& word) {
    std::string s = std::to_string(n);
    t.Add("R-1\\TK1-" + s, id);
    if (!word.empty()) t.Add("R-1\\CDT-" + s, word);
    return t;
}

CHAN_INFO* Build(const TmatsAttributes& t) {
    std::string text = t.Text();
    auto buf = ExactCopy(text);
    return process_tmats_packet(buf.get(), static_cast<int>(text.size()), nullptr, nullptr);
}

// One PCM channel (n = 1, ID 1) with a 16-bit sync and `words` words of 16 bits.
TmatsAttributes Pcm(int words = 32) {
    TmatsAttributes t = Base(1);
    Chan(t, 1, "1", "PCMIN");
    t.Add("P-1\\F1", "16").Add("P-1\\MF4", "24").Add("P-1\\MF1", std::to_string(words)).Add("P-1\\MF\\N", "4");
    return t;
}

std::vector<uint16_t> Lengths(const PCM_CHAN_INFO& p) {
    return std::vector<uint16_t>(p.WordLengths, p.WordLengths + p.WordLengthCount);
}

TEST_F(ChanInfoRecords, TypeWords) {
    struct Case {
        std::string word;
        std::vector<std::pair<std::string, std::string>> extra;
        int16_t dataType;
        int16_t CHAN_INFO::*count;  // the kind's count, 1 afterwards; null: entry only
    } cases[] = {
        {"TIMIN", {}, 17, &CHAN_INFO::TimeCount},       {"TIMEIN", {}, 17, &CHAN_INFO::TimeCount},
        {"PCMIN", {}, 9, &CHAN_INFO::PcmCount},         {"1553IN", {}, 25, &CHAN_INFO::Bus1553Count},
        {"ANAIN", {}, 33, &CHAN_INFO::AnalogCount},     {"DISIN", {}, 41, &CHAN_INFO::DiscreteCount},
        {"VIDIN", {}, 64, &CHAN_INFO::VideoCount},      {"VIDIN", {{"R-1\\VTF-1", "1"}}, 65, &CHAN_INFO::VideoCount},
        {"VIDIN", {{"R-1\\VTF-1", "2x"}}, 66, &CHAN_INFO::VideoCount},
        {"VIDIN", {{"R-1\\VTF-1", "3"}}, 64, &CHAN_INFO::VideoCount},
        {"SERIN", {}, 48, &CHAN_INFO::MessageCount},    {"MSGIN", {}, 48, &CHAN_INFO::MessageCount},
        {"FCIN", {}, 55, &CHAN_INFO::MessageCount},     {"429IN", {}, 56, &CHAN_INFO::A429Count},
        {"IMGIN", {}, 72, &CHAN_INFO::ImageCount},      {"ETHIN", {}, 104, &CHAN_INFO::EthernetCount},
        {"1394IN", {}, 88, &CHAN_INFO::Ieee1394Count},  {"UARTIN", {}, 80, &CHAN_INFO::UartCount},
        {"FBCHIN", {}, 121, &CHAN_INFO::FibreCount},    {"CANIN", {}, 120, nullptr},
        {"TSPIIN", {}, 112, nullptr},                   {"PARIN", {}, 96, nullptr},
        {"PCMIN ", {}, -1, &CHAN_INFO::OtherCount},     {"pcmin", {}, -1, &CHAN_INFO::OtherCount},
        {"XYZIN", {}, -1, &CHAN_INFO::OtherCount},
    };
    int16_t CHAN_INFO::*all[] = {&CHAN_INFO::PcmCount,     &CHAN_INFO::TimeCount,     &CHAN_INFO::Bus1553Count,
                                 &CHAN_INFO::AnalogCount,  &CHAN_INFO::DiscreteCount, &CHAN_INFO::MessageCount,
                                 &CHAN_INFO::A429Count,    &CHAN_INFO::VideoCount,    &CHAN_INFO::ImageCount,
                                 &CHAN_INFO::UartCount,    &CHAN_INFO::OtherCount,    &CHAN_INFO::Ieee1394Count,
                                 &CHAN_INFO::EthernetCount, &CHAN_INFO::FibreCount};
    for (const Case& c : cases) {
        SCOPED_TRACE("[" + c.word + "]");
        TmatsAttributes t = Base(1);
        Chan(t, 1, "9", c.word);
        for (const auto& [k, v] : c.extra) t.Add(k, v);
        CHAN_INFO* info = Build(t);
        ASSERT_NE(info, nullptr);
        ASSERT_EQ(info->ChannelCount, 1);
        EXPECT_EQ(info->Channels[0].DataType, c.dataType);
        EXPECT_EQ(info->Channels[0].ChannelID, 9);
        for (auto member : all) EXPECT_EQ(info->*member, member == c.count ? 1 : 0);
    }
}

TEST_F(ChanInfoRecords, TypeAttributesPerChannel) {
    TmatsAttributes t = Base(4);
    Chan(t, 1, "1", "1394IN").Add("R-1\\IETF-1", "1");
    Chan(t, 2, "2", "1394IN");
    Chan(t, 3, "3", "TIMIN").Add("R-1\\DST-3", "PCMIN");  // DST before CDT
    Chan(t, 4, "4", "");                                 // no type word
    CHAN_INFO* info = Build(t);
    ASSERT_NE(info, nullptr);
    ASSERT_EQ(info->ChannelCount, 3);
    EXPECT_EQ(info->Channels[0].DataType, 89);
    EXPECT_EQ(info->Channels[1].DataType, 88);
    EXPECT_EQ(info->Channels[2].DataType, 9);
    EXPECT_EQ(info->PcmCount, 1);
    EXPECT_EQ(info->TimeCount, 0);
}

TEST_F(ChanInfoRecords, SortByUnsignedIdKeepsEqualIdsInOrder) {
    TmatsAttributes t = Base(5);
    Chan(t, 1, "12", "TIMIN");
    Chan(t, 2, "3", "ANAIN");
    Chan(t, 3, "100", "TIMIN");
    Chan(t, 4, "65535", "TIMIN");
    Chan(t, 5, "3", "PCMIN");
    t.Add("R-1\\EV\\TK1", "3").Add("R-1\\IDX\\TK1", "3").Add("R-1\\EV\\E", "T");
    CHAN_INFO* info = Build(t);
    ASSERT_NE(info, nullptr);
    std::vector<std::pair<unsigned, int>> got;
    for (int i = 0; i < info->ChannelCount; ++i) got.emplace_back(info->Channels[i].ChannelID, info->Channels[i].DataType);
    EXPECT_EQ(got, (std::vector<std::pair<unsigned, int>>{{3, 33}, {3, 9}, {3, 2}, {3, 3}, {12, 17}, {100, 17},
                                                          {65535, 17}}));
    EXPECT_EQ(info->Channels[2].Enable, 1);
    EXPECT_EQ(info->Channels[3].Enable, 0);
}

// Revision 05 with every ungated attribute: logs nothing by itself.
TmatsAttributes CompleteSwitchTmats() {
    return TmatsAttributes{{"G\\106", "05"},      {"G\\DSI\\N", "1"},  {"G\\DSI-1", "S"},   {"R-1\\N", "1"},
                           {"R-1\\NSB", "0"},     {"R-1\\TK1-1", "1"},  {"R-1\\DSI-1", "S"}, {"R-1\\CHE-1", "T"},
                           {"R-1\\CDT-1", "CANIN"}};
}

TEST_F(ChanInfoRecords, RecordingSwitches) {
    struct Case {
        const char* value;
        int16_t enabled;
        bool warning;
    } cases[] = {{"T", 1, false}, {" T", 1, true}, {"  T", 0, false}, {"t", 0, false}, {"F", 0, false}, {"TRUE", 1, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("[") + c.value + "]");
        TmatsAttributes t = CompleteSwitchTmats();
        t.Add("R-1\\EV\\E", c.value).Add("R-1\\IDX\\E", c.value);
        Outcome o = RunWithLog(t);
        ASSERT_NE(o.info, nullptr);
        EXPECT_EQ(o.info->EventsEnabled, c.enabled);
        EXPECT_EQ(o.info->IndexEnabled, c.enabled);
        EXPECT_EQ(o.findings.size(), c.warning ? 2u : 0u);
    }
}

TEST_F(ChanInfoRecords, CommentEmbeddedForm) {
    TmatsAttributes t{{"G\\106", "07"}, {"G\\DSI\\N=", "2"}, {"R-1\\N", "9"}};
    t.Add("H\\CID-1", "30").Add("R-1\\TK1-1", "31").Add("G\\COM:\\ODT-1=", "PCMIN").Add("R-1\\CDT-1", "TIMIN");
    t.Add("R-1\\CHE-1", "T").Add("R-1\\DP-1", "P").Add("P-1\\COM:\\D9=", "INV").Add("P-1\\MF4", "16");
    t.Add("P-1\\COM:\\MF6:", "1111").Add("V-1\\CLX\\P\\MF6-1", "11");
    t.Add("H\\CID-2", "40").Add("R-1\\TK1-2", "41").Add("R-1\\CDT-2", "ANAIN");
    Outcome o = RunWithLog(t);
    ASSERT_NE(o.info, nullptr);
    const CHAN_INFO& c = *o.info;
    ASSERT_EQ(c.ChannelCount, 2);  // the count comes from G\DSI\N=
    EXPECT_EQ(c.Channels[0].ChannelID, 30);
    EXPECT_EQ(c.Channels[0].DataType, 9);
    EXPECT_EQ(c.Channels[1].ChannelID, 40);
    for (int i = 0; i < 2; ++i) EXPECT_EQ(c.Channels[i].Enable, 0);
    ASSERT_EQ(c.PcmCount, 1);
    EXPECT_EQ(c.PcmChannels[0].ChannelID, 30);
    EXPECT_EQ(c.PcmChannels[0].Enable, 0);
    EXPECT_EQ(c.PcmChannels[0].D9Inverted, 1);
    EXPECT_EQ(c.PcmChannels[0].SyncMask, 0xFu);
    EXPECT_EQ(c.PcmChannels[0].DataMode, 0);
    ASSERT_EQ(c.AnalogCount, 1);
    EXPECT_EQ(c.AnalogChannels[0].ChannelID, 41);  // analog keeps R-1\TK1 in this form
    for (const auto& line : o.findings) {
        EXPECT_EQ(line.find("CHANNEL ENABLE"), std::string::npos) << line;
        EXPECT_EQ(line.find("PCM channel"), std::string::npos) << line;  // every [enabled] check is off
        EXPECT_EQ(line.find("Analog channel"), std::string::npos) << line;
    }
    EXPECT_EQ(o.log.find("Enabled   "), std::string::npos);
}

TEST_F(ChanInfoRecords, PcmSyncMask) {
    struct Case {
        const char* length;  // nullptr: attribute missing
        uint32_t mask;
    } cases[] = {{"0", 0}, {"1", 1}, {"16", 0xFFFF}, {"24", 0xFFFFFF}, {"31", 0x7FFFFFFF}, {"32", 0xFFFFFFFF},
                 {"40", 0xFFFFFFFF}, {"-4", 0}, {nullptr, 0}};
    for (const Case& c : cases) {
        for (bool withMask : {false, true}) {
            SCOPED_TRACE(std::string(c.length ? c.length : "missing") + (withMask ? " with mask" : ""));
            TmatsAttributes t = Pcm();
            t.Remove("P-1\\MF4");
            if (c.length) t.Add("P-1\\MF4", c.length);
            if (withMask) t.Add("V-1\\CLX\\P\\MF6-1", "101");
            CHAN_INFO* info = Build(t);
            ASSERT_NE(info, nullptr);
            ASSERT_EQ(info->PcmCount, 1);
            EXPECT_EQ(info->PcmChannels[0].SyncMask, withMask ? 5u : c.mask);
        }
    }
}

TEST_F(ChanInfoRecords, PcmSyncPatternDigits) {
    struct Case {
        std::string digits;
        uint32_t pattern;
    } cases[] = {{"1110101110010000", 0xEB90}, {std::string(33, '1'), 0xFFFFFFFF},
                 {"1" + std::string(40, '0'), 0xFFFFFFFF}, {"0b1", 0}, {"  101x1", 5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.digits);
        TmatsAttributes t = Pcm();
        t.Add("P-1\\MF5", c.digits);
        CHAN_INFO* info = Build(t);
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(info->PcmChannels[0].SyncPattern, c.pattern);
    }
}

TEST_F(ChanInfoRecords, PcmFrameCounter) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> attrs;
        int16_t position, wordLength, startBit, length, endValue;
    } cases[] = {
        {"defaults", {}, 1, 16, 0, 16, 3},
        {"length from word length and start", {{"P-1\\IDC2-1", "12"}, {"P-1\\IDC3-1", "4"}}, 1, 12, 4, 8, 3},
        {"negative length", {{"P-1\\IDC2-1", "8"}, {"P-1\\IDC3-1", "12"}}, 1, 8, 0, 16, 3},
        {"start without word length", {{"P-1\\IDC3-1", "4"}, {"P-1\\IDC1-1", "5"}}, 5, 16, 4, 12, 3},
        {"given length", {{"P-1\\IDC4-1", "6"}, {"P-1\\IDC3-1", "30"}}, 1, 16, 30, 6, 3},
        {"initial value 1", {{"P-1\\IDC6-1", "1"}}, 1, 16, 0, 16, 4},
        {"counts down", {{"P-1\\IDC10-1", "D"}}, 1, 16, 0, 16, 0},
        {"end value given", {{"P-1\\IDC8-1", "7"}}, 1, 16, 0, 16, 7},
        {"end value 0 given", {{"P-1\\IDC8-1", "0"}}, 1, 16, 0, 16, 3},
        {"no frames", {{"P-1\\MF\\N", "0"}}, 1, 16, 0, 16, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TmatsAttributes t = Pcm();
        for (const auto& [k, v] : c.attrs) t.Replace(k, v);
        CHAN_INFO* info = Build(t);
        ASSERT_NE(info, nullptr);
        const PCM_CHAN_INFO& p = info->PcmChannels[0];
        EXPECT_EQ(p.FrameIDPosition, c.position);
        EXPECT_EQ(p.IDCWordLength, c.wordLength);
        EXPECT_EQ(p.IDCStartBit, c.startBit);
        EXPECT_EQ(p.IDCLength, c.length);
        EXPECT_EQ(p.IDCEndValue, c.endValue);
    }
}

TEST_F(ChanInfoRecords, PcmWordLengthOverrides) {
    using W = std::vector<uint16_t>;
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> pairs;
        W lengths;
    } cases[] = {
        {"none", {}, W{24, 16, 16, 16, 16}},
        {"word 3 to 8", {{"P-1\\MFW1-1", "3"}, {"P-1\\MFW2-1", "8"}}, W{24, 16, 16, 8, 16}},
        {"position 0 moves on", {{"P-1\\MFW1-1", "0"}, {"P-1\\MFW1-2", "2"}, {"P-1\\MFW2-2", "4"}}, W{24, 16, 4, 16, 16}},
        {"missing MFW2 ends", {{"P-1\\MFW1-1", "2"}, {"P-1\\MFW1-2", "3"}, {"P-1\\MFW2-2", "4"}}, W{24, 16, 16, 16, 16}},
        {"width 0 moves on",
         {{"P-1\\MFW1-1", "2"}, {"P-1\\MFW2-1", "0"}, {"P-1\\MFW1-2", "3"}, {"P-1\\MFW2-2", "4"}},
         W{24, 16, 16, 4, 16}},
        {"positions out of range",
         {{"P-1\\MFW1-1", "5"}, {"P-1\\MFW2-1", "1"}, {"P-1\\MFW1-2", "-1"}, {"P-1\\MFW2-2", "1"},
          {"P-1\\MFW1-3", "4"}, {"P-1\\MFW2-3", "2"}},
         W{24, 16, 16, 16, 2}},
        {"gap in k ends", {{"P-1\\MFW1-2", "1"}, {"P-1\\MFW2-2", "1"}}, W{24, 16, 16, 16, 16}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TmatsAttributes t = Pcm(5);
        for (const auto& [k, v] : c.pairs) t.Add(k, v);
        CHAN_INFO* info = Build(t);
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(Lengths(info->PcmChannels[0]), c.lengths);
    }
    // Without words there is no array, and overrides stop without harm.
    for (const char* words : {"0", "-3", "40000"}) {
        SCOPED_TRACE(words);
        TmatsAttributes t = Pcm();
        t.Replace("P-1\\MF1", words).Add("P-1\\MFW1-1", "1").Add("P-1\\MFW2-1", "8");
        CHAN_INFO* info = Build(t);
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(info->PcmChannels[0].WordLengthCount, 0);
        EXPECT_EQ(info->PcmChannels[0].WordLengths, nullptr);
    }
    TmatsAttributes t = Pcm();
    t.Replace("P-1\\MF1", "40000");
    EXPECT_EQ(Build(t)->PcmChannels[0].NumWords, -25536);
}

TEST_F(ChanInfoRecords, PcmBitsPerMinorFrame) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> attrs;
        int32_t bits;
        bool message;
    } cases[] = {
        {"agrees", {{"P-1\\MF2", "520"}}, 520, false},
        {"disagrees", {{"P-1\\MF2", "512"}}, 520, true},
        {"word 5 override computes 512", {{"P-1\\MF2", "512"}, {"P-1\\MFW1-1", "5"}, {"P-1\\MFW2-1", "8"}}, 512, false},
        {"missing uses the simple formula", {{"P-1\\MFW1-1", "5"}, {"P-1\\MFW2-1", "8"}}, 520, false},
        {"disabled keeps M", {{"P-1\\MF2", "512"}, {"R-1\\CHE-1", "F"}}, 512, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TmatsAttributes t = Pcm();
        for (const auto& [k, v] : c.attrs) t.Add(k, v);
        Outcome o = RunWithLog(t);
        ASSERT_NE(o.info, nullptr);
        EXPECT_EQ(o.info->PcmChannels[0].BitsInMinorFrame, c.bits);
        bool found = o.log.find("Error: Bits/Frame (P-d\\MF2) for Channel 1 in TMATS (512) does not match computed "
                                "value from the Frame Definition in TMATS (520).\r\n") != std::string::npos;
        EXPECT_EQ(found, c.message);
    }
}

TEST_F(ChanInfoRecords, PcmFrameVariant) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> attrs;
        uint8_t variant;
    } cases[] = {
        {"TF 1553", {{"P-1\\TF", "1553"}}, 1},
        {"TF 1553x", {{"P-1\\TF", "1553x"}}, 0},
        {"6144, 24-bit FAF320", {{"P-1\\MF2", "6144"}, {"P-1\\MF5", "111110101111001100100000"}}, 1},
        {"6144, 16-bit FAF3", {{"P-1\\MF2", "6144"}, {"P-1\\MF4", "16"}, {"P-1\\MF5", "1111101011110011"}}, 1},
        {"6144, 24-bit FAF3", {{"P-1\\MF2", "6144"}, {"P-1\\MF5", "1111101011110011"}}, 0},
        {"6143, FAF320", {{"P-1\\MF2", "6143"}, {"P-1\\MF5", "111110101111001100100000"}}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TmatsAttributes t = Pcm();
        for (const auto& [k, v] : c.attrs) t.Replace(k, v);
        CHAN_INFO* info = Build(t);
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(info->PcmChannels[0].FrameVariant, c.variant);
        EXPECT_EQ(info->PcmChannels[0].FrameVariantWord, c.variant);
    }
}

TEST_F(ChanInfoRecords, PcmGroupNumbering) {
    for (bool dln : {true, false}) {
        SCOPED_TRACE(dln ? "with P-1\\DLN" : "without");
        TmatsAttributes t = Base(4);
        Chan(t, 1, "1", "TIMIN");
        Chan(t, 2, "2", "PCMIN");
        Chan(t, 3, "3", "TIMIN");
        Chan(t, 4, "4", "PCMIN");
        if (dln) t.Add("P-1\\DLN", "A");
        t.Add("P-1\\F1", "10").Add("P-2\\F1", "8").Add("P-4\\F1", "12");
        t.Add("P-2\\MF4", "16").Add("P-4\\MF4", "16").Add("V-1\\CLX\\P\\MF6-4", "11").Add("V-1\\CLX\\P\\MF6-2", "1");
        CHAN_INFO* info = Build(t);
        ASSERT_NE(info, nullptr);
        ASSERT_EQ(info->PcmCount, 2);
        EXPECT_EQ(info->PcmChannels[0].WordLength, dln ? 10 : 8);
        EXPECT_EQ(info->PcmChannels[1].WordLength, dln ? 8 : 12);
        EXPECT_EQ(info->PcmChannels[1].SyncMask, 3u);  // mask key takes n in both cases
        EXPECT_EQ(info->PcmChannels[0].SyncMask, 1u);
    }
}

TEST_F(ChanInfoRecords, Bus1553Names) {
    struct Case {
        const char* name;
        int channels;
        std::vector<std::pair<std::string, std::string>> attrs;
        const char* busName;
    } cases[] = {
        {"letter case", 3, {{"R-1\\CDLN-1", "mux-a"}, {"B-3\\DLN", "MUX-A"}, {"B-3\\BNA-1", "BUS A"}}, "BUS A"},
        {"BDLN before CDLN", 3,
         {{"R-1\\BDLN-1", "X"}, {"R-1\\CDLN-1", "Y"}, {"B-1\\DLN", "Y"}, {"B-1\\BNA-1", "Wrong"}, {"B-2\\DLN", "x"},
          {"B-2\\BNA-1", "Right"}},
         "Right"},
        {"first match without a name ends it", 4,
         {{"R-1\\CDLN-1", "L"}, {"B-3\\DLN", "L"}, {"B-4\\DLN", "l"}, {"B-4\\BNA-1", "Later"}}, ""},
        {"full value", 3, {{"R-1\\CDLN-1", "L"}, {"B-1\\DLN", "L2"}, {"B-1\\BNA-1", "No"}}, ""},
        {"b bounded by N", 2, {{"R-1\\CDLN-1", "L"}, {"B-3\\DLN", "L"}, {"B-3\\BNA-1", "Far"}}, ""},
        {"no data link name", 3, {{"B-1\\DLN", ""}, {"B-1\\BNA-1", "Empty"}}, ""},
        {"b in plain decimal only", 3, {{"R-1\\CDLN-1", "L"}, {"B-01\\DLN", "L"}, {"B-01\\BNA-1", "Zero"}}, ""},
        {"24 characters", 3, {{"R-1\\CDLN-1", "L"}, {"B-1\\DLN", "L"}, {"B-1\\BNA-1", std::string(30, 'N')}},
         "NNNNNNNNNNNNNNNNNNNNNNNN"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TmatsAttributes t = Base(c.channels);
        Chan(t, 1, "1", "1553IN");
        for (const auto& [k, v] : c.attrs) t.Add(k, v);
        CHAN_INFO* info = Build(t);
        ASSERT_NE(info, nullptr);
        ASSERT_EQ(info->Bus1553Count, 1);
        EXPECT_STREQ(info->Bus1553Channels[0].BusName, c.busName);
    }
}

TEST_F(ChanInfoRecords, Bus1553ArrayGrowsPast71) {
    TmatsAttributes t = Base(72);
    for (int n = 1; n <= 72; ++n) {
        Chan(t, n, std::to_string(n), "1553IN");
        t.Add("R-1\\CDLN-" + std::to_string(n), "BUS" + std::to_string(n));
        t.Add("B-" + std::to_string(n) + "\\DLN", "bus" + std::to_string(n));
        t.Add("B-" + std::to_string(n) + "\\BNA-1", "N" + std::to_string(n));
    }
    CHAN_INFO* info = Build(t);
    ASSERT_NE(info, nullptr);
    ASSERT_EQ(info->Bus1553Count, 72);
    for (int i = 0; i < 72; ++i) {
        EXPECT_EQ(info->Bus1553Channels[i].ChannelID, i + 1);
        EXPECT_EQ(std::string(info->Bus1553Channels[i].BusName), "N" + std::to_string(i + 1));
    }
}

TEST_F(ChanInfoRecords, TimeFormat) {
    struct Case {
        std::vector<std::pair<std::string, std::string>> attrs;
        char format;
        bool warning;
    } cases[] = {
        {{{"R-1\\IFMT-1", "A"}, {"R-1\\TFMT-1", "G"}}, 'A', false},
        {{{"R-1\\TFMT-1", "G"}}, 'G', false},
        {{}, 'B', true},
        {{{"R-1\\CHE-1", "F"}}, 0, false},
    };
    for (const Case& c : cases) {
        TmatsAttributes t = Base(1);
        Chan(t, 1, "1", "TIMIN");
        for (const auto& [k, v] : c.attrs) t.Add(k, v);
        Outcome o = RunWithLog(t);
        ASSERT_NE(o.info, nullptr);
        EXPECT_EQ(o.info->TimeChannels[0].TimeFormat, c.format);
        EXPECT_EQ(o.log.find("Warning: Irig Format Attribute") != std::string::npos, c.warning);
    }
}

TEST_F(ChanInfoRecords, UartNames) {
    struct Case {
        const char* key;
        const char* value;
        const char* stored;
    } cases[] = {{"R-1\\UNM-1-1", "NAV-R", "NAV"}, {"R-1\\UNM-1-1", "-R", "-R"}, {"R-1\\UNM-1-1", "X-T", "X"},
                 {"R-1\\UNM-1-1", "NAV-r", "NAV-r"}, {"R-1\\UNM-1-1", "AB", "AB"}, {"R-1\\UCNM-1-1", "GPS-T", "GPS"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        TmatsAttributes t = Base(1);
        Chan(t, 1, "1", "UARTIN").Add("R-1\\NUS\\N-1", "1").Add(c.key, c.value).Add("R-1\\USCN-1-1", "7");
        CHAN_INFO* info = Build(t);
        ASSERT_NE(info, nullptr);
        ASSERT_EQ(info->UartCount, 1);
        EXPECT_STREQ(info->UartChannels[0].Subchannels[0].Name, c.stored);
        EXPECT_EQ(info->UartChannels[0].Subchannels[0].Number, 7);
    }
}

TEST_F(ChanInfoRecords, EthernetSubchannels) {
    TmatsAttributes t = Base(3);
    Chan(t, 1, "1", "ETHIN").Add("R-1\\CDLN-1", "NETLINK");
    Chan(t, 2, "2", "ETHIN").Add("R-1\\NNET\\N-2", "2").Add("R-1\\ENBR-2-1", "1").Add("R-1\\ENAM-2-1", "A");
    t.Add("R-1\\ENBR-2-2", "5").Add("R-1\\ENAM-2-2", "B");
    t.Add("R-1\\CDT-3", "ETHIN").Add("R-1\\NNET\\N-3", "2");  // no TK1
    CHAN_INFO* info = Build(t);
    ASSERT_NE(info, nullptr);
    ASSERT_EQ(info->EthernetCount, 3);
    const SUBCHAN_CHAN_INFO* e = info->EthernetChannels;
    EXPECT_EQ(e[0].SubchannelCount, 1);
    EXPECT_STREQ(e[0].Subchannels[0].Name, "NETLINK");
    EXPECT_EQ(e[0].Subchannels[0].Number, 0);
    EXPECT_EQ(e[1].SubchannelCount, 2);
    EXPECT_EQ(e[1].Subchannels[0].Number, 0);  // equal to i: i - 1
    EXPECT_EQ(e[1].Subchannels[1].Number, 5);
    EXPECT_STREQ(e[1].Subchannels[1].Name, "B");
    EXPECT_EQ(e[2].ChannelID, 3);
    EXPECT_EQ(e[2].SubchannelCount, 0);
}

TEST_F(ChanInfoRecords, SubchannelCountsAreBounded) {
    struct Case {
        const char* value;
        int count;
    } cases[] = {{"256", 256}, {"257", 256}, {"-1", 0}, {"70000", 256}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        TmatsAttributes t = Base(4);
        Chan(t, 1, "1", "ANAIN").Add("R-1\\CH\\N-1", c.value).Add("R-1\\AMN-1-256", "LAST");
        Chan(t, 2, "2", "429IN").Add("R-1\\NAS\\N-2", c.value).Add("R-1\\ANM-2-256", "LAST");
        Chan(t, 3, "3", "UARTIN").Add("R-1\\NUS\\N-3", c.value).Add("R-1\\UNM-3-256", "LAST");
        Chan(t, 4, "4", "ETHIN").Add("R-1\\NNET\\N-4", c.value).Add("R-1\\ENAM-4-256", "LAST");
        t.Add("R-1\\AMN-1-257", "PAST").Add("R-1\\UNM-3-257", "PAST");
        CHAN_INFO* info = Build(t);
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(info->AnalogChannels[0].SubchannelCount, c.count);
        EXPECT_EQ(info->A429Channels[0].SubchannelCount, c.count);
        EXPECT_EQ(info->UartChannels[0].SubchannelCount, c.count);
        EXPECT_EQ(info->EthernetChannels[0].SubchannelCount, c.count);
        if (c.count == 256) {
            EXPECT_STREQ(info->AnalogChannels[0].Subchannels[255].Name, "LAST");
            EXPECT_STREQ(info->A429Channels[0].Subchannels[255].Name, "LAST");
            EXPECT_STREQ(info->UartChannels[0].Subchannels[255].Name, "LAST");
            EXPECT_STREQ(info->EthernetChannels[0].Subchannels[255].Name, "LAST");
        }
    }
}

TEST_F(ChanInfoRecords, TextFieldsAreCut) {
    std::string longText(200, 'a');
    longText[0] = 'Z';
    TmatsAttributes t{{"G\\106", "07"}, {"G\\PN", longText}, {"R-1\\N", "7"}};
    Chan(t, 1, "1", "ANAIN").Add("R-1\\DSI-1", longText).Add("R-1\\CH\\N-1", "1").Add("R-1\\AMN-1-1", longText);
    Chan(t, 2, "2", "DISIN").Add("R-1\\DSI-2", "disc-" + longText);
    Chan(t, 3, "3", "VIDIN").Add("R-1\\DSI-3", longText);
    Chan(t, 4, "4", "PCMIN").Add("P-4\\DLN", longText);
    Chan(t, 5, "5", "429IN").Add("R-1\\NAS\\N-5", "1").Add("R-1\\ANM-5-1", longText);
    Chan(t, 6, "6", "FBCHIN").Add("R-1\\CDLN-6", longText);
    Chan(t, 7, "7", "UARTIN").Add("R-1\\NUS\\N-7", "1").Add("R-1\\UNM-7-1", longText);
    CHAN_INFO* info = Build(t);
    ASSERT_NE(info, nullptr);
    auto cut = [&](std::size_t n) { return longText.substr(0, n); };
    EXPECT_EQ(std::string(info->ProgramName), cut(16));
    EXPECT_EQ(std::string(info->AnalogChannels[0].DsiName), cut(24));
    EXPECT_EQ(std::string(info->AnalogChannels[0].Subchannels[0].Name), cut(32));
    EXPECT_EQ(std::string(info->DiscreteChannels[0].DsiName), "DISC-ZAAAAAAAAAAAAAAAAAAAAAAAAAA");
    EXPECT_EQ(std::string(info->VideoChannels[0].Name), cut(32));
    EXPECT_EQ(std::string(info->PcmChannels[0].DataLinkName), cut(127));
    EXPECT_EQ(std::string(info->A429Channels[0].Subchannels[0].Name), cut(12));
    EXPECT_EQ(std::string(info->FibreChannels[0].LinkName), cut(32));
    EXPECT_EQ(std::string(info->UartChannels[0].Subchannels[0].Name), cut(24));
}

TEST_F(ChanInfoRecords, NumbersNarrowAsC) {
    TmatsAttributes t = Base(2);
    Chan(t, 1, "70000", "DISIN").Add("R-1\\NDM\\N-1", "-2").Add("R-1\\DMOD-1", "event").Add("R-1\\DSR-1", "2.5");
    Chan(t, 2, "-1", "ANAIN").Add("R-1\\ADP-2", "yes").Add("R-1\\ASR-2", "1e3x");
    t.Add("R-1\\NSB", "70000");
    CHAN_INFO* info = Build(t);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->Channels[0].ChannelID, 4464);
    EXPECT_EQ(info->Channels[1].ChannelID, 65535);
    EXPECT_EQ(info->DiscreteChannels[0].ChannelID, 4464);
    EXPECT_EQ(info->DiscreteChannels[0].MeasurandCount, -2);
    EXPECT_EQ(info->DiscreteChannels[0].EventMode, 1);
    EXPECT_DOUBLE_EQ(info->DiscreteChannels[0].SampleRate, 2.5);
    EXPECT_EQ(info->AnalogChannels[0].Packed, 1);
    EXPECT_DOUBLE_EQ(info->AnalogChannels[0].SampleRate, 1000.0);
    EXPECT_EQ(info->SourceBits, 4464);
}

TEST_F(ChanInfoRecords, SampleRateIgnoresTheLocale) {
    const char* names[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8", "de_DE", "fr_FR"};
    const char* chosen = nullptr;
    std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    for (const char* name : names)
        if (std::setlocale(LC_NUMERIC, name)) {
            chosen = name;
            break;
        }
    if (!chosen) GTEST_SKIP() << "no comma-decimal locale installed";
    TmatsAttributes t = Base(1);
    Chan(t, 1, "1", "ANAIN").Add("R-1\\SRT-1", "1.5e3");
    CHAN_INFO* info = Build(t);
    std::setlocale(LC_NUMERIC, previous.c_str());
    ASSERT_NE(info, nullptr);
    EXPECT_DOUBLE_EQ(info->AnalogChannels[0].SampleRate, 1500.0);
}

}  // namespace
