// WriteTMATS: the TMATS text and input dump of hand-built format records,
// the word masks, and what the writer refuses.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "tests/tessin/services_test_support.h"
#include "tessin.h"
#include "tmats_writer.h"

namespace {

using namespace servicestest;

template <std::size_t N>
void Set(char (&field)[N], const char* text) {
    std::size_t n = std::min(std::strlen(text), N - 1);
    std::memcpy(field, text, n);
    field[n] = '\0';
}

// Two formats: the first with an MFW override, a down-counting ID counter,
// a subcom carrying two samples, a main-frame sample, a composite and one
// that cannot be located, and the measurand tables; the second plain.
struct WriterRecords {
    PCM_FORMAT_INFO formats[2]{};
    uint16_t lengths1[4] = {16, 8, 16, 16};
    uint16_t lengths2[2] = {8, 8};
    IDCounterInfo counter{};
    MAINFRAME_INFO mainframe1[4]{};
    MAINFRAME_INFO mainframe2[1]{};
    SUBCOM_DETAIL_INFO details[4]{};
    SUBCOM_INFO subcom{};
    DB_SAMPLES_INFO samples1[5]{};
    DB_SAMPLES_INFO samples2[1]{};
    DB_MEASRU_INFO measru1[6]{};
    DB_MEASRU_INFO measru2[1]{};
    MEASURAND_INFO measurands[5]{};
    EUCM_HISTORY_INFO history[3]{};
    EUCM_INFO eucm[3]{};
    POLYNOMIAL_INFO polynomials[2]{};

