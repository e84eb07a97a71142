// The browse calls' texts: channel list, slider, time text and positioning.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "browse_text.h"
#include "sandral.h"
#include "sandral_state.h"
#include "tests/sandral/browse_recording.h"
#include "tests/sandral/sandral_test_support.h"
#include "tests/support/temp_dir.h"

namespace {

using sandraltest::SandralFixture;

class SandralBrowse : public SandralFixture {};

CHAN_INFO RecordOf(std::vector<CHAN_ENTRY>& entries) {
    CHAN_INFO record{};
    record.ChannelCount = static_cast<int16_t>(entries.size());
    record.Channels = entries.data();
    return record;
}

TEST_F(SandralBrowse, ChannelListGivesEveryTypeWordGroup) {
    struct Row {
        int16_t type;
        const char* word;
    };
    const std::vector<Row> rows = {
        {0, "USER"},      {1, "SETUP"},     {9, "PCM"},         {17, "IRIG"},     {25, "1553"},
        {26, "1553"},     {33, "ANALOG"},   {55, "F-35 FIBRECH"}, {64, "VIDEO"},  {68, "VIDEO"},
        {69, "UNDEFINED"}, {88, "IEEE1394"}, {89, "IEEE1394"},  {104, "ETHERNET"}, {105, "ETHERNET"},
        {121, "FIBRECH"}, {-1, "UNDEFINED"}, {200, "UNDEFINED"},
    };
    for (const Row& row : rows) {
        std::vector<CHAN_ENTRY> entries(2);
        entries[0] = CHAN_ENTRY{row.type, 7, 1};
        entries[1] = CHAN_ENTRY{row.type, 8, 0};  // disabled: left out
        const CHAN_INFO record = RecordOf(entries);
        EXPECT_EQ(sandral::ChannelListText(record, 999), std::string("0 - CompGen,7 - ") + row.word)
            << "type " << row.type;
    }
}

TEST_F(SandralBrowse, ChannelListOfARecordingIsExactAndAnUnreadableOneLeavesTheBuffer) {
    ch10fix::TempDir dir;
    const auto gen = sandraltest::Generate({});
    ASSERT_TRUE(ch10fix::WriteFile(dir.File("a.c10"), gen.bytes));
    char list[SANDRAL_CHANNEL_LIST_SIZE];
    std::memset(list, 'x', sizeof list);
    EXPECT_EQ(Ch10GetChannelList(dir.File("a.c10").c_str(), list), 0);
    EXPECT_STREQ(list, "0 - CompGen,1 - IRIG,2 - PCM,3 - 1553");
    EXPECT_EQ(sandral::State().browse.fileSize, gen.Size());

    ch10fix::Bytes noSetup(gen.bytes.begin() + gen.packets[1].offset, gen.bytes.end());
    ASSERT_TRUE(ch10fix::WriteFile(dir.File("b.c10"), noSetup));
    for (const std::string& path : {dir.File("b.c10"), dir.File("missing.c10")}) {
        std::strcpy(list, "kept");
        EXPECT_EQ(Ch10GetChannelList(path.c_str(), list), 0);
        EXPECT_STREQ(list, "kept") << path;
    }
}

TEST_F(SandralBrowse, LongChannelListIsCutAtAnEntryAndStaysInItsBuffer) {
    std::vector<CHAN_ENTRY> entries;
    for (int i = 0; i < 150; ++i) entries.push_back(CHAN_ENTRY{9, static_cast<uint16_t>(1000 + i), 1});
    const CHAN_INFO record = RecordOf(entries);
    const std::string list = sandral::ChannelListText(record, 999);
    ASSERT_LE(list.size(), 999u);
    std::string expected = "0 - CompGen";  // 11 characters, as is each entry
    for (int id = 1000; id <= 1088; ++id) expected += "," + std::to_string(id) + " - PCM";
    EXPECT_EQ(list, expected);

    // Through the call: 1,000 'x' without a NUL, canaries behind.
    ch10fix::TempDir dir;
    ch10fix::TmatsAttributes t{{"G\\PN", "RIG"}, {"G\\106", "07"}, {"R-1\\ID", "REC"}, {"R-1\\N", "150"}};
    for (int i = 1; i <= 150; ++i) {
        const std::string n = std::to_string(i);
        t.Add("R-1\\TK1-" + n, std::to_string(1000 + i));
        t.Add("R-1\\DSI-" + n, "CH" + n);
        t.Add("R-1\\CHE-" + n, "T");
        t.Add("R-1\\CDT-" + n, "PCMIN");
    }
    ASSERT_TRUE(ch10fix::WriteFile(dir.File("wide.c10"), ch10fix::BuildSetupPacket(t)));
    std::vector<char> buffer(SANDRAL_CHANNEL_LIST_SIZE + 16, 'x');
    std::memset(buffer.data() + SANDRAL_CHANNEL_LIST_SIZE, 'C', 16);
    EXPECT_EQ(Ch10GetChannelList(dir.File("wide.c10").c_str(), buffer.data()), 0);
    const std::string got(buffer.data());
    ASSERT_LE(got.size(), 999u);
    expected = "0 - CompGen";
    for (int id = 1001; id <= 1089; ++id) expected += "," + std::to_string(id) + " - PCM";
    EXPECT_EQ(got, expected);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(buffer[SANDRAL_CHANNEL_LIST_SIZE + i], 'C');
}

TEST_F(SandralBrowse, SliderOffsetAndValue) {
    struct Row {
        int32_t percent;
        int64_t expected;
    };
    const int64_t size = 1000001;
    const std::vector<Row> rows = {
        {0, 0}, {50, 500000}, {100, 1000001}, {-1, -10000}, {2147483647, 21474857944836},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(sandral::SliderOffset(r.percent, size), r.expected) << r.percent;
    }
    EXPECT_EQ(sandral::SliderOffset(2147483647, INT64_MAX), INT64_MAX);
    EXPECT_EQ(sandral::HexOffsetText(-10000), "ffffffffffffd8f0");

    sandral::State().browse.fileSize = size;
    char text[SANDRAL_OFFSET_TEXT_SIZE];
    EXPECT_EQ(Ch10GetSliderOffset("50", text), 0);
    EXPECT_STREQ(text, "7a120");
    char percent[SANDRAL_PERCENT_TEXT_SIZE];
    EXPECT_EQ(Ch10GetSliderValue(percent), 0);
    EXPECT_STREQ(percent, "0");
    sandral::State().browse.lastPrintedOffset = 379999;
    Ch10GetSliderValue(percent);
    EXPECT_STREQ(percent, "37");
    sandral::State().browse.lastPrintedOffset = size + 1;
    Ch10GetSliderValue(percent);
    EXPECT_STREQ(percent, "0");
}

TEST_F(SandralBrowse, TimeTextToTarget) {
    struct Row {
        const char* text;
        int64_t usec;
    };
    const std::vector<Row> rows = {
        {"0:0:0:5:0", 5000000},
        {"1", 86400000000},
        {"", 0},
        {"a", 0},
        {" 3: 4", 3 * 86400000000LL + 4 * 3600000000LL},
        {"1:2:3:4:5", 86400000000LL + 2 * 3600000000LL + 3 * 60000000LL + 4000000 + 5},
        {"0:1 :5", 3600000000LL},  // the field ends before the blank: no more fields
        {"0::5", 0},
        {"2147483647:0:0:0:0", INT64_MAX},
        {"99999999999:0:0:0:0", INT64_MAX},
        {"-99999999999", INT64_MIN},
    };
    for (const Row& r : rows) EXPECT_EQ(sandral::TimeTextToUsec(r.text), r.usec) << '"' << r.text << '"';
}

TEST_F(SandralBrowse, PositionOffsetRounding) {
    ch10fix::TempDir dir;
    const auto gen = sandraltest::Generate({});
    const std::string path = dir.File("a.c10");
    ASSERT_TRUE(ch10fix::WriteFile(path, gen.bytes));
    char list[SANDRAL_CHANNEL_LIST_SIZE] = "";
    Ch10GetChannelList(path.c_str(), list);
    const int64_t size = gen.Size();
    struct Row {
        std::string hex;
        int64_t start;
    };
    const std::vector<Row> rows = {
        {"0x1F", 0x18},
        {sandral::HexOffsetText(size - 1), (size - 1) & ~7},
        {sandral::HexOffsetText(size), size},
        {sandral::HexOffsetText(size + 9), size},
        {"FFFFFFFFFFFFFFF8", size},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(Ch10PositionOffset(path.c_str(), r.hex.c_str()), 0);
        EXPECT_EQ(sandral::State().browse.startOffset, r.start) << r.hex;
    }
}

}  // namespace
