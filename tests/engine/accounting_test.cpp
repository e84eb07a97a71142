#include <gtest/gtest.h>

#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "vexa/engine/error_accounting.h"

namespace vexa {
namespace {

std::unique_ptr<ErrorAccounting> Fresh() { return std::make_unique<ErrorAccounting>(); }

TEST(ErrorAccounting, MaxLogDecidesWhichTextsAreWritten) {
    struct Case {
        int32_t maxLog;
        std::string slot2;  // results of five 42s on slot 2
        int slot3;          // result of one 42 on slot 3
    };
    const Case cases[] = {{0, "11111", 1}, {1, "10000", 1}, {3, "11100", 1}, {-1, "11111", 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE("MaxLog " + std::to_string(c.maxLog));
        auto acc = Fresh();
        acc->maxSameErrorPerChannel = c.maxLog;
        std::string results;
        for (int i = 0; i < 5; ++i) results += std::to_string(acc->CountError(2, 42));
        EXPECT_EQ(results, c.slot2);
        EXPECT_EQ(acc->CountError(3, 42), c.slot3);
        EXPECT_EQ(acc->errorTable[2][42], 5u);
        EXPECT_EQ(acc->errorTable[3][42], 1u);
    }
}

TEST(ErrorAccounting, PacketCodesKeepTheFirstFiveInOrder) {
    auto acc = Fresh();
    acc->maxSameErrorPerChannel = 1;
    acc->CountError(1, 46);  // an earlier packet's 46: this packet's 46s are suppressed
    acc->BeginPacket();
    for (uint32_t n : {42u, 45u, 46u, 46u, 49u, 50u, 52u}) acc->RaiseFinding(1, n);
    EXPECT_EQ(acc->packetCodeCount, 5);
    EXPECT_EQ(acc->packetCodes, (std::array<uint32_t, 5>{42, 45, 46, 46, 49}));
    // Suppressed findings still count everywhere.
    EXPECT_EQ(acc->errorTable[1][46], 3u);
    EXPECT_EQ(acc->chanDataLenErrors[1], 2);
    EXPECT_EQ(acc->CounterValue(FormCounter::dataLenErrors), 2u);
    acc->BeginPacket();
    EXPECT_EQ(acc->packetCodeCount, 0);
    EXPECT_EQ(acc->packetCodes, (std::array<uint32_t, 5>{}));
}

TEST(ErrorAccounting, OutOfTableIndexesLeaveTheTableAlone) {
    auto acc = Fresh();
    acc->maxSameErrorPerChannel = 1;
    EXPECT_EQ(acc->CountError(300, 42), 1);
    EXPECT_EQ(acc->CountError(-1, 42), 1);
    EXPECT_EQ(acc->CountError(5, 0x1FF), 1);
    EXPECT_EQ(acc->CountError(5, 0x1FF), 1);
    EXPECT_EQ(acc->RaiseFinding(-1, 42), 1);
    EXPECT_EQ(acc->packetCodes, (std::array<uint32_t, 5>{42, 42, 0x1FF, 0x1FF, 42}));
    uint64_t total = 0;
    for (const auto& row : acc->errorTable) total = std::accumulate(row.begin(), row.end(), total);
    EXPECT_EQ(total, 0u);
    // Only the low 16 bits of the code are used.
    EXPECT_EQ(acc->CountError(5, 0x10000 + 42), 1);
    EXPECT_EQ(acc->errorTable[5][42], 1u);
}

TEST(ErrorAccounting, NoteErrorLimitNotices) {
    struct Case {
        int32_t perPacket, perChannel;
        int packetNoticeAt;              // call of each packet that appends the per-packet notice
        int channelPacket, channelCall;  // packet and call of the one channel notice
    };
    const Case cases[] = {{5, 5, 6, 5, 6}, {5, 0, 6, 1, 1}, {0, 5, 1, 5, 1}};
    const std::string packetNotice =
        "   *** The occurrence of this error type met the limit in this packet, message output is suppressed "
        "for remaining of packet data...\r\n";
    const std::string channelNotice =
        "****** The occurrence of this error type met the limit on this channel, message output is suppressed "
        "for remaining of channel data ...\r\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.perPacket) + "," + std::to_string(c.perChannel));
        auto acc = Fresh();
        acc->maxErrorsPerPacket = c.perPacket;
        acc->maxErrorsPerChannel = c.perChannel;
        int32_t channelCount = 0;
        int channelNotices = 0;
        for (int packet = 1; packet <= 6; ++packet) {
            int32_t packetCount = 0;
            for (int call = 1; call <= 7; ++call) {
                std::string text;
                acc->NoteErrorLimit(packetCount, channelCount, text);
                const bool hasPacket = text.find(packetNotice) == 0;
                EXPECT_EQ(hasPacket, call == c.packetNoticeAt) << "packet " << packet << " call " << call;
                const bool hasChannel = text.find(channelNotice) != std::string::npos;
                if (hasChannel) {
                    ++channelNotices;
                    EXPECT_EQ(packet, c.channelPacket);
                    EXPECT_EQ(call, c.channelCall);
                }
                EXPECT_EQ(text.size(), (hasPacket ? packetNotice.size() : 0) + (hasChannel ? channelNotice.size() : 0));
            }
        }
        EXPECT_EQ(channelNotices, 1);
    }
}

TEST(ErrorAccounting, RecomputeSumsDetailsAndBusCounts) {
    auto acc = Fresh();
    for (int d = 0; d < kDetails; ++d) acc->Chan(static_cast<Detail>(d))[7] = d + 1;  // 66
    acc->bus1553ErrorCounts[7] = {100, 200, 300, 400, 500, 600};
    acc->chanPacketDataErrors[9] = 1000;  // another slot's stored total
    acc->chanSimDataErrors[7] = 3;
    acc->chanSimDataErrors[200] = 4;

    acc->RecomputePacketDataTotals(7, false);
    EXPECT_EQ(acc->chanPacketDataErrors[7], 66);
    EXPECT_EQ(acc->CounterValue(FormCounter::dataErrors), 1066u);
    EXPECT_EQ(acc->CounterValue(FormCounter::simDataErrors), 7u);

    acc->RecomputePacketDataTotals(7, true);
    EXPECT_EQ(acc->chanPacketDataErrors[7], 66 + 2100);
    EXPECT_EQ(acc->CounterValue(FormCounter::dataErrors), 1066u + 2100u);
    EXPECT_EQ(acc->chanPacketDataErrors[9], 1000);
}

TEST(ErrorAccounting, RaiseFindingFeedsTheCataloguedCounts) {
    auto acc = Fresh();
    acc->RaiseFinding(4, 39);   // Sync / Header Sync
    acc->RaiseFinding(4, 151);  // Data Version / Consistency
    acc->RaiseFinding(4, 30);   // Invalid Time, no category
    acc->RaiseFinding(4, 63);   // through the totals: a detail count only
    acc->RaiseFinding(4, 121);  // TM
    acc->RaiseFinding(4, 118);  // once per packet: the time category only
    acc->RaiseFinding(4, 98);   // simulation data category
    EXPECT_EQ(acc->CounterValue(FormCounter::syncErrors), 1u);
    EXPECT_EQ(acc->chanSyncErrors[4], 1);
    EXPECT_EQ(acc->CounterValue(FormCounter::dataVersionErrors), 1u);
    EXPECT_EQ(acc->chanConsistencyErrors[4], 1);
    EXPECT_EQ(acc->CounterValue(FormCounter::invalidTimeErrors), 1u);
    EXPECT_EQ(acc->chanTimeErrors[4], 1);
    EXPECT_EQ(acc->chanMsgCountErrors[4], 1);
    EXPECT_TRUE(acc->detailOutsideBody[4]);
    EXPECT_EQ(acc->bus1553ErrorCounts[4][3], 1u);
    EXPECT_EQ(acc->chanSimDataErrors[4], 1);
    EXPECT_EQ(acc->chanPacketDataErrors[4], 0);
    EXPECT_EQ(acc->CounterValue(FormCounter::dataErrors), 0u);
    EXPECT_EQ(acc->CounterValue(FormCounter::simDataErrors), 0u);
    EXPECT_EQ(acc->errorTable[4][118], 1u);

    // Numbers written without CountError count nothing, not even a packet code.
    acc->BeginPacket();
    EXPECT_EQ(acc->RaiseFinding(4, 159), 1);
    EXPECT_EQ(acc->RaiseFinding(4, 172), 1);
    EXPECT_EQ(acc->errorTable[4][159], 0u);
    EXPECT_EQ(acc->errorTable[4][172], 0u);
    EXPECT_EQ(acc->packetCodeCount, 0);
}

// Fills every kind of count on slot 3.
void FillSlot(ErrorAccounting& acc) {
    acc.BeginPacket();
    for (uint32_t n : {4u, 52u, 49u, 46u, 44u, 98u, 41u, 39u, 5u, 1u, 48u, 63u, 90u, 119u}) acc.RaiseFinding(3, n);
    for (int d = 0; d < kDetails; ++d) ++acc.Chan(static_cast<Detail>(d))[3];
    acc.RecomputePacketDataTotals(3, true);
}

TEST(ErrorAccounting, ClearStatisticsLeavesTableCodesBusCountsAndCounters) {
    auto acc = Fresh();
    FillSlot(*acc);
    const auto table = acc->errorTable;
    const auto codes = acc->packetCodes;
    const auto bus = acc->bus1553ErrorCounts;
    std::array<uint32_t, kFormCounters> counters{};
    for (int i = 0; i < kFormCounters; ++i) counters[i] = acc->formCounters[i].load();
    acc->resetRequest = true;

    acc->ClearStatistics();
    for (int c = 0; c < kCategories; ++c) EXPECT_EQ(acc->Chan(static_cast<Category>(c))[3], 0) << c;
    for (int d = 0; d < kDetails; ++d) EXPECT_EQ(acc->Chan(static_cast<Detail>(d))[3], 0) << d;
    EXPECT_FALSE(acc->resetRequest);
    EXPECT_EQ(acc->errorTable, table);
    EXPECT_EQ(acc->packetCodes, codes);
    EXPECT_EQ(acc->packetCodeCount, 5);
    EXPECT_EQ(acc->bus1553ErrorCounts, bus);
    for (int i = 0; i < kFormCounters; ++i) EXPECT_EQ(acc->formCounters[i].load(), counters[i]) << i;

    // The run reset clears those three as well, not the counters or limits.
    acc->maxSameErrorPerChannel = 3;
    acc->maxErrorsPerPacket = 7;
    acc->resetRequest = true;
    acc->RunReset();
    EXPECT_EQ(acc->errorTable[3][4], 0u);
    EXPECT_EQ(acc->packetCodeCount, 0);
    EXPECT_EQ(acc->bus1553ErrorCounts[3][5], 0u);
    EXPECT_FALSE(acc->resetRequest);
    for (int i = 0; i < kFormCounters; ++i) EXPECT_EQ(acc->formCounters[i].load(), counters[i]) << i;
    EXPECT_EQ(acc->maxSameErrorPerChannel, 3);
    EXPECT_EQ(acc->maxErrorsPerPacket, 7);
}

TEST(ErrorAccounting, ResetDuringARunAndBetweenRuns) {
    auto acc = Fresh();
    // During a run: the counters drop at once, the categories at the packet end.
    FillSlot(*acc);
    acc->RequestReset();
    for (int i = 0; i < kFormCounters; ++i) EXPECT_EQ(acc->formCounters[i].load(), 0u) << i;
    EXPECT_EQ(acc->chanHdrChecksumErrors[3], 1);
    acc->RaiseFinding(3, 4);  // the packet in progress goes on counting
    EXPECT_TRUE(acc->HonourResetRequest());
    EXPECT_EQ(acc->chanHdrChecksumErrors[3], 0);
    EXPECT_EQ(acc->CounterValue(FormCounter::hdrChecksumErrors), 0u);
    EXPECT_EQ(acc->errorTable[3][4], 2u);  // the per-number totals cover the whole run
    EXPECT_FALSE(acc->HonourResetRequest());

    // Between runs: a request left over when a file starts is dropped, so the
    // first packet's counts stay.
    acc->RunReset();
    acc->RequestReset();
    acc->DiscardResetRequest();
    acc->BeginPacket();
    acc->RaiseFinding(3, 4);
    EXPECT_FALSE(acc->HonourResetRequest());
    EXPECT_EQ(acc->chanHdrChecksumErrors[3], 1);
    EXPECT_EQ(acc->CounterValue(FormCounter::hdrChecksumErrors), 1u);
}

}  // namespace
}  // namespace vexa
