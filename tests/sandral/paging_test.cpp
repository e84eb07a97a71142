// Paging through a recording with the browse calls, in process: results,
// printed offsets, page sizes and the TMATS table.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "browse_text.h"
#include "sandral.h"
#include "sandral_state.h"
#include "tests/sandral/browse_recording.h"
#include "tests/sandral/sandral_test_support.h"
#include "tests/support/temp_dir.h"

namespace {

using sandraltest::Generated;
using sandraltest::PrintedOffsets;

constexpr const char* kTable = "Chapter 10 Filename:";

// One call of a sequence and what it must give.
struct Step {
    std::string mode;  // "list", "pos=HEX", "next", or a Ch10GetPacket mode ("fwd" for forward)
    std::string skip{};
    int count = 0;
    int result = 0;
    int first = -1;  // index of the first printed packet, -1: none printed
    int last = -1;
    bool table = false;
};

class SandralPaging : public sandraltest::SandralFixture {
protected:
    void Write(const sandraltest::GenSpec& spec) {
        gen_ = sandraltest::Generate(spec);
        path_ = dir_.File("rec.c10");
        ASSERT_TRUE(ch10fix::WriteFile(path_, gen_.bytes));
    }
    // Runs one step; the listing it wrote.
    std::string Run(const Step& s, int* result) {
        const std::string out = dir_.File("page.txt");
        std::filesystem::remove(out);
        const std::string count = std::to_string(s.count);
        if (s.mode == "list") {
            char list[SANDRAL_CHANNEL_LIST_SIZE] = "";
            *result = Ch10GetChannelList(path_.c_str(), list);
        } else if (s.mode.rfind("pos=", 0) == 0) {
            *result = Ch10PositionOffset(path_.c_str(), s.mode.substr(4).c_str());
        } else if (s.mode == "next") {
            *result = Ch10GetNextPacket("ALL", out.c_str(), count.c_str());
        } else {
            *result = Ch10GetPacket("ALL", s.mode.c_str(), s.skip.c_str(), out.c_str(), count.c_str());
        }
        return ch10fix::ReadText(out);
    }
    void Check(const std::vector<Step>& steps) {
        for (std::size_t k = 0; k < steps.size(); ++k) {
            const Step& s = steps[k];
            int result = -1;
            const std::string text = Run(s, &result);
            SCOPED_TRACE("step " + std::to_string(k) + " " + s.mode + " " + s.skip);
            EXPECT_EQ(result, s.result);
            if (result == 3) { EXPECT_FALSE(std::filesystem::exists(dir_.File("page.txt"))); }
            if (s.mode == "list" || s.mode.rfind("pos=", 0) == 0) continue;
            EXPECT_EQ(text.find(kTable) != std::string::npos, s.table);
            std::vector<int64_t> expected;
            if (s.first >= 0)
                for (int i = s.first; i <= s.last; ++i) expected.push_back(gen_.packets[static_cast<std::size_t>(i)].offset);
            EXPECT_EQ(PrintedOffsets(text), expected);
        }
    }
    int Last() const { return static_cast<int>(gen_.packets.size()) - 1; }