    WriterRecords() {
        PCM_FORMAT_INFO& f = formats[0];
        Set(f.FormatID, "F1"), Set(f.FormatVersion, "2"), Set(f.FormatUnitID, "U1"), Set(f.FormatType, "CLASS1");
        Set(f.AircraftID, "JET"), Set(f.CreationDate, "03-01-2024"), Set(f.PCMCode, "NRZ-L");
        Set(f.TypeFormat, "ONE"), Set(f.SyncPattern, "1110101110010000"), Set(f.SyncMask, "1111111111111111");
        f.BitRate = 1000000.7, f.PolarityInverted = 1, f.WordLength = 16, f.Parity = 1, f.ParityTrailing = 1;
        f.NumFrames = 4, f.NumWords = 4, f.BitsInMinorFrame = 64, f.SyncPatternLength = 16;
        f.WordLengths = lengths1;
        counter = IDCounterInfo{2, 16, 1, 4, 3, 1, 0, 4, 1};
        f.NumIDCounters = 1, f.IDCounters = &counter;
        Mainframe(mainframe1[0], 1, "SPD", '1');
        Mainframe(mainframe1[2], 0, "SUB", '2');  // as read: a subcom word keeps Num 0
        f.NumMainframeEntries = 4, f.MainframeEntries = mainframe1;
        for (int k = 0; k < 4; ++k) details[k].Frame = static_cast<int16_t>(k + 1);
        Set(details[0].SampleID, "T1");
        Set(details[2].SampleID, "T2");
        Set(subcom.ID, "SUB");
        subcom.Loc = 3, subcom.Depth = 4, subcom.Details = details;
        f.NumSubcoms = 1, f.Subcoms = &subcom, f.NumSubcomDetails = 4, f.SubcomDetails = details;
        const char* names[] = {"SPD", "T1", "T2", "", "HIDDEN"};
        for (int k = 0; k < 5; ++k) Set(samples1[k].SampleID, names[k]), samples1[k].Size = 16;
        f.NumSampleEntries = 5, f.SampleEntries = samples1;
        Location(measru1[0], "T2", "T2", 1, 1, 16, 6);
        Location(measru1[1], "COMP", "T1", 2, 9, 16, 5);
        Location(measru1[2], "COMP", "SPD", 1, 1, 8, 5);
        Location(measru1[3], "SPD", "SPD", 1, 1, 16, 1);
        Location(measru1[4], "BAD", "NOPE", 2, 1, 16, 0);
        Location(measru1[5], "BAD", "SPD", 1, 1, 16, 0);
        f.NumMeasRUEntries = 6, f.MeasRUEntries = measru1;
        Measurand(measurands[0], "SPD", "Speed", "KT", 0, 400);
        Measurand(measurands[1], "T2", "Temp2", "", -50.5, 150.25);
        Measurand(measurands[2], "T1", "", "C", 0, 0);
        Measurand(measurands[3], "NOLOC", "No location", "", 0, 0);
        Measurand(measurands[4], "COMP", "Composite", "", 0, 0);
        f.NumMeasurandEntries = 5, f.MeasurandEntries = measurands;
        History(history[0], "SPD", "E1", "2024/03/01 10:20:30");
        History(history[1], "T2", "E2", "");
        History(history[2], "T1", "E3", "");
        f.NumEUCMHistoryEntries = 3, f.EUCMHistoryEntries = history;
        const char* ids[] = {"E1", "E2", "E3"};
        const char types[] = {'P', 'P', 'R'};
        for (int k = 0; k < 3; ++k) Set(eucm[k].EUCMID, ids[k]), eucm[k].Type = types[k];
        f.NumEUCMEntries = 3, f.EUCMEntries = eucm;
        Set(polynomials[0].EUCMID, "E1");
        polynomials[0].Count = 3, polynomials[0].A[0] = 1.5, polynomials[0].A[1] = 0.25, polynomials[0].A[2] = -2;
        Set(polynomials[1].EUCMID, "E2");
        polynomials[1].Count = 0, polynomials[1].A[0] = 7;
        f.NumPolynomialEntries = 2, f.PolynomialEntries = polynomials;

        PCM_FORMAT_INFO& g = formats[1];
        Set(g.FormatID, "F2"), Set(g.FormatVersion, "1"), Set(g.FormatUnitID, "U2"), Set(g.AircraftID, "JET2");
        Set(g.PCMCode, "RNRZ-L"), Set(g.SyncPattern, "10101010");
        g.BitRate = 500000, g.WordLength = 8, g.LsbFirst = 1, g.NumFrames = 1, g.NumWords = 2;
        g.BitsInMinorFrame = 16, g.SyncPatternLength = 8, g.WordLengths = lengths2;
        Mainframe(mainframe2[0], 1, "ALT", '1');
        g.NumMainframeEntries = 1, g.MainframeEntries = mainframe2;
        Set(samples2[0].SampleID, "ALT"), samples2[0].Size = 8;
        g.NumSampleEntries = 1, g.SampleEntries = samples2;
        Location(measru2[0], "ALT", "ALT", 1, 1, 8, 0);
        g.NumMeasRUEntries = 1, g.MeasRUEntries = measru2;
    }
    static void Mainframe(MAINFRAME_INFO& m, int num, const char* id, char type) {
        m.Num = static_cast<int16_t>(num), m.Type = type;
        Set(m.ID, id);
    }
    static void Location(DB_MEASRU_INFO& r, const char* meas, const char* elem, int num, int f, int l, int type) {
        Set(r.MeasID, meas), Set(r.ElemID, elem);
        r.ElemNum = static_cast<int16_t>(num), r.FBit = static_cast<int16_t>(f), r.LBit = static_cast<int16_t>(l);
        r.DataType = static_cast<int16_t>(type);
    }
    static void Measurand(MEASURAND_INFO& m, const char* id, const char* text, const char* units, double lo,
                          double hi) {
        Set(m.MeasID, id), Set(m.Description, text), Set(m.EUName, units);
        m.EULowValue = lo, m.EUHighValue = hi;
    }
    static void History(EUCM_HISTORY_INFO& h, const char* meas, const char* id, const char* when) {
        Set(h.MeasID, meas), Set(h.EUCMID, id), Set(h.EffDateTime, when);
    }
};

std::tm Clock(int hour, int minute, int second) {
    std::tm t{};
    t.tm_year = 2024 - 1900, t.tm_mon = 2, t.tm_mday = 7;
    t.tm_hour = hour, t.tm_min = minute, t.tm_sec = second;
    return t;
}

bool Exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

std::string Golden(const std::string& name) { return ch10fix::ReadText(std::string(TMATS_GOLDEN_DIR) + "/" + name); }

class WriteTmats : public ServicesTest {
protected:
    std::string DumpPath() const { return dir_.File("WriteTMATSInput.log"); }
};

TEST_F(WriteTmats, TextAndDumpOfHandBuiltRecords) {
    WriterRecords r;
    WriterRecords untouched;
    std::string out = dir_.File("out.tmt");
    ASSERT_EQ(tessin::WriteTmatsAt(out.c_str(), r.formats, 2, Clock(12, 5, 9)), 0);
    EXPECT_STREQ(GetErrMsg(), "");
    EXPECT_EQ(ch10fix::ReadText(out), Golden("write_tmats.tmt"));
    EXPECT_EQ(ch10fix::ReadText(DumpPath()), Golden("write_tmats.dump"));
    // The caller's records are read only: word locations keep their order.
    EXPECT_EQ(std::memcmp(r.measru1, untouched.measru1, sizeof r.measru1), 0);
    EXPECT_EQ(std::memcmp(r.polynomials, untouched.polynomials, sizeof r.polynomials), 0);
}

// Changes to the records or the clock, and the lines they must give.
TEST_F(WriteTmats, Variations) {
    struct Case {
        const char* name;
        void (*change)(WriterRecords&);
        std::tm clock;
        std::vector<std::string> present;
        std::vector<std::string> absent;
    } cases[] = {
        {"midnight half past", [](WriterRecords&) {}, Clock(0, 30, 0),
         {"G\\COM:Generated by TALMOR on 03/07/2024 12:30:00 AM;"}, {}},
        {"afternoon", [](WriterRecords&) {}, Clock(13, 0, 0), {"on 03/07/2024 01:00:00 PM;"}, {}},
        {"empty creation date", [](WriterRecords& r) { r.formats[0].CreationDate[0] = '\0'; }, Clock(12, 5, 9),
         {"G\\OD:03/07/24;", "G\\UD:03/07/24;"}, {}},
        {"uniform word lengths", [](WriterRecords& r) { r.lengths1[1] = 16; }, Clock(12, 5, 9), {},
         {"MFW1", "MFW2"}},
        {"eleven coefficients", [](WriterRecords& r) { r.polynomials[0].Count = 11; }, Clock(12, 5, 9),
         {"C-1\\CO\\N:9;", "C-1\\CO-9:0;"}, {"C-1\\CO-10:"}},
        {"bit rate beyond 32 bits", [](WriterRecords& r) { r.formats[0].BitRate = 3e10; }, Clock(12, 5, 9),
         {"P-1\\D2:-2147483648;"}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriterRecords r;
        c.change(r);
        std::string out = dir_.File("v.tmt");
        ASSERT_EQ(tessin::WriteTmatsAt(out.c_str(), r.formats, 2, c.clock), 0);
        std::string text = ch10fix::ReadText(out);
        for (const std::string& line : c.present) EXPECT_NE(text.find(line), std::string::npos) << line;
        for (const std::string& line : c.absent) EXPECT_EQ(text.find(line), std::string::npos) << line;
    }
}

TEST_F(WriteTmats, Refusals) {
    WriterRecords r;
    std::string out = dir_.File("never.tmt");
    struct Case {
        const PCM_FORMAT_INFO* formats;
        int count;
    } cases[] = {{nullptr, 2}, {r.formats, 0}, {r.formats, -1}};
    for (const Case& c : cases) {
        EXPECT_EQ(WriteTMATS(out.c_str(), c.formats, c.count), -1);
        EXPECT_STREQ(GetErrMsg(), "WriteTMATS: No PCM Format Info records passed.");
        EXPECT_FALSE(Exists(out));
        EXPECT_FALSE(Exists(DumpPath()));
    }
    std::string uncreatable = dir_.File("missing/dir/x.tmt");
    EXPECT_EQ(WriteTMATS(uncreatable.c_str(), r.formats, 2), -1);
    std::string prefix = "WriteTMATS: Error creating TMATS file " + uncreatable + ". Err: ";
    EXPECT_EQ(std::string(GetErrMsg()).substr(0, prefix.size()), prefix);

    // A log directory that cannot be written to loses the dump only.
    ::setenv("TESSIN_LOG_DIR", dir_.File("no-such-dir").c_str(), 1);
    EXPECT_EQ(WriteTMATS(out.c_str(), r.formats, 2), 0);
    EXPECT_TRUE(Exists(out));
}

TEST(MakeWordMask, Cases) {
    struct Case {
        int size, first, last;
        std::string mask;
    } cases[] = {
        {16, 5, 12, "0000111111110000"}, {16, 1, 16, "FW"}, {65, 1, 2, "FW"}, {16, 0, 3, "FW"},
        {16, 9, 8, "FW"},                {16, 3, 17, "FW"}, {64, 1, 63, std::string(63, '1') + "0"},
        {8, 8, 8, "00000001"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.size) + " " + std::to_string(c.first) + " " + std::to_string(c.last));
        EXPECT_EQ(std::string(tessin::make_word_mask(c.size, c.first, c.last)), c.mask);
    }
}

}  // namespace
