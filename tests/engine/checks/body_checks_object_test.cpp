// The engine's body checks object: records found by channel ID, 1553
// packets of undeclared channels skipped, the Space Delimited flag, and
// what the run reset and the form's Reset clear.
#include <gtest/gtest.h>

#include <atomic>

#include "tests/engine/checks/check_rig.h"
#include "tests/support/mil1553_builder.h"
#include "vexa/engine/body_checks.h"

namespace {

TEST(Bus1553BodyChecks, EngineObjectFindsRecordsAndKeepsBusCounts) {
    PCM_CHAN_INFO pcm{};
    pcm.ChannelID = 3;
    pcm.BitRate = 1000;
    BUS1553_CHAN_INFO bus{};
    bus.ChannelID = 4;
    CHAN_INFO info{};
    info.PcmCount = 1;
    info.PcmChannels = &pcm;
    info.Bus1553Count = 1;
    info.Bus1553Channels = &bus;
    vexa::CRunConfig config;
    std::atomic<int> tolerance{0};
    vexa::ErrorAccounting errors;
    vexa::EngineBodyChecks checks([&] { return &info; }, config, tolerance, errors);
    vexa::RunOutputs outputs;

    EXPECT_TRUE(checks.HasPcmChannels());
    ASSERT_NE(checks.PcmRecord(3), nullptr);
    EXPECT_EQ(checks.PcmRecord(3)->info.BitRate, 1000);
    EXPECT_EQ(checks.PcmRecord(9), nullptr);

    struct Case {
        uint16_t channelId;
        bool flagged;
        uint32_t busA;
    } const cases[] = {{4, true, 1}, {5, false, 1}};
    for (const Case& c : cases) {
        ch10fix::PacketSpec spec;
        spec.channelId = c.channelId;
        spec.dataType = 0x19;
        spec.csdw = ch10fix::Mil1553Word(1);
        spec.body = ch10fix::Mil1553Body({{1000, 0, 20, {0x0842, 0, 1, 0x0800}, std::nullopt}});  // GAP1 20
        const checkfix::HeldPacket held(ch10fix::BuildPacket(spec));
        vexa::PacketListingInput in;
        in.header = held.header();
        in.view = held.view();
        in.csdw = ch10::ChannelSpecificWord(in.view, in.header);
        in.slot = 2;
        bool flag = false;
        vexa::BodyCheckCall call{in, {}, true, flag, outputs};
        EXPECT_EQ(checks.Validate1553Body(call), 0) << c.channelId;
        EXPECT_EQ(flag, c.flagged) << c.channelId;
        EXPECT_EQ(checks.Bus()[2].busA, c.busA) << c.channelId;
    }
    checks.ClearStatistics();
    EXPECT_EQ(checks.Bus()[2].busA, 1u);
    EXPECT_EQ(checks.Bus()[2].channelCounts[0], 0);
    checks.RunReset();
    EXPECT_EQ(checks.Bus()[2].busA, 0u);
    EXPECT_EQ(checks.Pcm()[2].prevFrameTime, -1.0);
}

}  // namespace
