// The real setup records of the sample folder, read the way the validator
// reads a recording's first packet.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/ch10_fixture.h"
#include "tests/support/temp_dir.h"
#include "tessin.h"
#include "tessin/src/tessin_state.h"
#include "tests/tessin/tmats_rig.h"

namespace {

using namespace tmatstest;

constexpr int kFirstRead = 0xFC000;

// The test's own count of recorder channels: indices 1..N with a type word.
int CountTypedChannels(const std::string& text) {
    std::size_t at = text.find("R-1\\N:");
    if (at == std::string::npos) return 0;
    int n = std::atoi(text.c_str() + at + 6);
    int count = 0;
    for (int i = 1; i <= n; ++i) {
        std::string s = std::to_string(i);
        if (text.find("R-1\\DST-" + s + ":") != std::string::npos ||
            text.find("R-1\\CDT-" + s + ":") != std::string::npos)
            ++count;
    }
    return count;
}

struct Sample {
    std::string path;
    std::vector<char> buffer;  // what is passed
    std::string text;          // the TMATS text alone, for the own scan
};

std::vector<Sample> LoadSamples(const std::string& dir) {
    std::vector<Sample> out;
    std::vector<std::filesystem::path> files;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        if (e.is_regular_file()) files.push_back(e.path());
    std::sort(files.begin(), files.end());
    for (const auto& p : files) {
        Sample s;
        s.path = p.string();
        if (p.extension() == ".tmt") {
            std::string whole = ReadText(s.path);
            s.buffer.assign(whole.begin(), whole.end());
            s.text = whole;
            out.push_back(std::move(s));
            continue;
        }
        int h = iOpen(s.path.c_str(), 0);
        if (h < 0) continue;
        s.buffer.assign(kFirstRead, 0);
        iGoto(h, 0, 0, 0);
        int n = iRead(h, s.buffer.data(), kFirstRead);
        iClose(h);
        if (n < 28 || static_cast<unsigned char>(s.buffer[15]) != 1) continue;
        ch10fix::Bytes header(s.buffer.begin(), s.buffer.begin() + 24);
        std::size_t dataLength = ch10fix::Get32(header, 8);
        std::size_t end = std::min<std::size_t>(24 + dataLength, static_cast<std::size_t>(n));
        s.text.assign(s.buffer.begin() + 28, s.buffer.begin() + static_cast<std::ptrdiff_t>(end));
        out.push_back(std::move(s));
    }
    return out;
}

class TmatsSamples : public ::testing::Test {
protected:
    void SetUp() override { tessin::ResetStateForTests(); }
    void TearDown() override { tessin::ResetStateForTests(); }
};

TEST_F(TmatsSamples, SetupRecordsGiveConsistentRecords) {
    std::string dir = ch10fix::SampleDataDir();
    if (dir.empty()) GTEST_SKIP() << "sample folder absent";
    std::vector<Sample> samples = LoadSamples(dir);
    if (samples.empty()) GTEST_SKIP() << "no setup record among the samples";
    ch10fix::TempDir logs;
    for (const Sample& s : samples) {
        SCOPED_TRACE(s.path);
        std::string logPath = logs.File("sample.log");
        ErrorBuffer err;
        CHAN_INFO* info = process_tmats_packet(s.buffer.data(), static_cast<int>(s.buffer.size()), err.get(),
                                               logPath.c_str());
        ASSERT_NE(info, nullptr) << err.text();
        EXPECT_TRUE(err.CanaryIntact());

        int recorder = CountTypedChannels(s.text);
        bool event = s.text.find("R-1\\EV\\TK1:") != std::string::npos;
        bool index = s.text.find("R-1\\IDX\\TK1:") != std::string::npos;
        EXPECT_GT(recorder, 0);
        EXPECT_EQ(info->ChannelCount, recorder + (event ? 1 : 0) + (index ? 1 : 0));

        int entryOnly = 0, recorderEntries = 0;
        for (int i = 0; i < info->ChannelCount; ++i) {
            int t = info->Channels[i].DataType;
            if (t == 2 || t == 3) continue;
            ++recorderEntries;
            if (t == 120 || t == 112 || t == 96) ++entryOnly;
        }
        int kinds = info->PcmCount + info->TimeCount + info->Bus1553Count + info->AnalogCount + info->DiscreteCount +
                    info->MessageCount + info->A429Count + info->VideoCount + info->ImageCount + info->UartCount +
                    info->OtherCount + info->Ieee1394Count + info->EthernetCount + info->FibreCount;
        EXPECT_EQ(kinds + entryOnly, recorderEntries);
        EXPECT_EQ(recorderEntries, recorder);

        std::string log = ReadText(logPath);
        std::size_t lines = FindingLines(log).size();
        EXPECT_EQ(static_cast<std::size_t>(info->FindingCount), std::min<std::size_t>(lines, 32767));
        EXPECT_NE(log.find("TMATS Packet Info:"), std::string::npos);
    }
}

}  // namespace
