// The input calls on recorder files, over the real quillon and the
// in-process ingest stand-in.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/image_rig.h"
#include "quillon.h"
#include "tests/support/standin_rig.h"
#include "tessin.h"
#include "tessin/src/tessin_state.h"

namespace {

using namespace qtest;
using namespace std::chrono_literals;

constexpr int kChunk32 = static_cast<int>(kChunk);
constexpr int64_t kBeta = static_cast<int64_t>(kBetaSize);

class StanagInput : public StandinFixture {
protected:
    void SetUp() override {
        tessin::ResetStateForTests();
        StandinFixture::SetUp();
        basic = AddDrive(2, Basic());
    }
    void TearDown() override {
        if (server) server->Release();
        tessin::ResetStateForTests();
        CloseSTANAGDrive();
        StandinFixture::TearDown();
        ::unsetenv("ORVANE_INGEST_TIMEOUT_MS");
    }

    static int64_t Goto(int h, int64_t offset, int origin) {
        return iGoto(h, static_cast<uint32_t>(offset), static_cast<int32_t>(offset >> 32), origin);
    }
    // Bytes of Beta.CH10 (file 0) or alpha.ch10 (file 1) on the image.
    std::vector<uint8_t> Expected(std::size_t file, uint64_t at, std::size_t count) const {
        auto from = basic.image.begin() + static_cast<std::ptrdiff_t>(basic.layout.files[file].offset + at);
        return {from, from + static_cast<std::ptrdiff_t>(count)};
    }
    bool Holds(std::size_t file, uint64_t at, std::size_t count) const {
        auto want = Expected(file, at, count);
        return std::equal(want.begin(), want.end(), buffer.begin());
    }
    bool GuardFrom(std::size_t at) const {
        return std::all_of(buffer.begin() + static_cast<std::ptrdiff_t>(at), buffer.end(),
                           [](uint8_t b) { return b == 0xEE; });
    }
    void Poison() { std::fill(buffer.begin(), buffer.end(), 0xEE); }
    int Read(int h, int n) { return iRead(h, buffer.data(), n); }

    // Seeks the worker sent to `at` bytes into file `file`.
    std::size_t SeeksTo(std::size_t file, uint64_t at) const {
        std::size_t n = 0;
        for (const auto& r : Log(standin::kSeek))
            if (static_cast<uint64_t>(r.offset) == basic.layout.files[file].offset + at) ++n;
        return n;
    }
    std::size_t Opens() const { return Log(standin::kOpen).size(); }
    static const tessin::InputState& In() { return tessin::State().input; }

