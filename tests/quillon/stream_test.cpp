#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/image_rig.h"
#include "quillon.h"
#include "quillon/src/quillon_state.h"
#include "tests/support/eventually.h"
#include "tests/support/standin_rig.h"

namespace {

using namespace quillon;
using namespace qtest;
using namespace std::chrono_literals;
using stanag_image::ByteOrder;

constexpr int32_t kChunk32 = static_cast<int32_t>(kChunk);

class StreamTest : public StandinFixture {
protected:
    void SetUp() override {
        StandinFixture::SetUp();
        basic = AddDrive(0, Basic());
    }
    void TearDown() override {
        if (server) server->Release();
        ResetStateForTests();
        StandinFixture::TearDown();
        ::unsetenv("ORVANE_INGEST_TIMEOUT_MS");
    }
    static int Position(int64_t at, int32_t chunk = kChunk32) {
        return GetNextBuffer(static_cast<uint32_t>(at), static_cast<int32_t>(at >> 32), nullptr, chunk);
    }
    // The image bytes `count` bytes from `at` within file `file` of `built`.
    static std::vector<uint8_t> Expected(const Built& built, std::size_t file, uint64_t at, std::size_t count) {
        uint64_t from = built.layout.files[file].offset + at;
        uint64_t to = std::min<uint64_t>(from + count, built.image.size());
        return {built.image.begin() + static_cast<std::ptrdiff_t>(from),
                built.image.begin() + static_cast<std::ptrdiff_t>(to)};
    }
    static bool Same(const std::vector<uint8_t>& want, const std::vector<uint8_t>& got) {
        return got.size() >= want.size() && std::equal(want.begin(), want.end(), got.begin());
    }
    std::vector<int32_t> ReadCounts(std::size_t from) const {
        std::vector<int32_t> out;
        for (const auto& r : LogFrom(from))
            if (r.command == standin::kRead) out.push_back(r.count);
        return out;
    }
    std::size_t SeeksTo(uint64_t offset) const {
        std::size_t n = 0;
        for (const auto& r : Log(standin::kSeek)) n += static_cast<uint64_t>(r.offset) == offset ? 1 : 0;
        return n;
    }
    static std::vector<int32_t> ChunkReads(int chunks) {
        std::vector<int32_t> out;
        for (int c = 0; c < chunks; ++c) {
            for (int i = 0; i < 15; ++i) out.push_back(65536);
            out.push_back(49152);
        }
        return out;
    }

    Built basic;
    std::vector<uint8_t> buffer = std::vector<uint8_t>(kChunk + 64, 0);
};

class StanagStream : public StreamTest {};
class StanagHandover : public StreamTest {};

TEST_F(StanagStream, FileComesBackExactInWholeChunks) {
    int64_t size = -5;
    ASSERT_EQ(OpenSTANAGFile("0", "Beta.CH10", &size), 1);
    EXPECT_EQ(size, static_cast<int64_t>(kBetaSize));
    EXPECT_EQ(Position(0), 0);
    std::size_t from = server->Requests().size();
    for (uint64_t c = 0; c < 3; ++c) {
        SCOPED_TRACE(c);
        std::fill(buffer.begin(), buffer.end(), 0xEE);
        // the last chunk is full too: reads are not cut at the file's end
        EXPECT_EQ(GetNextBuffer(0, 0, buffer.data(), 0), kChunk32);
        EXPECT_TRUE(Same(Expected(basic, 0, c * kChunk, kChunk), buffer));
        EXPECT_EQ(buffer[kChunk], 0xEE);
    }
    EXPECT_EQ(ReadCounts(from), ChunkReads(3));
    EXPECT_EQ(CloseSTANAGDrive(), 0);
    EXPECT_EQ(server->OpenHandles(), 0);
    ExpectNoViolations();
}

TEST_F(StanagStream, PositionRequests) {
    int64_t size = 0;
    ASSERT_EQ(OpenSTANAGFile("0", "Beta.CH10", &size), 1);
    // Before any position request the stream reads from the start with the
    // default chunk (the split made when the worker reached the file).
    EXPECT_EQ(GetNextBuffer(0, 0, buffer.data(), 0), kChunk32);
    EXPECT_TRUE(Same(Expected(basic, 0, 0, kChunk), buffer));
    const int64_t end = static_cast<int64_t>(kBetaSize);
    struct Step {
        int64_t position;  // < 0: a negative high half
        int32_t chunk;
        int positionResult;
        int32_t readResult;
        uint64_t readsFrom;  // where the read's bytes start in the file
    } steps[] = {
        // no position stored yet: nothing happens, and the new chunk waits
        {-1, 100, 0, kChunk32, kChunk},
        {0, -1, 0, 100, 0},  // the position applies the stored chunk
        {5000, 70000, 0, 70000, 5000},
        {-1, -1, 0, 70000, 5000},              // repeats the last position
        {end + 1, -1, -1, 70000, 75000},       // refused; the stream goes on
        {end, kChunk32, 0, kChunk32, kBetaSize},  // at the size: accepted
        {0x100000, 0, 0, 0, 0},                // chunk 0: reads ask nothing
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.position);
        int r = s.position < 0 ? GetNextBuffer(0, -1, nullptr, s.chunk) : Position(s.position, s.chunk);
        EXPECT_EQ(r, s.positionResult);
        std::size_t from = server->Requests().size();
        std::fill(buffer.begin(), buffer.end(), 0xEE);
        EXPECT_EQ(GetNextBuffer(123, 4, buffer.data(), 99), s.readResult);  // a read's own arguments are ignored
        if (s.readResult > 0) {
            EXPECT_TRUE(Same(Expected(basic, 0, s.readsFrom, static_cast<std::size_t>(s.readResult)), buffer));
        } else {
            EXPECT_TRUE(ReadCounts(from).empty());
        }
        EXPECT_EQ(buffer[static_cast<std::size_t>(s.readResult)], 0xEE);
    }
}