    ch10fix::TempDir dir_;
    Generated gen_;
    std::string path_;
};

TEST_F(SandralPaging, Sequences) {
    // 40 data packets after the setup and time packets: indices 0-41.
    struct Row {
        const char* name;
        std::vector<Step> steps;
    };
    const int last = 41;
    const std::vector<Row> rows = {
        {"BOF", {{"list"}, {"pos=0"}, {"BOF", "", 5, 2, 0, 4, true}}},
        {"EOF then PREV", {{"list"}, {"pos=0"}, {"EOF", "", 0, 2, -1, -1, true}, {"PREV", "1", 10, 0, last - 9, last}}},
        {"history",
         {{"list"}, {"pos=0"},
          {"fwd", "1", 5, 0, 0, 4, true}, {"fwd", "1", 5, 0, 5, 9}, {"fwd", "1", 5, 0, 10, 14},
          // The first page's first packet lies at 0, which stands for "none":
          // the page is remembered by its second packet.
          {"PREV", "1", 5, 0, 5, 9}, {"PREV", "1", 5, 0, 1, 5}, {"fwd", "1", 5, 0, 5, 9}}},
        {"history restarts",
         {{"list"}, {"pos=0"},
          {"fwd", "1", 5, 0, 0, 4, true}, {"fwd", "1", 5, 0, 5, 9}, {"fwd", "1", 6, 0, 10, 15},
          {"PREV", "1", 6, 0, 4, 9}}},
        {"ABS at the start", {{"list"}, {"pos=0"}, {"ABS", "7", 5, 2, 0, 4, true}}},
        {"ABS past the end", {{"list"}, {"pos=0"}, {"ABS", "FFFFFFFFFFFFFFF8", 5, 2, -1, -1, true}}},
        {"no position for a step", {{"list"}, {"pos=100"}, {"PREV", "1", 5, 3}, {"fwd", "2", 5, 3}}},
        {"EOF without a position",
         {{"list"}, {"EOF", "", 0, 2, -1, -1, true}, {"PREV", "1", 5, 0, last - 4, last}}},
        {"large step before an average", {{"pos=0"}, {"next", "", 5, 0, 0, 4}, {"fwd", "400", 5, 0, 5, 9}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        sandral::ResetStateForTests();
        Write({});
        ASSERT_EQ(last, Last());
        Check(row.steps);
    }
}

TEST_F(SandralPaging, AbsMidFilePrintsFromTheRoundedOffset) {
    Write({});
    int r = 0;
    Run({"list"}, &r);
    Run({"pos=0"}, &r);
    const int64_t offset = gen_.packets[20].offset + 13;
    const std::string text = Run({"ABS", sandral::HexOffsetText(offset), 3}, &r);
    EXPECT_EQ(r, 0);
    EXPECT_EQ(PrintedOffsets(text), (std::vector<int64_t>{gen_.packets[21].offset, gen_.packets[22].offset,
                                                            gen_.packets[23].offset}));
}

TEST_F(SandralPaging, LargeStepJumpsByTheAverage) {
    Write({700});
    int r = 0;
    Run({"list"}, &r);
    const int average = sandral::State().browse.averagePacketSize;
    ASSERT_GT(average, 0);
    Run({"pos=0"}, &r);
    Run({"next", "", 5}, &r);
    const int64_t from = sandral::State().browse.currentOffset;
    const std::string text = Run({"fwd", "400", 5}, &r);
    const int64_t jump = (int64_t{399} * average) & ~int64_t{3};
    int64_t expected = -1;
    for (const auto& w : gen_.packets)
        if (w.offset >= from + jump) {
            expected = w.offset;
            break;
        }
    const auto printed = PrintedOffsets(text);
    ASSERT_FALSE(printed.empty());
    EXPECT_EQ(printed.front(), expected);
}

TEST_F(SandralPaging, ForwardPastTheEndReportsItAndPrintsNothing) {
    Write({});
    int r = 0;
    Run({"list"}, &r);
    Run({"pos=0"}, &r);
    std::vector<int64_t> seen;
    std::string text = Run({"BOF", "", 10}, &r);
    for (int64_t o : PrintedOffsets(text)) seen.push_back(o);
    text = Run({"fwd", "10", 10}, &r);
    for (int guard = 0; r == 0 && guard < 20; ++guard) {
        for (int64_t o : PrintedOffsets(text)) seen.push_back(o);
        text = Run({"fwd", "10", 10}, &r);
    }
    for (int64_t o : PrintedOffsets(text)) seen.push_back(o);
    EXPECT_EQ(r, 2);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), gen_.packets.back().offset);
    text = Run({"fwd", "10", 10}, &r);
    EXPECT_EQ(r, 2);
    EXPECT_TRUE(PrintedOffsets(text).empty());
}

TEST_F(SandralPaging, SkipForwardOnOneChannelShowsEachPacketOnce) {
    Write({});
    int r = 0;
    Run({"list"}, &r);
    Run({"pos=0"}, &r);
    std::vector<int64_t> seen;
    const std::string out = dir_.File("page.txt");
    r = Ch10GetPacket("3", "BOF", "", out.c_str(), "10");
    for (int guard = 0; guard < 20; ++guard) {
        for (int64_t o : PrintedOffsets(ch10fix::ReadText(out))) seen.push_back(o);
        if (r == 2 && guard > 0) break;
        r = Ch10GetPacket("3", "fwd", "10", out.c_str(), "10");
    }
    EXPECT_GE(seen.size(), 10u);
    std::vector<int64_t> sorted = seen;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end());
    for (int64_t o : seen) {
        const auto it = std::find_if(gen_.packets.begin(), gen_.packets.end(),
                                     [o](const sandraltest::Written& w) { return w.offset == o; });
        ASSERT_NE(it, gen_.packets.end());
        EXPECT_EQ(it->channel, 3);
    }
}

TEST_F(SandralPaging, OutputFailureKeepsThePosition) {
    Write({});
    int r = 0;
    Run({"list"}, &r);
    Run({"pos=0"}, &r);
    const std::string bad = dir_.File("missing/page.txt");
    testing::internal::CaptureStderr();
    EXPECT_EQ(Ch10GetNextPacket("ALL", bad.c_str(), "5"), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "$ERROR: Error creating the output file '" + bad + "'.\n");
    const std::string text = Run({"next", "", 5}, &r);
    EXPECT_EQ(r, 0);
    EXPECT_EQ(PrintedOffsets(text).front(), 0);
    EXPECT_NE(text.find(kTable), std::string::npos);
}

TEST_F(SandralPaging, EmptyOutputNameWritesToStandardOutput) {
    Write({});
    int r = 0;
    Run({"list"}, &r);
    Run({"pos=0"}, &r);
    for (int k = 0; k < 2; ++k) {
        testing::internal::CaptureStdout();
        EXPECT_EQ(Ch10GetNextPacket("ALL", "", "5"), 0);
        const std::string text = testing::internal::GetCapturedStdout();
        ASSERT_EQ(PrintedOffsets(text).size(), 5u) << k;
        EXPECT_EQ(PrintedOffsets(text).front(), gen_.packets[static_cast<std::size_t>(5 * k)].offset);
    }
    EXPECT_GE(std::fprintf(stdout, "%s", ""), 0);
    EXPECT_EQ(std::fflush(stdout), 0);
}

}  // namespace