    Built basic;
    std::vector<uint8_t> buffer = std::vector<uint8_t>(kChunk + 64, 0xEE);
};

TEST_F(StanagInput, AcceptedOpenPositionsAtTheStart) {
    EXPECT_EQ(iOpen("Beta.CH10", 102), 101);
    EXPECT_EQ(In().selector, 102);
    EXPECT_EQ(In().cachedSize, kBeta);
    EXPECT_EQ(Opens(), 1u);
    // The worker's own seek at the stream's start, and the position request.
    EXPECT_EQ(SeeksTo(0, 0), 2u);
    EXPECT_EQ(Read(101, kChunk32), kChunk32);
    EXPECT_TRUE(Holds(0, 0, kChunk));
    ExpectNoViolations();
}

TEST_F(StanagInput, SecondAttemptGivesOneWithoutAPositionRequest) {
    standin::Faults f;
    f.open_failures = 1;
    server->SetFaults(f);
    int h = iOpen("Beta.CH10", 102);
    EXPECT_EQ(h, 1);
    EXPECT_EQ(Opens(), 2u);
    EXPECT_EQ(In().selector, 102);
    EXPECT_EQ(In().cachedSize, kBeta);

    // Read to the end: the stream starts at the file's start and stops at
    // its size.
    std::vector<uint8_t> all;
    int n;
    while ((n = Read(h, kChunk32)) > 0) all.insert(all.end(), buffer.begin(), buffer.begin() + n);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(all, Expected(0, 0, kBetaSize));
    EXPECT_EQ(SeeksTo(0, 0), 1u);  // the worker's own only
}

TEST_F(StanagInput, FailedOpensTryTwiceAndLeaveNoDriveOpen) {
    AddRefusedDrive(3);
    AddDrive(4, NoDirectory());
    struct Case {
        const char* what;
        const char* name;
        int type;
        std::string device;
    } cases[] = {
        {"refused", "Beta.CH10", 103, DriveName(3)},
        {"no directory", "Beta.CH10", 104, DriveName(4)},
        {"not on the drive", "gamma.ch10", 102, DriveName(2)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::size_t from = server->Requests().size();
        EXPECT_EQ(iOpen(c.name, c.type), -1);
        std::size_t opens = 0;
        for (const auto& r : LogFrom(from))
            if (r.command == standin::kOpen) {
                EXPECT_EQ(r.path, c.device);
                ++opens;
            }
        EXPECT_EQ(opens, 2u);
        EXPECT_EQ(In().selector, c.type);  // kept after a failed open
        EXPECT_EQ(In().cachedSize, -1);
        EXPECT_EQ(server->OpenHandles(), 0);
        iClose(-1);
    }
    // No drive was left open: the next open is a real one.
    EXPECT_EQ(iOpen("Beta.CH10", 102), 101);
    EXPECT_EQ(In().cachedSize, kBeta);
}

TEST_F(StanagInput, OpenAnsweredWithoutAHandleFails) {
    standin::Faults f;
    f.open_handle = -1;
    server->SetFaults(f);
    for (int attempt = 0; attempt < 2; ++attempt) {
        SCOPED_TRACE(attempt);
        std::size_t from = server->Requests().size();
        EXPECT_EQ(iOpen("Beta.CH10", 102), -1);
        auto log = LogFrom(from);
        ASSERT_EQ(log.size(), 2u);  // the open and its one retry, nothing else
        for (const auto& r : log) EXPECT_EQ(r.command, standin::kOpen);
        iClose(-1);
    }
    server->SetFaults({});
    ASSERT_EQ(iOpen("Beta.CH10", 102), 101);
    Poison();
    EXPECT_EQ(Read(101, 100), 100);
    EXPECT_TRUE(Holds(0, 0, 100));
}

TEST_F(StanagInput, DriveAlreadyOpenCountsAsOpen) {
    int64_t size = -5;
    ASSERT_EQ(OpenSTANAGFile("2", "Beta.CH10", &size), 1);  // another caller's stream
    EXPECT_EQ(iOpen("alpha.ch10", 102), 101);
    EXPECT_EQ(Opens(), 1u);
    EXPECT_EQ(In().cachedSize, -1);  // code 4 tells no size
    EXPECT_EQ(SeeksTo(0, 0), 2u);    // the position request went to the running stream
    EXPECT_EQ(Read(101, kChunk32), kChunk32);
    EXPECT_TRUE(Holds(0, 0, kChunk));

    // With the size unknown nothing past the start can be asked for, and
    // the end cannot be told; the start always can.
    struct Case {
        int64_t offset;
        int origin;
        int64_t result;
        int64_t sent;  // -1: nothing sent
    } cases[] = {
        {10, 0, -1, -1},
        {0, 2, -1, -1},
        {0, 1, -1, -1},
        {0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.offset) + " " + std::to_string(c.origin));
        std::size_t from = server->Requests().size();
        EXPECT_EQ(Goto(101, c.offset, c.origin), c.result);
        auto log = LogFrom(from);
        if (c.sent < 0) {
            EXPECT_TRUE(log.empty());
        } else {
            ASSERT_EQ(log.size(), 1u);
            EXPECT_EQ(log[0].command, standin::kSeek);
            EXPECT_EQ(static_cast<uint64_t>(log[0].offset), basic.layout.files[0].offset + static_cast<uint64_t>(c.sent));
        }
    }
    // Rewound: the stream starts over.
    Poison();
    EXPECT_EQ(Read(101, 100), 100);
    EXPECT_TRUE(Holds(0, 0, 100));
}

TEST_F(StanagInput, EmptyFileReadsNothing) {
    // The empty file's payload starts where the next file's does.
    stanag_image::ImageSpec spec = Basic();
    stanag_image::Entry empty;
    empty.name = "empty.ch10";
    empty.content = stanag_image::Content::Pattern(0, 31);
    stanag_image::Entry next;
    next.name = "next.ch10";
    next.content = stanag_image::Content::Pattern(kChunk, 32);
    spec.chain[0].entries = {empty, next};
    AddDrive(5, spec);

    for (bool sizeFirst : {false, true}) {
        SCOPED_TRACE(sizeFirst ? "size first" : "open only");
        if (sizeFirst) {
            EXPECT_EQ(iSize("empty.ch10", 105), 0);
        }
        EXPECT_EQ(iOpen("empty.ch10", 105), 101);
        EXPECT_EQ(In().cachedSize, 0);
        EXPECT_EQ(Goto(101, 0, 0), 0);
        EXPECT_EQ(Goto(101, 0, 2), 0);
        Poison();
        EXPECT_EQ(Read(101, kChunk32), 0);
        EXPECT_TRUE(GuardFrom(0));
        iClose(101);
        EXPECT_EQ(server->OpenHandles(), 0);
    }
}

TEST_F(StanagInput, SizeThenOpen) {
    EXPECT_EQ(iSize("dir/alpha.ch10", 102), 100);
    EXPECT_EQ(In().selector, 102);
    EXPECT_EQ(iOpen("alpha.ch10", 102), 101);  // the cached size: no second open
    EXPECT_EQ(Opens(), 1u);
    EXPECT_EQ(Read(101, kChunk32), 100);
    EXPECT_TRUE(Holds(1, 0, 100));
    EXPECT_TRUE(GuardFrom(100));
    EXPECT_EQ(Read(101, kChunk32), 0);
    iClose(101);

    // A failed size closes the drive again and keeps the selector.
    set_input_file_type(0);
    EXPECT_EQ(iSize("gamma.ch10", 102), -1);
    EXPECT_EQ(In().selector, 0);
    EXPECT_EQ(server->OpenHandles(), 0);
    EXPECT_EQ(iOpen("Beta.CH10", 102), 101);
}

TEST_F(StanagInput, DriveTextAndFileName) {
    struct Case {
        const char* path;
        int type;
        int handle;
        std::string device;
    } cases[] = {
        {"Beta.CH10", 102, 101, DriveName(2)},
        {"dir\\Beta.CH10", 102, 101, DriveName(2)},
        {"dir/Beta.CH10", 102, 101, DriveName(2)},
        {"a/b\\Beta.CH10", 102, 101, DriveName(2)},
        {"a\\b/Beta.CH10", 102, 101, DriveName(2)},
        {"beta.ch10", 102, 101, DriveName(2)},  // case ignored
        {"dir/", 102, -1, DriveName(2)},        // no name
        {"Beta.CH10", 1234567890, -1, "//./PHYSICALDRIVE1234567790"},
        {"Beta.CH10", INT_MAX, -1, "//./PHYSICALDRIVE2147483547"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path + std::string(" ") + std::to_string(c.type));
        std::size_t from = server->Requests().size();
        EXPECT_EQ(iOpen(c.path, c.type), c.handle);
        auto log = LogFrom(from);
        ASSERT_FALSE(log.empty());
        EXPECT_EQ(log.front().command, standin::kOpen);
        EXPECT_EQ(log.front().path, c.device);
        iClose(c.handle);
    }
}

TEST_F(StanagInput, GotoTable) {
    ASSERT_EQ(iOpen("Beta.CH10", 102), 101);
    struct Case {
        int handle;
        int64_t offset;
        int origin;
        int64_t result;
        int64_t sent;  // the position request's offset; -1: nothing sent
    } cases[] = {
        {101, 1000, 0, 1000, 1000},
        {101, 1000, 2, 1000, 1000},  // absolute whatever the origin
        {101, 1000, 1, -1, -1},
        {101, 0, 1, -1, -1},
        {101, 0, 0, 0, 0},
        {101, 0, 2, kBeta, kBeta},
        {101, kBeta, 0, kBeta, kBeta},  // the size itself is accepted
        {101, kBeta + 1, 0, -1, -1},
        {101, kBeta + 1, 2, -1, -1},
        {101, -1, 0, -1, -1},
        {101, -5, 1, -1, -1},
        {101, -5, 2, -1, -1},
        {101, 10, 3, -1, -1},
        {7, 123456, 0, 123456, 123456},  // the handle does not choose the path
        {1000, 10, 0, -1, -1},  // ...except a set handle, and no set is open
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.handle) + " " + std::to_string(c.offset) + " " + std::to_string(c.origin));
        std::size_t from = server->Requests().size();
        EXPECT_EQ(Goto(c.handle, c.offset, c.origin), c.result);
        auto log = LogFrom(from);
        if (c.sent < 0) {
            EXPECT_TRUE(log.empty());
        } else {
            ASSERT_EQ(log.size(), 1u);
            EXPECT_EQ(log[0].command, standin::kSeek);
            EXPECT_EQ(static_cast<uint64_t>(log[0].offset), basic.layout.files[0].offset + static_cast<uint64_t>(c.sent));
        }
    }
}