// A read that fails inside the file ends the chunk with the bytes before
// it, and the reads after it fail, where a hole would otherwise be; past
// the file's end a failed read is only a short one.
TEST_F(StanagStream, FailedReadInsideTheFileEndsTheStream) {
    ::setenv("ORVANE_INGEST_TIMEOUT_MS", "200", 1);
    struct Case {
        const char* what;
        const char* file;
        standin::Faults faults;
        int32_t first;
        int32_t second;
        bool linkStays;  // a new position then reads on
    } cases[6];
    cases[0] = {"negative count", "Beta.CH10", {}, 2 * 65536, -1, true};
    cases[0].faults.lying_read = {3, standin::kRead};
    cases[0].faults.lie_status = 0;
    cases[0].faults.lie_count = -65536;
    cases[1] = {"failed status after the device moved on", "Beta.CH10", {}, 2 * 65536, -1, true};
    cases[1].faults.lying_read = {3, standin::kRead};
    cases[2] = {"first read fails", "Beta.CH10", {}, -1, -1, true};
    cases[2].faults.lying_read = {1, standin::kRead};
    cases[3] = {"cut", "Beta.CH10", {}, 2 * 65536, -1, false};
    cases[3].faults.disconnect_before = {3, standin::kRead};
    cases[4] = {"silent", "Beta.CH10", {}, 2 * 65536, -1, false};
    cases[4].faults.hold_reply = {3, standin::kRead};
    cases[5] = {"failures past the end", "alpha.ch10", {}, 65536, 0, true};
    cases[5].faults.read_fail_from = 2;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        int64_t size = 0;
        ASSERT_EQ(OpenSTANAGFile("0", c.file, &size), 1);
        const std::size_t file = std::string(c.file) == "alpha.ch10" ? 1 : 0;
        EXPECT_EQ(Position(0), 0);  // the worker has walked to the file
        server->SetFaults(c.faults);
        testing::internal::CaptureStdout();
        std::fill(buffer.begin(), buffer.end(), 0xEE);
        EXPECT_EQ(GetNextBuffer(0, 0, buffer.data(), 0), c.first);
        if (c.first > 0) {
            EXPECT_TRUE(Same(Expected(basic, file, 0, static_cast<std::size_t>(c.first)), buffer));
            EXPECT_EQ(buffer[static_cast<std::size_t>(c.first)], 0xEE);
        }
        EXPECT_EQ(GetNextBuffer(0, 0, buffer.data(), 0), c.second);
        server->Release();
        server->SetFaults({});
        // A new position starts the stream again where the link still stands.
        EXPECT_EQ(Position(0), 0);
        EXPECT_EQ(GetNextBuffer(0, 0, buffer.data(), 0), c.linkStays ? kChunk32 : -1);
        if (c.linkStays) {
            EXPECT_TRUE(Same(Expected(basic, file, 0, kChunk), buffer));
        }
        CloseSTANAGDrive();
        testing::internal::GetCapturedStdout();
    }
}

