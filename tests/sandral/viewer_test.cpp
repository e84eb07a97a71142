// The viewer stand-in paging forward and back through whole recordings:
// what it prints must be every packet once, in order.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/sandral/browse_recording.h"
#include "tests/sandral/sandral_test_support.h"
#include "tests/support/program_run.h"
#include "tests/support/temp_dir.h"

namespace {

using sandraltest::PrintedOffsets;

// The recording's own walk: a valid header that fits is a packet, one that
// runs past the end is the cut last packet, else one byte on.
struct OwnWalk {
    std::vector<int64_t> offsets;
    std::vector<uint16_t> channels;
    bool resynchronised = false;
};

OwnWalk Walk(const ch10fix::Bytes& b) {
    OwnWalk w;
    std::size_t pos = 0;
    while (pos + 24 <= b.size()) {
        const uint32_t length = ch10fix::Get32(b, pos + 4);
        const bool valid = ch10fix::Get16(b, pos) == 0xEB25 && length >= 1 && length <= 0x80000 &&
                           ch10fix::HeaderChecksum(b.data() + pos) == ch10fix::Get16(b, pos + 22);
        if (!valid) {
            ++pos;
            w.resynchronised = true;
            continue;
        }
        w.offsets.push_back(static_cast<int64_t>(pos));
        w.channels.push_back(ch10fix::Get16(b, pos + 2));
        if (pos + length > b.size()) break;
        pos += length;
    }
    return w;
}

std::vector<int64_t> OfChannel(const OwnWalk& w, int channel) {
    std::vector<int64_t> out;
    for (std::size_t i = 0; i < w.offsets.size(); ++i)
        if (channel < 0 || w.channels[i] == channel) out.push_back(w.offsets[i]);
    return out;
}

struct Request {
    std::string call;  // "Ch10GetPacket(ALL, PREV" ...
    int result;
    std::vector<int64_t> printed;
};

std::vector<Request> Requests(const std::string& out) {
    static const std::regex line(R"re(^(Ch10Get(?:Next)?Packet\([^"]*)"([^"]*)".*\) = (\d)$)re");
    std::vector<Request> requests;
    std::istringstream in(out);
    std::string text;
    std::smatch m;
    while (std::getline(in, text))
        if (std::regex_match(text, m, line))
            requests.push_back({m[1].str(), std::stoi(m[3].str()), PrintedOffsets(ch10fix::ReadText(m[2].str()))});
    return requests;
}

// Runs `list forward=N back=N` (or skip-forward) and checks the pages.
void CheckPaging(const std::string& recording, const OwnWalk& own, int n, const std::string& channel, bool backExact) {
    ch10fix::TempDir pages;
    const int ch = channel == "ALL" ? -1 : std::stoi(channel);
    const std::string count = std::to_string(n);
    const auto run = ch10fix::RunProgram({VIEWER_STANDIN_PROGRAM, "--out-dir", pages.Path(), "--channel", channel,
                                          recording, "list", "forward=" + count, "back=" + count});
    ASSERT_EQ(run.ExitCode(), 0) << run.err;
    const auto requests = Requests(run.out);
    auto it = requests.begin();
    ASSERT_NE(it, requests.end());
    EXPECT_EQ(it->result, 2);  // BOF
    std::vector<int64_t> forward = it->printed;
    for (++it; it != requests.end() && it->call.find("EOF") == std::string::npos; ++it) {
        const bool final = std::next(it) == requests.end() || std::next(it)->call.find("EOF") != std::string::npos;
        EXPECT_EQ(it->result, final ? 2 : 0);
        forward.insert(forward.end(), it->printed.begin(), it->printed.end());
    }
    EXPECT_EQ(forward, OfChannel(own, ch));
    ASSERT_NE(it, requests.end());
    EXPECT_EQ(it->result, 2);  // EOF
    std::vector<std::vector<int64_t>> back;
    for (++it; it != requests.end(); ++it) {
        EXPECT_EQ(it->result, std::next(it) == requests.end() ? 2 : 0);
        back.push_back(it->printed);
    }
    ASSERT_FALSE(back.empty());
    if (!backExact) return;
    std::vector<int64_t> joined;
    for (std::size_t k = back.size(); k-- > 0;) {
        std::vector<int64_t> page = back[k];
        if (k + 1 == back.size()) {
            if (k > 0 && !back[k - 1].empty())
                page.erase(std::remove_if(page.begin(), page.end(), [&](int64_t o) { return o >= back[k - 1].front(); }),
                           page.end());
        } else {
            EXPECT_EQ(page.size(), static_cast<std::size_t>(n)) << "page " << k;
        }
        joined.insert(joined.end(), page.begin(), page.end());
    }
    // The cut last packet is no page's start: paging back passes it.
    std::vector<int64_t> whole = OfChannel(own, ch);
    if (!joined.empty() && !whole.empty() && joined.back() != whole.back()) whole.pop_back();
    EXPECT_EQ(joined, whole) << back.size() << " pages back";
}

