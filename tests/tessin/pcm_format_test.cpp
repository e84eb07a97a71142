// PCM format and bus records: the rules of each attribute, the results and
// the release calls.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "pcm_format.h"
#include "tests/tessin/pcm_test_support.h"

namespace {

using namespace servicestest;
using ch10fix::TmatsAttributes;

class PcmFormatInfo : public PcmTest {};

TEST_F(PcmFormatInfo, DataLinkNameSplits) {
    struct Case {
        std::string dln;
        const char* id;
        const char* version;
        const char* unit;
    };
    const Case cases[] = {
        {"FMT1,2,UNIT9", "FMT1", "2", "UNIT9"},
        {"A,B,C", "A", "B", "C"},
        {"A,B", "A", "0", "NONE"},
        {"ABCDEFGHIJKLMN", "ABCDEFGHIJ", "0", "NONE"},
        {"A," + std::string(30, 'v') + ",U", "A", "0", "NONE"},  // second ',' beyond 32 characters
        {"LONGFORMATNAME,VERSION12345,UNIT1234567890", "LONGFORMAT", "VERSION123", "UNIT"},
    };
    for (const Case& c : cases) {
        TmatsAttributes a = BaseFormat();
        a.Replace("P-1\\DLN", c.dln);
        PcmCall r = Call(a);
        ASSERT_EQ(r.result, 1) << c.dln;
        EXPECT_STREQ(r.formats[0].FormatID, c.id) << c.dln;
        EXPECT_STREQ(r.formats[0].FormatVersion, c.version) << c.dln;
        EXPECT_STREQ(r.formats[0].FormatUnitID, c.unit) << c.dln;
        EXPECT_EQ(r.formats[0].DataLinkName, c.dln.substr(0, 63)) << c.dln;
        EXPECT_STREQ(r.formats[0].AircraftID, "PROG");
        EXPECT_STREQ(r.formats[0].CreationDate, "01-02-2020");
        EXPECT_EQ(FreePCMFormatInfo(), 0);
    }
}

TEST_F(PcmFormatInfo, InvalidValuesFailWithoutText) {
    const std::vector<std::vector<std::pair<std::string, std::string>>> cases = {
        {{"P-1\\TF", "1553"}},
        {{"P-1\\F1", "0"}},
        {{"P-1\\F1", "17"}},
        {{"P-1\\F1", "272"}},
        {{"P-1\\MF\\N", "0"}},
        {{"P-1\\MF1", "0"}},
        {{"P-1\\MF1", "70000"}},
        {{"P-1\\MF4", "0"}},
        {{"P-1\\MF2", "0"}},
        {{"P-1\\MF4", "24"}},  // the 16-digit pattern no longer matches
    };
    for (const auto& changes : cases) {
        TmatsAttributes a = BaseFormat();
        for (const auto& [key, value] : changes) a.Replace(key, value);
        PcmCall r = Call(a);
        EXPECT_EQ(r.result, -1) << changes[0].first << "=" << changes[0].second;
        EXPECT_EQ(r.error, "") << changes[0].first;
        EXPECT_EQ(r.formats, nullptr);
    }
}

TEST_F(PcmFormatInfo, FrameLayout) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> changes;
        std::function<void(const PCM_FORMAT_INFO&)> check;
    };
    const Case cases[] = {
        {"sync mask from the pattern length", {}, [](const PCM_FORMAT_INFO& f) {
             EXPECT_STREQ(f.SyncMask, "1111111111111111");
             EXPECT_STREQ(f.SyncPattern, "1110101110010000");
             EXPECT_EQ(f.NumMainframeEntries, 64);
             EXPECT_EQ(f.BitsInMinorFrame, 1024);
         }},
        {"word length override", {{"P-1\\MFW1-1", "5"}, {"P-1\\MFW2-1", "8"}}, [](const PCM_FORMAT_INFO& f) {
             for (int w = 1; w <= 64; ++w) EXPECT_EQ(f.WordLengths[w - 1], w == 5 ? 8 : 16) << w;
         }},
        {"the sync word keeps its length", {{"P-1\\MFW1-1", "64"}, {"P-1\\MFW2-1", "8"}},
         [](const PCM_FORMAT_INFO& f) {
             for (int w = 1; w <= 64; ++w) EXPECT_EQ(f.WordLengths[w - 1], 16) << w;
         }},
        {"flags", {{"P-1\\D1", "NRZ-L"}, {"P-1\\D2", "1.5e6"}, {"P-1\\D4", "I"}, {"P-1\\D5", "Y"}, {"P-1\\D6", "R"},
                   {"P-1\\D7", "Y"}, {"P-1\\F2", "L"}, {"P-1\\F3", "EV"}},
         [](const PCM_FORMAT_INFO& f) {
             EXPECT_STREQ(f.PCMCode, "NRZ-L");
             EXPECT_EQ(f.BitRate, 1.5e6);
             EXPECT_EQ(f.PolarityInverted + f.AutoPolarityCorrection + f.DataDirectionReversed + f.DataRandomized +
                           f.LsbFirst, 5);
             EXPECT_EQ(f.Parity, 2);
             EXPECT_STREQ(f.FormatType, "CH4");
         }},
        {"70-digit pattern", {{"P-1\\MF4", "70"}, {"P-1\\MF5", std::string(70, '1')}}, [](const PCM_FORMAT_INFO& f) {
             EXPECT_EQ(std::string(f.SyncPattern), std::string(64, '1'));
             EXPECT_EQ(std::string(f.SyncMask), std::string(64, '1'));
         }},
        {"ID counter masks", {{"P-1\\F1", "12"}, {"P-1\\MF\\N", "4"}, {"P-1\\MF1", "8"}, {"P-1\\ISF\\N", "1"},
                              {"P-1\\IDC1-1", "3"}},
         [](const PCM_FORMAT_INFO& f) {
             for (int i = 0; i < 32; ++i) EXPECT_EQ(f.FrameWordMasks[i], i % 7 == 2 && i < 28 ? 0x0FFF : 0) << i;
             EXPECT_EQ(f.IDCounters[0].FrameIDPosition, 3);
         }},
        {"ID counter fields", {{"P-1\\ISF\\N", "2"}, {"P-1\\IDC2-2", "8"}, {"P-1\\IDC9-2", "15"},
                               {"P-1\\IDC10-2", "DOWN"}, {"P-1\\IDC2-3", "9"}},
         [](const PCM_FORMAT_INFO& f) {
             ASSERT_EQ(f.NumIDCounters, 2);
             EXPECT_EQ(f.IDCounters[1].IDCWordLength, 8);
             EXPECT_EQ(f.IDCounters[1].IDCEndFrameNum, 15);
             EXPECT_EQ(f.IDCounters[1].IDCDirection, 1);
             EXPECT_EQ(f.IDCounters[0].IDCWordLength, 0);
         }},
        {"counts clamp", {{"P-1\\ISF\\N", "-1"}, {"P-1\\SF\\N-1", "-5"}}, [](const PCM_FORMAT_INFO& f) {
             EXPECT_EQ(f.NumIDCounters, 0);
             EXPECT_EQ(f.IDCounters, nullptr);
             EXPECT_EQ(f.NumSubcoms, 0);
         }},
    };
    for (const Case& c : cases) {
        TmatsAttributes a = BaseFormat();
        for (const auto& [key, value] : c.changes) a.Replace(key, value);
        PcmCall r = Call(a);
        ASSERT_EQ(r.result, 1) << c.name;
        c.check(r.formats[0]);
        EXPECT_EQ(FreePCMFormatInfo(), 0);
    }
}

