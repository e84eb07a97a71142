// The channel walks and the average scan over a recording of large
// packets, with bases chosen around the 2 MiB window seams.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "average_scan.h"
#include "channel_walk.h"
#include "sandral_state.h"
#include "tests/sandral/browse_recording.h"
#include "tests/sandral/sandral_test_support.h"
#include "tests/support/temp_dir.h"

namespace {

using sandraltest::Generated;

class SandralWalk : public sandraltest::SandralFixture {
protected:
    void SetUp() override {
        SandralFixture::SetUp();
        sandraltest::GenSpec spec;
        spec.dataPackets = 22;
        spec.minLength = 64 * 1024;
        spec.maxLength = 400 * 1024;
        spec.channels = {2, 3, 2};
        gen_ = sandraltest::Generate(spec);
        ASSERT_GT(gen_.Size(), 4 * 1024 * 1024);
        file_ = dir_.File("big.c10");
        ASSERT_TRUE(ch10fix::WriteFile(file_, gen_.bytes));
        set_ = ch10fix::WriteSegmentSet(dir_.Path(), "D0001", ".ch10", gen_.bytes, 100000).front();
    }
    void Use(const std::string& path) {
        sandral::State().browse.recordingPath = path;
        sandral::State().browse.fileSize = gen_.Size();
    }
    // The k-th matching packet at or after base + 4 (the start marker 4:
    // past the first one from 0), or the size.
    int64_t ForwardOracle(int64_t base, int k, int channel) const {
        std::vector<int64_t> offs = gen_.Offsets(channel);
        if (base == 4) {
            if (offs.empty()) return gen_.Size();
            offs.erase(offs.begin());
            base = -4;
        }
        int seen = 0;
        for (int64_t o : offs)
            if (o >= base + 4 && ++seen == k) return o;
        return gen_.Size();
    }
    int64_t BackwardOracle(int64_t base, int k, int channel) const {
        std::vector<int64_t> offs = gen_.Offsets(channel);
        int seen = 0;
        for (auto it = offs.rbegin(); it != offs.rend(); ++it)
            if (*it <= base - 24 && ++seen == k) return *it;
        return 0;
    }
    // Packet starts and chosen window seams: a header across the seam, a
    // body across it, a packet ending on it.
    std::vector<int64_t> Bases() const {
        std::vector<int64_t> bases{4};
        for (const auto& w : gen_.packets) {
            bases.push_back(w.offset);
            const int64_t o = w.offset - sandral::kWalkWindow - 4;
            if (o > 8) {
                bases.push_back(o + 12);    // header across the forward seam
                bases.push_back(o + 400);   // body across it
            }
            const int64_t back = w.offset + sandral::kWalkWindow + 12;  // backward seam in a header
            if (back < gen_.Size()) bases.push_back(back);
        }
        for (std::size_t i = 1; i < gen_.packets.size(); ++i) {
            const int64_t end = gen_.packets[i].offset;  // where the previous packet ends
            if (end - sandral::kWalkWindow - 4 > 8) bases.push_back(end - sandral::kWalkWindow - 4);
        }
        return bases;
    }

