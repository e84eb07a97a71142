// Every sample recording listed whole: the printed offsets follow the
// recording's own packet walk, cut packets end the listing with the banner,
// and the TMATS table has a row per channel entry.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/ch10_fixture.h"
#include "header_test.h"
#include "tests/support/program_run.h"
#include "tests/sandral/sandral_test_support.h"
#include "tests/support/temp_dir.h"
#include "time_reference.h"
#include "tmats_text.h"

namespace sandral {
namespace {

using SandralSamples = sandraltest::SandralFixture;

struct Walk {
    std::vector<int64_t> offsets;  // whole packets, then a cut one
    bool endsCut = false;          // a packet, or a 25 EB tail, cut by the end
};

// Whole packets where a valid header's length fits; a byte further
// otherwise. The last bytes that cannot hold a header are a cut packet
// from their first 25 EB on.
Walk WalkRecording(const ch10fix::Bytes& b) {
    Walk w;
    const std::size_t size = b.size();
    std::size_t p = 0;
    while (size - p >= 24) {
        if (check_packet_header(&b[p], size - p)) {
            const uint32_t length = ch10fix::Get32(b, p + 4);
            w.offsets.push_back(static_cast<int64_t>(p));
            if (p + length > size) {
                w.endsCut = true;
                return w;
            }
            p += length;
        } else {
            ++p;
        }
    }
    for (std::size_t i = p; i + 1 < size; ++i)
        if (b[i] == 0x25 && b[i + 1] == 0xEB) w.endsCut = true;
    return w;
}

std::vector<std::string> Recordings() {
    const std::string dir = ch10fix::SampleDataDir();
    std::vector<std::string> paths;
    for (const std::string& name : ch10fix::SampleRecordingNames()) paths.push_back(dir + "/" + name);
    return paths;
}

TEST_F(SandralSamples, ListingsFollowThePacketWalk) {
    const auto recordings = Recordings();
    if (recordings.empty()) GTEST_SKIP() << "no sample recordings";
    for (const std::string& path : recordings) {
        ResetStateForTests();
        ch10fix::TempDir dir;
        const ch10fix::Bytes bytes = ch10fix::ReadFile(path);
        const Walk walk = WalkRecording(bytes);
        BrowseState& b = State().browse;
        const CHAN_INFO* record = IRIG107_get_contents(0, path.c_str(), nullptr);
        SetGroupBits(record);
        b.outputFileName = dir.File("list_1.txt");
        ASSERT_TRUE(b.outputStream.OpenFile(b.outputFileName));
        if (record) print_tmats_table(b.outputStream, path, record);
        sandraltest::OpenForListing(path);
        b.fileSize = static_cast<int64_t>(bytes.size());
        run_decode_loop();
        b.outputStream.Close();
        const std::string text = sandraltest::ReadText(b.outputFileName);
        EXPECT_EQ(sandraltest::PrintedOffsets(text), walk.offsets) << path;
        const auto banner = text.rfind("PARTIAL PACKET");
        EXPECT_EQ(banner != std::string::npos, walk.endsCut) << path;
        if (walk.endsCut && banner != std::string::npos) {
            EXPECT_LE(sandraltest::Count(text.substr(banner), "Offset      :"), 1) << path << ": the cut packet comes last";
        }
        if (!bytes.empty() && bytes.size() > 15 && bytes[15] == 1 && record) {
            const auto dashes = text.find("-----------");  // under "Words/Frame"
            ASSERT_NE(dashes, std::string::npos) << path;
            const auto head = text.find("\r\n", dashes);
            const auto rows = sandraltest::Count(text.substr(head, text.find("=====", head) - head), "abled");
            EXPECT_EQ(rows, record->ChannelCount) << path;
        }
        EXPECT_EQ(State().player.status->endOfData, 1) << path;
    }
}

TEST_F(SandralSamples, SandralListRunsAsAUser) {
    const auto recordings = Recordings();
    const auto it = std::find_if(recordings.begin(), recordings.end(),
                                 [](const std::string& p) { return p.find("c10tools-1-bce51bb") != std::string::npos; });
    if (it == recordings.end()) GTEST_SKIP() << "no sample recordings";
    ch10fix::TempDir dir;
    const auto run = ch10fix::RunProgram({SANDRAL_LIST_PROGRAM, "-o", "list_1.txt", "-n", "5", *it}, dir.Path());
    ASSERT_EQ(run.ExitCode(), 0) << run.err;
    const std::string text = sandraltest::ReadText(dir.File("list_1.txt"));
    EXPECT_EQ(sandraltest::PrintedOffsets(text).size(), 5u);
    EXPECT_NE(text.find("TMATS Packet Info:\r\n"), std::string::npos);
    EXPECT_EQ(sandraltest::Count(text, "\n") , sandraltest::Count(text, "\r\n")) << "CR LF throughout";
    const std::string tmats = sandraltest::ReadText(dir.File("list_tmats"));
    EXPECT_EQ(tmats.substr(0, 22), "G\\PN:D200-KC135OPSCK;\r") << "one attribute a line";
    EXPECT_NE(text.find(tmats), std::string::npos) << "the listing holds the setup text";
}

}  // namespace
}  // namespace sandral
