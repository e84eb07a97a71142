// The time seek, through get_ch10_time_offset and Ch10GoToTime, against
// the times the generator wrote.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "browse_text.h"
#include "sandral.h"
#include "sandral_state.h"
#include "tests/sandral/browse_recording.h"
#include "tests/sandral/sandral_test_support.h"
#include "tests/support/temp_dir.h"
#include "time_convert.h"
#include "time_seek.h"

namespace {

using sandraltest::Generated;
using sandraltest::kDayOne;

// The first packet whose time is at or after the target (setup left out);
// -1 when there is none, 0 before the first time packet.
int64_t Oracle(const Generated& g, double target) {
    for (const auto& w : g.packets) {
        if (w.dataType == 1) continue;
        if (w.dataType == 0x11 && w.timeUsec > target && &w == &g.packets[1]) return 0;
        if (w.timeUsec >= target) return w.offset;
    }
    return -1;
}

// "day:hour:minute:second:microsecond" of a target.
std::string TimeText(double usec) {
    auto t = static_cast<int64_t>(usec);
    const int64_t day = t / 86400000000LL;
    t %= 86400000000LL;
    return std::to_string(day) + ":0:0:" + std::to_string(t / 1000000) + ":" + std::to_string(t % 1000000);
}

class SandralSeek : public sandraltest::SandralFixture {
protected:
    std::string Write(const sandraltest::GenSpec& spec, const std::string& name) {
        gen_ = sandraltest::Generate(spec);
        const std::string path = dir_.File(name);
        EXPECT_TRUE(ch10fix::WriteFile(path, gen_.bytes));
        return path;
    }
    // Both entries agree with the oracle.
    void Expect(const std::string& path, double target) {
        SCOPED_TRACE(path + " target " + TimeText(target));
        const int64_t expected = Oracle(gen_, target);
        int64_t found = -7;
        const int r = sandral::get_ch10_time_offset(path, static_cast<int64_t>(target), &found);
        char text[SANDRAL_OFFSET_TEXT_SIZE] = "untouched";
        const int call = Ch10GoToTime(path.c_str(), TimeText(target).c_str(), text);
        if (expected < 0) {
            EXPECT_EQ(r, -1);
            EXPECT_EQ(call, 1);
            EXPECT_STREQ(text, "untouched");
        } else {
            EXPECT_EQ(r, 0);
            EXPECT_EQ(found, expected);
            EXPECT_EQ(call, 0);
            EXPECT_EQ(text, sandral::HexOffsetText(expected));
        }
    }
    static sandraltest::GenSpec Big() {
        sandraltest::GenSpec s;
        s.dataPackets = 420;
        s.minLength = 4096;
        s.maxLength = 12288;
        s.timeEveryBytes = 64 * 1024;
        return s;
    }

