// One complete TMATS with a channel of each kind logs nothing; each row takes
// one attribute away (or changes one) and expects exactly one line, or none.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tessin/src/tessin_state.h"
#include "tests/support/tmats_builder.h"
#include "tests/tessin/tmats_rig.h"

namespace {

using namespace tmatstest;
using ch10fix::TmatsAttributes;

// Channel n has ID 100 + n, so printed IDs differ from indices.
TmatsAttributes CompleteTmats(const std::string& revision) {
    TmatsAttributes t{
        {"G\\PN", "BASE"}, {"G\\106", revision}, {"G\\DSI\\N", "1"}, {"G\\DSI-1", "REC"}, {"G\\DST-1", "STO"},
        {"R-1\\ID", "REC"}, {"R-1\\RID", "RID"}, {"R-1\\N", "12"}, {"R-1\\NSB", "0"}, {"R-1\\RI3", "Y"},
        {"R-1\\RI6", "Y"}, {"R-1\\RI7", "T"}, {"R-1\\CRE", "F"}, {"R-1\\RSS", "L"}, {"R-1\\RRML", "I"},
        {"R-1\\ERBS", "1"}, {"R-1\\EV\\E", "T"}, {"R-1\\IDX\\E", "T"},
    };
    const char* words[] = {"TIMEIN", "PCMIN", "1553IN", "ANAIN", "DISIN", "VIDIN",
                           "SERIN",  "429IN", "UARTIN", "ETHIN", "FBCHIN", "IMGIN"};
    for (int n = 1; n <= 12; ++n) {
        std::string s = std::to_string(n);
        t.Add("R-1\\TK1-" + s, std::to_string(100 + n));
        t.Add("R-1\\DSI-" + s, "SRC" + s);
        t.Add("R-1\\TK4-" + s, s);
        t.Add("R-1\\CDLN-" + s, "LINK" + s);
        t.Add("R-1\\CHE-" + s, "T");
        t.Add("R-1\\CDT-" + s, words[n - 1]);
    }
    t.Add("R-1\\TTF-1", "1").Add("R-1\\TSRC-1", "E").Add("R-1\\IFMT-1", "B");
    t.Add("R-1\\DP-2", "T").Add("P-1\\DLN", "LINK2").Add("P-1\\D2", "5000000").Add("P-1\\F1", "16");
    t.Add("P-1\\F2", "M").Add("P-1\\D4", "N").Add("P-1\\ISF\\N", "1").Add("P-1\\IDC1-1", "2");
    t.Add("P-1\\IDC2-1", "16").Add("P-1\\IDC3-1", "16").Add("P-1\\IDC4-1", "8").Add("P-1\\IDC6-1", "0");
    t.Add("P-1\\IDC8-1", "3").Add("P-1\\MF\\N", "4").Add("P-1\\MF1", "4").Add("P-1\\MF2", "64");
    t.Add("P-1\\MF4", "16").Add("P-1\\MF5", "1110101110010000");
    t.Add("R-1\\BTF-3", "1").Add("B-1\\DLN", "LINK3").Add("B-1\\BNA-1", "BUSA");
    t.Add("R-1\\ACH\\N-4", "1").Add("R-1\\ASR-4", "1000").Add("R-1\\AMN-4-1", "A1");
    t.Add("R-1\\NDM\\N-5", "2").Add("R-1\\DSR-5", "10");
    t.Add("R-1\\VED-6", "0");
    t.Add("R-1\\NAS\\N-8", "1").Add("R-1\\ASN-8-1", "1").Add("R-1\\ANM-8-1", "BUS429");
    t.Add("R-1\\NUS\\N-9", "1").Add("R-1\\USN-9-1", "1").Add("R-1\\UNM-9-1", "GPS");
    t.Add("R-1\\NNET\\N-10", "1").Add("R-1\\ENBR-10-1", "1").Add("R-1\\ENAM-10-1", "NET");
    return t;
}

class TmatsValidationMissing : public ::testing::Test {
protected:
    void SetUp() override { tessin::ResetStateForTests(); }
    void TearDown() override { tessin::ResetStateForTests(); }
};

TEST_F(TmatsValidationMissing, CompleteTmatsLogsNothing) {
    for (const char* rev : {"06", "07", "09", "13", "-1"}) {
        SCOPED_TRACE(rev);
        Outcome o = RunWithLog(CompleteTmats(rev));
        ASSERT_NE(o.info, nullptr);
        EXPECT_EQ(o.findings, std::vector<std::string>{});
        EXPECT_EQ(o.info->FindingCount, 0);
        EXPECT_EQ(o.info->ChannelCount, 12);
    }
}

TEST_F(TmatsValidationMissing, OneAttributeOneLine) {
    struct Row {
        const char* revision;
        std::vector<std::string> remove;
        std::vector<std::pair<std::string, std::string>> replace;
        std::string line;  // empty: no line
    } rows[] = {
        {"06", {"R-1\\TK4-1"}, {}, ""},
        {"07", {"R-1\\TK4-1"}, {}, "Error: RECORDER PHYSICAL CHANNEL NUMBER for channel 1 (R-x\\TK4-1) attribute is missing in TMATS Packet.\r\n"},
        {"06", {"R-1\\CDLN-4"}, {}, ""},
        {"07", {"R-1\\CDLN-4"}, {}, "Error: CHANNEL DATA LINK NAME for channel 4 (R-x\\CDLN-4) attribute is missing in TMATS Packet.\r\n"},
        {"06", {"R-1\\ID"}, {}, ""},
        {"07", {"R-1\\ID"}, {}, "Error: Data Source ID (R-1\\ID) attribute is missing in TMATS Packet.\r\n"},
        {"06", {"R-1\\RID"}, {}, ""},
        {"07", {"R-1\\RID"}, {}, "Error: Tape/Storage ID (R-1\\RID) attribute is missing in TMATS Packet.\r\n"},
        {"06", {"R-1\\RI3"}, {}, ""},
        {"07", {"R-1\\RI3"}, {}, "Error: Original Tape/Storage (R-1\\RI3) attribute is missing in TMATS Packet.\r\n"},
        {"06", {"R-1\\EV\\E"}, {}, ""},
        {"07", {"R-1\\EV\\E"}, {}, "Warning: Recording Events Enabled (R-1\\EV\\E) attribute is missing in TMATS Packet.\r\n"},
        {"06", {"R-1\\IDX\\E"}, {}, ""},
        {"07", {"R-1\\IDX\\E"}, {}, "Warning: Recording Index Enabled (R-1\\IDX\\E) attribute is missing in TMATS Packet.\r\n"},
        {"06", {"R-1\\TTF-1"}, {}, ""},
        {"07", {"R-1\\TTF-1"}, {}, "Error: TIME DATA TYPE FORMAT attribute (R-d\\TTF-n) for IRIG TIME channel is missing.\r\n"},
        {"06", {"R-1\\TSRC-1"}, {}, ""},
        {"07", {"R-1\\TSRC-1"}, {}, "Error: TIME SOURCE attribute (R-d\\TSRC-n) for IRIG TIME channel is missing.\r\n"},
        {"08", {"G\\DST-1"}, {}, ""},
        {"09", {"G\\DST-1"}, {}, "Error: Data Source Type (G\\DST-1) attribute is missing in TMATS Packet.\r\n"},
        {"08", {"R-1\\RI6"}, {}, ""},
        {"09", {"R-1\\RI6"}, {}, "Error: POST PROCESS MODIFIED RECORDING (R-1\\RI6) attribute is missing in TMATS Packet.\r\n"},
        {"08", {"R-1\\RI7"}, {}, ""},
        {"09", {"R-1\\RI7"}, {}, "Error: POST PROCESS MODIFICATION TYPE (R-1\\RI7) attribute is missing in TMATS Packet.\r\n"},
        {"09", {"R-1\\RI7"}, {{"R-1\\RI6", "N"}}, ""},
        {"08", {"R-1\\CRE"}, {}, ""},
        {"09", {"R-1\\CRE"}, {}, "Error: CONTINUOUS RECORDING ENABLED (R-1\\CRE) attribute is missing in TMATS Packet.\r\n"},
        {"08", {"R-1\\RSS"}, {}, ""},
        {"09", {"R-1\\RSS"}, {}, "Error: RECORDER-REPRODUCER SETUP SOURCE (R-1\\RSS) attribute is missing in TMATS Packet.\r\n"},
        {"08", {"R-1\\RRML"}, {}, ""},
        {"09", {"R-1\\RRML"}, {}, "Error: RECORDER-REPRODUCER MEDIA LOCATION (R-1\\RRML or R-1\\RML) attribute is missing in TMATS Packet.\r\n"},
        {"09", {"R-1\\RRML"}, {{"R-1\\RML", "I"}}, ""},
        {"08", {"R-1\\ERBS"}, {}, ""},
        {"09", {"R-1\\ERBS"}, {}, "Error: EXTERNAL RMM BUS SPEED (R-1\\ERBS) attribute is missing in TMATS Packet.\r\n"},
        {"12", {"R-1\\BTF-3"}, {}, ""},
        {"13", {"R-1\\BTF-3"}, {}, "Error: MIL-STD-1553 bus data type format (R-d\\BTF-n) for BUS1553 channel 103 is missing.\r\n"},
        // [enabled]
        {"07", {"P-1\\D4"}, {}, "Error: Polarity (P-d\\D4) for PCM channel 102 is missing.\r\n"},
        {"07", {"P-1\\D4"}, {{"R-1\\CHE-2", "F"}}, ""},
        {"07", {"R-1\\VED-6"}, {}, "Error: Video encoding delay (R-d\\VED-n) for VIDEO channel is missing.\r\n"},
        {"07", {"R-1\\VED-6"}, {{"R-1\\CHE-6", "FALSE"}}, ""},
        {"07", {"R-1\\IFMT-1"}, {}, "Warning: Irig Format Attribute (R-d\\TFMT-n) for IRIG TIME channel is missing.\r\n"},
        {"07", {"R-1\\IFMT-1"}, {{"R-1\\CHE-1", "F"}}, ""},
        {"07", {"R-1\\ASR-4"}, {}, "Warning: Sample Rate (R-d\\ASR-n) for Analog channel 104 is missing.\r\n"},
        {"07", {"R-1\\NDM\\N-5"}, {}, "Warning: Number of Discrete Channels Per Packet (R-d\\NDM\\N-n) for Analog channel 105 is missing.\r\n"},
        {"07", {"R-1\\DP-2"}, {}, "Error: Data Packing Option (R-x\\PDP-n) for PCM channel 102 is missing.\r\n"},
        {"07", {"P-1\\D2"}, {}, "Error: Bitrate (P-d\\D2) for PCM channel 102 is missing.\r\n"},
        {"07", {}, {{"P-1\\D2", "0"}}, "Error: Bitrate is set to 0 for channel 102.\r\n"},
        // [counters]
        {"07", {"P-1\\IDC1-1"}, {}, "Error: ID Counter location (P-d\\IDC1-1) for PCM channel 102 is missing.\r\n"},
        {"07", {"P-1\\IDC1-1"}, {{"P-1\\ISF\\N", "0"}}, ""},
        {"07", {"P-1\\IDC8-1"}, {}, "Error: ID Counter End Value (P-d\\IDC8-1) for PCM channel 102 is missing.\r\n"},
        {"07", {"P-1\\IDC8-1"}, {{"P-1\\ISF\\N", "0"}}, ""},
        // not gated
        {"05", {"R-1\\CHE-5"}, {}, "Error: CHANNEL ENABLE for channel 5 (R-x\\CHE-5) attribute is missing in TMATS Packet.\r\n"},
        {"05", {"R-1\\NSB"}, {}, "Error: Number of Source Bits (R-1\\NSB) attribute is missing in TMATS Packet.\r\n"},
        {"05", {"G\\DSI\\N"}, {}, "Error: Number of Data Sources (G\\DSI\\N) attribute is missing in TMATS Packet.\r\n"},
        {"05", {"R-1\\CDT-7"}, {}, "Error: Data type for channel 7 (R-x\\CDT-7) attribute is missing in TMATS Packet.\r\n"},
        {"05", {"R-1\\CDLN-11"}, {}, "Error: Channel Data Link attribute (R-d\\CDLN-n) for FBCH channel is missing.\r\n"},
        {"05", {}, {{"R-1\\EV\\E", " T"}}, "Warning: Found leading space in Recording Events Enabled (R-1\\EV\\E) attribute.\r\n"},
    };
    for (const Row& row : rows) {
        TmatsAttributes t = CompleteTmats(row.revision);
        std::string label = std::string(row.revision);
        for (const auto& key : row.remove) {
            ASSERT_TRUE(t.Remove(key)) << key;
            label += " -" + key;
        }
        for (const auto& [key, value] : row.replace) {
            t.Replace(key, value);
            label += " " + key + "=" + value;
        }
        SCOPED_TRACE(label);
        Outcome o = RunWithLog(t);
        ASSERT_NE(o.info, nullptr);
        std::vector<std::string> expected;
        if (!row.line.empty()) expected.push_back(row.line);
        EXPECT_EQ(o.findings, expected);
        EXPECT_EQ(o.info->FindingCount, static_cast<int16_t>(expected.size()));
    }
}

TEST_F(TmatsValidationMissing, RevisionMissingDefaultsTo07) {
    TmatsAttributes t = CompleteTmats("07");
    t.Remove("G\\106");
    t.Remove("R-1\\TK4-1");
    Outcome o = RunWithLog(t);
    ASSERT_NE(o.info, nullptr);
    EXPECT_EQ(o.info->IrigRevision, 7);
    EXPECT_EQ(o.findings,
              (std::vector<std::string>{
                  "Error: IRIG 106 Revision Level (G\\106) attribute is missing in TMATS Packet. Set to default value "
                  "07.\r\n",
                  "Error: RECORDER PHYSICAL CHANNEL NUMBER for channel 1 (R-x\\TK4-1) attribute is missing in TMATS "
                  "Packet.\r\n"}));
}

}  // namespace
