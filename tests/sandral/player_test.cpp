// The player: its open and positioning, the status record, the one
// read-ahead thread and its joins.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "tests/support/ch10_fixture.h"
#include "tests/sandral/recording_builder.h"
#include "tests/sandral/sandral_test_support.h"
#include "tests/support/eventually.h"
#include "tests/support/temp_dir.h"

namespace sandral {
namespace {

using sandraltest::Recording;
using SandralPlayer = sandraltest::SandralFixture;

// The library's input, noting every seek.
class SeekNotingInput final : public RecordingInput {
public:
    int Open(const char* path, int type) override { return LibraryInput().Open(path, type); }
    int Read(int handle, void* buffer, int count) override { return LibraryInput().Read(handle, buffer, count); }
    int64_t Goto(int handle, uint32_t low, int32_t high, int origin) override {
        seeks.push_back(static_cast<int64_t>(static_cast<uint64_t>(static_cast<uint32_t>(high)) << 32 | low));
        return LibraryInput().Goto(handle, low, high, origin);
    }
    int Close(int handle) override { return LibraryInput().Close(handle); }
    std::vector<int64_t> seeks;
};

TEST_F(SandralPlayer, StartOffsetsReadFromTenMiBBefore) {
    ch10fix::TempDir dir;
    const std::string path = dir.File("sparse.ch10");
    const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, 13 << 20), 0);
    ::close(fd);
    const struct {
        int64_t start;
        std::vector<int64_t> seeks;
        int64_t readFrom;
    } cases[] = {
        {0, {}, 0},
        {10485760, {0}, 0},
        {10485764, {4}, 4},
        {12 << 20, {2 << 20}, 2 << 20},
    };
    for (const auto& c : cases) {
        ResetStateForTests();
        SeekNotingInput input;
        State().input = &input;
        State().browse.startOffset = c.start;
        PlayerStatus status{};
        EXPECT_EQ(ZADODOD_Open(path.c_str(), 0, &status), 0);
        EXPECT_EQ(input.seeks, c.seeks) << c.start;
        EXPECT_EQ(State().browse.currentOffset, c.readFrom) << c.start;
        EXPECT_EQ(::lseek(State().player.handle, 0, SEEK_CUR), c.readFrom) << c.start;
        EXPECT_EQ(status.state, 4);
        EXPECT_EQ(status.reading, 1);
        ResetStateForTests();
    }
}

TEST_F(SandralPlayer, MissingFileAndSecondOpen) {
    ch10fix::TempDir dir;
    ch10fix::WriteFile(dir.File("a.ch10"), Recording::Filler(64));
    PlayerStatus status{};
    status.errorText = "caller's";
    EXPECT_EQ(ZADODOD_Open(dir.File("missing.ch10").c_str(), 0, &status), 0);
    EXPECT_EQ(status.error, 1);
    EXPECT_STREQ(status.errorText, "Unable to open input file");
    EXPECT_EQ(State().player.handle, 0);
    EXPECT_EQ(ZADODOD_Close(), 0);

    PlayerStatus first{};
    first.errorText = "caller's";
    EXPECT_EQ(ZADODOD_Open(dir.File("a.ch10").c_str(), 0, &first), 0);
    EXPECT_EQ(first.error, 0);
    EXPECT_STREQ(first.errorText, "caller's") << "left as the caller set it";
    const int handle = State().player.handle;
    PlayerStatus second{};
    EXPECT_EQ(ZADODOD_Open(dir.File("missing.ch10").c_str(), 0, &second), 0);
    EXPECT_EQ(State().player.handle, handle);
    EXPECT_EQ(State().player.status, &first);
    EXPECT_EQ(second.error, 0);
    EXPECT_EQ(second.state, 0);
}

TEST_F(SandralPlayer, PlayStartsOneReadAheadConsumedInOrder) {
    EXPECT_EQ(ZADODOD_Play(), 0);
    EXPECT_EQ(State().player.readAheadStarts, 0) << "nothing before an open";

    ch10fix::TempDir dir;
    Recording rec;
    rec.FillTo(3 * 0x80000 + 100);
    ch10fix::WriteFile(dir.File("rec.ch10"), rec.bytes);
    PlayerStatus status{};
    State().browse.fileSize = rec.Size();
    State().browse.channelFilter = -1;
    State().browse.packetCount = INT_MAX;
    State().browse.outputStream.UseMemory();
    ZADODOD_Open(dir.File("rec.ch10").c_str(), 0, &status);
    EXPECT_EQ(ZADODOD_Play(), 0);
    EXPECT_EQ(status.state, 5);
    EXPECT_EQ(ZADODOD_Play(), 0) << "nothing in state 5";
    EXPECT_EQ(State().player.readAheadStarts, 1);
    run_decode_loop();
    EXPECT_EQ(status.state, 4);
    EXPECT_EQ(sandraltest::PrintedOffsets(State().browse.outputStream.Text()), rec.packets);
    EXPECT_EQ(status.endOfData, 1);
    EXPECT_EQ(status.buffersRead, 4);
    EXPECT_EQ(ZADODOD_Play(), 0);
    EXPECT_EQ(status.state, 5);
    EXPECT_EQ(State().player.readAheadStarts, 1) << "one read-ahead per process";
}

TEST_F(SandralPlayer, CloseUnopenedTwiceAndNullRecord) {
    EXPECT_EQ(ZADODOD_Close(), 0);
    EXPECT_EQ(ZADODOD_Close(), 0);
    EXPECT_EQ(ZADODOD_Open("/nonexistent/x.ch10", 0, nullptr), 0);
    EXPECT_EQ(State().player.status, &State().player.own);
    EXPECT_EQ(State().player.own.error, 1);
    EXPECT_EQ(ZADODOD_Close(), 0);
    EXPECT_EQ(ZADODOD_Close(), 0);
    EXPECT_FALSE(State().player.open);
}

TEST_F(SandralPlayer, CloseWaitsForBlockedReadAhead) {
    ch10fix::TempDir dir;
    const std::string fifo = dir.File("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int writer = ::open(fifo.c_str(), O_RDWR);  // tessin's open would block without a writer
    ASSERT_GE(writer, 0);
    PlayerStatus status{};
    ZADODOD_Open(fifo.c_str(), 0, &status);
    ASSERT_NE(State().player.handle, 0);
    ZADODOD_Play();
    const platform::Thread* readAhead = State().player.readAhead.get();
    ASSERT_NE(readAhead, nullptr);
    std::atomic<bool> closed{false};
    std::thread closer([&] {
        ZADODOD_Close();
        closed = true;
    });
    // A Close that did not wait would have returned by the time it could
    // be seen waiting for the read-ahead.
    ASSERT_TRUE(testwait::Eventually([&] { return closed.load() || readAhead->Joining(); }));
    EXPECT_FALSE(closed.load()) << "Close returned under a read in flight";
    ASSERT_EQ(::write(writer, "data", 4), 4);
    closer.join();
    EXPECT_TRUE(closed.load());
    EXPECT_EQ(State().player.handle, 0);
    ::close(writer);
}

}  // namespace
}  // namespace sandral
