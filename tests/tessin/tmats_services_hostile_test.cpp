// The TMATS services on hostile and real input: every length and index a
// file can lie about, and the sample recordings.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "tests/tessin/pcm_test_support.h"
#include "tmats_reader.h"

namespace {

using namespace servicestest;
using ch10fix::TmatsAttributes;
using Attrs = std::vector<std::pair<std::string, std::string>>;

struct Case {
    const char* name;
    Attrs replace;  // replaced in, or added to, the base format
    Attrs add;
    int result;
    std::function<void(const PcmCall&)> check;
};

Attrs Many(const std::string& prefix, int count, const std::function<std::string(int)>& value) {
    Attrs out;
    for (int i = 1; i <= count; ++i) out.emplace_back(prefix + std::to_string(i), value(i));
    return out;
}

Attrs Concat(std::initializer_list<Attrs> parts) {
    Attrs out;
    for (const Attrs& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

const std::string kRemove = "(removed)";
const Attrs kBus = {{"B-1\\DLN", "BUS"}, {"B-1\\BNA-1", "B"}, {"B-1\\BT-1", "1553"}};

std::vector<Case> Cases() {
    auto none = [](const PcmCall&) {};
    return {
        {"MF2 missing", {{"P-1\\MF2", kRemove}},
         {{"P-1\\MFW1-1", "5"}, {"P-1\\MFW2-1", "8"}, {"P-1\\ISF\\N", "1"}, {"P-1\\IDC1-1", "3"},
          {"P-1\\SF\\N-1", "1"}, {"P-1\\SF1-1-1", "S"}, {"P-1\\SF4-1-1", "4"}, {"P-1\\SF6-1-1", "2"},
          {"D-1\\MN\\N-1", "2"}, {"D-1\\MN-1-1", "A"}, {"D-1\\MF-1-1", "3"}, {"D-1\\MFM-1-1", "FW"},
          {"D-1\\MN-1-2", "B"}, {"D-1\\SF1-1-2", "S"}, {"D-1\\SF2-1-2", "1"}, {"D-1\\SFM-1-2", "FW"},
          {"D-1\\WP-1-2", "4"}, {"D-1\\FP-1-2", "1"}, {"D-1\\WFM-1-2", "1"}},
         1, [](const PcmCall& r) {
             const PCM_FORMAT_INFO& f = r.formats[0];
             EXPECT_EQ(f.WordLengths, nullptr);
             EXPECT_EQ(f.MainframeEntries, nullptr);
             EXPECT_EQ(f.FrameWordMasks, nullptr);
             EXPECT_EQ(f.NumMainframeEntries, 0);
             EXPECT_STREQ(f.SubcomDetails[0].SampleID, "B");
         }},
        {"an indexed MF1 after MF2 changes no bound", {}, {{"P-1\\MF1-1", "200"}, {"D-1\\MN\\N-1", "1"},
                                                           {"D-1\\MN-1-1", "A"}, {"D-1\\MF-1-1", "150"},
                                                           {"D-1\\MFM-1-1", "FW"}},
         1, [](const PcmCall& r) {
             EXPECT_EQ(r.formats[0].NumWords, 200);
             EXPECT_EQ(r.formats[0].NumMainframeEntries, 64);
             EXPECT_EQ(r.formats[0].MeasRUEntries[0].Kind, 0);
         }},
        {"eleven pairs", {},
         Concat({{{"C-1\\DCT", "PRS"}, {"C-1\\PS\\N", "11"}}, Many("C-1\\PS3-", 11, [](int i) { return std::to_string(i); }),
                 Many("C-1\\PS4-", 11, [](int i) { return std::to_string(i * 10); })}),
         1, [](const PcmCall& r) {
             ASSERT_EQ(r.formats[0].NumPairEntries, 11);
             EXPECT_EQ(r.formats[0].PairEntries[10].EngineeringValue, 110);
             EXPECT_EQ(r.formats[0].NumDiscreteEntries, 11);
             EXPECT_EQ(r.owner()->shared.discretes.size(), 11u);
         }},
        {"PS\\N 11 with three pairs", {}, {{"C-1\\PS\\N", "11"}, {"C-1\\PS3-3", "1"}, {"C-1\\PS3-12", "1"}},
         1, [](const PcmCall& r) {
             EXPECT_EQ(r.formats[0].NumPairEntries, 11);
             EXPECT_GE(r.owner()->shared.pairs.size(), 11u);
             EXPECT_EQ(r.formats[0].PairEntries[2].PairNumber, 3);
         }},
        {"three discretes for one measurand", {},
         {{"C-1\\DIC\\N", "3"}, {"C-1\\DICC-1", "0"}, {"C-1\\DICC-2", "1"}, {"C-1\\DICC-3", "2"},
          {"C-1\\DICP-3", "THIRD"}, {"C-1\\DICC-4", "3"}},
         1, [](const PcmCall& r) {
             ASSERT_EQ(r.formats[0].NumDiscreteEntries, 3);
             EXPECT_STREQ(r.formats[0].DiscreteEntries[2].ParameterText, "THIRD");
         }},
        {"a negative set count is 0", {}, {{"C-1\\DIC\\N", "-4"}, {"C-1\\DICC-1", "0"}}, 1,
         [](const PcmCall& r) { EXPECT_EQ(r.formats[0].NumDiscreteEntries, 0); }},
        {"three D groups for one format", {},
         {{"D-2\\MN\\N-1", "1"}, {"D-2\\MN-1-1", "X"}, {"D-3\\MN\\N-1", "1"}, {"D-3\\MN-1-1", "Y"}}, 1,
         [](const PcmCall& r) { EXPECT_EQ(r.formats[0].NumSampleEntries, 0); }},
        {"MF1 -1", {{"P-1\\MF1", "-1"}}, {}, -1, none},
        {"MF1 40000", {{"P-1\\MF1", "40000"}}, {}, -1, none},
        {"NMS\\N -1, 40000, 70000", {},
         Concat({kBus, {{"B-1\\NMS\\N-1", "-1"}, {"B-2\\DLN", "B2"}, {"B-2\\BT-1", "1553"}, {"B-2\\NMS\\N-1", "40000"},
                        {"B-3\\DLN", "B3"}, {"B-3\\BT-1", "429"}, {"B-3\\NMS\\N-1", "70000"},
                        {"B-3\\MID-1-65535", "4"}}}),
         1, [](const PcmCall& r) {
             EXPECT_EQ(r.bus(0)->NumMessages, 0);
             EXPECT_EQ(r.bus(0)->Messages1553, nullptr);
             EXPECT_EQ(r.bus(1)->NumMessages, 40000);
             EXPECT_EQ(r.bus(2)->NumMessages, 65535);
             EXPECT_EQ(r.bus(2)->MessagesLabelled[65534].MessageID, 4);
         }},
        {"MN\\N -1, 40000, 70000", {},
         {{"D-1\\MN\\N-1", "-1"}, {"D-1\\MN\\N-2", "40000"}, {"D-1\\MN\\N-3", "70000"}, {"D-1\\MN-3-20000", "Z"}},
         1, [](const PcmCall& r) {
             EXPECT_EQ(r.formats[0].NumSampleEntries, 65535);
             EXPECT_STREQ(r.formats[0].MeasRUEntries[40000 + 19999].MeasID, "Z");
         }},
        {"65,536 measurements on a bus", {},
         Concat({kBus, Many("B-1\\MN-1-1-", 65536, [](int) { return std::string("M"); })}), -1,
         [](const PcmCall& r) { EXPECT_EQ(r.error, ""); }},
        {"65,535 measurements on a bus", {},
         Concat({kBus, Many("B-1\\MN-1-1-", 65535, [](int) { return std::string("M"); })}), 1,
         [](const PcmCall& r) {
             EXPECT_EQ(r.bus(0)->NumSampleEntries, 65535);
             EXPECT_EQ(r.bus(0)->SampleCapacity, 65535);
         }},
        {"interval 0 with MFS\\N 32767", {},
         {{"D-1\\MN\\N-1", "1"}, {"D-1\\MN-1-1", "A"}, {"D-1\\MFS\\N-1-1", "32767"}, {"D-1\\MFS2-1-1", "3"},
          {"D-1\\MFS3-1-1", "FW"}, {"D-1\\MFS4-1-1", "0"}},
         1, [](const PcmCall& r) { EXPECT_EQ(r.formats[0].MainframeEntries[2].Num, 3); }},
        {"NumSubcoms x NumFrames above 32767", {}, {{"P-1\\SF\\N-1", "2048"}, {"P-1\\SF\\N-2", "1"}}, -1,
         [](const PcmCall& r) { EXPECT_EQ(r.error, ""); }},
        {"more MN than MN\\N, a repeated MN", {},
         {{"D-1\\MN\\N-1", "1"}, {"D-1\\MN-1-1", "A"}, {"D-1\\MN-1-1", "B"}, {"D-1\\MN-1-2", "C"},
          {"D-1\\MF-1-2", "5"}},
         1, [](const PcmCall& r) {
             EXPECT_STREQ(r.formats[0].MeasRUEntries[0].MeasID, "B");
             EXPECT_STREQ(r.formats[0].MainframeEntries[4].ID, "");
         }},
        {"duplicated ISF\\N and SF\\N-1", {},
         {{"P-1\\ISF\\N", "3"}, {"P-1\\ISF\\N", "1"}, {"P-1\\SF\\N-1", "3"}, {"P-1\\SF\\N-1", "2"},
          {"P-1\\SF\\N-2", "1"}, {"P-1\\SF1-1-2", "S2"}, {"P-1\\SF1-2-1", "T1"}},
         1, [](const PcmCall& r) {
             const PCM_FORMAT_INFO& f = r.formats[0];
             EXPECT_EQ(f.NumIDCounters, 1);
             ASSERT_EQ(f.NumSubcoms, 3);
             EXPECT_EQ(f.NumSubcomDetails, 48);
             EXPECT_STREQ(f.Subcoms[1].ID, "S2");
             EXPECT_STREQ(f.Subcoms[2].ID, "T1");
             EXPECT_EQ(f.Subcoms[2].Details, f.SubcomDetails + 32);
         }},
        {"out-of-range words and frames", {},
         Concat({{{"P-1\\ISF\\N", "1"}, {"P-1\\SF\\N-1", "1"}, {"P-1\\SF1-1-1", "S"}, {"P-1\\SF4-1-1", "70"},
                  {"P-1\\SF6-1-1", "4"}, {"D-1\\MN\\N-1", "4"}, {"D-1\\MN-1-1", "C"}, {"D-1\\SF2-1-1", "2"},
                  {"D-1\\MN-1-2", "A"}, {"D-1\\SF1-1-2", "S"}, {"D-1\\SF2-1-2", "17"}, {"D-1\\SFM-1-2", "FW"},
                  {"D-1\\MN-1-3", "B"}, {"D-1\\WP-1-3", "65"}, {"D-1\\MF-1-4", "65"}}}),
         1, [](const PcmCall& r) {
             const PCM_FORMAT_INFO& f = r.formats[0];
             for (int i = 0; i < 16; ++i) EXPECT_STREQ(f.SubcomDetails[i].SampleID, "");
             for (int i = 0; i < 64; ++i) EXPECT_EQ(f.MainframeEntries[i].Type, 0);
         }},
        {"32,767 words x 32,767 frames", {{"P-1\\MF\\N", "32767"}, {"P-1\\MF1", "32767"}}, {}, -1,
         [](const PcmCall& r) { EXPECT_EQ(r.error, ""); }},
        {"8,193 words x 2,048 frames, one entry past 2^24", {{"P-1\\MF\\N", "2048"}, {"P-1\\MF1", "8193"}}, {},
         -1, [](const PcmCall& r) { EXPECT_EQ(r.error, ""); }},
        {"8,192 words x 2,048 frames", {{"P-1\\MF\\N", "2048"}, {"P-1\\MF1", "8192"}},
         {{"D-1\\MN\\N-1", "1"}, {"D-1\\MN-1-1", "A"}, {"D-1\\MF-1-1", "8191"}, {"D-1\\MFM-1-1", "FW"}}, 1,
         [](const PcmCall& r) {
             const PCM_FORMAT_INFO& f = r.formats[0];
             EXPECT_EQ(f.FrameWordMasks[8190 + 2047 * 8191], 0xFFFF);
             EXPECT_EQ(f.FrameWordMasks[8189 + 2047 * 8191], 0);
         }},
        {"MNF\\N 2^31-1 with MWL 8", {},
         {{"D-1\\MN\\N-1", "1"}, {"D-1\\MN-1-1", "A"}, {"D-1\\MML\\N-1-1", "1"}, {"D-1\\MNF\\N-1-1-1", "2147483647"},
          {"D-1\\MWL-1-1-1", "8"}},
         1, [](const PcmCall& r) {
             EXPECT_EQ(r.formats[0].SampleEntries[0].Size, 64);
             EXPECT_EQ(r.formats[0].MeasRUEntries[0].LBit, 64);
         }},
        {"MWN and MBM before the first MN", {},
         Concat({kBus, {{"B-1\\MWN-1-1-1", "3"}, {"B-1\\MBM-1-1-1", "0011"}}}), 1,
         [](const PcmCall& r) { EXPECT_EQ(r.bus(0)->NumSampleEntries, 0); }},
    };
}

class TmatsServicesHostile : public PcmTest {};

TEST_F(TmatsServicesHostile, Table) {
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        TmatsAttributes a = BaseFormat();
        for (const auto& [k, v] : c.replace) {
            if (v == kRemove)
                a.Remove(k);
            else
                a.Replace(k, v);
        }
        for (const auto& [k, v] : c.add) a.Add(k, v);
        PcmCall r = Call(a);
        ASSERT_EQ(r.result, c.result);
        c.check(r);
        EXPECT_EQ(FreePCMFormatInfo(), 0);
        EXPECT_EQ(FreePCMFormatInfo(), 0);
    }
}

// Resident memory now, from the kernel's count of the process's pages.
long ResidentKiB() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

// The largest frame the limits allow (32 MiB of masks) costs only the pages
// its marks land on.
TEST_F(TmatsServicesHostile, LargeFrameCostsOnlyWhatItMarks) {
    TmatsAttributes a = BaseFormat();
    a.Replace("P-1\\MF\\N", "512").Replace("P-1\\MF1", "32767");
    a.Add("D-1\\MN\\N-1", "1").Add("D-1\\MN-1-1", "A").Add("D-1\\MF-1-1", "7").Add("D-1\\MFM-1-1", "FW");
    long before = ResidentKiB();
    PcmCall r = Call(a);
    long grown = ResidentKiB() - before;
    ASSERT_EQ(r.result, 1);
    const PCM_FORMAT_INFO& f = r.formats[0];
    EXPECT_EQ(f.FrameWordMasks[6 + 511 * 32766], 0xFFFF);
    EXPECT_EQ(f.FrameWordMasks[32765 + 511 * 32766], 0);
    EXPECT_LT(grown, 16 * 1024) << "KiB grown";
    EXPECT_EQ(FreePCMFormatInfo(), 0);
}

// Declared measurement counts are hints: a sum past 2^31 or a count no
// text could fill costs nothing and loses no name.
TEST_F(TmatsServicesHostile, ParameterListCounts) {
    struct Case {
        const char* name;
        Attrs d;
        std::string expected;
    } cases[] = {
        {"two lists summing past 2^31", {{"D-1\\MN\\N-1", "100"}, {"D-1\\MN\\N-2", "2147483647"},
                                         {"D-1\\MN-1-1", "A"}, {"D-1\\MN-2-1", "B"}},
         "A|M|||LINK\nB|M|||LINK\n"},
        {"one list of 2^31-1", {{"D-1\\MN\\N-1", "2147483647"}, {"D-1\\MN-1-1", "A"}},
         "A|M|||LINK\nB|M|||UNKNOWN\n"},
        {"a negative count holds nothing", {{"D-1\\MN\\N-1", "-5"}, {"D-1\\MN\\N-2", "1"}, {"D-1\\MN-1-1", "A"}},
         "A|M|||LINK\nB|M|||UNKNOWN\n"},
    };
    std::vector<char> buf(4096);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TmatsAttributes a{{"G\\PN", "PROG"}, {"D-1\\DLN", "LINK"}};
        for (const auto& [k, v] : c.d) a.Add(k, v);
        a.Add("C-1\\DCN", "A").Add("C-2\\DCN", "B");
        std::string path = Write("list.tmt", a);
        int result = GetParametersFromTMATS(path.c_str(), buf.data(), static_cast<int>(buf.size()));
        EXPECT_EQ(result, static_cast<int>(c.expected.size())) << GetErrMsg();
        EXPECT_EQ(std::string(buf.data()), c.expected);
        EXPECT_STREQ(GetErrMsg(), "");
    }
}

class TmatsServicesSamples : public PcmTest {};

bool HasProgramName(const std::string& path) {
    std::string bytes = ch10fix::ReadText(path);
    if (bytes.size() >= 2 && bytes[0] == '\x25' && bytes[1] == '\xEB') bytes.resize(std::min<std::size_t>(bytes.size(), 0x80000));
    return bytes.size() >= 512 && bytes.find("G\\PN:") != std::string::npos && bytes.find("G\\PN:") < bytes.size() - 5;
}

TEST_F(TmatsServicesSamples, EveryFileGetsItsResult) {
    std::string dir = ch10fix::SampleDataDir();
    if (dir.empty()) GTEST_SKIP() << "no sample data";
    std::vector<std::string> files;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        if (e.is_regular_file()) files.push_back(e.path().string());
    std::sort(files.begin(), files.end());
    for (const std::string& path : files) {
        SCOPED_TRACE(path);
        PCM_FORMAT_INFO* formats = nullptr;
        int result = GetPCMFormatInfo(path.c_str(), &formats);
        std::string error = GetErrMsg();
        if (!HasProgramName(path)) {
            EXPECT_EQ(result, -1);
            EXPECT_EQ(error, "GetPCMFormatInfo: Error reading TMATS file " + path + ".");
        } else if (result < 0) {
            const std::vector<std::string> texts = {
                "", "GetPCMFormatInfo: Specified TMATS File " + path + " does not contain G Attribute Groups.",
                "GetPCMFormatInfo: Specified TMATS File " + path + " does not contain P, D, or B Attribute Groups."};
            EXPECT_NE(std::find(texts.begin(), texts.end(), error), texts.end()) << error;
        } else {
            EXPECT_EQ(error, "");
        }
        if (path.size() > 4 && path.substr(path.size() - 4) == ".tmt") {
            EXPECT_EQ(result, -1);
            EXPECT_EQ(error, "");
            tessin::PcmResult* owner = tessin::State().services.current.get();
            ASSERT_NE(owner, nullptr);
            ASSERT_EQ(owner->buses.size(), 4u);
            for (int i = 0; i < 4; ++i) {
                const BUS_INFO& b = owner->buses[i];
                EXPECT_EQ(std::string(b.BusName), "BUS1553-" + std::to_string(i + 1));
                EXPECT_STREQ(b.BusType, "1553");
                EXPECT_EQ(std::string(b.DataLinkName), "UAR40-1-" + std::to_string(i + 1));
                EXPECT_EQ(b.ChannelID, i + 2);
            }
        }
        EXPECT_EQ(FreePCMFormatInfo(), 0);
        EXPECT_EQ(FreePCMFormatInfo(), 0);
    }
}

// The lists and ProcessTMATS over every sample: a length or -1, canaries
// intact, a format count or the failure value.
TEST_F(TmatsServicesSamples, ListsAndTablesOfEveryFile) {
    std::string dir = ch10fix::SampleDataDir();
    if (dir.empty()) GTEST_SKIP() << "no sample data";
    std::vector<std::string> files;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        if (e.is_regular_file() && e.path().extension() != ".md") files.push_back(e.path().string());
    std::sort(files.begin(), files.end());
    constexpr int kLength = 1 << 16;
    std::vector<char> buf(kLength + 64);
    for (const std::string& path : files) {
        SCOPED_TRACE(path);
        for (auto service : {GetParametersFromTMATS, GetTMATSConfigInfo}) {
            std::fill(buf.begin(), buf.end(), '\x5A');
            int result = service(path.c_str(), buf.data(), kLength);
            if (result >= 0) {
                EXPECT_EQ(result, static_cast<int>(strnlen(buf.data(), kLength)));
            } else {
                EXPECT_EQ(result, -1);
            }
            EXPECT_EQ(std::count(buf.begin() + kLength, buf.end(), '\x5A'), 64);
        }
        // ProcessTMATS writes its .cfg beside the source: work on a copy.
        std::string copy = dir_.File("copy.c10");
        std::string bytes = ch10fix::ReadText(path);
        ASSERT_TRUE(ch10fix::WriteFile(copy, ch10fix::Bytes(bytes.begin(), bytes.end())));
        int count = -1;
        uint64_t result = ProcessTMATS(copy.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                       nullptr, nullptr, &count, nullptr, nullptr);
        if (result != UINT64_C(0xFFFFFFFF)) {
            EXPECT_LT(result, UINT64_C(0x8000));
        }
        FreePCMFormatInfo();
    }
}

}  // namespace