// A start block that puts the file's base past 63 bits (or wraps it round
// to the device's start) is refused as the chain walk refuses such a link.
TEST_F(StanagStream, StartBlockOffTheDeviceIsRefused) {
    const uint64_t starts[] = {uint64_t{1} << 55, uint64_t{1} << 54, ~uint64_t{0}};  // base 2^64, 2^63, wrapped
    for (int n = 1; n <= 3; ++n) {
        const uint64_t start = starts[n - 1];
        SCOPED_TRACE(start);
        stanag_image::ImageSpec spec = Basic();
        Built built;
        std::string error;
        ASSERT_TRUE(stanag_image::BuildImage(spec, built.image, &error)) << error;
        ASSERT_TRUE(stanag_image::ComputeLayout(spec, built.layout, &error)) << error;
        const uint64_t field = built.layout.blocks[0].offset + 64 + 56;  // Beta.CH10's start block
        for (uint64_t i = 0; i < 8; ++i) built.image[field + i] = static_cast<uint8_t>(start >> (8 * i));
        AddDevice(DriveName(n), built.image);

        int64_t size = 0;
        ASSERT_EQ(OpenSTANAGFile(std::to_string(n).c_str(), "Beta.CH10", &size), 1);
        EXPECT_EQ(size, static_cast<int64_t>(kBetaSize));
        EXPECT_EQ(Position(0), -1);
        EXPECT_EQ(GetNextBuffer(0, 0, buffer.data(), 0), -1);
        CloseSTANAGDrive();
    }
}

TEST_F(StanagStream, NoWorkerAnswersAtOnce) {
    EXPECT_EQ(GetNextBuffer(0, 0, nullptr, kChunk32), 0);
    EXPECT_EQ(GetNextBuffer(0, 0, buffer.data(), 0), 0);
    EXPECT_EQ(CloseSTANAGDrive(), 0);
    EXPECT_EQ(server->Connections(), 0);

    int64_t size = 0;
    ASSERT_EQ(OpenSTANAGFile("0", "alpha.ch10", &size), 1);
    EXPECT_EQ(CloseSTANAGDrive(), 0);
    std::size_t from = server->Requests().size();
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(GetNextBuffer(0, 0, nullptr, kChunk32), 0);
    EXPECT_EQ(GetNextBuffer(0, 0, buffer.data(), 0), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1000ms);  // no 2-second wait
    EXPECT_TRUE(LogFrom(from).empty());
}

TEST_F(StanagStream, OpenResults) {
    // Letter case is ignored when the file is picked.
    int64_t size = -5;
    ASSERT_EQ(OpenSTANAGFile("0", "ALPHA.CH10", &size), 1);
    EXPECT_EQ(size, 100);
    EXPECT_EQ(Position(0), 0);
    EXPECT_EQ(GetNextBuffer(0, 0, buffer.data(), 0), kChunk32);
    EXPECT_TRUE(Same(Expected(basic, 1, 0, 100), buffer));

    // A second open while streaming: 4, and the stream goes on.
    int64_t other = -5;
    EXPECT_EQ(OpenSTANAGFile("0", "Beta.CH10", &other), 4);
    EXPECT_EQ(other, -5);
    EXPECT_EQ(Position(50), 0);
    EXPECT_EQ(GetNextBuffer(0, 0, buffer.data(), 0), kChunk32);
    EXPECT_TRUE(Same(Expected(basic, 1, 50, 1000), buffer));
    CloseSTANAGDrive();

    // A name not on the drive: 1, the size unwritten, no answers.
    size = -5;
    ASSERT_EQ(OpenSTANAGFile("0", "gamma.ch10", &size), 1);
    EXPECT_EQ(size, -5);
    EXPECT_EQ(GetNextBuffer(0, 0, nullptr, kChunk32), 0);
    CloseSTANAGDrive();
    EXPECT_EQ(server->OpenHandles(), 0);
}