TEST_F(PcmFormatInfo, SyncMaskBits) {
    struct Case {
        const char* mask;
        int width;
        int fragment;
        int16_t first;
        int16_t last;
    };
    const Case cases[] = {
        {"0000111111110000", 16, 1, 5, 12}, {"11111111", 16, 1, 9, 16}, {"0110110", 7, 1, 2, 3},
        {"0110110", 16, 1, 11, 12},          {"0", 16, 1, 77, 88},        {"10x1", 16, 1, 77, 88},
        {"0110", 16, 2, 77, 88},              {"", 16, 1, 77, 88},         {"1", 16, 0, 16, 16},
    };
    for (const Case& c : cases) {
        DB_MEASRU_INFO m{};
        m.FBit = 77;
        m.LBit = 88;
        tessin::parse_sync_mask(c.mask, c.width, &m, c.fragment);
        EXPECT_EQ(m.FBit, c.first) << c.mask << "," << c.width;
        EXPECT_EQ(m.LBit, c.last) << c.mask << "," << c.width;
    }
}

TmatsAttributes BusFile(const std::string& busType) {
    return {{"G\\PN", "PROG"},     {"B-1\\DLN", "BUSLINK"}, {"B-1\\TA", "JET"},   {"B-1\\BNA-1", "BUSA"},
            {"B-1\\BT-1", busType}, {"B-1\\NMS\\N-1", "2"},  {"C-1\\DCN", "M1"}};
}

