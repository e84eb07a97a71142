#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/ch10_fixture.h"
#include "tessin/src/input.h"
#include "tests/support/temp_dir.h"
#include "tessin.h"
#include "tessin/src/tessin_state.h"
#include "tests/support/tmats_builder.h"

namespace {

using namespace ch10fix;

class InputCalls : public ::testing::Test {
protected:
    void SetUp() override { tessin::ResetStateForTests(); }
    void TearDown() override { tessin::ResetStateForTests(); }

    static Bytes Pattern(std::size_t n, int seed = 0) {
        Bytes b(n);
        for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(i * 13 + seed);
        return b;
    }
    // 100 + 50 bytes as D0001000.ch10 and D0001001.ch10
    std::string TwoSegments() {
        auto paths = WriteSegmentSet(dir.Path(), "D0001", ".ch10", Pattern(150), std::vector<std::size_t>{100, 50});
        return paths[0];
    }
    static int64_t Goto(int h, int64_t offset, int origin) {
        return iGoto(h, static_cast<uint32_t>(offset), static_cast<int32_t>(offset >> 32), origin);
    }
    static int64_t Here(int h) {
        // the position, read back without moving: one byte read and stepped back
        uint8_t b;
        int n = iRead(h, &b, 1);
        if (n <= 0) return -2;  // at the end
        return Goto(h, -1, 1);
    }