TEST_F(StanagInput, ReadsOfAnySizeFromTheStagedChunk) {
    ASSERT_EQ(iOpen("Beta.CH10", 102), 101);
    std::size_t from = server->Requests().size();
    Poison();
    EXPECT_EQ(Read(101, 100), 100);
    EXPECT_TRUE(Holds(0, 0, 100));
    EXPECT_TRUE(GuardFrom(100));
    auto fetches = LogFrom(from);
    EXPECT_EQ(fetches.size(), 16u);  // one whole chunk
    for (const auto& r : fetches) EXPECT_EQ(r.command, standin::kRead);

    std::size_t fetched = server->Requests().size();
    EXPECT_EQ(Read(101, 0), 0);
    EXPECT_EQ(Read(101, -1), -1);
    EXPECT_EQ(Goto(101, 5, 1), -1);  // rejected: the staged bytes stay
    Poison();
    EXPECT_EQ(Read(101, kChunk32), kChunk32 - 100);  // the rest of the chunk, from byte 100
    EXPECT_TRUE(Holds(0, 100, kChunk - 100));
    EXPECT_TRUE(GuardFrom(kChunk - 100));
    EXPECT_EQ(server->Requests().size(), fetched);

    Poison();
    EXPECT_EQ(Read(101, kChunk32), kChunk32);
    EXPECT_TRUE(Holds(0, kChunk, kChunk));

    // A goto empties the staging; the read after it starts there and is cut
    // at the file's end, where reads give 0 and ask nothing.
    const int64_t near = kBeta - 1010;
    EXPECT_EQ(Goto(101, near, 0), near);
    Poison();
    EXPECT_EQ(Read(101, 600), 600);
    EXPECT_TRUE(Holds(0, static_cast<uint64_t>(near), 600));
    EXPECT_EQ(Read(101, kChunk32), 410);
    EXPECT_TRUE(Holds(0, static_cast<uint64_t>(near) + 600, 410));
    std::size_t atEnd = server->Requests().size();
    EXPECT_EQ(Read(101, kChunk32), 0);
    EXPECT_EQ(Read(101, kChunk32), 0);
    EXPECT_EQ(server->Requests().size(), atEnd);
    EXPECT_GT(atEnd, from);

    // Back to the start after the end.
    EXPECT_EQ(Goto(101, 0, 0), 0);
    EXPECT_EQ(Read(101, 10), 10);
    EXPECT_TRUE(Holds(0, 0, 10));
}

