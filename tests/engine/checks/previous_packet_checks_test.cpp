// Previous-packet records and the differs-from-previous step: every row of
// the field table, the data type and checksum type, and the rules that
// follow the rows, over sequences of packets on one slot.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vexa/engine/differs_checks.h"
#include "vexa/engine/previous_packets.h"

namespace {

using vexa::FindingList;
using ch10::PacketHeader;
using Numbers = std::vector<uint32_t>;

Numbers NumbersOf(const FindingList& f) {
    Numbers out;
    for (const vexa::Finding& x : f) out.push_back(x.number);
    return out;
}

// Packets of one channel through the store, as the end of each packet
// stores it.
class Channel {
public:
    explicit Channel(int slot = 3, int group = 0) : slot_(slot), group_(group) {}

    Numbers Feed(uint8_t dataType, uint32_t csdw, uint8_t checksumType = 0) {
        PacketHeader h;
        h.dataType = dataType;
        h.flags = checksumType;
        const vexa::PreviousRecord& previous = store_->Select(slot_, group_, dataType);
        const FindingList f =
            vexa::CheckDiffersFromPrevious({.header = h, .csdw = csdw, .previous = previous, .channelSeen = seen_});
        store_->Store(slot_, group_, h, csdw);
        seen_ = true;
        return NumbersOf(f);
    }
    void Share(vexa::PreviousPacketStore& store) { store_ = &store; }

private:
    vexa::PreviousPacketStore own_;
    vexa::PreviousPacketStore* store_ = &own_;
    int slot_;
    int group_;
    bool seen_ = false;
};

TEST(PreviousPacketChecks, EveryFieldOfTheTable) {
    for (const vexa::DiffersRow& row : vexa::DiffersTable()) {
        for (int type = ch10::Code(row.firstType); type <= ch10::Code(row.lastType); ++type) {
            const uint32_t lowestBit = row.mask & (~row.mask + 1);
            Channel c;
            // Word values that the rules after the table leave alone.
            const uint32_t base = type == 0x58 ? 2u << 29 : 0u;
            c.Feed(static_cast<uint8_t>(type), base);
            EXPECT_EQ(c.Feed(static_cast<uint8_t>(type), base ^ lowestBit), Numbers{row.number})
                << "type " << type << " error " << row.number;
            // Every other field unchanged: nothing.
            EXPECT_EQ(c.Feed(static_cast<uint8_t>(type), base ^ lowestBit), Numbers{}) << row.number;
        }
    }
}

TEST(PreviousPacketChecks, TableTextsEndAsTheyShould) {
    for (const vexa::DiffersRow& row : vexa::DiffersTable()) {
        const std::string text = row.text;
        EXPECT_EQ(text.rfind("Error " + std::to_string(row.number) + ": ", 0), 0u) << text;
        const bool blank = row.number == 20 || row.number == 21 || (row.number >= 82 && row.number <= 84) ||
                           row.number == 147;
        const std::string tail = blank ? "previous packet \r\n" : "previous packet\r\n";
        ASSERT_GE(text.size(), tail.size());
        EXPECT_EQ(text.substr(text.size() - tail.size()), tail) << text;
    }
}

TEST(PreviousPacketChecks, TimePacketsCompareWithTheirGroup) {
    vexa::PreviousPacketStore store;
    Channel a(1, 0), b(2, 0), otherGroup(4, 1);
    a.Share(store);
    b.Share(store);
    otherGroup.Share(store);
    EXPECT_EQ(a.Feed(0x11, 0x01), Numbers{});
    // Another channel of the group: its first packet, so nothing yet...
    EXPECT_EQ(b.Feed(0x11, 0x01), Numbers{});
    // ...then it compares with channel a's latest time packet of the group.
    EXPECT_EQ(a.Feed(0x11, 0x11), Numbers{76});
    EXPECT_EQ(b.Feed(0x11, 0x301), (Numbers{76, 40, 77}));
    // Another group has its own record.
    EXPECT_EQ(otherGroup.Feed(0x11, 0x01), Numbers{});
    EXPECT_EQ(otherGroup.Feed(0x11, 0x02), Numbers{75});
    EXPECT_EQ(store.TimeRecordOf(0).packet.csdw, 0x301u);
}

TEST(PreviousPacketChecks, DataTypeAndChecksumType) {
    struct Step {
        uint8_t type;
        uint32_t csdw;
        uint8_t checksum;
        Numbers expected;
    };
    struct Sequence {
        const char* name;
        std::vector<Step> steps;
    };
    const Sequence sequences[] = {
        {"first packet and setup types", {{0x09, 0, 0, {}}, {0x01, 0, 1, {}}, {0x03, 0, 0, {}}, {0x09, 0, 0, {}}}},
        {"alternating PCM and message",
         {{0x09, 0, 0, {}}, {0x30, 1, 0, {73}}, {0x09, 0, 0, {}}, {0x30, 1, 0, {}}, {0x09, 0, 0, {}}}},
        {"1553 formats share a record", {{0x19, 0, 0, {}}, {0x1A, 0, 0, {73}}, {0x19, 0, 0, {73}}}},
        {"checksum type", {{0x21, 0x10100, 0, {}}, {0x21, 0x10100, 2, {74}}, {0x21, 0x10100, 2, {}}}},
        {"types without a row", {{0x43, 0, 0, {}}, {0x43, 0xFFFFFFFF, 3, {74}}}},
        {"Ethernet", {{0x69, 0, 0, {}}, {0x69, 0xFFFFFFFF, 1, {74}}}},
        {"TSPI", {{0x70, 0xFFFF, 0, {}}, {0x70, 0, 0, {}}}},
        {"one Other record", {{0x4B, 0, 0, {}}, {0x4C, 0, 0, {73}}, {0x4B, 0xFF, 0, {73}}}},
    };
    for (const Sequence& s : sequences) {
        Channel c;
        int n = 1;
        for (const Step& step : s.steps) EXPECT_EQ(c.Feed(step.type, step.csdw, step.checksum), step.expected) << s.name << " #" << n++;
    }
}

TEST(PreviousPacketChecks, RulesAfterTheRows) {
    struct Sequence {
        const char* name;
        uint8_t type;
        std::vector<uint32_t> words;
        std::vector<Numbers> expected;
    };
    const uint32_t iph = 1u << 31;
    const Sequence sequences[] = {
        {"UART reserved bits", 0x50, {1, 1, iph | 1, 2}, {{}, {176}, {89, 176}, {89, 176}}},
        {"UART clean", 0x50, {iph, iph, 0}, {{}, {}, {89}}},
        {"1394 body type 0", 0x58, {0, 1}, {{}, {161}}},
        {"1394 body type 1 after 2", 0x58, {2u << 29 | 5, 1u << 29 | 1}, {{}, {150, 161}}},
        {"1394 body type 2", 0x58, {2u << 29 | 5, 2u << 29 | 9}, {{}, {}}},
        {"1394 to body type 2", 0x58, {1u << 29 | 1, 2u << 29 | 9}, {{}, {150}}},
        {"segments 1,3,3,2 counted 1-4", 0x30, {1u << 16 | 1, 3u << 16 | 2, 3u << 16 | 3, 2u << 16 | 4},
         {{}, {}, {}, {}}},
        {"segments counted 1,2,2,4", 0x30, {1u << 16 | 1, 3u << 16 | 2, 3u << 16 | 2, 2u << 16 | 4},
         {{}, {}, {88}, {88}}},
        {"end then middle", 0x30, {2u << 16 | 4, 3u << 16 | 5}, {{}, {86}}},
        {"end then end", 0x30, {2u << 16 | 4, 2u << 16 | 5}, {{}, {86}}},
        {"start then complete", 0x30, {1u << 16 | 1, 0u << 16 | 1}, {{}, {87}}},
        {"middle then start", 0x30, {3u << 16 | 2, 1u << 16 | 1}, {{}, {87}}},
        {"complete then complete and start", 0x30, {0u << 16 | 1, 0u << 16 | 1, 1u << 16 | 1}, {{}, {}, {}}},
        {"no 16-bit wrap", 0x30, {3u << 16 | 0xFFFF, 3u << 16 | 0}, {{}, {88}}},
    };
    for (const Sequence& s : sequences) {
        Channel c;
        for (std::size_t i = 0; i < s.words.size(); ++i)
            EXPECT_EQ(c.Feed(s.type, s.words[i]), s.expected[i]) << s.name << " #" << i + 1;
    }
}

TEST(PreviousPacketChecks, WordOutsideThePacketComparesOnlyTheHeader) {
    PacketHeader h;
    h.dataType = 0x21;
    vexa::PreviousRecord previous;
    previous.header.dataType = 0x09;
    previous.csdw = 0xFFFF;
    const FindingList f =
        vexa::CheckDiffersFromPrevious({.header = h, .csdw = 0, .csdwHeld = false, .previous = previous, .channelSeen = true});
    EXPECT_EQ(NumbersOf(f), Numbers{73});
}

TEST(PreviousPacketChecks, StoreKeepsFamiliesApartAndResets) {
    vexa::PreviousPacketStore store;
    PacketHeader pcm;
    pcm.dataType = 0x09;
    pcm.relativeTime = 5;
    PacketHeader other;
    other.dataType = 0x4B;
    store.Store(7, 0, pcm, 0x1234);
    store.Store(7, 0, other, 0x5678);
    EXPECT_EQ(store.Select(7, 0, 0x09).csdw, 0x1234u);
    EXPECT_EQ(store.Select(7, 0, 0x4C).header.dataType, 0x4B);
    EXPECT_EQ(store.Select(7, 0, 0x4C).csdw, 0u);  // "Other" keeps no word
    EXPECT_EQ(store.Select(8, 0, 0x09).header.dataType, 0);
    PacketHeader time;
    time.dataType = 0x11;
    store.Store(7, 255, time, 0x10, 0x11, 0x12);
    EXPECT_EQ(store.TimeRecordOf(255).word1, 0x12u);
    EXPECT_EQ(store.Select(7, 0, 0x4B).header.dataType, 0x4B);  // the slot's Other record untouched
    store.Reset();
    EXPECT_EQ(store.Select(7, 0, 0x09).header.relativeTime, 0u);
    EXPECT_EQ(store.TimeRecordOf(255).word1, 0u);
}

}  // namespace
