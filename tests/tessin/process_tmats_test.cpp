// ProcessTMATS: the linked measurand tables, the channel configuration
// file and what each call leaves behind.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <clocale>
#include <cstring>
#include <string>
#include <vector>

#include "measurand_tables.h"
#include "tests/tessin/services_test_support.h"
#include "tessin.h"

namespace {

using namespace servicestest;
using ch10fix::TmatsAttributes;

void Chan(TmatsAttributes& t, int n, int id, const std::string& linkKey, const std::string& link) {
    std::string s = std::to_string(n);
    t.Add("R-1\\TK1-" + s, std::to_string(id)).Add("R-1\\CHE-" + s, "T").Add("R-1\\" + linkKey + "-" + s, link);
}

void LabelledBus(TmatsAttributes& t, int b, const std::string& name, const std::string& measurand) {
    std::string g = "B-" + std::to_string(b) + "\\";
    t.Add(g + "DLN", "LINK" + std::to_string(b)).Add(g + "NBS\\N", "1").Add(g + "BNA-1", name).Add(g + "BT-1", "429");
    t.Add(g + "NMS\\N-1", "1").Add(g + "MID-1-1", "21").Add(g + "LBL-1-1", "11000011").Add(g + "SDI-1-1", "2");
    t.Add(g + "MN-1-1-1", measurand).Add(g + "MWN-1-1-1", "1");
}

// One format on channel 4, a 1553 bus on 7, labelled buses on 5, 5 and 6.
TmatsAttributes ConfigSource() {
    TmatsAttributes t{{"G\\PN", "PRG"}, {"G\\106", "07"}, {"R-1\\N", "5"}};
    Chan(t, 1, 4, "PDLN", "FMT,3,U");
    Chan(t, 2, 7, "BDLN", "LINK1");
    Chan(t, 3, 5, "BDLN", "LINK2");
    Chan(t, 4, 5, "BDLN", "LINK3");
    Chan(t, 5, 6, "BDLN", "LINK4");
    t.Add("P-1\\DLN", "FMT,3,U").Add("P-1\\D2", "1000000").Add("P-1\\F1", "16").Add("P-1\\MF\\N", "1");
    t.Add("P-1\\MF1", "4").Add("P-1\\MF2", "64").Add("P-1\\MF4", "16").Add("P-1\\MF5", "1110101110010000");
    t.Add("D-1\\DLN", "FMT,3,U").Add("D-1\\MN\\N-1", "1").Add("D-1\\MN-1-1", "SPEED").Add("D-1\\MF-1-1", "2");
    t.Add("D-1\\MFM-1-1", "FW");
    t.Add("B-1\\DLN", "LINK1").Add("B-1\\NBS\\N", "1").Add("B-1\\BNA-1", "MUXA").Add("B-1\\BT-1", "1553");
    t.Add("B-1\\NMS\\N-1", "1").Add("B-1\\MID-1-1", "11").Add("B-1\\TRA-1-1", "00101").Add("B-1\\STA-1-1", "00011");
    t.Add("B-1\\TRM-1-1", "1").Add("B-1\\DWC-1-1", "4").Add("B-1\\MN-1-1-1", "VOLTS").Add("B-1\\MWN-1-1-1", "2");
    LabelledBus(t, 2, "A5A", "H5A");
    LabelledBus(t, 3, "A5B", "H5B");
    LabelledBus(t, 4, "A6", "H6");
    int c = 0;
    for (const char* m : {"SPEED", "VOLTS", "H5A", "H5B", "H6"}) t.Add("C-" + std::to_string(++c) + "\\DCN", m);
    return t;
}

struct Outs {
    DB_MEAS_LIST_ENTRY* list = reinterpret_cast<DB_MEAS_LIST_ENTRY*>(1);
    int listCount = -7;
    DB_TDEF_SAMPLE* samples = reinterpret_cast<DB_TDEF_SAMPLE*>(1);
    int sampleCount = -7;
    DB_TDEF_MEASRU* measru = reinterpret_cast<DB_TDEF_MEASRU*>(1);
    int measruCount = -7;
    DB_TDEF_MEAS* meas = reinterpret_cast<DB_TDEF_MEAS*>(1);
    int measCount = -7;
    PCM_FORMAT_INFO* formats = reinterpret_cast<PCM_FORMAT_INFO*>(1);
    int formatCount = -7;
    BUS_INFO* buses = reinterpret_cast<BUS_INFO*>(1);
    int busCount = -7;
    uint64_t Call(const std::string& path) {
        return ProcessTMATS(path.c_str(), &list, &listCount, &samples, &sampleCount, &measru, &measruCount, &meas,
                            &measCount, &formats, &formatCount, &buses, &busCount);
    }
    bool Untouched() const {
        return listCount == -7 && sampleCount == -7 && measruCount == -7 && measCount == -7 && formatCount == -7 &&
               busCount == -7 && list == reinterpret_cast<DB_MEAS_LIST_ENTRY*>(1) &&
               formats == reinterpret_cast<PCM_FORMAT_INFO*>(1);
    }
};

class ProcessTmats : public ServicesTest {};

TEST_F(ProcessTmats, TablesAndConfigurationFile) {
    const std::string expectedCfg = ch10fix::ReadText(std::string(TMATS_GOLDEN_DIR) + "/process.cfg");
    ::mkdir(dir_.File("d.v2").c_str(), 0755);
    struct Case {
        std::string source;
        std::string cfg;
    } cases[] = {
        {"x.tmt", "x.cfg"},
        {"x", "x.cfg"},
        {"d.v2/x", "d.v2/x.cfg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        std::string path = Write(c.source, ConfigSource());
        Outs o;
        uint64_t result = o.Call(path);
        EXPECT_EQ(result, UINT64_C(1));
        EXPECT_STREQ(GetErrMsg(), "");
        EXPECT_EQ(ch10fix::ReadText(dir_.File(c.cfg)), expectedCfg);
        ASSERT_EQ(o.formatCount, 1);
        ASSERT_EQ(o.busCount, 4);
        EXPECT_EQ(o.listCount, 5);
        EXPECT_EQ(o.measCount, 5);
        int samples = o.formats[0].NumSampleEntries, locations = o.formats[0].NumMeasRUEntries;
        for (int b = 0; b < o.busCount; ++b) {
            samples += o.buses[b].NumSampleEntries;
            locations += o.buses[b].NumMeasRUEntries;
        }
        EXPECT_EQ(o.sampleCount, samples);
        EXPECT_EQ(o.measruCount, locations);
        std::vector<int> positions;
        for (int b = 1; b < o.busCount; ++b) positions.push_back(o.buses[b].ChannelPosition);
        EXPECT_EQ(positions, (std::vector<int>{0, 1, 0}));
        for (int m = 0; m < o.measCount; ++m) {
            SCOPED_TRACE(o.meas[m].Name);
            ASSERT_NE(o.meas[m].FirstMeasRU, nullptr);
            EXPECT_EQ(o.meas[m].FirstMeasRU->Meas, &o.meas[m]);
            EXPECT_EQ(o.list[m].FirstMeasRU, o.meas[m].FirstMeasRU);
            EXPECT_EQ(o.meas[m].Join->FragmentCount, 1);
        }
    }
    EXPECT_EQ(FreePCMFormatInfo(), 0);
}

TEST_F(ProcessTmats, UnwritableDirectoryStillSucceeds) {
    std::string dirPath = dir_.File("ro");
    ::mkdir(dirPath.c_str(), 0755);
    std::string path = Write("ro/x.tmt", ConfigSource());
    ::chmod(dirPath.c_str(), 0555);
    Outs o;
    EXPECT_EQ(o.Call(path), UINT64_C(1));
    ::chmod(dirPath.c_str(), 0755);
    EXPECT_EQ(o.busCount, 4);
    EXPECT_EQ(o.buses[2].ChannelPosition, 1);
}

TEST_F(ProcessTmats, Failures) {
    // D and B groups that list no measurement.
    TmatsAttributes empty = ConfigSource();
    for (const char* key : {"D-1\\MN\\N-1", "D-1\\MN-1-1", "B-1\\MN-1-1-1", "B-2\\MN-1-1-1", "B-3\\MN-1-1-1",
                            "B-4\\MN-1-1-1"})
        empty.Remove(key);
    std::string noMeasurements = Write("none.tmt", empty);
    Outs o;
    EXPECT_EQ(o.Call(noMeasurements), UINT64_C(0xFFFFFFFF));
    EXPECT_STREQ(GetErrMsg(), "ProcessTMATS: No Measurand Entries in TMATS file.");
    EXPECT_TRUE(o.Untouched());

    Outs missing;
    std::string nowhere = dir_.File("nowhere.tmt");
    EXPECT_EQ(missing.Call(nowhere), UINT64_C(0xFFFFFFFF));
    EXPECT_EQ(std::string(GetErrMsg()), "GetPCMFormatInfo: Error reading TMATS file " + nowhere + ".");
    EXPECT_TRUE(missing.Untouched());

    // NULL out-parameters are passed over.
    std::string good = Write("good.tmt", ConfigSource());
    EXPECT_EQ(ProcessTMATS(good.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                           nullptr, nullptr, nullptr, nullptr),
              UINT64_C(1));
    EXPECT_EQ(ProcessTMATS(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                           nullptr, nullptr, nullptr, nullptr),
              UINT64_C(0xFFFFFFFF));
}

// Repeated calls, interleaved with the lists, release their tables.
TEST_F(ProcessTmats, RepeatedCallsAndListsReleaseEverything) {
    auto& records = tessin::State().tmats.records.Get();
    std::size_t before = records.size();
    std::string path = Write("x.tmt", ConfigSource());
    char buf[2048];
    EXPECT_GE(GetParametersFromTMATS(path.c_str(), buf, sizeof buf), 0);
    for (int i = 0; i < 3; ++i) {
        Outs o;
        EXPECT_EQ(o.Call(path), UINT64_C(1));
    }
    EXPECT_GT(GetTMATSConfigInfo(path.c_str(), buf, sizeof buf), 0);
    tessin::free_tmats_buffer();
    tessin::free_tmats_buffer();
    EXPECT_EQ(records.size(), before);
}

// The table step over hand-built records.
struct Records {
    std::vector<MEASURAND_INFO> measurands;
    std::vector<EUCM_HISTORY_INFO> history;
    std::vector<EUCM_INFO> eucm;
    std::vector<POLYNOMIAL_INFO> polynomials;
    std::vector<PAIR_SET_INFO> pairSets;
    std::vector<PAIR_INFO> pairs;
    std::vector<DB_SAMPLES_INFO> samples;
    std::vector<DB_MEASRU_INFO> measru;
    PCM_FORMAT_INFO format{};

    void Measurand(const char* name) {
        MEASURAND_INFO m{};
        std::strcpy(m.MeasID, name);
        measurands.push_back(m);
    }
    void Location(const char* name, char kind, const char* elem, int16_t dataType = 0) {
        DB_MEASRU_INFO r{};
        std::strcpy(r.MeasID, name);
        r.Kind = kind;
        std::strncpy(r.ElemID, elem, sizeof r.ElemID - 1);
        r.DataType = dataType;
        r.FBit = 1;
        r.LBit = 16;
        measru.push_back(r);
    }
    void Sample(const char* name) {
        DB_SAMPLES_INFO s{};
        std::strcpy(s.SampleID, name);
        s.Size = 16;
        samples.push_back(s);
    }
    void Conversion(const char* meas, const char* id, char type) {
        EUCM_HISTORY_INFO h{};
        std::strcpy(h.MeasID, meas);
        std::strcpy(h.EUCMID, id);
        history.push_back(h);
        EUCM_INFO e{};
        std::strcpy(e.EUCMID, id);
        e.Type = type;
        eucm.push_back(e);
    }
    std::string Build(tessin::MeasurandTables& t) {
        format.MeasurandEntries = measurands.data();
        format.NumMeasurandEntries = static_cast<int16_t>(measurands.size());
        format.EUCMHistoryEntries = history.data();
        format.NumEUCMHistoryEntries = static_cast<int16_t>(history.size());
        format.EUCMEntries = eucm.data();
        format.NumEUCMEntries = static_cast<int16_t>(eucm.size());
        format.PolynomialEntries = polynomials.data();
        format.NumPolynomialEntries = static_cast<int16_t>(polynomials.size());
        format.PairSetEntries = pairSets.data();
        format.NumPairSetEntries = static_cast<int16_t>(pairSets.size());
        format.PairEntries = pairs.data();
        format.NumPairEntries = static_cast<int16_t>(pairs.size());
        format.SampleEntries = samples.data();
        format.NumSampleEntries = static_cast<uint16_t>(samples.size());
        format.MeasRUEntries = measru.data();
        format.NumMeasRUEntries = static_cast<uint16_t>(measru.size());
        return tessin::BuildMeasurandTables(&format, 1, nullptr, 0, t);
    }
};

const DB_TDEF_MEAS& MeasNamed(const tessin::MeasurandTables& t, const char* name) {
    for (const DB_TDEF_MEAS& m : t.meas)
        if (std::strcmp(m.Name, name) == 0) return m;
    ADD_FAILURE() << "no " << name;
    return t.meas.front();
}

TEST(MeasurandTableStep, LinksJoinsAndFragments) {
    Records r;
    for (const char* m : {"A", "B", "C", "ONE", "NONE", "LONG"}) r.Measurand(m);
    r.Sample("SMP");
    r.Location("A", 'S', "SMP", 3);
    r.Location("A", 'M', "B");
    r.Location("A", 'C', "2.5");
    r.Location("ONE", 'M', "C");
    r.Location("B", 'S', "SMP");
    for (int i = 0; i < 16; ++i) r.Location("LONG", 'M', ("ELEMENT_NAME_" + std::to_string(10 + i)).c_str());
    r.Location("A", 'S', "SMP");  // a second run of A, not adjacent

    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    std::string saved = previous ? previous : "C";
    bool comma = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    tessin::MeasurandTables t;
    std::string failure = r.Build(t);
    std::setlocale(LC_NUMERIC, saved.c_str());
    ASSERT_EQ(failure, "");

    // Links and flags.
    ASSERT_EQ(t.measru.size(), 22u);
    EXPECT_EQ(t.measru[0].ElemSample, &t.samples[0]);
    EXPECT_EQ(t.measru[1].ElemMeas, &MeasNamed(t, "B"));
    EXPECT_EQ(t.measru[0].Next, &t.measru[1]);
    EXPECT_EQ(t.measru[2].Next, nullptr);
    EXPECT_EQ(t.measru[2].LastOfMeasurand, 1);
    EXPECT_EQ(t.measru[1].LastOfMeasurand, 0);
    EXPECT_EQ(t.measru[21].LastOfMeasurand, 1);
    EXPECT_EQ(t.measru[21].Meas, &MeasNamed(t, "A"));
    EXPECT_EQ(t.samples[0].FirstMeasRU, nullptr);  // no location is named SMP
    EXPECT_EQ(MeasNamed(t, "A").FirstMeasRU, &t.measru[0]);

    struct Case {
        const char* name;
        std::string text;
        int fragments;
    } cases[] = {
        {"A", "concat(SMP, B, 2.5)", 3},
        {"ONE", "C", 1},
        {"NONE", "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DB_TDEF_MEAS& m = MeasNamed(t, c.name);
        ASSERT_NE(m.Join, nullptr);
        ASSERT_NE(m.Join->Text, nullptr);
        EXPECT_EQ(std::string(m.Join->Text), c.text);
        EXPECT_EQ(m.Join->TextLength, static_cast<int>(c.text.size()));
        EXPECT_EQ(m.Join->FragmentCount, c.fragments);
    }
    const DB_TDEF_FRAGMENT* f = MeasNamed(t, "A").Join->Fragments;
    EXPECT_EQ(f[0].Kind, 'S');
    EXPECT_EQ(f[0].DataType, 3);
    EXPECT_STREQ(f[0].Value.ElemID, "SMP");
    EXPECT_STREQ(f[1].Value.ElemID, "B");
    EXPECT_EQ(f[2].Value.Constant, 2.5) << (comma ? "under a comma-decimal locale" : "");

    // 16 ids of 15 characters: the text stops at 255 without ")".
    const DB_TDEF_MEAS& longest = MeasNamed(t, "LONG");
    EXPECT_EQ(longest.Join->TextLength, 255);
    EXPECT_EQ(std::string(longest.Join->Text).substr(0, 22), "concat(ELEMENT_NAME_10");
    EXPECT_NE(std::string(longest.Join->Text).back(), ')');
    EXPECT_EQ(longest.Join->FragmentCount, 16);
}

TEST(MeasurandTableStep, ConversionsAndPairSets) {
    Records r;
    for (const char* m : {"POLY", "BIG", "PAIRS", "RAW"}) r.Measurand(m);
    r.Sample("S");
    r.Location("POLY", 'S', "S");
    r.Conversion("POLY", "E1", 'P');
    r.Conversion("BIG", "E2", 'P');
    r.Conversion("PAIRS", "E3", 'I');
    POLYNOMIAL_INFO p{};
    std::strcpy(p.EUCMID, "E1");
    p.Count = 3;
    p.A[0] = 1.5;
    p.A[1] = 0.25;
    p.A[2] = -2;
    r.polynomials.push_back(p);
    std::strcpy(p.EUCMID, "E2");
    p.Count = 11;
    r.polynomials.push_back(p);
    for (const char* set : {"E3", "E0"}) {
        PAIR_SET_INFO s{};
        std::strcpy(s.MeasurandName, set);
        r.pairSets.push_back(s);
    }
    // Orphan details before, between and after the headers.
    for (auto [name, number] : std::vector<std::pair<const char*, int>>{
             {"E3", 2}, {"A", 1}, {"E1", 1}, {"E3", 1}, {"Z", 1}, {"E0", 1}}) {
        PAIR_INFO d{};
        std::strcpy(d.MeasurandName, name);
        d.PairNumber = static_cast<int16_t>(number);
        d.EngineeringValue = number * 10.0;
        r.pairs.push_back(d);
    }
    tessin::MeasurandTables t;
    ASSERT_EQ(r.Build(t), "");

    const DB_TDEF_MEAS& poly = MeasNamed(t, "POLY");
    EXPECT_EQ(poly.ConversionType, 'P');
    EXPECT_EQ(poly.ConversionClass, 5);
    EXPECT_EQ(poly.CoefficientCount, 3);
    EXPECT_EQ(poly.Coefficients[1], 0.25);
    EXPECT_STREQ(poly.EUCMID, "E1");
    EXPECT_EQ(MeasNamed(t, "BIG").CoefficientCount, 0);
    const DB_TDEF_MEAS& raw = MeasNamed(t, "RAW");
    EXPECT_EQ(raw.ConversionType, 'R');
    EXPECT_EQ(raw.ConversionClass, 0);
    EXPECT_EQ(t.list[3].Class, 'D');
    EXPECT_EQ(t.list[0].Class, 'G');

    const DB_TDEF_MEAS& pairs = MeasNamed(t, "PAIRS");
    EXPECT_EQ(pairs.ConversionType, 'I');
    ASSERT_NE(pairs.PairSet, nullptr);
    EXPECT_STREQ(pairs.PairSet->Name, "E3");
    ASSERT_EQ(pairs.PairSet->Count, 2);
    const tessin::PairDetail& first = t.pairs[static_cast<std::size_t>(pairs.PairSet->FirstDetail)];
    EXPECT_STREQ(first.Name, "E3");
    EXPECT_EQ(first.PairNumber, 1);
    EXPECT_EQ(t.pairs[static_cast<std::size_t>(pairs.PairSet->FirstDetail) + 1].PairNumber, 2);
    ASSERT_EQ(t.pairSets.size(), 2u);
    EXPECT_STREQ(t.pairSets[0].Name, "E0");
    EXPECT_EQ(t.pairSets[0].Count, 1);
}

TEST(MeasurandTableStep, NothingToBuild) {
    struct Case {
        const char* name;
        bool measurand, sample, location;
    } cases[] = {
        {"no measurand", false, true, true},
        {"no sample", true, false, true},
        {"no location", true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Records r;
        if (c.measurand) r.Measurand("A");
        if (c.sample) r.Sample("S");
        if (c.location) r.Location("A", 'S', "S");
        tessin::MeasurandTables t;
        EXPECT_EQ(r.Build(t), "ProcessTMATS: No Measurand Entries in TMATS file.");
    }
}

}  // namespace