    ch10fix::TempDir dir_;
    Generated gen_;
    std::string file_;
    std::string set_;
};

TEST_F(SandralWalk, WalksGiveTheKthMatchingPacket) {
    for (const std::string& path : {file_, set_}) {
        Use(path);
        for (int channel : {-1, 3}) {
            for (int64_t base : Bases()) {
                for (int k : {1, 2, 5}) {
                    SCOPED_TRACE(path + " channel " + std::to_string(channel) + " base " + std::to_string(base) +
                                 " k " + std::to_string(k));
                    EXPECT_EQ(sandral::channel_walk(base, k, channel, false), ForwardOracle(base, k, channel));
                    if (base != 4) {
                        EXPECT_EQ(sandral::channel_walk(base, k, channel, true), BackwardOracle(base, k, channel));
                    }
                }
            }
        }
    }
}

TEST_F(SandralWalk, EndsAndMissingRecording) {
    Use(file_);
    const int64_t lastOffset = gen_.packets.back().offset;
    EXPECT_EQ(sandral::channel_walk(lastOffset, 1, -1, false), gen_.Size());
    EXPECT_EQ(sandral::channel_walk(gen_.packets[2].offset, 5, -1, true), 0);
    Use(dir_.File("missing.c10"));
    EXPECT_EQ(sandral::channel_walk(lastOffset, 1, -1, false), -1);
    EXPECT_EQ(sandral::channel_walk(lastOffset, 1, -1, true), -1);
    // At the call the missing recording reads as the end of data.
    sandral::State().browse.firstPrintedOffset = lastOffset;
    const std::string out = dir_.File("page.txt");
    EXPECT_EQ(Ch10GetPacket("ALL", "fwd", "2", out.c_str(), "5"), 2);
}

TEST_F(SandralWalk, SegmentSetSlotsAreReleased) {
    Use(set_);
    for (int k = 0; k < 40; ++k) {
        ASSERT_EQ(sandral::channel_walk(gen_.packets[3].offset, 1, -1, false), gen_.packets[4].offset) << k;
        ASSERT_EQ(sandral::CollectPacketOffsets(set_, -1, 3).size(), 3u) << k;
    }
}

TEST_F(SandralWalk, AverageScan) {
    std::vector<int64_t> data;  // setup packet left out
    for (const auto& w : gen_.packets)
        if (!(w.channel == 0 && w.dataType == 1)) data.push_back(w.offset);
    auto firstOf = [](std::vector<int64_t> v, std::size_t n) {
        v.resize(std::min(n, v.size()));
        return v;
    };
    for (const std::string& path : {file_, set_}) {
        EXPECT_EQ(sandral::CollectPacketOffsets(path, -1, 100), firstOf(data, 100)) << path;
        EXPECT_EQ(sandral::CollectPacketOffsets(path, 3, 10), firstOf(gen_.Offsets(3), 10)) << path;
    }
    struct Row {
        std::vector<int64_t> offsets;
        uint32_t average;
    };
    const std::vector<Row> rows = {
        {{}, 4196},
        {{100}, 4196},
        {{0, 1000}, 5196},
        {{0, 1000, 3000}, (3000 + 4196) / 2},
        {{0x100000000LL, 0x100000010LL}, 4212},  // low halves only
    };
    for (const Row& r : rows) EXPECT_EQ(sandral::AverageFromOffsets(r.offsets), r.average);

    struct Limit {
        int channel, mode, skip, limit;
    };
    const std::vector<Limit> limits = {
        {-1, -1, 0, 100}, {3, -1, 0, 10}, {-1, 0, 1, 100}, {-1, 0, 50, 51}, {3, 0, 2000, 2001}, {-1, 1, 50, 100},
    };
    for (const Limit& l : limits)
        EXPECT_EQ(sandral::AverageLimit(l.channel, l.mode, l.skip), l.limit) << l.channel << " " << l.skip;
    EXPECT_EQ(sandral::CollectPacketOffsets(file_, -1, 2001).size(), data.size());
}

TEST_F(SandralWalk, AverageStopsAtAThousandOffsets) {
    sandraltest::GenSpec spec;
    spec.dataPackets = 1500;
    spec.minLength = 64;
    spec.maxLength = 128;
    const Generated many = sandraltest::Generate(spec);
    const std::string path = dir_.File("many.c10");
    ASSERT_TRUE(ch10fix::WriteFile(path, many.bytes));
    EXPECT_EQ(sandral::CollectPacketOffsets(path, -1, 2001).size(), 1000u);
    EXPECT_EQ(sandral::CollectPacketOffsets(path, -1, 51).size(), 51u);
}

}  // namespace