TEST_F(PcmFormatInfo, Buses1553) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> message;  // message 1
        uint16_t command;
        const char* direction;
        int16_t rt;
    };
    const Case cases[] = {
        {"RT to BC", {{"B-1\\TRA-1-1", "00101"}, {"B-1\\STA-1-1", "11"}, {"B-1\\TRM-1-1", "1"}, {"B-1\\DWC-1-1", "4"}},
         0x2C64, "RT-BC", 5},
        {"BC to RT", {{"B-1\\TRA-1-1", "00101"}, {"B-1\\STA-1-1", "11"}, {"B-1\\TRM-1-1", "0"}, {"B-1\\DWC-1-1", "4"}},
         0x2864, "BC-RT", 5},
        {"32 words", {{"B-1\\TRA-1-1", "00101"}, {"B-1\\STA-1-1", "11"}, {"B-1\\TRM-1-1", "T"}, {"B-1\\DWC-1-1", "32"}},
         0x2860, "BC-RT", 5},
        {"message 3 of 2 ignored", {{"B-1\\MID-1-3", "9"}, {"B-1\\TRA-1-3", "11"}}, 0, "", 0},
    };
    for (const Case& c : cases) {
        TmatsAttributes a = BusFile("1553");
        a.Add("B-1\\MID-1-1", "7");
        for (const auto& [k, v] : c.message) a.Add(k, v);
        a.Add("B-1\\MN-1-1-1", "SPEED").Add("B-1\\MWN-1-1-1", "3").Add("B-1\\MBM-1-1-1", "0000000011110000");
        PcmCall r = Call(a);
        ASSERT_EQ(r.result, 0) << c.name;
        EXPECT_EQ(r.formats, nullptr);
        const BUS_INFO* b = r.bus(0);
        ASSERT_NE(b, nullptr);
        EXPECT_STREQ(b->BusName, "BUSA");
        EXPECT_STREQ(b->TestArticle, "JET");
        ASSERT_EQ(b->NumMessages, 2);
        ASSERT_NE(b->Messages1553, nullptr);
        EXPECT_EQ(b->MessagesLabelled, nullptr);
        const MSG1553_INFO& m = b->Messages1553[0];
        EXPECT_EQ(m.MessageID, 7) << c.name;
        EXPECT_STREQ(m.BusName, "BUSA");
        EXPECT_EQ(m.RTAddress, c.rt) << c.name;
        EXPECT_EQ(m.CommandWord, c.command) << c.name;
        EXPECT_STREQ(m.Direction, c.direction) << c.name;
        EXPECT_EQ(b->Messages1553[1].MessageID, 0);
        ASSERT_EQ(b->NumSampleEntries, 1);
        const DB_SAMPLES_INFO& s = b->SampleEntries[0];
        EXPECT_STREQ(s.SampleID, "SPEED");
        EXPECT_STREQ(s.SourceName, "BUSA");
        EXPECT_EQ(s.Size, 16);
        EXPECT_EQ(s.WordNumber, 3);
        EXPECT_EQ(s.LocationKind, 3);
        EXPECT_EQ(s.CommandWordOrLabel, c.command) << c.name;
        EXPECT_EQ(s.DirectionOrSDI, std::strcmp(c.direction, "RT-BC") == 0 ? 1 : 0) << c.name;
        EXPECT_EQ(b->MeasRUEntries[0].FBit, 9);
        EXPECT_EQ(b->MeasRUEntries[0].LBit, 12);
        EXPECT_EQ(b->SampleCapacity, 1000);
        EXPECT_EQ(FreePCMFormatInfo(), 0);
    }
}

