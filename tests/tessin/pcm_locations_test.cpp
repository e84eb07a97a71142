// Measurement locations: which words, frames and bits each measurand of a
// PCM format occupies.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/tessin/pcm_test_support.h"

namespace {

using namespace servicestest;
using ch10fix::TmatsAttributes;

using Attrs = std::vector<std::pair<std::string, std::string>>;

// Indices of the non-zero FrameWordMasks entries.
std::vector<int> Marked(const PCM_FORMAT_INFO& f) {
    std::vector<int> out;
    for (int i = 0; i < f.NumMainframeEntries * f.NumFrames; ++i)
        if (f.FrameWordMasks[i]) out.push_back(i);
    return out;
}

// 1-based words whose mainframe entry names `id`.
std::vector<int> WordsOf(const PCM_FORMAT_INFO& f, const char* id) {
    std::vector<int> out;
    for (int i = 0; i < f.NumMainframeEntries; ++i)
        if (std::string(f.MainframeEntries[i].ID) == id) out.push_back(i + 1);
    return out;
}

struct Case {
    const char* name;
    Attrs p;  // further P attributes
    Attrs d;
    std::function<void(const PCM_FORMAT_INFO&)> check;
};

const Attrs kSubcom = {{"P-1\\ISF\\N", "1"}, {"P-1\\SF\\N-1", "1"}, {"P-1\\SF1-1-1", "SC1"},
                       {"P-1\\SF4-1-1", "7"}, {"P-1\\SF6-1-1", "4"}};

std::vector<Case> Cases() {
    return {
        {"full word at word 5", {}, {{"D-1\\MN\\N-1", "1"}, {"D-1\\MN-1-1", "M1"}, {"D-1\\MF-1-1", "5"},
                                     {"D-1\\MFM-1-1", "FW"}},
         [](const PCM_FORMAT_INFO& f) {
             std::vector<int> expected;
             for (int frame = 0; frame < 16; ++frame) expected.push_back(4 + frame * 63);
             EXPECT_EQ(Marked(f), expected);
             EXPECT_EQ(f.FrameWordMasks[67], 0xFFFF);
             EXPECT_EQ(WordsOf(f, "M1"), std::vector<int>{5});
             EXPECT_EQ(f.MainframeEntries[4].Num, 5);
             EXPECT_EQ(f.MainframeEntries[4].Type, '1');
             EXPECT_STREQ(f.SampleEntries[0].SampleID, "M1");
             EXPECT_EQ(f.SampleEntries[0].Size, 16);
             EXPECT_STREQ(f.MeasRUEntries[0].ElemID, "M1");
             EXPECT_EQ(f.MeasRUEntries[0].LBit, 16);
         }},
        {"two measurands on one word", {},
         {{"D-1\\MN\\N-1", "2"}, {"D-1\\MN-1-1", "HI"}, {"D-1\\MF-1-1", "5"}, {"D-1\\MFM-1-1", "1111111100000000"},
          {"D-1\\MN-1-2", "LO"}, {"D-1\\MF-1-2", "5"}, {"D-1\\MFM-1-2", "0000000000001111"}},
         [](const PCM_FORMAT_INFO& f) {
             EXPECT_EQ(f.FrameWordMasks[4], 0xFF0F);
             EXPECT_EQ(f.MeasRUEntries[0].FBit, 1);
             EXPECT_EQ(f.MeasRUEntries[0].LBit, 8);
             EXPECT_EQ(f.MeasRUEntries[1].FBit, 13);
             EXPECT_EQ(f.MeasRUEntries[1].LBit, 16);
             EXPECT_STREQ(f.MeasRUEntries[1].ElemID, "HI");
             EXPECT_EQ(WordsOf(f, "LO"), std::vector<int>{});
             EXPECT_STREQ(f.SampleEntries[1].SampleID, "LO");  // no location: the cursor stays on it
         }},
        {"supercommutated", {},
         {{"D-1\\MN\\N-1", "1"}, {"D-1\\MN-1-1", "SUP"}, {"D-1\\MFS\\N-1-1", "4"}, {"D-1\\MFS2-1-1", "3"},
          {"D-1\\MFS3-1-1", "FW"}, {"D-1\\MFS4-1-1", "16"}},
         [](const PCM_FORMAT_INFO& f) {
             EXPECT_EQ(WordsOf(f, "SUP"), (std::vector<int>{3, 19, 35, 51}));
             EXPECT_EQ(f.MainframeEntries[18].Num, 19);
             EXPECT_EQ(Marked(f).size(), 4u * 16u);
             EXPECT_EQ(f.FrameWordMasks[50 + 15 * 63], 0xFFFF);
         }},
        {"repeat interval 0 is one pass", {},
         {{"D-1\\MN\\N-1", "1"}, {"D-1\\MN-1-1", "SUP"}, {"D-1\\MFS\\N-1-1", "32767"}, {"D-1\\MFS2-1-1", "3"},
          {"D-1\\MFS3-1-1", "FW"}, {"D-1\\MFS4-1-1", "0"}},
         [](const PCM_FORMAT_INFO& f) { EXPECT_EQ(WordsOf(f, "SUP"), std::vector<int>{3}); }},
        {"subcommutated frame 2 of depth 4", kSubcom,
         {{"D-1\\MN\\N-1", "1"}, {"D-1\\MN-1-1", "SUB"}, {"D-1\\SF1-1-1", "SC1"}, {"D-1\\SF2-1-1", "2"},
          {"D-1\\SFM-1-1", "FW"}},
         [](const PCM_FORMAT_INFO& f) {
             EXPECT_EQ(Marked(f), (std::vector<int>{6 + 1 * 63, 6 + 5 * 63, 6 + 9 * 63, 6 + 13 * 63}));
             EXPECT_EQ(f.MainframeEntries[6].Type, '2');
             EXPECT_STREQ(f.MainframeEntries[6].ID, "SC1");
             ASSERT_EQ(f.NumSubcomDetails, 16);
             EXPECT_EQ(f.Subcoms[0].Details, f.SubcomDetails);
             EXPECT_EQ(f.SubcomDetails[1].Frame, 2);
             EXPECT_STREQ(f.SubcomDetails[1].SampleID, "SUB");
             EXPECT_STREQ(f.SubcomDetails[0].SampleID, "");
             EXPECT_EQ(f.MeasRUEntries[0].LBit, 16);
         }},
        {"measurement word lengths", {{"P-1\\F1", "12"}},
         {{"D-1\\MN\\N-1", "2"}, {"D-1\\MN-1-1", "LONG"}, {"D-1\\MNF\\N-1-1", "2"}, {"D-1\\MWL-1-1", "80"},
          {"D-1\\WP-1-1", "9"}, {"D-1\\MN-1-2", "SHORT"}, {"D-1\\MNF\\N-1-2", "1"}, {"D-1\\MWL-1-2", "8"},
          {"D-1\\WP-1-2", "10"}},
         [](const PCM_FORMAT_INFO& f) {
             EXPECT_EQ(f.MeasRUEntries[0].LBit, 64);
             EXPECT_STREQ(f.MeasRUEntries[0].ElemID, "LONG");
             EXPECT_EQ(WordsOf(f, "LONG"), std::vector<int>{9});
             EXPECT_EQ(f.SampleEntries[0].Size, 12);  // the word's assignment sets the word length
             EXPECT_EQ(f.MeasRUEntries[1].LBit, 12);
             EXPECT_STREQ(f.SampleEntries[1].SampleID, "SHORT");
             EXPECT_EQ(Marked(f), std::vector<int>{});  // the list form marks no bits
         }},
        {"measurement word length alone", {},
         {{"D-1\\MN\\N-1", "1"}, {"D-1\\MN-1-1", "LONG"}, {"D-1\\MNF\\N-1-1", "2"}, {"D-1\\MWL-1-1", "80"}},
         [](const PCM_FORMAT_INFO& f) { EXPECT_EQ(f.SampleEntries[0].Size, 64); }},
        {"list form into a subcom", kSubcom,
         {{"D-1\\MN\\N-1", "2"}, {"D-1\\MN-1-1", "A"}, {"D-1\\WP-1-1", "7"}, {"D-1\\FP-1-1", "3"},
          {"D-1\\WFM-1-1", "1"}, {"D-1\\MN-1-2", "B"}, {"D-1\\WP-1-2", "7"}, {"D-1\\FP-1-2", "4"},
          {"D-1\\WFM-1-2", "1"}},
         [](const PCM_FORMAT_INFO& f) {
             EXPECT_EQ(f.MainframeEntries[6].Type, '2');
             EXPECT_STREQ(f.MeasRUEntries[0].ElemID, "SC1");
             EXPECT_STREQ(f.MeasRUEntries[1].ElemID, "SC1");
             EXPECT_STREQ(f.SubcomDetails[2].SampleID, "A");
             EXPECT_EQ(f.SubcomDetails[2].Frame, 3);
             EXPECT_STREQ(f.SubcomDetails[3].SampleID, "B");
             EXPECT_STREQ(f.SampleEntries[1].SampleID, "B");
         }},
        {"the counter-named measurand gets no sample",
         {{"P-1\\ISF\\N", "1"}, {"P-1\\ISF1-1", "FRAMECOUNT"}, {"P-1\\IDC1-1", "2"}},
         {{"D-1\\MN\\N-1", "2"}, {"D-1\\MN-1-1", "FRAMECOUNT"}, {"D-1\\MF-1-1", "2"}, {"D-1\\MN-1-2", "M2"},
          {"D-1\\MF-1-2", "4"}},
         [](const PCM_FORMAT_INFO& f) {
             EXPECT_STREQ(f.SampleEntries[0].SampleID, "M2");
             EXPECT_STREQ(f.SampleEntries[1].SampleID, "");
             EXPECT_EQ(f.MainframeEntries[1].Num, 0);
             EXPECT_STREQ(f.MeasRUEntries[0].ElemID, "");
             EXPECT_EQ(WordsOf(f, "M2"), std::vector<int>{4});
         }},
        {"two measurement lists", {},
         {{"D-1\\MN\\N-1", "1"}, {"D-1\\MN\\N-2", "2"}, {"D-1\\MN\\N-2", "5"}, {"D-1\\MN-1-1", "A"},
          {"D-1\\MF-1-1", "2"}, {"D-1\\MN-2-1", "B"}, {"D-1\\MF-2-1", "3"}, {"D-1\\MN-2-2", "C"},
          {"D-1\\MF-2-2", "4"}, {"D-1\\MN-2-3", "D"}, {"D-1\\MF-2-3", "5"}},
         [](const PCM_FORMAT_INFO& f) {
             ASSERT_EQ(f.NumSampleEntries, 3);
             EXPECT_EQ(f.NumMeasRUEntries, 3);
             EXPECT_STREQ(f.MeasRUEntries[0].MeasID, "A");
             EXPECT_STREQ(f.MeasRUEntries[1].MeasID, "B");
             EXPECT_STREQ(f.MeasRUEntries[2].MeasID, "C");
             EXPECT_EQ(WordsOf(f, "C"), std::vector<int>{4});
             EXPECT_EQ(WordsOf(f, "D"), std::vector<int>{});
         }},
        {"no measurement count", {}, {{"D-1\\MN-1-1", "A"}, {"D-1\\MF-1-1", "2"}, {"D-1\\MFM-1-1", "FW"}},
         [](const PCM_FORMAT_INFO& f) {
             EXPECT_EQ(f.NumSampleEntries, 0);
             EXPECT_EQ(f.SampleEntries, nullptr);
             EXPECT_EQ(WordsOf(f, "A"), std::vector<int>{});
             EXPECT_EQ(Marked(f).size(), 16u);  // the mask still names the word
         }},
    };
}

class PcmLocations : public PcmTest {};

TEST_F(PcmLocations, Table) {
    for (const Case& c : Cases()) {
        TmatsAttributes a = BaseFormat();
        for (const auto& [k, v] : c.p) a.Replace(k, v);
        for (const auto& [k, v] : c.d) a.Add(k, v);
        PcmCall r = Call(a);
        ASSERT_EQ(r.result, 1) << c.name;
        SCOPED_TRACE(c.name);
        c.check(r.formats[0]);
        EXPECT_EQ(FreePCMFormatInfo(), 0);
    }
}

}  // namespace
