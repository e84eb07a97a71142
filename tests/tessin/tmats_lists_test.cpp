// The measurand list and the channel list of a TMATS file: whole texts,
// caller buffer bounds and the release of what a call made.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/tessin/services_test_support.h"
#include "tessin.h"
#include "tmats_lists.h"
#include "tmats_reader.h"

namespace {

using namespace servicestest;
using ch10fix::TmatsAttributes;

std::string Golden(const std::string& name) { return ch10fix::ReadText(std::string(TMATS_GOLDEN_DIR) + "/" + name); }

// The log writes CR LF; golden texts end in one line break that the lists do not write.
std::string Chomp(std::string s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
    return s;
}

TmatsAttributes& Chan(TmatsAttributes& t, int n, const std::string& id, const std::string& word) {
    std::string s = std::to_string(n);
    t.Add("R-1\\TK1-" + s, id).Add("R-1\\CDT-" + s, word).Add("R-1\\CHE-" + s, "T");
    return t;
}

// Every kind of item the channel list writes, channel IDs out of R-1 order.
TmatsAttributes ChannelSource() {
    TmatsAttributes t{{"G\\PN", "PRG"}, {"G\\106", "07"}, {"R-1\\N", "13"}};
    Chan(t, 1, "10", "PCMIN");
    Chan(t, 2, "3", "PCMIN");
    Chan(t, 3, "5", "TIMIN");
    Chan(t, 4, "7", "1553IN").Add("R-1\\BDLN-4", "BUSA");
    Chan(t, 5, "12", "ANAIN").Add("R-1\\ASR-5", "100000");
    Chan(t, 6, "13", "ANAIN").Add("R-1\\ACH\\N-6", "1").Add("R-1\\ASR-6", "1500000");
    t.Add("R-1\\AMN-6-1", "ALT").Add("R-1\\ADL-6-1", "16");
    Chan(t, 7, "14", "ANAIN").Add("R-1\\ACH\\N-7", "2").Add("R-1\\ASR-7", "2000");
    t.Add("R-1\\AMN-7-1", "A").Add("R-1\\ADL-7-1", "8").Add("R-1\\AMN-7-2", "B").Add("R-1\\ADL-7-2", "12");
    Chan(t, 8, "20", "429IN");
    Chan(t, 9, "21", "429IN").Add("R-1\\NAS\\N-9", "2").Add("R-1\\ASN-9-1", "5").Add("R-1\\ANM-9-1", "LBL5");
    t.Add("R-1\\ANM-9-2", "X");
    Chan(t, 10, "22", "UARTIN").Add("R-1\\NUS\\N-10", "1").Add("R-1\\USN-10-1", "1").Add("R-1\\UNM-10-1", "NAV-R");
    Chan(t, 11, "30", "VIDIN").Add("R-1\\VED-11", "40").Add("R-1\\VNM-11", "CAM1");
    Chan(t, 12, "31", "ETHIN");
    Chan(t, 13, "2", "1553IN").Replace("R-1\\CHE-13", "F");
    t.Add("R-1\\EV\\E", "T").Add("R-1\\EV\\TK1", "40").Add("R-1\\IDX\\E", "T").Add("R-1\\IDX\\TK1", "41");
    t.Add("P-1\\DLN", "FMT1,2,U1").Add("P-2\\DLN", "FMT2").Add("P-2\\TF", "1553");
    t.Add("B-1\\DLN", "BUSA").Add("B-1\\BNA-1", "MUXA");
    return t;
}

// Links in D (one name with ','), in B, a D group without a name, and the
// measurands they carry or not.
TmatsAttributes ParameterSource() {
    TmatsAttributes t{{"G\\PN", "PRG"}, {"G\\106", "07"}};
    t.Add("D-1\\DLN", "FMT1,2,U1").Add("D-1\\MN\\N-1", "2").Add("D-1\\MN-1-1", "BOTH").Add("D-1\\MN-1-2", "ALT");
    t.Add("D-2\\DLN", "FMT2").Add("D-2\\MN\\N-1", "1").Add("D-2\\MN-1-1", "SPD");
    t.Add("D-2\\MN\\N-2", "1").Add("D-2\\MN-2-1", "RAWP");
    t.Add("D-3\\MN\\N-1", "1").Add("D-3\\MN-1-1", "ORPH");
    t.Add("B-1\\DLN", "BUSA").Add("B-1\\MN-1-1-1", "BOTH").Add("B-1\\MN-1-1-2", "BUSM");
    t.Add("B-1\\MN-1-1-3", "ABCDEFGHIJKLMNOPQ");
    t.Add("C-1\\DCN", "ALT").Add("C-1\\MN1", "Altitude").Add("C-1\\MN3", "FT");
    t.Add("C-2\\DCN", "BUSM").Add("C-2\\MN1", "Bus measurand").Add("C-2\\MN3", "V");
    t.Add("C-3\\DCN", "BOTH").Add("C-3\\MN3", "DEG");
    t.Add("C-4\\DCN", "NONE1").Add("C-4\\MN1", "Lost");
    t.Add("C-5\\DCN", "RAWP").Add("C-5\\COM", "RAW counts");
    t.Add("C-6\\DCN", "ORPH").Add("C-6\\COM", "raw lower case");
    t.Add("C-7\\MN1", "No name");
    t.Add("C-8\\DCN", "SPD").Add("C-8\\MN3", "KT");
    t.Add("C-9\\DCN", "ABCDEFGHIJKLMNOPQ");
    return t;
}

using Service = int (*)(const char*, char*, int);

struct Call {
    int result = 0;
    std::string text;
    bool canaryIntact = true;
};

constexpr std::size_t kCanary = 32;

// The service over a heap buffer of `length` bytes followed by canaries.
Call CallList(Service service, const std::string& path, int length) {
    std::size_t size = static_cast<std::size_t>(length > 0 ? length : 0);
    std::vector<char> bytes(size + kCanary, 0x5A);
    Call c;
    c.result = service(path.c_str(), bytes.data(), length);
    if (size > 0) c.text.assign(bytes.data(), strnlen(bytes.data(), size));
    for (std::size_t i = size; i < bytes.size(); ++i)
        if (bytes[i] != 0x5A) c.canaryIntact = false;
    return c;
}

class TmatsChannelList : public ServicesTest {};

TEST_F(TmatsChannelList, EveryKindOfItemFromTextAndRecording) {
    std::string expected = Chomp(Golden("channel_list.txt"));
    for (bool recording : {false, true}) {
        SCOPED_TRACE(recording ? "recording" : "text");
        std::string path = Write(recording ? "ch.c10" : "ch.tmt", ChannelSource(), recording);
        Call c = CallList(GetTMATSConfigInfo, path, 4096);
        EXPECT_EQ(c.text, expected);
        EXPECT_EQ(c.result, static_cast<int>(expected.size()));
        EXPECT_STREQ(GetErrMsg(), "");
        EXPECT_NE(Log().find("get_ch10_channel_list: buf_ptr=" + expected + "\r\n"), std::string::npos);
    }
}

// Hand-built records: what each kind writes without its sub-record.
TEST_F(TmatsChannelList, ItemsWithoutSubRecords) {
    struct Case {
        std::vector<CHAN_ENTRY> channels;
        std::string expected;
    } cases[] = {
        {{{9, 4, 1}}, "CH4 4,    "},
        {{{25, 4, 1}}, "1553 4,    "},
        {{{33, 4, 1}},
         "ANALOG 4 1 50000,ANALOG 4 2 50000,ANALOG 4 3 50000,ANALOG 4 4 50000,ANALOG 4 5 50000,ANALOG 4 6 50000,"
         "ANALOG 4 7 50000,ANALOG 4 8 50000,    "},
        {{{56, 4, 1}}, "ARINC429 4 0,ARINC429 4 1,ARINC429 4 2,ARINC429 4 3,ARINC429 4 4,ARINC429 4 5,"
                       "ARINC429 4 6,ARINC429 4 7,    "},
        {{{80, 1, 1}}, "UART 1 0,UART 1 1,UART 1 2,UART 1 3,UART 1 4,UART 1 5,UART 1 6,UART 1 7,    "},
        {{{64, 4, 1}, {66, 5, 1}}, "VIDEO 4,VIDEO 5,    "},
        {{{17, 1, 1}, {9, 2, 1}}, "CH4 2,    "},
        {{{9, 2, 1}, {17, 3, 1}}, "CH4 2,"},
        {{{17, 3, 1}}, ",    "},
        {{{9, 2, 0}}, ",    "},
        {{}, ",    "},
        {{{55, 1, 1}, {-1, 2, 1}, {200, 3, 1}, {121, 4, 1}, {0, 5, 1}},
         "F-35 FIBRECH 1,UNDEFINED 2,UNDEFINED 3,FIBRECH 4,USER 5,    "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        CHAN_INFO info{};
        std::vector<CHAN_ENTRY> channels = c.channels;
        info.Channels = channels.data();
        info.ChannelCount = static_cast<int16_t>(channels.size());
        char buf[512];
        std::memset(buf, 'x', sizeof buf);
        int n = tessin::BuildChannelList(info, buf, sizeof buf);
        EXPECT_EQ(std::string(buf), c.expected);
        EXPECT_EQ(n, static_cast<int>(c.expected.size()));
    }
}

TEST_F(TmatsChannelList, FailuresLeaveTheReason) {
    std::string missing = dir_.File("none.tmt");
    Call c = CallList(GetTMATSConfigInfo, missing, 64);
    EXPECT_EQ(c.result, -1);
    EXPECT_EQ(std::string(GetErrMsg()), "ReadTMATS: Error opening input file " + missing);

    // No channel count: validation abandons its record.
    std::string bad = Write("bad.tmt", TmatsAttributes{{"G\\PN", "PRG"}, {"G\\106", "07"}});
    c = CallList(GetTMATSConfigInfo, bad, 64);
    EXPECT_EQ(c.result, -1);
    EXPECT_EQ(c.text, "");
    std::string line = "Error reading the channel list from file " + bad + ".";
    EXPECT_STREQ(GetErrMsg(), line.c_str());
    EXPECT_NE(Log().find(line), std::string::npos);
}

class TmatsParameterList : public ServicesTest {};

TEST_F(TmatsParameterList, LinksAndKinds) {
    struct Case {
        const char* name;
        TmatsAttributes source;
        std::string expected;
    } cases[] = {
        {"links", ParameterSource(), Golden("parameter_list.txt")},
        {"no links",
         TmatsAttributes{{"G\\PN", "P"}, {"C-1\\DCN", "A"}, {"C-1\\MN1", "d"}, {"C-2\\DCN", "B"}},
         "A|M|d||UNKNOWN\nB|M|||UNKNOWN\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = Write("p.tmt", c.source);
        Call r = CallList(GetParametersFromTMATS, path, 4096);
        EXPECT_EQ(r.text, c.expected);
        EXPECT_EQ(r.result, static_cast<int>(c.expected.size()));
        EXPECT_STREQ(GetErrMsg(), "");
    }
}

struct BoundCase {
    const char* name;
    Service service;
    int length;       // -100: the full text's size + 1
    bool nullBuffer;
    int expected;     // -1, or the characters written
    std::string errorText;
};

TEST_F(TmatsParameterList, CallerBufferBounds) {
    // Lines of 14, 29 and 14 characters; a channel list of pieces 9, 7, 5.
    TmatsAttributes params{{"G\\PN", "P"}, {"C-1\\DCN", "A"}, {"C-2\\DCN", "B"}, {"C-2\\MN1", "sixteen chars.."},
                           {"C-3\\DCN", "C"}};
    TmatsAttributes chans{{"G\\PN", "P"}, {"G\\106", "07"}, {"R-1\\N", "2"}};
    Chan(chans, 1, "1", "ETHIN");
    Chan(chans, 2, "2", "TIMIN");
    std::string paramPath = Write("bounds.tmt", params);
    std::string chanPath = Write("bounds_ch.tmt", chans);
    const std::string fullParams = "A|M|||UNKNOWN\nB|M|sixteen chars..||UNKNOWN\nC|M|||UNKNOWN\n";
    const std::string fullChans = "ETHERNET 1,";
    const BoundCase cases[] = {
        {"params null", GetParametersFromTMATS, 8, true, -1, "GetParametersFromTMATS: Null buf pointer passed."},
        {"params 0", GetParametersFromTMATS, 0, false, -1, "GetParametersFromTMATS: Invalid buf length passed."},
        {"params -1", GetParametersFromTMATS, -1, false, -1, "GetParametersFromTMATS: Invalid buf length passed."},
        {"params exact", GetParametersFromTMATS, -100, false, 57, ""},
        {"params skips line 2", GetParametersFromTMATS, 29, false, 28, ""},
        {"params length 1", GetParametersFromTMATS, 1, false, 0, ""},
        {"chans null", GetTMATSConfigInfo, 8, true, -1, "GetTMATSConfigInfo: Null buf pointer passed."},
        {"chans 0", GetTMATSConfigInfo, 0, false, -1, "GetTMATSConfigInfo: Invalid buf length passed."},
        {"chans -1", GetTMATSConfigInfo, -1, false, -1, "GetTMATSConfigInfo: Invalid buf length passed."},
        {"chans exact", GetTMATSConfigInfo, -100, false, 11, ""},
        {"chans cut before comma", GetTMATSConfigInfo, 11, false, 10, ""},
        {"chans length 1", GetTMATSConfigInfo, 1, false, 0, ""},
    };
    for (const BoundCase& c : cases) {
        SCOPED_TRACE(c.name);
        bool isParams = c.service == GetParametersFromTMATS;
        const std::string& path = isParams ? paramPath : chanPath;
        int length = c.length == -100 ? static_cast<int>((isParams ? fullParams : fullChans).size()) + 1 : c.length;
        if (c.nullBuffer) {
            EXPECT_EQ(c.service(path.c_str(), nullptr, length), -1);
        } else {
            Call r = CallList(c.service, path, length);
            EXPECT_EQ(r.result, c.expected);
            EXPECT_TRUE(r.canaryIntact);
            if (r.result >= 0) {
                EXPECT_EQ(r.result, static_cast<int>(r.text.size()));
            }
            if (c.length == -100) {
                EXPECT_EQ(r.text, isParams ? fullParams : fullChans);
            }
        }
        EXPECT_STREQ(GetErrMsg(), c.errorText.c_str());
        if (!c.errorText.empty()) {
            EXPECT_NE(Log().find(c.errorText + "\r\n"), std::string::npos);
        }
    }
}

// What the lists made is released whole, once, whatever the order of calls.
TEST_F(TmatsParameterList, ReleaseLeavesNothingBehind) {
    auto& records = tessin::State().tmats.records.Get();
    std::size_t before = records.size();
    std::string path = Write("both.tmt", ChannelSource());
    std::string bad = Write("bad.tmt", TmatsAttributes{{"G\\PN", "PRG"}, {"C-1\\DCN", "A"}});
    char buf[4096];
    EXPECT_GE(GetParametersFromTMATS(path.c_str(), buf, sizeof buf), 0);
    EXPECT_GT(GetTMATSConfigInfo(path.c_str(), buf, sizeof buf), 0);
    // A record abandoned by validation goes too; the list itself succeeds.
    EXPECT_EQ(GetParametersFromTMATS(bad.c_str(), buf, sizeof buf), 14);
    EXPECT_EQ(GetTMATSConfigInfo(bad.c_str(), buf, sizeof buf), -1);
    tessin::free_tmats_buffer();
    tessin::free_tmats_buffer();
    EXPECT_EQ(records.size(), before);
    CHAN_INFO* current = tessin::State().tmats.current;
    bool currentLive = current == nullptr;
    for (const auto& r : records)
        if (&r->info == current) currentLive = true;
    EXPECT_TRUE(currentLive);
    EXPECT_EQ(tessin::State().services.listRecord, nullptr);
    EXPECT_TRUE(tessin::State().services.dataLinks.empty());
}

}  // namespace