TEST_F(PcmFormatInfo, LabelledBus) {
    TmatsAttributes a = BusFile("429");
    a.Add("B-1\\MID-1-2", "12").Add("B-1\\LBL-1-2", "101").Add("B-1\\SDI-1-2", "2");
    a.Add("B-1\\MN-1-2-1", "ALT").Add("B-1\\MWN-1-2-1", "0").Add("B-1\\MBM-1-2-1", "0011");
    PcmCall r = Call(a);
    ASSERT_EQ(r.result, 0);
    const BUS_INFO* b = r.bus(0);
    ASSERT_NE(b, nullptr);
    ASSERT_NE(b->MessagesLabelled, nullptr);
    EXPECT_EQ(b->Messages1553, nullptr);
    EXPECT_EQ(b->MessagesLabelled[1].MessageID, 12);
    EXPECT_EQ(b->MessagesLabelled[1].Label, 5);
    EXPECT_EQ(b->MessagesLabelled[1].SDI, 2);
    const DB_SAMPLES_INFO& s = b->SampleEntries[0];
    EXPECT_EQ(s.Size, 32);
    EXPECT_EQ(s.LocationKind, 3);
    EXPECT_EQ(s.DirectionOrSDI, 2);
    EXPECT_EQ(s.CommandWordOrLabel, 5);
    EXPECT_EQ(b->MeasRUEntries[0].LBit, 24);  // no mask on a labelled bus
    EXPECT_EQ(b->MeasRUEntries[0].FBit, 1);
}

TEST_F(PcmFormatInfo, RecorderLinks) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> channels;
        int16_t formatChannel;
        int16_t busChannel;
    };
    const Case cases[] = {
        {"enabled links", {{"R-1\\TK1-1", "7"}, {"R-1\\CHE-1", "T"}, {"R-1\\PDLN-1", "FMT1"},
                           {"R-1\\TK1-2", "9"}, {"R-1\\CHE-2", "T"}, {"R-1\\BDLN-2", "BUSLINK"}}, 7, 9},
        {"disabled", {{"R-1\\TK1-1", "7"}, {"R-1\\CHE-1", "F"}, {"R-1\\PDLN-1", "FMT1"}}, 0, 0},
        {"no TK1 inherits nothing", {{"R-1\\TK1-1", "7"}, {"R-1\\CHE-1", "T"}, {"R-1\\CHE-2", "T"},
                                     {"R-1\\PDLN-2", "FMT1"}}, 0, 0},
        {"other name", {{"R-1\\TK1-1", "7"}, {"R-1\\CHE-1", "T"}, {"R-1\\PDLN-1", "FMT2"}}, 0, 0},
    };
    for (const Case& c : cases) {
        TmatsAttributes a = BaseFormat();
        const TmatsAttributes bus = BusFile("1553");
        for (const auto& [k, v] : bus.Items())
            if (k[0] == 'B') a.Add(k, v);
        for (const auto& [k, v] : c.channels) a.Add(k, v);
        PcmCall r = Call(a);
        ASSERT_EQ(r.result, 1) << c.name;
        EXPECT_EQ(r.formats[0].ChannelID, c.formatChannel) << c.name;
        EXPECT_EQ(r.bus(0)->ChannelID, c.busChannel) << c.name;
        EXPECT_EQ(FreePCMFormatInfo(), 0);
    }
}

// One measurand M1 located at word 5 of format 1 and the given C attributes.
class PcmConversions : public PcmTest {
protected:
    PcmCall Run(const std::vector<std::pair<std::string, std::string>>& c) {
        TmatsAttributes a = BaseFormat();
        a.Remove("C-1\\DCN");
        a.Add("D-1\\MN\\N-1", "1").Add("D-1\\MN-1-1", "M1").Add("D-1\\MF-1-1", "5");
        for (const auto& [k, v] : c) a.Add(k, v);
        return Call(a);
    }
};

