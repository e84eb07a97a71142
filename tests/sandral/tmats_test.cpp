// The TMATS loader, the TMATS table and the TMATS text of setup packets.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/ch10_fixture.h"
#include "tests/sandral/sandral_test_support.h"
#include "tests/support/temp_dir.h"
#include "tests/support/time_packet_builder.h"
#include "tests/support/tmats_builder.h"
#include "tmats_text.h"

namespace sandral {
namespace {

using ch10fix::Bytes;
using ch10fix::TmatsAttributes;
using SandralTmats = sandraltest::SandralFixture;

TmatsAttributes TwoChannels() {
    return TmatsAttributes{{"G\\PN", "LOADER"},     {"G\\106", "07"},      {"R-1\\N", "2"},
                           {"R-1\\NSB", "3"},       {"R-1\\TK1-1", "1"},   {"R-1\\CDT-1", "TIMIN"},
                           {"R-1\\TK1-2", "2"},     {"R-1\\CDT-2", "PCMIN"}};
}

// A message buffer of 80 bytes with canaries behind it.
struct MessageBuffer {
    char bytes[96];
    MessageBuffer() { std::memset(bytes, 0xCC, sizeof bytes); bytes[0] = 0; }
    bool CanariesIntact() const {
        for (std::size_t i = 80; i < sizeof bytes; ++i)
            if (static_cast<unsigned char>(bytes[i]) != 0xCC) return false;
        return true;
    }
};

TEST_F(SandralTmats, LoaderRows) {
    ch10fix::TempDir dir;
    const std::string longDir = dir.File(std::string(200 - dir.Path().size() - 1 - 8, 'd'));
    std::filesystem::create_directory(longDir);
    const std::string valid = longDir + "/ok.ch10";  // a 200-character path
    ASSERT_EQ(valid.size(), 200u);
    Bytes setup = ch10fix::BuildSetupPacket(TwoChannels());
    ch10fix::WriteFile(valid, setup);
    const std::string timeFirst = longDir + "/tf.ch10";
    ch10fix::WriteFile(timeFirst, ch10fix::BuildTimePacket({}));
    TmatsAttributes rejected = TwoChannels();
    rejected.Replace("R-1\\N", "0");
    const std::string bad = longDir + "/rj.ch10";
    ch10fix::WriteFile(bad, ch10fix::BuildSetupPacket(rejected));
    const std::string missing = longDir + "/no.ch10";

    const std::string ours = "Error reading the TMATS Packet from the specified input file/device ";
    const struct {
        const char* name;
        std::string path;
        int deviceFlag;
        bool loads;
        std::string message;
    } cases[] = {
        {"time packet first", timeFirst, 0, false, (ours + timeFirst).substr(0, 79)},
        {"missing file", missing, 0, false, (ours + missing).substr(0, 79)},
        {"device flag 1", valid, 1, false, (ours + valid).substr(0, 79)},
        {"rejected TMATS", bad, 0, false, "Invalid TMATS packet.\r\n"},
        {"valid record", valid, 0, true, ""},
    };
    for (const auto& c : cases) {
        MessageBuffer m;
        CHAN_INFO* record = IRIG107_get_contents(c.deviceFlag, c.path.c_str(), m.bytes);
        EXPECT_EQ(record != nullptr, c.loads) << c.name;
        EXPECT_EQ(State().tmats.record, record) << c.name;
        EXPECT_TRUE(m.CanariesIntact()) << c.name;
        if (!record) {
            EXPECT_EQ(std::string(m.bytes), c.message) << c.name;
            continue;
        }
        MessageBuffer directMessage;
        CHAN_INFO* direct = process_tmats_packet(reinterpret_cast<const char*>(setup.data()),
                                                 static_cast<int>(setup.size()), directMessage.bytes, nullptr);
        ASSERT_NE(direct, nullptr);
        EXPECT_STREQ(m.bytes, directMessage.bytes) << "tessin's own message";
        EXPECT_STREQ(record->ProgramName, direct->ProgramName);
        EXPECT_EQ(record->SourceBits, direct->SourceBits);
        ASSERT_EQ(record->ChannelCount, direct->ChannelCount);
        for (int i = 0; i < record->ChannelCount; ++i) {
            EXPECT_EQ(record->Channels[i].ChannelID, direct->Channels[i].ChannelID);
            EXPECT_EQ(record->Channels[i].DataType, direct->Channels[i].DataType);
        }
    }
}

TEST_F(SandralTmats, FailedLoadAfterGoodOneLeavesNoRecord) {
    ch10fix::TempDir dir;
    ch10fix::WriteFile(dir.File("ok.ch10"), ch10fix::BuildSetupPacket(TwoChannels()));
    ASSERT_NE(IRIG107_get_contents(0, dir.File("ok.ch10").c_str(), nullptr), nullptr);
    EXPECT_EQ(IRIG107_get_contents(0, dir.File("missing.ch10").c_str(), nullptr), nullptr);
    EXPECT_EQ(State().tmats.record, nullptr);
    EXPECT_EQ(IRIG107_get_contents(0, nullptr, nullptr), nullptr) << "a NULL path fails like an empty name";
}

TEST_F(SandralTmats, TmatsFileNames) {
    const struct {
        const char* listing;
        const char* tmats;
    } cases[] = {
        {"run_5.txt", "run_tmats"},       {"out", "out_tmats"},
        {"a_b_c.txt", "a_b_tmats"},       {"d_x/list.txt", "d_x/list.txt_tmats"},
        {"d_x/a_b.txt", "d_x/a_tmats"},
    };
    for (const auto& c : cases) EXPECT_EQ(TmatsFileName(c.listing), c.tmats) << c.listing;
}

TEST_F(SandralTmats, TextPieces) {
    const struct {
        const char* name;
        std::string text;
        std::string tmatsFile;  // as written
        std::string listing;    // through the text-mode listing
    } cases[] = {
        {"CR LF after each", "A;\r\nB;", "A;\r\nB;\r\n", "A;\r\nB;\r\n"},
        {"text after the last ; dropped", "A;B", "A;\r\n", "A;\r\n"},
        {"LF inside a piece", "A\nB;", "A\nB;\r\n", "A\r\nB;\r\n"},
        {"empty pieces", ";;", ";\r\n;\r\n", ";\r\n;\r\n"},
        {"a NUL ends the piece", std::string("AB\0C;D;", 7), "AB;\r\nD;\r\n", "AB;\r\nD;\r\n"},
        {"empty", "", "", ""},
    };
    for (const auto& c : cases) {
        ch10fix::TempDir dir;
        BrowseState& b = State().browse;
        b.outputFileName = dir.File("run_5.txt");
        ASSERT_TRUE(b.outputStream.OpenFile(b.outputFileName));
        print_tmats_text(c.text.data(), c.text.size());
        b.outputStream.Close();
        EXPECT_EQ(sandraltest::ReadText(dir.File("run_tmats")), c.tmatsFile) << c.name;
        EXPECT_EQ(sandraltest::ReadText(dir.File("run_5.txt")), c.listing) << c.name;
    }
}

TEST_F(SandralTmats, TextOnlyForNamedListings) {
    BrowseState& b = State().browse;
    b.outputStream.UseMemory();
    const std::string text = "A:1;B:2;";
    print_tmats_text(text.data(), text.size());
    EXPECT_EQ(b.outputStream.Text(), "") << "standard output gets no TMATS text";

    ch10fix::TempDir dir;
    std::filesystem::create_directory(dir.File("run_tmats"));  // cannot be created as a file
    b.outputFileName = dir.File("run_5.txt");
    ASSERT_TRUE(b.outputStream.OpenFile(b.outputFileName));
    print_tmats_text(text.data(), text.size());
    b.outputStream.Close();
    EXPECT_EQ(sandraltest::ReadText(dir.File("run_5.txt")), "A:1;\r\nB:2;\r\n");
}

TEST_F(SandralTmats, TableGolden) {
    std::vector<CHAN_ENTRY> channels = {{9, 1, 1}, {9, 2, 1}, {25, 3, 0}, {-1, 4, 1},
                                        {9, 5, 1}, {9, 6, 0}, {9, 7, 1}};
    std::vector<PCM_CHAN_INFO> pcm(6);
    auto setPcm = [](PCM_CHAN_INFO& p, uint16_t id, int32_t rate, int8_t wl, int16_t frames, int16_t words,
                     int32_t bits, int16_t mode) {
        p.ChannelID = id, p.BitRate = rate, p.WordLength = wl, p.NumFrames = frames, p.NumWords = words;
        p.BitsInMinorFrame = bits, p.DataMode = mode;
    };
    setPcm(pcm[0], 1, 1000000, 16, 4, 32, 512, 1);
    setPcm(pcm[1], 5, 2000000, -8, 2, 16, 256, 2);
    setPcm(pcm[2], 1, 9, 9, 9, 9, 9, 3);  // a later entry of channel 1 is not used
    setPcm(pcm[3], 6, 5000000, 12, 1, 8, 96, 3);
    setPcm(pcm[4], 7, 64, 8, 1, 2, 16, 0);
    setPcm(pcm[5], 3, 1, 1, 1, 1, 1, 1);  // channel 3 is not PCM: no columns
    CHAN_INFO record{};
    std::strcpy(record.ProgramName, "FLIGHT-7");
    record.ChannelCount = static_cast<int16_t>(channels.size());
    record.Channels = channels.data();
    record.PcmCount = static_cast<int16_t>(pcm.size());
    record.PcmChannels = pcm.data();
    OutputSink& out = State().browse.outputStream;
    out.UseMemory();
    print_tmats_table(out, "rec.ch10", &record);
    EXPECT_EQ(out.Text(), sandraltest::ReadText(std::string(SANDRAL_GOLDEN_DIR) + "/tmats_table.txt"));
}

}  // namespace
}  // namespace sandral