TEST_F(StanagInput, ServerFailureInMidFileIsAnError) {
    struct Case {
        const char* what;
        standin::Faults faults;
        int firstRead;
    } cases[4];
    cases[0].what = "slow";
    cases[0].faults.delay = 200ms;  // 16 reads: over 2 s a chunk
    cases[0].faults.delay_command = standin::kRead;
    cases[0].firstRead = -1;
    cases[1].what = "disconnect";
    cases[1].faults.disconnect_before = {6, standin::kRead};
    cases[1].firstRead = 5 * 65536;
    // Where a hole would be: the bytes before it, then the read error.
    cases[2].what = "negative count";
    cases[2].faults.lying_read = {3, standin::kRead};
    cases[2].faults.lie_status = 0;
    cases[2].faults.lie_count = -1;
    cases[2].firstRead = 2 * 65536;
    cases[3].what = "failed status after the device moved on";
    cases[3].faults.lying_read = {3, standin::kRead};
    cases[3].firstRead = 2 * 65536;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(iOpen("Beta.CH10", 102), 101);
        server->SetFaults(c.faults);
        testing::internal::CaptureStdout();
        int n = Read(101, kChunk32);
        EXPECT_EQ(n, c.firstRead);
        if (n > 0) {
            EXPECT_TRUE(Holds(0, 0, static_cast<std::size_t>(n)));
            EXPECT_EQ(Read(101, kChunk32), -1);
        }
        iClose(101);
        testing::internal::GetCapturedStdout();
        server->SetFaults({});
    }
}