TEST_F(PcmConversions, MeasurandsAndConversions) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> c;
        std::function<void(const PCM_FORMAT_INFO&)> check;
    };
    const Case cases[] = {
        {"TRD1 kinds", {{"C-1\\DCN", "M1"}, {"C-1\\TRD1", "Bus data"}, {"C-2\\DCN", "M2"}, {"C-2\\TRD1", "DIGITAL"},
                        {"C-3\\DCN", "M3"}, {"C-3\\TRD1", "analog"}},
         [](const PCM_FORMAT_INFO& f) {
             ASSERT_EQ(f.NumMeasurandEntries, 3);
             EXPECT_EQ(f.MeasurandEntries[0].Type, 1);
             EXPECT_EQ(f.MeasurandEntries[1].Type, 3);
             EXPECT_EQ(f.MeasurandEntries[2].Type, 2);
         }},
        {"BFM SIM", {{"C-1\\DCN", "M1"}, {"C-1\\BFM", "sim"}}, [](const PCM_FORMAT_INFO& f) {
             EXPECT_EQ(f.MeasRUEntries[0].DataType, 10);
             EXPECT_EQ(f.MeasurandEntries[0].FormatClass, 1);
         }},
        {"BFM BCD", {{"C-1\\DCN", "M1"}, {"C-1\\BFM", "BCD"}}, [](const PCM_FORMAT_INFO& f) {
             EXPECT_EQ(f.MeasRUEntries[0].DataType, 3);
             EXPECT_EQ(f.MeasurandEntries[0].FormatClass, 0);
         }},
        {"BFM FPT", {{"C-1\\DCN", "M1"}, {"C-1\\BFM", "FPT"}}, [](const PCM_FORMAT_INFO& f) {
             EXPECT_EQ(f.MeasRUEntries[0].DataType, 5);
             EXPECT_EQ(f.MeasurandEntries[0].FormatClass, 5);
         }},
        {"BFM no match", {{"C-1\\DCN", "M9"}, {"C-1\\BFM", "TWO"}}, [](const PCM_FORMAT_INFO& f) {
             EXPECT_EQ(f.MeasRUEntries[0].DataType, 0);
             EXPECT_EQ(f.MeasurandEntries[0].FormatClass, 0);
         }},
        {"CRT", {{"C-1\\DCN", "M1"}, {"C-1\\CRT", "3-7-2009-14-5-9"}, {"C-1\\DCT", "COE"}},
         [](const PCM_FORMAT_INFO& f) {
             EXPECT_STREQ(f.EUCMHistoryEntries[0].EffDateTime, "2009/03/07 14:05:09");
             EXPECT_STREQ(f.EUCMHistoryEntries[0].EUCMID, "M1");
         }},
        {"CRT partly filled", {{"C-1\\DCN", "M1"}, {"C-1\\CRT", "12-31"}}, [](const PCM_FORMAT_INFO& f) {
             EXPECT_STREQ(f.EUCMHistoryEntries[0].EffDateTime, "0000/12/31 00:00:00");
         }},
        {"CRT negative fields are cut", {{"C-1\\DCN", "M1"}, {"C-1\\CRT", "-9999--99--99--99--99--99"}},
         [](const PCM_FORMAT_INFO& f) {
             EXPECT_EQ(std::strlen(f.EUCMHistoryEntries[0].EffDateTime), 20u);
             EXPECT_STREQ(f.EUCMHistoryEntries[0].EUCMID, "");
         }},
        {"polynomial", {{"C-1\\DCN", "M1"}, {"C-1\\DCT", "coe"}, {"C-1\\CO\\N", "2"}, {"C-1\\CO", "0.5"},
                        {"C-1\\CO-1", "2"}, {"C-1\\CO-2", "-3"}},
         [](const PCM_FORMAT_INFO& f) {
             const POLYNOMIAL_INFO& p = f.PolynomialEntries[0];
             EXPECT_STREQ(p.EUCMID, "M1");
             EXPECT_EQ(p.Count, 3);
             EXPECT_EQ(p.A[0], 0.5);
             EXPECT_EQ(p.A[1], 2);
             EXPECT_EQ(p.A[2], -3);
             EXPECT_EQ(f.EUCMEntries[0].Type, 'P');
         }},
        {"DCT kinds and counts", {{"C-1\\DCN", "A"}, {"C-1\\DCT", "PRS"}, {"C-1\\PS\\N", "2"}, {"C-1\\PS3-1", "1"},
                                  {"C-1\\PS4-1", "10"}, {"C-1\\PS3-2", "2"}, {"C-1\\PS4-2", "20"},
                                  {"C-2\\DCN", "B"}, {"C-2\\DCT", "DIS"}, {"C-2\\DIC\\N", "2"}, {"C-2\\DICC-1", "0"},
                                  {"C-2\\DICP-1", "OFF"}, {"C-2\\DICC-2", "1"}, {"C-2\\DICP-2", "ON"},
                                  {"C-3\\DCN", "C"}, {"C-3\\DCT", "DER"}, {"C-4\\DCN", "D"}, {"C-4\\DCT", "NON"}},
         [](const PCM_FORMAT_INFO& f) {
             EXPECT_EQ(f.NumMeasurandEntries, 4);
             EXPECT_EQ(f.NumEUCMEntries, 4);
             EXPECT_EQ(f.NumPairSetEntries, 1);
             EXPECT_EQ(f.NumPairEntries, 4);  // both bases move by either kind's count
             EXPECT_EQ(f.NumDiscreteEntries, 4);
             EXPECT_EQ(f.EUCMEntries[0].Type, 'I');
             EXPECT_EQ(f.EUCMEntries[1].Type, 'T');
             EXPECT_EQ(f.EUCMEntries[2].Type, 'R');  // the EUCM position stays: D's entry replaces C's
             EXPECT_STREQ(f.EUCMEntries[2].EUCMID, "D");
             EXPECT_EQ(f.MeasurandEntries[2].Type, 6);
             EXPECT_STREQ(f.PairSetEntries[0].MeasurandName, "A");
             EXPECT_EQ(f.PairSetEntries[0].Kind, 'P');
             EXPECT_EQ(f.PairEntries[1].PairNumber, 2);
             EXPECT_EQ(f.PairEntries[1].EngineeringValue, 20);
             EXPECT_STREQ(f.DiscreteEntries[2].MeasurandName, "B");
             EXPECT_STREQ(f.DiscreteEntries[3].ParameterText, "ON");
             EXPECT_EQ(f.DiscreteEntries[3].Count, 1);
             EXPECT_EQ(f.DiscreteEntries[3].Kind, 7);
         }},
        {"raw measurand's place is used again", {{"C-1\\DCN", "R"}, {"C-1\\MN1", "raw one"}, {"C-1\\COM", "RAW"},
                                                  {"C-2\\MN1", "next"}, {"C-3\\DCN", "S"}, {"C-3\\COM", "raw"}},
         [](const PCM_FORMAT_INFO& f) {
             ASSERT_EQ(f.NumMeasurandEntries, 2);
             EXPECT_STREQ(f.MeasurandEntries[0].MeasID, "");
             EXPECT_STREQ(f.MeasurandEntries[0].Description, "next");
             EXPECT_STREQ(f.MeasurandEntries[1].MeasID, "S");
         }},
        {"names and limits", {{"C-1\\DCN", "M1"}, {"C-1\\MN1", "Speed"}, {"C-1\\MN3", "KTS"}, {"C-1\\MOT1", "500.5"},
                              {"C-1\\MOT2", "-1e2"}},
         [](const PCM_FORMAT_INFO& f) {
             EXPECT_STREQ(f.MeasurandEntries[0].Description, "Speed");
             EXPECT_STREQ(f.MeasurandEntries[0].EUName, "KTS");
             EXPECT_EQ(f.MeasurandEntries[0].EUHighValue, 500.5);
             EXPECT_EQ(f.MeasurandEntries[0].EULowValue, -100);
         }},
    };
    for (const Case& c : cases) {
        PcmCall r = Run(c.c);
        ASSERT_EQ(r.result, 1) << c.name;
        c.check(r.formats[0]);
        EXPECT_EQ(FreePCMFormatInfo(), 0);
    }
}