TEST_F(StanagStream, EntriesAreNumberedAcrossTheChain) {
    for (ByteOrder order : {ByteOrder::kLittle, ByteOrder::kBig}) {
        SCOPED_TRACE(order == ByteOrder::kBig ? "BE" : "LE");
        Built chain = AddDrive(order == ByteOrder::kBig ? 2 : 1, Chain(order));
        const char* drive = order == ByteOrder::kBig ? "2" : "1";
        struct File {
            std::string name;
            std::size_t index;
            int64_t size;
        } files[] = {{"LAST.ch10", 4, 3000}, {kLongName, 0, 700}, {"big.ch10", 2, static_cast<int64_t>(kBigSize)}};
        for (const File& f : files) {
            SCOPED_TRACE(f.name);
            int64_t size = 0;
            ASSERT_EQ(OpenSTANAGFile(drive, f.name.c_str(), &size), 1);
            EXPECT_EQ(size, f.size);
            EXPECT_EQ(Position(10, 4096), 0);
            EXPECT_EQ(GetNextBuffer(0, 0, buffer.data(), 0), 4096);
            EXPECT_TRUE(Same(Expected(chain, f.index, 10, 4096), buffer));
            CloseSTANAGDrive();
        }
    }
}

TEST_F(StanagHandover, AbandonedRequestIsNeverWritten) {
    int64_t size = 0;
    ASSERT_EQ(OpenSTANAGFile("0", "Beta.CH10", &size), 1);
    EXPECT_EQ(Position(0), 0);
    // The chunk's third read hangs at the server past the answer wait, so
    // the worker takes a piece after the request was given up.
    standin::Faults held;
    held.hold_reply = {3, standin::kRead};
    server->SetFaults(held);
    EXPECT_EQ(GetNextBuffer(0, 0, buffer.data(), 0), 0);
    std::fill(buffer.begin(), buffer.end(), 0xAB);  // poisoned once given up
    server->SetFaults({});
    server->Release();

    // The worker serves in order: the next answers come once it is done
    // with the abandoned chunk.
    std::vector<uint8_t> next(kChunk + 64, 0xEE);
    EXPECT_EQ(Position(1000), 0);
    EXPECT_EQ(GetNextBuffer(0, 0, next.data(), 0), kChunk32);
    EXPECT_TRUE(Same(Expected(basic, 0, 1000, kChunk), next));
    EXPECT_EQ(GetNextBuffer(0, 0, next.data(), 0), kChunk32);
    EXPECT_TRUE(Same(Expected(basic, 0, 1000 + kChunk, kChunk), next));
    EXPECT_TRUE(std::all_of(buffer.begin(), buffer.end(), [](uint8_t b) { return b == 0xAB; }));
    ExpectNoViolations();
}

TEST_F(StanagHandover, AbandonedPositionRequestIsStillCarriedOut) {
    const uint64_t base = basic.layout.files[0].offset;
    const int64_t target = 2000000;
    struct Case {
        const char* what;
        bool readMeanwhile;  // a read asked, and abandoned, behind the position
    } cases[] = {{"position only", false}, {"read asked meanwhile", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::size_t seeksBefore = SeeksTo(base + static_cast<uint64_t>(target));
        // The worker's seek to the file's start hangs at the server, so
        // nothing it is asked meanwhile is taken in time.
        standin::Faults f;
        f.hold_reply = {3, standin::kSeek};
        server->SetFaults(f);
        int64_t size = 0;
        ASSERT_EQ(OpenSTANAGFile("0", "Beta.CH10", &size), 1);
        ASSERT_TRUE(server->WaitForHold(5000ms));
        EXPECT_EQ(static_cast<uint64_t>(Log(standin::kSeek).back().offset), base);

        EXPECT_EQ(Position(target), 0);  // unanswered
        std::vector<uint8_t> abandoned(kChunk, 0xAB);
        if (c.readMeanwhile) {
            EXPECT_EQ(GetNextBuffer(0, 0, abandoned.data(), 0), 0);
        }
        server->Release();

        std::fill(buffer.begin(), buffer.end(), 0xEE);
        EXPECT_EQ(GetNextBuffer(0, 0, buffer.data(), 0), kChunk32);
        EXPECT_TRUE(Same(Expected(basic, 0, static_cast<uint64_t>(target), kChunk), buffer));
        EXPECT_TRUE(std::all_of(abandoned.begin(), abandoned.end(), [](uint8_t b) { return b == 0xAB; }));
        EXPECT_EQ(SeeksTo(base + static_cast<uint64_t>(target)), seeksBefore + 1);
        EXPECT_EQ(CloseSTANAGDrive(), 0);
    }
    ExpectNoViolations();
}

TEST_F(StanagHandover, OpenAnsweredWithoutAHandleStartsNothing) {
    standin::Faults f;
    f.open_handle = -1;
    server->SetFaults(f);
    int64_t size = -5;
    EXPECT_EQ(OpenSTANAGFile("0", "Beta.CH10", &size), 6);
    EXPECT_EQ(size, -5);
    EXPECT_EQ(GetNextBuffer(0, 0, nullptr, kChunk32), 0);  // no worker to ask
    EXPECT_EQ(OpenSTANAGFile("0", "Beta.CH10", &size), 6);  // not 4: no drive is open
    EXPECT_EQ(CloseSTANAGDrive(), 0);

    // A real handle streams, and its close reaches the server.
    server->SetFaults({});
    ASSERT_EQ(OpenSTANAGFile("0", "Beta.CH10", &size), 1);
    EXPECT_EQ(Position(1000), 0);
    EXPECT_EQ(GetNextBuffer(0, 0, buffer.data(), 0), kChunk32);
    EXPECT_TRUE(Same(Expected(basic, 0, 1000, kChunk), buffer));
    EXPECT_EQ(CloseSTANAGDrive(), 0);
    auto log = Log();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back().command, standin::kClose);
    // Nothing was ever asked of the device "none".
    for (const auto& r : log) {
        if (r.command != standin::kOpen) {
            EXPECT_NE(r.handle, -1) << standin::FormatRequest(r);
        }
    }
}

