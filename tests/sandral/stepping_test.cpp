// Stepping through recordings: resynchronisation, packets across slot
// boundaries, cut and partial packets, failed reads and the filters.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/ch10_fixture.h"
#include "tests/sandral/recording_builder.h"
#include "tests/sandral/sandral_test_support.h"
#include "tests/support/temp_dir.h"
#include "tests/support/time_packet_builder.h"
#include "time_reference.h"

namespace sandral {
namespace {

using ch10fix::Bytes;
using sandraltest::Recording;
using SandralStepping = sandraltest::SandralFixture;

constexpr int64_t kSlot = 0x80000;

// The library's input, with one read (1 = the first) failing.
class FailingInput final : public RecordingInput {
public:
    explicit FailingInput(int failingRead) : failingRead_(failingRead) {}
    int Open(const char* path, int type) override { return LibraryInput().Open(path, type); }
    int Read(int handle, void* buffer, int count) override {
        // Only the player's reads count: the time walks read through their own handles.
        if (handle == State().player.handle && ++reads_ == failingRead_) return -1;
        return LibraryInput().Read(handle, buffer, count);
    }
    int64_t Goto(int handle, uint32_t low, int32_t high, int origin) override {
        return LibraryInput().Goto(handle, low, high, origin);
    }
    int Close(int handle) override { return LibraryInput().Close(handle); }

private:
    int failingRead_;
    int reads_ = 0;
};

struct Row {
    const char* name;
    std::function<Recording()> build;
    // The offsets expected printed: the whole packets, then a cut one.
    std::function<std::vector<int64_t>(const Recording&)> expected;
    int banners = 0;
    int failingRead = 0;    // 0: none
    bool segmentSet = false;
    int endOfData = 1;
    int64_t sizeOverstatedBy = 0;  // fileSize says more than the data hold
};

std::vector<int64_t> All(const Recording& r) { return r.packets; }

Recording ThreePackets(std::size_t garbage) {
    Recording r;
    r.Packet(Recording::Filler(64)).Garbage(garbage, 0x25).Packet(Recording::Filler(80));
    return r.Packet(Recording::Filler(96));
}

// A packet of `length` bytes starting `before` bytes before the first slot's end.
Recording AcrossSlotEnd(int64_t before, uint32_t length) {
    Recording r;
    r.FillTo(kSlot - before).Packet(Recording::Filler(length, 2)).Packet(Recording::Filler(64, 3));
    return r;
}

TEST_F(SandralStepping, OffsetsTable) {
    const Row rows[] = {
        {"garbage of 3 bytes", [] { return ThreePackets(3); }, All},
        {"packet 100 bytes before a slot's end", [] { return AcrossSlotEnd(100, 400); }, All},
        {"header 10 bytes before a slot's end", [] { return AcrossSlotEnd(10, 200); }, All},
        {"header 23 bytes before a slot's end", [] { return AcrossSlotEnd(23, 200); }, All},
        {"packet ending at a slot's end",
         [] {
             Recording r;
             r.FillTo(kSlot - 64).Packet(Recording::Filler(64, 2)).Packet(Recording::Filler(64, 3));
             return r;
         },
         All},
        {"segment set of 1,000-byte segments",
         [] {
             Recording r;
             for (uint32_t i = 0; i < 12; ++i) r.Packet(Recording::Filler(28 + 4 * (i * 97 % 800)));
             r.Garbage(5);
             return r.Packet(Recording::Filler(3000));
         },
         All, 0, 0, true},
        {"cut last packet",
         [] {
             Recording r = ThreePackets(0);
             const Bytes last = Recording::Filler(200, 4);
             r.Packet(Bytes(last.begin(), last.begin() + 150));
             return r;
         },
         All, 1},
        {"zero padding", [] { return ThreePackets(0).Garbage(300); }, All},
        {"sub-header tail",
         [] {
             Recording r = ThreePackets(0);
             r.Garbage(3).Garbage(1, 0x25).Garbage(1, 0xEB).Garbage(10, 0x11);
             return r;
         },
         All, 1},
        {"read failing mid-file",
         [] {
             Recording r;
             r.FillTo(kSlot - 40).Packet(Recording::Filler(200, 2));
             r.FillTo(2 * kSlot + 100);
             return r;
         },
         [](const Recording& r) {
             std::vector<int64_t> first;
             for (int64_t p : r.packets)
                 if (p + 28 <= kSlot - 40) first.push_back(p);
             return first;
         },
         0, 2, false, 0},
        {"data ending before fileSize: the gathered bytes are a partial packet",
         [] {
             Recording r = ThreePackets(0);
             const Bytes last = Recording::Filler(200, 4);
             r.Packet(Bytes(last.begin(), last.begin() + 150));
             return r;
         },
         All, 1, 0, false, 1, 1000},
    };
    for (const Row& row : rows) {
        sandral::ResetStateForTests();
        ch10fix::TempDir dir;
        const Recording rec = row.build();
        std::string path = dir.File("rec.ch10");
        sandraltest::ListOptions o;
        if (row.segmentSet) {
            path = ch10fix::WriteSegmentSet(dir.Path(), "D0001", ".ch10", rec.bytes, 1000).front();
        } else {
            ASSERT_TRUE(ch10fix::WriteFile(path, rec.bytes));
        }
        FailingInput failing(row.failingRead);
        if (row.failingRead) State().input = &failing;
        sandraltest::OpenForListing(path, o);
        State().browse.fileSize = rec.Size() + row.sizeOverstatedBy;
        const std::string text = sandraltest::DecodeRun();
        EXPECT_EQ(sandraltest::PrintedOffsets(text), row.expected(rec)) << row.name;
        EXPECT_EQ(sandraltest::Count(text, "PARTIAL PACKET"), row.banners) << row.name;
        EXPECT_EQ(State().player.status->endOfData, row.endOfData) << row.name;
        EXPECT_EQ(State().player.status->state, 4) << row.name;
        sandral::ResetStateForTests();
    }
}

TEST_F(SandralStepping, NoHandleReadsNothing) {
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const int savedStdin = ::dup(0);
    ASSERT_EQ(::dup2(pipeFds[0], 0), 0);
    ASSERT_EQ(::write(pipeFds[1], "keep", 4), 4);
    ::close(pipeFds[1]);

    sandraltest::OpenForListing("/nonexistent/rec.ch10");
    EXPECT_EQ(State().player.status->error, 1);
    EXPECT_STREQ(State().player.status->errorText, "Unable to open input file");
    EXPECT_EQ(sandraltest::DecodeRun(), "");
    EXPECT_EQ(State().player.status->endOfData, 1);
    char got[8] = {};
    EXPECT_EQ(::read(0, got, sizeof got), 4) << "standard input keeps its bytes";
    EXPECT_STREQ(got, "keep");
    ::dup2(savedStdin, 0);
    ::close(savedStdin);
    ::close(pipeFds[0]);
}

Recording TenPackets() {
    Recording r;
    for (uint16_t i = 0; i < 10; ++i) r.Packet(Recording::Filler(40 + 4 * i, static_cast<uint16_t>(1 + i % 2)));
    return r;
}

TEST_F(SandralStepping, PagesOfThreeAreDisjointAndComplete) {
    ch10fix::TempDir dir;
    const Recording rec = TenPackets();
    ch10fix::WriteFile(dir.File("rec.ch10"), rec.bytes);
    sandraltest::ListOptions o;
    o.count = 3;
    sandraltest::OpenForListing(dir.File("rec.ch10"), o);
    std::vector<int64_t> all;
    std::vector<std::size_t> pages;
    for (int page = 0; page < 6 && State().player.status->endOfData == 0; ++page) {
        State().browse.packetCount = 3;
        const auto offsets = sandraltest::PrintedOffsets(sandraltest::DecodeRun());
        pages.push_back(offsets.size());
        all.insert(all.end(), offsets.begin(), offsets.end());
    }
    EXPECT_EQ(all, rec.packets);
    EXPECT_EQ(pages, (std::vector<std::size_t>{3, 3, 3, 1}));
}

TEST_F(SandralStepping, Filters) {
    ch10fix::TempDir dir;
    const Recording rec = TenPackets();
    ch10fix::WriteFile(dir.File("rec.ch10"), rec.bytes);
    const auto& p = rec.packets;
    const struct {
        const char* name;
        sandraltest::ListOptions o;
        std::vector<int64_t> expected;
    } cases[] = {
        {"skip 5 prints the fifth", {1, 5, -1, 0}, {p[4]}},
        {"channel filter", {INT_MAX, 0, 2, 0}, {p[1], p[3], p[5], p[7], p[9]}},
        {"channel filter with skip", {2, 2, 1, 0}, {p[2], p[4]}},
        {"count 0 prints one", {0, 0, -1, 0}, {p[0]}},
        {"start offset", {INT_MAX, 0, -1, p[7]}, {p[7], p[8], p[9]}},
    };
    for (const auto& c : cases) {
        sandral::ResetStateForTests();
        EXPECT_EQ(sandraltest::PrintedOffsets(sandraltest::ListPackets(dir.File("rec.ch10"), c.o)), c.expected)
            << c.name;
    }
}

TEST_F(SandralStepping, PacketBeforeStartOffsetRefreshesItsReference) {
    ch10fix::TempDir dir;
    Recording rec;
    rec.Packet(Recording::Filler(64));
    ch10fix::PacketSpec timeSpec;
    timeSpec.channelId = 5;
    rec.Packet(ch10fix::BuildTimePacket({}, timeSpec));
    rec.Packet(Recording::Filler(64, 5));
    ch10fix::WriteFile(dir.File("rec.ch10"), rec.bytes);
    sandraltest::ListOptions o;
    o.startOffset = rec.packets[2];
    const std::string text = sandraltest::ListPackets(dir.File("rec.ch10"), o);
    EXPECT_EQ(sandraltest::PrintedOffsets(text), std::vector<int64_t>{rec.packets[2]});
    EXPECT_EQ(State().time.timeRefValid[0], 1);
    EXPECT_NE(text.find("Computed IRIG Time: 001:00:00:00:000000"), std::string::npos) << text;
}

TEST_F(SandralStepping, ReopenAfterMidSlotStopPrintsFromNewOffset) {
    ch10fix::TempDir dir;
    const Recording rec = TenPackets();
    ch10fix::WriteFile(dir.File("rec.ch10"), rec.bytes);
    sandraltest::ListOptions o;
    o.count = 2;
    EXPECT_EQ(sandraltest::PrintedOffsets(sandraltest::ListPackets(dir.File("rec.ch10"), o)),
              (std::vector<int64_t>{rec.packets[0], rec.packets[1]}));
    ZADODOD_Close();
    o.startOffset = rec.packets[6];
    EXPECT_EQ(sandraltest::PrintedOffsets(sandraltest::ListPackets(dir.File("rec.ch10"), o)),
              (std::vector<int64_t>{rec.packets[6], rec.packets[7]}));
}

}  // namespace
}  // namespace sandral
