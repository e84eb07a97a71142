// Paging back and forth and timing over recordings whose packets leave the 4-byte
// phase of the file after damaged bytes, and over clean recordings whose
// size is not a multiple of 4.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "browse_text.h"
#include "sandral.h"
#include "sandral_state.h"
#include "tests/sandral/browse_recording.h"
#include "tests/sandral/recording_builder.h"
#include "tests/sandral/sandral_test_support.h"
#include "tests/support/temp_dir.h"
#include "time_convert.h"

namespace {

using sandraltest::PrintedOffsets;

struct Layout {
    int phase;            // of the packets after the damaged bytes
    bool timeAfterShift;  // the time packet among them, else before the damage
    int trailing;         // stray bytes at the end of the recording
};

// A setup packet, three packets at phase 0, 4 + `phase` damaged bytes, then
// 20 packets at `phase`; every data packet 1 ms after the one before it.
struct OffPhaseRecording {
    sandraltest::Recording rec;
    std::vector<double> times;  // IRIG time of each whole packet (0: untimed)

    explicit OffPhaseRecording(const Layout& l) {
        Add(ch10fix::BuildSetupPacket(sandraltest::GenTmats()), 0);
        if (!l.timeAfterShift) AddTime();
        for (int k = 0; k < 3; ++k) AddData(2);
        rec.Garbage(static_cast<std::size_t>(4 + l.phase), 0xA5);
        if (l.timeAfterShift) AddTime();
        for (int k = 0; k < 20; ++k) AddData(static_cast<uint16_t>(2 + k % 2));
        rec.Garbage(static_cast<std::size_t>(l.trailing));
    }
    std::vector<int64_t> Offsets(std::size_t from, std::size_t to) const {
        return {rec.packets.begin() + static_cast<std::ptrdiff_t>(from),
                rec.packets.begin() + static_cast<std::ptrdiff_t>(to)};
    }

private:
    void Add(const ch10fix::Bytes& p, double time) {
        rec.Packet(p);
        times.push_back(time);
    }
    void AddTime() { Add(sandraltest::TimePacketAt(0, false), sandraltest::kDayOne); }
    void AddData(uint16_t channel) {
        ++dataPackets_;
        ch10fix::PacketSpec spec;
        spec.channelId = channel;
        spec.dataType = 0x09;
        spec.rtc = static_cast<uint64_t>(dataPackets_) * 10000;
        spec.body.assign(static_cast<std::size_t>(100 + 8 * dataPackets_), 0x3C);
        Add(ch10fix::BuildPacket(spec), sandraltest::kDayOne + dataPackets_ * 1000.0);
    }
    int dataPackets_ = 0;
};

class SandralOffPhase : public sandraltest::SandralFixture {
protected:
    void Open(const std::string& path) {
        path_ = path;
        char list[SANDRAL_CHANNEL_LIST_SIZE] = "";
        ASSERT_EQ(Ch10GetChannelList(path_.c_str(), list), 0);
        ASSERT_EQ(Ch10PositionOffset(path_.c_str(), "0"), 0);
    }
    // One Ch10GetPacket over all channels; the listing it wrote.
    std::string Get(const char* mode, const std::string& skip, int count, int* result) {
        const std::string out = dir_.File("page.txt");
        std::filesystem::remove(out);
        *result = Ch10GetPacket("ALL", mode, skip.c_str(), out.c_str(), std::to_string(count).c_str());
        return ch10fix::ReadText(out);
    }
    // The "Computed IRIG Time" text of the first packet printed.
    static std::string FirstTime(const std::string& text) {
        const std::string label = "Computed IRIG Time: ";
        const std::size_t at = text.find(label);
        return at == std::string::npos ? "" : text.substr(at + label.size(), 19);
    }