class PcmResults : public PcmTest {};

TEST_F(PcmResults, FailuresAndTheirTexts) {
    std::string noG = WriteText("nog.tmt", "G\\PN:x\r\nP-1\\DLN:A;\r\n" + std::string(600, '\n'));
    std::string onlyG = Write("onlyg.tmt", {{"G\\PN", "x"}, {"P-1\\DLN", "A"}, {"C-1\\DCN", "M"}});
    std::string noFile = dir_.File("absent.tmt");
    std::string longPath = "/" + std::string(5000, 'p');
    struct Case {
        const char* name;
        const char* path;
        std::string error;
    };
    const Case cases[] = {
        {"no G", noG.c_str(),
         "GetPCMFormatInfo: Specified TMATS File " + noG + " does not contain G Attribute Groups."},
        {"P without D", onlyG.c_str(),
         "GetPCMFormatInfo: Specified TMATS File " + onlyG + " does not contain P, D, or B Attribute Groups."},
        {"unreadable", noFile.c_str(), "GetPCMFormatInfo: Error reading TMATS file " + noFile + "."},
        {"NULL path", nullptr, "GetPCMFormatInfo: Error reading TMATS file ."},
        {"5,000-character path", longPath.c_str(),
         ("GetPCMFormatInfo: Error reading TMATS file " + longPath).substr(0, 511)},
    };
    for (const Case& c : cases) {
        PCM_FORMAT_INFO* out = reinterpret_cast<PCM_FORMAT_INFO*>(this);
        EXPECT_EQ(GetPCMFormatInfo(c.path, &out), -1) << c.name;
        EXPECT_EQ(std::string(GetErrMsg()), c.error) << c.name;
        EXPECT_EQ(out, reinterpret_cast<PCM_FORMAT_INFO*>(this)) << c.name;  // written only on success
        EXPECT_EQ(FreePCMFormatInfo(), 0);
    }
}