    TempDir dir;
};

TEST_F(InputCalls, SegmentSetNames) {
    std::string longDir(1020, 'x');
    struct Case {
        std::string path;
        bool isSet;
    } cases[] = {
        {"D1234567.xyz", true},       {"d0000000.ch10", true},      {"/rec/D0001005.ch10", true},
        {"C:\\rec\\D0001005.ch10", true}, {"a/b\\D0001005.c", true},  // "\" wins over "/"
        {"E1234567.ch10", false},     {"D123456.ch10", false},      {"D12345678.ch10", false},
        {"D12345a7.ch10", false},     {"D1234567", false},          {"D1234567.ch10.bak", false},
        {"dir.d/D1234567", false},    {"", false},
        {"/" + longDir + "/D0001000.ch10", true},  // a name, though too long to open as a set
    };
    for (const auto& c : cases) EXPECT_EQ(tessin::IsSegmentSetName(c.path), c.isSet) << c.path;

    // 1,024 characters or more are not opened as a set.
    std::string deep = dir.Path();
    while (deep.size() < 1024) deep += "/dddddddddddddddddddddddddddddddddddddddd";
    std::filesystem::create_directories(deep);
    WriteFile(deep + "/D0001000.ch10", Pattern(10));
    std::string path = deep + "/D0001000.ch10";
    ASSERT_GE(path.size(), 1024u);
    EXPECT_EQ(iOpen(path.c_str(), 0), -1);
}

TEST_F(InputCalls, GotoTable) {
    std::string plain = dir.File("plain.ch10");
    WriteFile(plain, Pattern(150));
    std::string set = TwoSegments();
    struct Case {
        int64_t offset;
        int origin;
        int64_t plainResult, plainHere;  // position after, -2 at the end
        int64_t setResult, setHere;
    } cases[] = {
        {0, 0, 0, 0, 0, 0},
        {0, 1, 0, 0, 0, 0},            // rewinds; does not report the position
        {0, 2, 150, -2, 150, -2},      // the end; the size
        {5, 2, 5, 5, 5, 5},            // byte 5, not 5 from the end
        {5, 1, 5, 5, 5, 5},
        {100, 0, 100, 100, 100, 100},  // segment 001 at 0
        {149, 0, 149, 149, 149, 149},
        {150, 0, 150, -2, -1, -2},     // the total: a file accepts, a set refuses and sits at its end
        {-1, 0, -1, 10, -1, 10},
        {-1, 2, -1, 10, -1, 10},
        {-3, 1, 7, 7, 7, 7},           // relative to 10
        {-11, 1, -1, 10, -1, 10},      // before the start
        {3, 3, -1, 10, -1, 10},        // unknown origin
        {3, -1, -1, 10, -1, 10},
    };
    for (const auto& c : cases) {
        for (bool isSet : {false, true}) {
            tessin::ResetStateForTests();
            int h = iOpen(isSet ? set.c_str() : plain.c_str(), 0);
            ASSERT_GE(h, isSet ? 1000 : 3);
            ASSERT_EQ(Goto(h, 10, 0), 10);
            SCOPED_TRACE(::testing::Message() << (isSet ? "set " : "file ") << c.offset << "/" << c.origin);
            EXPECT_EQ(Goto(h, c.offset, c.origin), isSet ? c.setResult : c.plainResult);
            EXPECT_EQ(Here(h), isSet ? c.setHere : c.plainHere);
            iClose(h);
        }
    }
}

TEST_F(InputCalls, SetReadsAcrossSegments) {
    std::string set = TwoSegments();
    EXPECT_EQ(iSize(set.c_str(), 0), 150);
    int h = iOpen(set.c_str(), 0);
    Bytes buf(200);
    EXPECT_EQ(iRead(h, buf.data(), 120), 120);  // 100 + 20
    Bytes expected = Pattern(150);
    EXPECT_TRUE(std::equal(buf.begin(), buf.begin() + 120, expected.begin()));
    EXPECT_EQ(iRead(h, buf.data(), 100), 30);
    EXPECT_EQ(iRead(h, buf.data(), 100), 0);
    EXPECT_EQ(iRead(h, buf.data(), 0), 0);
    EXPECT_EQ(iRead(h, buf.data(), -1), -1);
    iClose(h);
}

TEST_F(InputCalls, SetStartsAtSegmentZeroAndEndsAtFirstGap) {
    Bytes data = Pattern(50);
    auto paths = WriteSegmentSet(dir.Path(), "D0001", ".ch10", data, 10);  // 000-004
    WriteFile(dir.File("D0001006.ch10"), Pattern(10, 99));                   // after a gap
    std::string named = dir.File("D0001003.ch10");
    int h = iOpen(named.c_str(), 0);
    ASSERT_GE(h, 1000);
    Bytes got;
    Bytes buf(7);
    int n;
    while ((n = iRead(h, buf.data(), 7)) > 0) got.insert(got.end(), buf.begin(), buf.begin() + n);
    EXPECT_EQ(got, data);
    iClose(h);
    EXPECT_EQ(iSize(named.c_str(), 0), 50);
    iClose(-1);

    std::filesystem::remove(paths[0]);
    EXPECT_EQ(iOpen(named.c_str(), 0), -1);  // no 000: no set, though the named file exists
    EXPECT_EQ(iSize(named.c_str(), 0), -1);
}

TEST_F(InputCalls, EmptyMiddleSegmentAndFailingSegment) {
    Bytes data = Pattern(200);
    auto paths = WriteSegmentSet(dir.Path(), "D0002", ".ch10", data, std::vector<std::size_t>{100, 0, 0, 100});
    int h = iOpen(paths[0].c_str(), 0);
    Bytes got(300), buf(64);
    std::size_t total = 0;
    int n;
    while ((n = iRead(h, buf.data(), 64)) > 0) {
        std::copy(buf.begin(), buf.begin() + n, got.begin() + static_cast<std::ptrdiff_t>(total));
        total += static_cast<std::size_t>(n);
    }
    EXPECT_EQ(n, 0);
    ASSERT_EQ(total, 200u);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), got.begin()));
    iClose(h);

    // A directory in the middle opens but fails to read.
    WriteFile(dir.File("D0003000.ch10"), Pattern(100));
    std::filesystem::create_directory(dir.File("D0003001.ch10"));
    h = iOpen(dir.File("D0003000.ch10").c_str(), 0);
    ASSERT_GE(h, 1000);
    EXPECT_EQ(iRead(h, buf.data(), 64), 64);
    EXPECT_EQ(iRead(h, buf.data(), 64), 36);  // what the first segment had
    EXPECT_EQ(iRead(h, buf.data(), 64), -1);
    iClose(h);
}

TEST_F(InputCalls, SixteenSetsAndSlotReuse) {
    std::string set = TwoSegments();
    std::vector<int> handles;
    for (int i = 0; i < 16; ++i) handles.push_back(iOpen(set.c_str(), 0));
    for (int i = 0; i < 16; ++i) EXPECT_EQ(handles[static_cast<std::size_t>(i)], 1000 + i);
    EXPECT_EQ(iOpen(set.c_str(), 0), -1);
    iClose(1005);
    EXPECT_EQ(iOpen(set.c_str(), 0), 1005);
    for (int h : handles) iClose(h);

    // Handles that name no open set.
    Bytes buf(4);
    for (int h : {1003, 1016, 5000}) {
        EXPECT_EQ(iRead(h, buf.data(), 4), -1) << h;
        EXPECT_EQ(iGoto(h, 0, 0, 0), -1) << h;
        EXPECT_EQ(iClose(h), 0) << h;
    }
}