TEST(SandralViewer, GeneratedRecordingAsFileAndSegmentSet) {
    sandraltest::GenSpec spec;
    spec.dataPackets = 150;
    spec.minLength = 8 * 1024;
    spec.maxLength = 28 * 1024;
    spec.channels = {2, 3, 3};
    spec.timeEveryBytes = 256 * 1024;
    spec.cutLast = true;
    const auto gen = sandraltest::Generate(spec);
    ch10fix::TempDir dir;
    const std::string file = dir.File("gen.c10");
    ASSERT_TRUE(ch10fix::WriteFile(file, gen.bytes));
    const std::string set = ch10fix::WriteSegmentSet(dir.Path(), "D0003", ".ch10", gen.bytes, 100000).front();
    const OwnWalk own = Walk(gen.bytes);
    ASSERT_FALSE(own.resynchronised);
    for (const std::string& path : {file, set})
        for (int n : {1, 10})
            for (const char* channel : {"ALL", "3"}) {
                SCOPED_TRACE(path + " N " + std::to_string(n) + " " + channel);
                CheckPaging(path, own, n, channel, true);
            }
}

TEST(SandralViewer, SliderAndTimePositions) {
    sandraltest::GenSpec spec;
    spec.dataPackets = 150;
    spec.minLength = 8 * 1024;
    spec.maxLength = 28 * 1024;
    spec.timeEveryBytes = 128 * 1024;
    spec.cutLast = true;
    const auto gen = sandraltest::Generate(spec);
    ch10fix::TempDir dir;
    const std::string file = dir.File("gen.c10");
    ASSERT_TRUE(ch10fix::WriteFile(file, gen.bytes));
    const OwnWalk own = Walk(gen.bytes);
    const int64_t size = gen.Size();
    auto firstFrom = [&](int64_t at) {
        std::vector<int64_t> out;
        for (int64_t o : own.offsets)
            if (o >= at && out.size() < 5) out.push_back(o);
        return out;
    };
    struct Row {
        std::string step;
        int result;
        std::vector<int64_t> printed;
        bool table;
    };
    const double target = gen.packets[90].timeUsec;
    const auto day = static_cast<int64_t>(target / 86400e6);
    const auto rest = static_cast<int64_t>(target) - day * 86400000000LL;
    const std::string timeText = std::to_string(day) + ":0:0:" + std::to_string(rest / 1000000) + ":" +
                                 std::to_string(rest % 1000000);
    const std::vector<Row> rows = {
        {"slider=0", 0, firstFrom(0), true},
        {"slider=37", 0, firstFrom((size * 37 / 100) & ~int64_t{7}), false},
        {"slider=100", 2, {own.offsets.back()}, false},
        {"time=" + timeText, 0, firstFrom(gen.packets[90].offset), false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.step);
        ch10fix::TempDir pages;
        const auto run = ch10fix::RunProgram(
            {VIEWER_STANDIN_PROGRAM, "--out-dir", pages.Path(), file, "list", row.step, "pos", "next=5"});
        ASSERT_EQ(run.ExitCode(), 0) << run.err;
        const auto requests = Requests(run.out);
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(requests[0].result, row.result);
        EXPECT_EQ(requests[0].printed, row.printed);
        const std::string page = ch10fix::ReadText(pages.File("page_0000.txt"));
        EXPECT_EQ(page.find("Chapter 10 Filename:") != std::string::npos, row.table);
    }
}

TEST(SandralViewer, SampleRecordings) {
    const std::string data = ch10fix::SampleDataDir();
    if (data.empty() || !std::filesystem::exists(data)) GTEST_SKIP() << "no sample recordings";
    int seen = 0;
    for (const auto& entry : std::filesystem::directory_iterator(data)) {
        const auto ext = entry.path().extension();
        if (ext != ".c10" && ext != ".ch10") continue;
        const auto bytes = ch10fix::ReadFile(entry.path().string());
        if (bytes.empty()) continue;
        ++seen;
        const OwnWalk own = Walk(bytes);
        SCOPED_TRACE(entry.path().string());
        CheckPaging(entry.path().string(), own, 10, "ALL", !own.resynchronised);
    }
    if (seen == 0) GTEST_SKIP() << "no sample recordings";
}

}  // namespace