TEST_F(PcmResults, NullOutPointerReadsNothing) {
    std::string path = Write("a.tmt", BaseFormat());
    EXPECT_EQ(GetPCMFormatInfo(path.c_str(), nullptr), -1);
    EXPECT_EQ(tessin::State().services.textLength, 0);
    EXPECT_STREQ(GetErrMsg(), "");
}

TEST_F(PcmResults, WithoutConversionsTheCallFails) {
    TmatsAttributes a = BaseFormat();
    a.Remove("C-1\\DCN");
    PcmCall r = Call(a);
    EXPECT_EQ(r.result, -1);
    EXPECT_EQ(r.error, "");
    ASSERT_NE(r.owner(), nullptr);
    EXPECT_EQ(r.owner()->formats.size(), 1u);  // records were built
    EXPECT_EQ(FreePCMFormatInfo(), 0);
    EXPECT_EQ(r.owner(), nullptr);
}

TEST_F(PcmResults, TwoFormatsAndABusShareTablesAndFreeOnce) {
    TmatsAttributes a = BaseFormat();
    a.Add("P-2\\DLN", "FMT2").Add("P-2\\F1", "8");
    const TmatsAttributes bus = BusFile("1553");
    for (const auto& [k, v] : bus.Items())
        if (k[0] == 'B') a.Add(k, v);
    PcmCall r = Call(a);
    ASSERT_EQ(r.result, 2);
    ASSERT_NE(r.bus(0), nullptr);
    EXPECT_EQ(r.formats[0].MeasurandEntries, r.formats[1].MeasurandEntries);
    EXPECT_EQ(r.formats[0].MeasurandEntries, r.bus(0)->MeasurandEntries);
    EXPECT_EQ(r.formats[1].NumMeasurandEntries, 1);
    EXPECT_EQ(r.bus(0)->NumMeasurandEntries, 1);
    EXPECT_EQ(FreePCMFormatInfo(), 0);
    EXPECT_EQ(r.owner(), nullptr);
    EXPECT_EQ(FreePCMFormatInfo(), 0);
}

TEST_F(PcmResults, GuardCheck) {
    TmatsAttributes a = BaseFormat();
    a.Add("P-2\\DLN", "FMT2");
    PcmCall r = Call(a);
    ASSERT_EQ(r.result, 2);
    r.formats[1].FirstGuard = 0;
    r.formats[1].LastGuard = 0;
    EXPECT_EQ(FreePCMFormatInfo(), -1);
    EXPECT_STREQ(GetErrMsg(), "FreePCMFormatInfo: Invalid PCM Format Info pointer.");
    EXPECT_STREQ(r.formats[0].FormatID, "FMT1");  // nothing released
    EXPECT_EQ(r.formats[0].NumMainframeEntries, 64);
    r.formats[1].LastGuard = 0xBBBB;  // one guard intact passes
    r.formats[0].Reserved2 = std::malloc(16);  // a caller's pointer goes to free
    EXPECT_EQ(FreePCMFormatInfo(), 0);
    EXPECT_STREQ(GetErrMsg(), "");
    EXPECT_EQ(r.owner(), nullptr);
}

TEST_F(PcmResults, RepeatedCalls) {
    TmatsAttributes good = BaseFormat();
    TmatsAttributes bad = BaseFormat();
    bad.Replace("P-1\\TF", "1553");
    EXPECT_EQ(Call(bad).result, -1);
    PcmCall first = Call(good);  // the failed call's arrays go first
    ASSERT_EQ(first.result, 1);
    PcmCall second = Call(good);  // the first result stays the caller's
    ASSERT_EQ(second.result, 1);
    EXPECT_NE(first.formats, second.formats);
    EXPECT_STREQ(first.formats[0].FormatID, "FMT1");
    EXPECT_EQ(tessin::State().services.superseded.size(), 1u);
    EXPECT_EQ(FreePCMFormatInfo(), 0);
    EXPECT_STREQ(first.formats[0].DataLinkName, "FMT1");
}

}  // namespace