TEST_F(StanagHandover, CloseRightAfterOpenIsLast) {
    int64_t size = 0;
    ASSERT_EQ(OpenSTANAGFile("0", "Beta.CH10", &size), 1);
    EXPECT_EQ(CloseSTANAGDrive(), 0);
    // Every request the worker sent is logged once it has ended.
    const platform::Thread& worker = State().stream.worker;
    ASSERT_TRUE(testwait::Eventually([&] { return !worker.Started() || worker.Finished(); }));
    auto log = Log();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back().command, standin::kClose);
    EXPECT_EQ(server->OpenHandles(), 0);
}

TEST_F(StanagHandover, DisconnectInMidChunk) {
    int64_t size = 0;
    ASSERT_EQ(OpenSTANAGFile("0", "Beta.CH10", &size), 1);
    EXPECT_EQ(Position(0), 0);
    standin::Faults f;
    f.disconnect_before = {6, standin::kRead};
    server->SetFaults(f);
    std::fill(buffer.begin(), buffer.end(), 0xEE);
    testing::internal::CaptureStdout();
    EXPECT_EQ(GetNextBuffer(0, 0, buffer.data(), 0), 5 * 65536);
    EXPECT_TRUE(Same(Expected(basic, 0, 0, 5 * 65536), buffer));
    EXPECT_EQ(buffer[5 * 65536], 0xEE);
    EXPECT_EQ(GetNextBuffer(0, 0, buffer.data(), 0), -1);
    CloseSTANAGDrive();
    EXPECT_NE(testing::internal::GetCapturedStdout().find("Error in ReadFromTALMORServ\n"), std::string::npos);
}

TEST_F(StanagHandover, HeldReplyIsCutOffByTheClose) {
    int64_t size = 0;
    ASSERT_EQ(OpenSTANAGFile("0", "Beta.CH10", &size), 1);
    EXPECT_EQ(Position(0), 0);
    standin::Faults f;
    f.short_reply = {3, standin::kRead};
    f.short_reply_bytes = 100;
    f.after_short = standin::AfterShortReply::kHold;
    server->SetFaults(f);
    testing::internal::CaptureStdout();
    EXPECT_EQ(GetNextBuffer(0, 0, buffer.data(), 0), 0);
    std::fill(buffer.begin(), buffer.end(), 0xAB);
    EXPECT_TRUE(server->WaitForHold(100ms));
    std::size_t held = server->Requests().size();
    EXPECT_EQ(CloseSTANAGDrive(), 0);  // waits its grace time, then cuts the link
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("Socket Closed\nError in ReadFromTALMORServ\n"), std::string::npos) << out;
    EXPECT_TRUE(std::all_of(buffer.begin(), buffer.end(), [](uint8_t b) { return b == 0xAB; }));
    // Nothing was sent on the link while the read hung, the close included.
    EXPECT_EQ(server->Requests().size(), held);
    EXPECT_EQ(server->Requests().back().command, standin::kRead);
    EXPECT_FALSE(server->Requests().back().answered);

    // The next open connects afresh.
    server->Release();
    int64_t again = 0;
    EXPECT_EQ(OpenSTANAGFile("0", "Beta.CH10", &again), 1);
    EXPECT_EQ(again, static_cast<int64_t>(kBetaSize));
    EXPECT_EQ(server->Connections(), 2);
}

}  // namespace