    ch10fix::TempDir dir_;
    Generated gen_;
};

TEST_F(SandralSeek, TargetsOnALargeRecording) {
    const std::string path = Write(Big(), "big.c10");
    ASSERT_GT(gen_.Size(), 3 * 1024 * 1024);
    std::vector<double> targets = {kDayOne - 5e6, 1000};
    for (const auto& w : gen_.packets) {
        if (w.dataType != 0x11) continue;
        const int s = static_cast<int>((w.timeUsec - kDayOne) / 1e6);
        if (s % 7 != 0) continue;
        targets.push_back(w.timeUsec);           // the time packet itself
        targets.push_back(w.timeUsec + 4321);    // between packets
        targets.push_back(w.timeUsec + 2e6);     // exactly two seconds on
    }
    targets.push_back(gen_.packets.back().timeUsec + 3600e6);  // past the end
    for (double t : targets) Expect(path, t);
}

TEST_F(SandralSeek, RecordingShapes) {
    auto tail = Big();
    tail.dataPackets = 180;
    std::string path = Write(tail, "tail.c10");
    ASSERT_GT(gen_.Size(), 1400 * 1024);
    Expect(path, gen_.packets[gen_.packets.size() - 20].timeUsec);  // in the last 0.4 MiB

    auto single = Big();
    single.timeEveryBytes = 0;
    single.dataPackets = 30;
    path = Write(single, "single.c10");
    Expect(path, gen_.packets[10].timeUsec);
    Expect(path, gen_.packets.back().timeUsec + 1);

    auto secondary = Big();
    secondary.secondaryHeaders = true;
    secondary.dataPackets = 200;
    path = Write(secondary, "secondary.c10");
    for (std::size_t i : {std::size_t{1}, std::size_t{57}, gen_.packets.size() - 3}) Expect(path, gen_.packets[i].timeUsec);

    path = dir_.File("short.c10");
    ASSERT_TRUE(ch10fix::WriteFile(path, ch10fix::Bytes(40, 0x11)));
    testing::internal::CaptureStderr();
    char text[SANDRAL_OFFSET_TEXT_SIZE] = "untouched";
    EXPECT_EQ(Ch10GoToTime(path.c_str(), "1", text), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_STREQ(text, "untouched");
    EXPECT_EQ(Ch10GoToTime(dir_.File("missing.c10").c_str(), "1", text), 1);
}

TEST_F(SandralSeek, SegmentSetOverRepeatedSeeks) {
    Write(Big(), "unused.c10");
    const std::string set = ch10fix::WriteSegmentSet(dir_.Path(), "D0002", ".ch10", gen_.bytes, 100000).front();
    for (int k = 0; k < 20; ++k) {
        const auto& w = gen_.packets[static_cast<std::size_t>(20 + k * 17)];
        int64_t found = -1;
        ASSERT_EQ(sandral::get_ch10_time_offset(set, static_cast<int64_t>(w.timeUsec), &found), 0) << k;
        EXPECT_EQ(found, Oracle(gen_, w.timeUsec)) << k;
    }
}

TEST_F(SandralSeek, LeavesTheBrowsePositionAlone) {
    const std::string path = Write(Big(), "big.c10");
    char list[SANDRAL_CHANNEL_LIST_SIZE] = "";
    char text[SANDRAL_OFFSET_TEXT_SIZE] = "";
    // Before any position: nothing to restore, nothing to crash on.
    EXPECT_EQ(Ch10GoToTime(path.c_str(), TimeText(gen_.packets[50].timeUsec).c_str(), text), 0);

    Ch10GetChannelList(path.c_str(), list);
    Ch10PositionOffset(path.c_str(), "0");
    const std::string a = dir_.File("a.txt");
    const std::string b = dir_.File("b.txt");
    Ch10GetNextPacket("ALL", a.c_str(), "5");
    const std::string first = ch10fix::ReadText(a);
    Ch10GetNextPacket("ALL", a.c_str(), "5");
    const std::string second = ch10fix::ReadText(a);

    sandral::ResetStateForTests();
    Ch10GetChannelList(path.c_str(), list);
    Ch10PositionOffset(path.c_str(), "0");
    Ch10GetNextPacket("ALL", b.c_str(), "5");
    EXPECT_EQ(ch10fix::ReadText(b), first);
    EXPECT_EQ(Ch10GoToTime(path.c_str(), TimeText(gen_.packets[300].timeUsec).c_str(), text), 0);
    Ch10GetNextPacket("ALL", b.c_str(), "5");
    EXPECT_EQ(ch10fix::ReadText(b), second);
}

TEST_F(SandralSeek, NewChannelListForgetsTheOldReferences) {
    auto shifted = Big();
    shifted.dataPackets = 120;
    const std::string b = Write(shifted, "b.c10");
    const Generated genB = gen_;
    const std::string a = Write(Big(), "a.c10");
    char list[SANDRAL_CHANNEL_LIST_SIZE] = "";
    char text[SANDRAL_OFFSET_TEXT_SIZE] = "";
    Ch10GetChannelList(a.c_str(), list);
    Ch10PositionOffset(a.c_str(), sandral::HexOffsetText(gen_.packets[200].offset).c_str());
    Ch10GetNextPacket("ALL", dir_.File("p.txt").c_str(), "5");
    Ch10GetChannelList(b.c_str(), list);
    const double target = genB.packets[60].timeUsec;
    ASSERT_EQ(Ch10GoToTime(b.c_str(), TimeText(target).c_str(), text), 0);
    EXPECT_EQ(text, sandral::HexOffsetText(Oracle(genB, target)));
}

// Time packets of a real recording by its own packet walk; empty when the
// walk needs resynchronisation or the times do not rise with the offsets.
std::vector<std::pair<int64_t, double>> RisingTimePackets(const ch10fix::Bytes& b) {
    std::vector<std::pair<int64_t, double>> out;
    std::size_t pos = 0;
    while (pos + 24 <= b.size()) {
        const uint32_t length = ch10fix::Get32(b, pos + 4);
        if (ch10fix::Get16(b, pos) != 0xEB25 || length == 0 || pos + length > b.size() ||
            ch10fix::HeaderChecksum(b.data() + pos) != ch10fix::Get16(b, pos + 22))
            return {};
        if (b[pos + 15] == 0x11) {
            const std::size_t at = pos + 24 + ((b[pos + 14] & 0x80) ? 12 : 0);
            if (at + 10 > b.size()) return {};
            const double t = sandral::irig_time_to_usec(
                ch10fix::Get32(b, at), {ch10fix::Get16(b, at + 4), ch10fix::Get16(b, at + 6), ch10fix::Get16(b, at + 8)});
            if (!out.empty() && t <= out.back().second) return {};
            out.emplace_back(static_cast<int64_t>(pos), t);
        }
        pos += length;
    }
    return out;
}

TEST_F(SandralSeek, SampleRecordingsWithRisingTimes) {
    const std::string data = ch10fix::SampleDataDir();
    if (data.empty() || !std::filesystem::exists(data)) GTEST_SKIP() << "no sample recordings";
    int checked = 0;
    for (const auto& entry : std::filesystem::directory_iterator(data)) {
        const auto ext = entry.path().extension();
        if (ext != ".c10" && ext != ".ch10") continue;
        const auto times = RisingTimePackets(ch10fix::ReadFile(entry.path().string()));
        if (times.empty()) continue;
        ++checked;
        const std::string path = entry.path().string();
        for (const auto& [offset, time] : times) {
            int64_t found = -1;
            ASSERT_EQ(sandral::get_ch10_time_offset(path, static_cast<int64_t>(time), &found), 0) << path;
            EXPECT_LE(found, offset) << path;
        }
        int64_t found = -1;
        EXPECT_EQ(sandral::get_ch10_time_offset(path, static_cast<int64_t>(times.back().second + 3600e6), &found), -1)
            << path;
    }
    if (checked == 0) GTEST_SKIP() << "no sample recording with rising time packets";
}

}  // namespace
