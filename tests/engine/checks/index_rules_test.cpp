#include <gtest/gtest.h>

#include "tests/engine/checks/check_rig.h"
#include "vexa/engine/index_rules.h"

namespace {

using checkfix::BuildIndexPacket;
using checkfix::HeldPacket;
using checkfix::IndexSpec;
using checkfix::Root;

std::vector<unsigned> Numbers(const std::vector<vexa::IndexFinding>& f) {
    std::vector<unsigned> n;
    for (const auto& x : f) n.push_back(x.number);
    return n;
}

std::vector<unsigned> Apply(vexa::RecordingIndexState& s, const ch10fix::Bytes& b, uint64_t offset,
                            std::size_t held = SIZE_MAX) {
    HeldPacket p(b, held);
    return Numbers(vexa::ApplyIndexPacket(s, p.view(), p.header(), offset));
}

TEST(RecordingIndex, RootChain) {
    vexa::RecordingIndexState s;
    s.Reset();
    using V = std::vector<unsigned>;
    EXPECT_EQ(Apply(s, BuildIndexPacket(Root(1000)), 1000), V{});            // points to itself
    EXPECT_EQ(Apply(s, BuildIndexPacket(Root(1000)), 2000), V{});            // to the previous
    EXPECT_EQ(Apply(s, BuildIndexPacket(Root(2000)), 3000), V{});
    EXPECT_EQ(Apply(s, BuildIndexPacket(Root(1000)), 4000), V{});            // back-walk to an older root
    EXPECT_EQ(s.rootIndexOffsetCount, 2);                                     // 1000, then 4000 appended
    EXPECT_EQ(Apply(s, BuildIndexPacket(Root(2000)), 5000), V{156});         // 2000 was forgotten
    EXPECT_EQ(Apply(s, BuildIndexPacket(Root(7)), 6000), V{156});
    EXPECT_EQ(s.rootIndexCount, 6);
    EXPECT_EQ(*s.prevRootIndexOffset, 6000u);

    vexa::RecordingIndexState t;
    t.Reset();
    EXPECT_EQ(Apply(t, BuildIndexPacket(Root(0)), 44), V{155});
    // Offset 0 is a real offset, not "no previous root".
    vexa::RecordingIndexState u;
    u.Reset();
    EXPECT_EQ(Apply(u, BuildIndexPacket(Root(0)), 0), V{});
    EXPECT_EQ(Apply(u, BuildIndexPacket(Root(0)), 512), V{});
}

TEST(RecordingIndex, EntrySizes) {
    using V = std::vector<unsigned>;
    struct Case {
        const char* name;
        IndexSpec spec;
        std::optional<uint32_t> dataLength;
        V findings;
    } cases[] = {
        {"16-byte entries", {.entryCount = 3}, {}, V{}},
        {"24-byte entries with bit 29", {.entryCount = 2, .ipdh = true, .entryBytes = 24}, {}, V{}},
        {"file size with bit 30", {.entryCount = 2, .fileSize = true}, {}, V{}},
        {"count 0", {.entryCount = 0}, {}, V{162}},
        {"not divisible", {.entryCount = 3}, 36u, V{163}},
        {"24 without bit 29", {.entryCount = 2, .entryBytes = 24}, {}, V{165}},
        {"16 with bit 29", {.entryCount = 2, .ipdh = true}, {}, V{164}},
        {"file size without bit 30", {.entryCount = 1, .entryBytes = 24}, {}, V{165}},
        {"data length 4", {.entryCount = 4}, 4u, V{165}},   // size 0: 0 per entry
        {"data length 2", {.entryCount = 1}, 2u, V{165}},   // size -2, never wrapped
        {"data length 3, count 2", {.entryCount = 2}, 3u, V{163}},
        {"data length 4, bit 30", {.entryCount = 2, .fileSize = true, .ipdh = true}, 4u, V{164}},
    };
    for (const auto& c : cases) {
        vexa::RecordingIndexState s;
        s.Reset();
        auto spec = c.spec;
        auto b = BuildIndexPacket(spec);
        if (c.dataLength) ch10fix::Put32(b, 8, *c.dataLength);
        // The first root points to itself: its offset is the pointer read.
        uint64_t offset = spec.backPointer;
        const uint32_t dl = ch10fix::Get32(b, 8);
        if (dl >= 8 && 24 + dl <= b.size())
            offset = ch10fix::Get32(b, 24 + dl - 8) | uint64_t{ch10fix::Get32(b, 24 + dl - 4)} << 32;
        EXPECT_EQ(Apply(s, b, offset), c.findings) << c.name;
    }
}

TEST(RecordingIndex, BackPointerOutsideTheDataIsNotRead) {
    struct Case {
        const char* name;
        uint32_t dataLength;
        std::size_t held;
    } cases[] = {
        {"data length 7", 7, SIZE_MAX},
        {"data length 0", 0, SIZE_MAX},
        {"beyond the packet", 0xFFFFFFF0u, SIZE_MAX},
        {"beyond bytes held", 44, 40},
    };
    for (const auto& c : cases) {
        vexa::RecordingIndexState s;
        s.Reset();
        auto b = BuildIndexPacket(Root(99, 2));  // would give 155 at offset 5
        ch10fix::Put32(b, 8, c.dataLength);
        auto found = Apply(s, b, 5, c.held);
        EXPECT_TRUE(std::find(found.begin(), found.end(), 155u) == found.end()) << c.name;
        EXPECT_EQ(s.rootIndexCount, 1) << c.name;
        EXPECT_EQ(*s.prevRootIndexOffset, 5u) << c.name;
    }
    // Data length 8 exactly: the pointer is the whole data after the word... read.
    vexa::RecordingIndexState s;
    s.Reset();
    auto b = BuildIndexPacket(Root(99, 2));
    ch10fix::Put32(b, 8, 8);  // pointer at 24..31: CSDW and the first entry bytes
    auto found = Apply(s, b, 5);
    EXPECT_EQ(found.front(), 155u);
}

TEST(RecordingIndex, NodesCapAndEnd) {
    vexa::RecordingIndexState s;
    s.Reset();
    IndexSpec node{.node = true};
    EXPECT_TRUE(Apply(s, BuildIndexPacket(node), 10).empty());
    EXPECT_TRUE(s.rootIndexPending);
    EXPECT_EQ(s.nodeIndexCount, 1);
    EXPECT_EQ(vexa::IndexFindingsAtEnd(s, true), (std::vector<unsigned>{157, 160}));
    EXPECT_EQ(vexa::IndexFindingsAtEnd(s, false), (std::vector<unsigned>{157, 166}));
    Apply(s, BuildIndexPacket(Root(20)), 20);
    EXPECT_FALSE(s.rootIndexPending);
    EXPECT_TRUE(vexa::IndexFindingsAtEnd(s, true).empty());
    EXPECT_EQ(vexa::IndexFindingsAtEnd(s, false), (std::vector<unsigned>{166}));

    vexa::RecordingIndexState none;
    none.Reset();
    EXPECT_EQ(vexa::IndexFindingsAtEnd(none, true), (std::vector<unsigned>{160}));
    EXPECT_TRUE(vexa::IndexFindingsAtEnd(none, false).empty());
    EXPECT_TRUE(vexa::IndexSetupFinding(true, false));
    EXPECT_FALSE(vexa::IndexSetupFinding(true, true));
    EXPECT_FALSE(vexa::IndexSetupFinding(false, false));

    // Past 1000 roots nothing is appended, but the previous root still moves.
    vexa::RecordingIndexState cap;
    cap.Reset();
    uint64_t prev = 0;
    for (uint64_t i = 0; i < 1003; ++i) {
        const uint64_t offset = 100 * (i + 1);
        Apply(cap, BuildIndexPacket(Root(i == 0 ? offset : prev)), offset);
        prev = offset;
    }
    EXPECT_EQ(cap.rootIndexOffsetCount, 1000);
    EXPECT_EQ(*cap.prevRootIndexOffset, prev);
    EXPECT_EQ(cap.rootIndexOffsets[999], 100000u);
    // The newest roots were not kept: a pointer to an unkept root that is
    // not the previous one gives 156.
    EXPECT_EQ(Apply(cap, BuildIndexPacket(Root(100100)), 200000), std::vector<unsigned>{156});

    cap.Reset();
    EXPECT_FALSE(cap.prevRootIndexOffset.has_value());
    EXPECT_EQ(cap.rootIndexOffsetCount, 0);
}

}  // namespace
