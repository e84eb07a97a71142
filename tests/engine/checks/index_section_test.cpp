#include <gtest/gtest.h>

#include "tests/engine/checks/stream_rig.h"

namespace {

using checkfix::BuildIndexPacket;
using checkfix::IndexSpec;
using checkfix::Root;
using streamrig::Packet;
using streamrig::Rig;
using vexa::FormCounter;

constexpr const char* k157 = "Error 157: The last computer generated packet is not a root index packet. \r\n";
constexpr const char* k159 = "Error 159: Recording Index needs to be enabled when Recording Events is enabled. \r\n";
constexpr const char* k160 =
    "Error 160: At least one Node Index Packet and one Root Index Packet are required when Recording Index is "
    "enabled. \r\n";
constexpr const char* k166 = "Error 166: Recording Index needs to be enabled with Index Packet(s). \r\n";

TEST(RecordingIndex, RootFindingTextsAndCounters) {
    struct Case {
        const char* name;
        IndexSpec spec;
        std::optional<uint16_t> countField;  // the CSDW's entry count, written over the built one
        bool afterAFirstRoot;
        std::string text;
    } cases[] = {
        {"first root elsewhere", Root(4096), {}, false,
         "Error 155: The first computer generated root index packet does not point to itself. \r\n"},
        {"second root to no earlier root", Root(777), {}, true,
         "Error 156: This computer generated root index packet does not point to the previous root index packet. "
         "\r\n"},
        {"no entries", Root(100), 0, true,
         "Error 162: This computer generated root index packet has Invalid Index Entry Count '0'. \r\n"},
        {"not divisible", Root(100), 3, true,
         "Error 163: The total size of Root Index Data Entries is not divisible by Index Entry Count evenly. \r\n"},
        {"16-byte entries with bit 29", {.entryCount = 2, .ipdh = true, .backPointer = 100}, {}, true,
         "Error 164: Root Index Data Entry size does not equal to 24 while IPDH flag is enabled. \r\n"},
        {"24-byte entries without bit 29", {.entryCount = 2, .entryBytes = 24, .backPointer = 100}, {}, true,
         "Error 165: Root Index Data Entry size does not equal to 16 while IPDH flag is disabled. \r\n"},
    };
    for (const auto& c : cases) {
        Rig r;
        r.s.tmatsRevision = 11;
        r.IndexSetup();
        if (c.afterAFirstRoot) {
            ASSERT_EQ(r.Feed(BuildIndexPacket(Root(100)), 100), "") << c.name;
        }
        auto b = BuildIndexPacket(c.spec);
        if (c.countField) ch10fix::Put16(b, 24, *c.countField);
        const std::string text = r.Feed(b, 1000);
        EXPECT_EQ(text, c.text) << c.name;
        EXPECT_EQ(r.Counter(FormCounter::consistencyErrors), 1u) << c.name;
        EXPECT_EQ(r.Consistency(0), 1) << c.name;
        EXPECT_EQ(r.errors.packetCodes[0], static_cast<uint32_t>(std::stoi(c.text.substr(6, 3)))) << c.name;
        EXPECT_EQ(r.AtOnce(), "") << c.name;  // in the packet's finding text
    }

    // "MaxLog" 1: the second 156 on the channel counts without a text.
    Rig r;
    r.errors.maxSameErrorPerChannel = 1;
    r.IndexSetup();
    r.Feed(BuildIndexPacket(Root(100)), 100);
    EXPECT_NE(r.Feed(BuildIndexPacket(Root(5)), 200), "");
    EXPECT_EQ(r.Feed(BuildIndexPacket(Root(5)), 300), "");
    EXPECT_EQ(r.Count(0, 156), 2u);
    EXPECT_EQ(r.Counter(FormCounter::consistencyErrors), 2u);
}

TEST(RecordingIndex, RunStartAndEnd) {
    struct Case {
        const char* name;
        bool events, index;
        std::vector<ch10fix::Bytes> packets;  // offsets follow their lengths
        std::string atStart, atEnd;
    } cases[] = {
        {"events without index", true, false, {}, k159, ""},
        {"events with index, none recorded", true, true, {}, "", k160},
        {"node last, index on", false, true,
         {BuildIndexPacket(Root(0)), BuildIndexPacket({.node = true}), Packet(2, 0x09)}, "", k157},
        {"node only, index on", false, true, {BuildIndexPacket({.node = true})}, "", std::string(k157) + k160},
        {"root only, index on", false, true, {BuildIndexPacket(Root(0))}, "", k160},
        {"node and root, index on", false, true,
         {BuildIndexPacket({.node = true}), BuildIndexPacket(Root(BuildIndexPacket({.node = true}).size()))}, "", ""},
        {"index packets, index off", false, false, {BuildIndexPacket(Root(0))}, "", k166},
        {"node last, index off", false, false,
         {BuildIndexPacket(Root(0)), BuildIndexPacket({.node = true})}, "", std::string(k157) + k166},
        {"nothing at all", false, false, {Packet(2, 0x09)}, "", ""},
    };
    for (const auto& c : cases) {
        Rig r({{0x09, 2, 1}});
        r.s.tmatsRevision = 11;
        r.tmats.eventsEnabled = c.events;
        r.tmats.indexEnabled = c.index;
        r.IndexSetup();
        EXPECT_EQ(r.AtOnce(), c.atStart) << c.name;
        uint64_t offset = 0;
        for (const auto& p : c.packets) {
            r.Feed(p, offset);
            offset += p.size();
        }
        const uint32_t before = r.Counter(FormCounter::consistencyErrors);
        r.IndexAtEnd();
        EXPECT_EQ(r.AtOnce(), c.atStart + c.atEnd) << c.name;
        int expected = 0;
        for (const char* t : {k157, k160, k166}) expected += c.atEnd.find(t) != std::string::npos;
        EXPECT_EQ(r.Counter(FormCounter::consistencyErrors) - before, static_cast<uint32_t>(expected)) << c.name;
        // Counted against the last packet's slot.
        EXPECT_EQ(r.errors.chanConsistencyErrors[static_cast<std::size_t>(r.lastSlot)], expected) << c.name;
    }
    // 159 counts nothing.
    Rig r;
    r.tmats.eventsEnabled = true;
    r.IndexSetup();
    EXPECT_EQ(r.Counter(FormCounter::consistencyErrors), 0u);
    EXPECT_EQ(r.errors.errorTable[0][159], 0u);
    EXPECT_EQ(r.errors.packetCodeCount, 0);
}

TEST(RecordingIndex, SetupStartsAFreshChainAndTheRunResetKeepsIt) {
    Rig r;
    r.s.tmatsRevision = 11;
    r.IndexSetup();
    r.Feed(BuildIndexPacket(Root(50)), 50);
    r.Feed(BuildIndexPacket({.node = true}), 100);
    r.s.ResetRun();
    EXPECT_TRUE(r.s.index.rootIndexPending);
    EXPECT_EQ(r.s.index.rootIndexCount, 1);
    r.IndexSetup();
    EXPECT_FALSE(r.s.index.rootIndexPending);
    EXPECT_EQ(r.s.index.rootIndexCount + r.s.index.nodeIndexCount + r.s.index.rootIndexOffsetCount, 0);
    // The next file's first root must point to itself again.
    EXPECT_NE(r.Feed(BuildIndexPacket(Root(50)), 200).find("Error 155"), std::string::npos);
}

TEST(RecordingIndex, EventPacketsHaveNoIndexRule) {
    Rig r;
    r.s.tmatsRevision = 11;
    r.IndexSetup();
    EXPECT_EQ(r.Feed(Packet(0, 0x02, 3)), "");
    EXPECT_EQ(r.s.index.rootIndexCount + r.s.index.nodeIndexCount, 0);
}

}  // namespace
