// A recording on a recorder drive comes back byte for byte through
// libtessin.so and libquillon.so, in the read patterns the callers use.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/ch10_fixture.h"
#include "quillon.h"
#include "tests/support/standin_rig.h"
#include "tessin.h"
#include "tests/support/tmats_builder.h"

namespace {

using namespace ch10fix;
using namespace qtest;

constexpr int kChunk = 0xFC000;
constexpr std::size_t kRecordingSize = 2 * kChunk + 4321;

// A setup record and PCM packets, cut at the size: the recording ends inside
// its last packet.
Bytes Recording() {
    Bytes rec = BuildSetupPacket(TmatsAttributes{{"G\\PN", "RECORDER"}, {"R-1\\N", "1"}});
    for (int i = 0; rec.size() < kRecordingSize; ++i) {
        PacketSpec s;
        s.channelId = 3;
        s.dataType = 0x09;
        s.sequence = static_cast<uint8_t>(i);
        s.rtc = static_cast<uint64_t>(i) * 1000;
        s.body.resize(30000 + static_cast<std::size_t>(i) * 7);
        for (std::size_t j = 0; j < s.body.size(); ++j) s.body[j] = static_cast<uint8_t>(j * 7 + i);
        s.checksum = Checksum::Sum16;
        Append(rec, BuildPacket(s));
    }
    rec.resize(kRecordingSize);
    return rec;
}

class StanagEndToEnd : public StandinFixture {
protected:
    void SetUp() override {
        StandinFixture::SetUp();
        recording = Recording();
        stanag_image::ImageSpec spec;
        spec.order = stanag_image::ByteOrder::kBig;
        spec.h = 5;
        spec.volume = "FLIGHT";
        stanag_image::DirBlock block;
        stanag_image::Entry rec, after;
        rec.name = "T1.ch10";
        rec.content = stanag_image::Content::Bytes(recording);
        // The next file's bytes follow in the same chunk: they must not leak.
        after.name = "T2.ch10";
        after.content = stanag_image::Content::Pattern(3 * kChunk, 7);
        block.entries = {rec, after};
        spec.chain = {block};
        AddDrive(2, spec);
    }

    // Reads T1.ch10 with `next` choosing each byte count from the budget
    // left; returns the bytes placed.
    Bytes ReadWith(const std::function<int(int64_t)>& next, std::vector<int>* counts = nullptr) {
        Bytes out;
        std::vector<uint8_t> buffer(kChunk);
        int h = iOpen("T1.ch10", 102);
        EXPECT_EQ(h, 101);
        int64_t left = static_cast<int64_t>(recording.size());
        for (int guard = 0; guard < 1000; ++guard) {
            int n = iRead(h, buffer.data(), next(left));
            if (counts) counts->push_back(n);
            if (n <= 0) break;
            out.insert(out.end(), buffer.begin(), buffer.begin() + n);
            left -= n;
        }
        iClose(h);
        return out;
    }

    Bytes recording;
};

TEST_F(StanagEndToEnd, WholeChunks) {
    std::vector<int> counts;
    EXPECT_EQ(ReadWith([](int64_t) { return kChunk; }, &counts), recording);
    EXPECT_EQ(counts, (std::vector<int>{kChunk, kChunk, 4321, 0}));
}

TEST_F(StanagEndToEnd, ValidatorBudget) {
    // The validator's budget is the size ordinal 7 lists; the last read asks
    // for exactly what is left, then an empty read marks the end.
    std::vector<char> names(QUILLON_FILE_LIST_ROOM);
    std::vector<int64_t> sizes(QUILLON_MAX_FILES, -1);
    ASSERT_EQ(GetSTANAGFilesSizes("2", names.data(), sizes.data()), 2);
    EXPECT_STREQ(names.data(), "T1.ch10,T2.ch10,");
    ASSERT_EQ(sizes[0], static_cast<int64_t>(kRecordingSize));
    const int64_t budget = sizes[0];

    std::vector<int> counts;
    Bytes got = ReadWith(
        [](int64_t left) { return left < kChunk ? static_cast<int>(left) : kChunk; }, &counts);
    EXPECT_EQ(got, recording);
    EXPECT_EQ(counts, (std::vector<int>{kChunk, kChunk, 4321, 0}));
    EXPECT_EQ(static_cast<int64_t>(got.size()), budget);
}

TEST_F(StanagEndToEnd, SmallReads) {
    std::vector<int> counts;
    EXPECT_EQ(ReadWith([](int64_t) { return 100000; }, &counts), recording);
    // A read never runs into the next chunk: each chunk's tail comes back short.
    std::vector<int> want;
    for (int c = 0; c < 2; ++c) {
        want.insert(want.end(), 10, 100000);
        want.push_back(kChunk - 10 * 100000);
    }
    want.push_back(4321);
    want.push_back(0);
    EXPECT_EQ(counts, want);
}

}  // namespace