TEST_F(InputCalls, CacheAndSelector) {
    std::string a = dir.File("a.ch10"), b = dir.File("b.ch10");
    WriteFile(a, Pattern(30));
    WriteFile(b, Pattern(70));
    EXPECT_EQ(iSize(a.c_str(), 0), 30);
    EXPECT_EQ(iSize(b.c_str(), 0), 30);  // cached for the library
    iClose(-1);
    EXPECT_EQ(iSize(b.c_str(), 0), 70);
    iClose(-1);
    EXPECT_EQ(iSize(b.c_str(), 1), -1);  // type 1: no size for a plain name
    int h = iOpen(b.c_str(), 1);
    EXPECT_GE(h, 3);
    iClose(h);
    EXPECT_EQ(iSize(dir.File("missing.ch10").c_str(), 0), -1);

    EXPECT_EQ(set_input_file_type(-5), -1);
    EXPECT_EQ(tessin::State().input.selector, -1);
    EXPECT_EQ(set_input_file_type(7), 0);
    EXPECT_EQ(tessin::State().input.selector, 7);
    EXPECT_EQ(iOpen(dir.File("missing.ch10").c_str(), 3), -1);
    EXPECT_EQ(tessin::State().input.selector, 3);  // stored even when the open fails
    EXPECT_EQ(iClose(12345), 0);
    EXPECT_EQ(tessin::State().input.selector, -1);
    EXPECT_EQ(iOpen(nullptr, 0), -1);

    // No ingest server is named here: the recorder path fails.
    EXPECT_EQ(iOpen(a.c_str(), 101), -1);
    EXPECT_EQ(iSize(a.c_str(), 101), -1);
    iClose(-1);
}

TEST_F(InputCalls, DescriptorsNeverCollide) {
    std::string a = dir.File("a.ch10");
    WriteFile(a, Pattern(30));
    // With the standard streams closed an open would get 0; tessin raises it.
    int saved = dup(0);
    close(0);
    int h = iOpen(a.c_str(), 0);
    dup2(saved, 0);
    close(saved);
    EXPECT_GE(h, 3);
    iClose(h);
    // iClose leaves descriptors it did not open alone.
    int other = dup(1);
    iClose(other);
    EXPECT_NE(fcntl(other, F_GETFD), -1);
    close(other);
}

TEST_F(InputCalls, RecordingReadBackInChunks) {
    Bytes rec = BuildSetupPacket(TmatsAttributes{{"G\\PN", "E2E"}, {"R-1\\N", "1"}});
    for (int i = 0; i < 400; ++i) {
        PacketSpec s;
        s.channelId = 3;
        s.dataType = 0x09;
        s.sequence = static_cast<uint8_t>(i);
        s.rtc = static_cast<uint64_t>(i) * 1000;
        s.body = Pattern(9000 + static_cast<std::size_t>(i), i);
        s.checksum = Checksum::Sum16;
        Append(rec, BuildPacket(s));
    }
    ASSERT_GT(rec.size(), 3u * 0xFC000);
    std::string file = dir.File("rec.ch10");
    WriteFile(file, rec);
    auto segs = WriteSegmentSet(dir.Path(), "D0009", ".ch10", rec, std::size_t{300000});
    for (const std::string& path : {file, segs[0]}) {
        tessin::ResetStateForTests();
        EXPECT_EQ(iSize(path.c_str(), 0), static_cast<int64_t>(rec.size()));
        int h = iOpen(path.c_str(), 0);
        ASSERT_GE(h, 3);
        Bytes got, buf(0xFC000);
        int n;
        while ((n = iRead(h, buf.data(), static_cast<int>(buf.size()))) > 0)
            got.insert(got.end(), buf.begin(), buf.begin() + n);
        EXPECT_EQ(n, 0);
        EXPECT_EQ(got, rec) << path;
        iClose(h);
    }
}

}  // namespace