// A server that stops answering during the drive open: the open fails (or
// succeeds at its second attempt) in bounded time.
TEST_F(StanagInput, SilentServerDuringTheOpen) {
    ::setenv("ORVANE_INGEST_TIMEOUT_MS", "200", 1);
    struct Case {
        const char* what;
        standin::Faults faults;
        int handle;
    } cases[4];
    cases[0] = {"every open", {}, -1};
    cases[0].faults.delay_command = standin::kOpen;
    cases[1] = {"every block size", {}, -1};
    cases[1].faults.delay_command = standin::kBlockSize;
    cases[2] = {"every read", {}, -1};
    cases[2].faults.delay_command = standin::kRead;
    cases[3] = {"the first walk", {}, 1};
    cases[3].faults.hold_reply = {3, standin::kRead};  // search, search, walk
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.faults.delay_command != 0) c.faults.delay = std::chrono::hours(1);  // until the server stops
        server->SetFaults(c.faults);
        testing::internal::CaptureStdout();
        EXPECT_EQ(iOpen("Beta.CH10", 102), c.handle);
        EXPECT_EQ(In().cachedSize, c.handle == -1 ? -1 : kBeta);
        iClose(c.handle);
        testing::internal::GetCapturedStdout();
        // The stalled replies stay behind on links already given up.
        server->Stop();
        ASSERT_TRUE(server->Start());
        server->SetFaults({});
    }
}

TEST_F(StanagInput, UnansweredRequestsDoNotMoveTheStream) {
    // One exchange of the worker's hangs at the server until released, so
    // that the request asked meanwhile goes unanswered.
    struct Case {
        const char* what;
        bool sizeFirst;
        bool holdAfterOpen;  // else from before the open
        standin::Trigger hold;
        int64_t gotoOffset;  // -1: a read is asked instead
    } cases[] = {
        {"slow seek, sized first", true, false, {3, standin::kSeek}, 2000000},
        {"slow seek", false, false, {3, standin::kSeek}, 2000000},
        {"slow read", false, true, {1, standin::kRead}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        standin::Faults f;
        f.hold_reply = c.hold;
        if (!c.holdAfterOpen) server->SetFaults(f);
        if (c.sizeFirst) {
            EXPECT_EQ(iSize("Beta.CH10", 102), kBeta);
        }
        ASSERT_EQ(iOpen("Beta.CH10", 102), 101);
        if (c.holdAfterOpen) server->SetFaults(f);
        int64_t start = 0;
        if (c.gotoOffset >= 0) {
            EXPECT_EQ(Goto(101, c.gotoOffset, 0), c.gotoOffset);
            start = c.gotoOffset;
        } else {
            EXPECT_EQ(Read(101, kChunk32), -1);
        }
        EXPECT_TRUE(server->WaitForHold(0ms));  // still hanging
        server->Release();

        // Every later read goes on from where the caller stands.
        std::vector<uint8_t> rest;
        int n;
        while ((n = Read(101, 300000)) > 0) rest.insert(rest.end(), buffer.begin(), buffer.begin() + n);
        EXPECT_EQ(n, 0);
        EXPECT_TRUE(rest == Expected(0, static_cast<uint64_t>(start), static_cast<std::size_t>(kBeta - start)));
        iClose(101);
        server->SetFaults({});
    }
    ExpectNoViolations();
}

TEST_F(StanagInput, CloseClosesTheDriveWhateverTheHandle) {
    ASSERT_EQ(iOpen("Beta.CH10", 102), 101);
    EXPECT_EQ(Read(101, 100), 100);
    EXPECT_EQ(iClose(-7), 0);
    EXPECT_EQ(Log(standin::kClose).size(), 1u);
    EXPECT_EQ(server->OpenHandles(), 0);
    EXPECT_EQ(In().selector, -1);
    EXPECT_EQ(In().cachedSize, -1);

    // Opened again, it reads from the start, not from the old staging.
    ASSERT_EQ(iOpen("Beta.CH10", 102), 101);
    Poison();
    EXPECT_EQ(Read(101, 100), 100);
    EXPECT_TRUE(Holds(0, 0, 100));
    EXPECT_EQ(Opens(), 2u);
}

}  // namespace