    ch10fix::TempDir dir_;
    std::string path_;
};

TEST_F(SandralOffPhase, PagingAndTimeReferenceFollowThePacketsPhase) {
    std::vector<Layout> layouts;
    for (int phase = 0; phase < 4; ++phase)
        for (bool after : {false, true}) layouts.push_back({phase, after, 0});
    // Clean recordings that end in stray bytes: the end has no packet's phase.
    for (int trailing = 1; trailing < 4; ++trailing) layouts.push_back({0, false, trailing});
    for (const Layout& l : layouts) {
        SCOPED_TRACE("phase " + std::to_string(l.phase) + (l.timeAfterShift ? " time after" : " time before") +
                     " trailing " + std::to_string(l.trailing));
        sandral::ResetStateForTests();
        const OffPhaseRecording r(l);
        const std::string path = dir_.File("rec.c10");
        ASSERT_TRUE(ch10fix::WriteFile(path, r.rec.bytes));
        const std::size_t n = r.rec.packets.size();
        Open(path);
        int result = -1;
        Get("EOF", "", 0, &result);
        EXPECT_EQ(result, 2);
        EXPECT_EQ(PrintedOffsets(Get("PREV", "1", 10, &result)), r.Offsets(n - 10, n));
        EXPECT_EQ(result, 0);

        // An ABS page after the damage, its packets timed from the time
        // packet found backwards, then the page before it.
        const std::size_t page = n - 8;
        const std::string text = Get("ABS", sandral::HexOffsetText(r.rec.packets[page]), 5, &result);
        EXPECT_EQ(result, 0);
        EXPECT_EQ(PrintedOffsets(text), r.Offsets(page, page + 5));
        EXPECT_EQ(FirstTime(text), sandral::format_usec_time(r.times[page]));
        EXPECT_EQ(PrintedOffsets(Get("PREV", "1", 5, &result)), r.Offsets(page - 5, page));
        EXPECT_EQ(result, 0);

        // A skip forward from the first page across the damage.
        Get("BOF", "", 3, &result);
        EXPECT_EQ(PrintedOffsets(Get("fwd", "6", 3, &result)), r.Offsets(6, 9));
        EXPECT_EQ(result, 0);
    }
}

// The damaged sample: three packets at phase 0, the rest at phase 2.
TEST_F(SandralOffPhase, DamagedSampleRecording) {
    const std::string dir = ch10fix::SampleDataDir();
    const std::string path = dir + "/c10tools-bad-f2b392a.c10";
    if (dir.empty() || !std::filesystem::exists(path)) GTEST_SKIP() << "no sample recordings";
    const std::string all = sandraltest::ListPackets(path);
    const std::vector<int64_t> packets = PrintedOffsets(all);
    ASSERT_GT(packets.size(), 60u);
    auto slice = [&packets](std::size_t from, std::size_t to) {
        return std::vector<int64_t>(packets.begin() + static_cast<std::ptrdiff_t>(from),
                                    packets.begin() + static_cast<std::ptrdiff_t>(to));
    };
    sandral::ResetStateForTests();
    Open(path);
    int result = -1;
    Get("EOF", "", 0, &result);
    const std::size_t n = packets.size();
    EXPECT_EQ(PrintedOffsets(Get("PREV", "1", 10, &result)), slice(n - 10, n));
    EXPECT_EQ(result, 0);

    const std::size_t page = n / 2;
    const std::string text = Get("ABS", sandral::HexOffsetText(packets[page]), 5, &result);
    EXPECT_EQ(PrintedOffsets(text), slice(page, page + 5));
    // Timed as the listing from the start times it.
    char label[40];
    std::snprintf(label, sizeof label, "Offset      :  0x%016llX", static_cast<unsigned long long>(packets[page]));
    const std::size_t at = all.find(label);
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(FirstTime(text), FirstTime(all.substr(at)));
    EXPECT_EQ(PrintedOffsets(Get("PREV", "1", 5, &result)), slice(page - 5, page));
    EXPECT_EQ(result, 0);

    Get("BOF", "", 10, &result);
    EXPECT_EQ(PrintedOffsets(Get("fwd", "10", 10, &result)), slice(10, 20));
    EXPECT_EQ(result, 0);
}

}  // namespace
