#include <gtest/gtest.h>

#include "tests/engine/listing_rig.h"

namespace vexa {
namespace {

using namespace test;

struct GateCase {
    const char* name;
    uint8_t dataType;
    bool installed = true;
    bool hasPcmChannels = true;
    bool hasRecord = true;
    bool throughput = false;
    bool validateBodies = true;
    bool checksOff = false;
    int attributeCalls, pcmCalls, bus1553Calls, videoCalls;
};

TEST(BodyCheckDispatch, GatesDecideWhichBodyCheckRuns) {
    const GateCase cases[] = {
        {"PCM, all gates open", 0x09, true, true, true, false, true, false, 1, 1, 0, 0},
        {"PCM, no TMATS PCM channel", 0x09, true, false, true, false, true, false, 0, 0, 0, 0},
        {"PCM, no channel record", 0x09, true, true, false, false, true, false, 0, 0, 0, 0},
        {"PCM, throughput mode", 0x09, true, true, true, true, true, false, 0, 0, 0, 0},
        {"PCM, bodies not validated", 0x09, true, true, true, false, false, false, 0, 0, 0, 0},
        {"PCM, checks off for the channel", 0x09, true, true, true, false, true, true, 0, 0, 0, 0},
        {"PCM, no body checks installed", 0x09, false, true, true, false, true, false, 0, 0, 0, 0},
        {"1553", 0x19, true, false, false, false, true, false, 0, 0, 1, 0},
        {"1553, bodies not validated", 0x19, true, true, true, false, false, false, 0, 0, 0, 0},
        {"video", 0x40, true, false, false, false, true, false, 0, 0, 0, 1},
        {"video, bodies not validated", 0x40, true, true, true, false, false, false, 0, 0, 0, 0},
        {"analog: none", 0x21, true, true, true, false, true, false, 0, 0, 0, 0},
    };
    for (const GateCase& c : cases) {
        for (bool spaceDelimited : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (spaceDelimited ? ", Space Delimited" : ", Verbose"));
            ListingFixture f;
            f.Open(spaceDelimited);
            f.checks.hasPcmChannels = c.hasPcmChannels;
            f.checks.hasRecord = c.hasRecord;
            if (c.installed) f.listing.bodyChecks = &f.checks;
            f.listing.pcmChecksOff[3] = c.checksOff;
            RefPacket r = MakeRef(Spec(3, c.dataType, c.throughput ? (1u << 20) : 0), 3, "Data");
            ListingOptions o;
            o.listingOn = true;
            o.spaceDelimited = spaceDelimited;
            o.validateBodies = c.validateBodies;
            EXPECT_EQ(f.List(r.in, o), 0);
            EXPECT_EQ(f.checks.attributeCalls, c.attributeCalls);
            EXPECT_EQ(f.checks.pcmCalls, c.pcmCalls);
            EXPECT_EQ(f.checks.bus1553Calls, c.bus1553Calls);
            EXPECT_EQ(f.checks.videoCalls, c.videoCalls);
        }
    }
}

TEST(BodyCheckDispatch, UnusableAttributesWarnOnceAndSwitchTheChannelOff) {
    for (bool spaceDelimited : {false, true}) {
        SCOPED_TRACE(spaceDelimited ? "Space Delimited" : "Verbose");
        ListingFixture f;
        f.Open(spaceDelimited);
        f.listing.bodyChecks = &f.checks;
        f.checks.attributeResult = -1;
        ListingOptions o;
        o.spaceDelimited = spaceDelimited;
        o.validateBodies = true;
        RefPacket r = MakeRef(Spec(3, 0x09, 0), 3, "PCM Format 1");
        for (int i = 0; i < 3; ++i) EXPECT_EQ(f.List(r.in, o), 0);
        EXPECT_EQ(f.checks.attributeCalls, 1);
        EXPECT_EQ(f.checks.pcmCalls, 0);
        EXPECT_TRUE(f.listing.pcmChecksOff[3]);
        EXPECT_EQ(f.Output(), f.checks.warning);
        // Another channel is still checked; the run reset switches the channel on again.
        RefPacket other = MakeRef(Spec(4, 0x09, 0), 4, "PCM Format 1");
        f.checks.attributeResult = 0;
        EXPECT_EQ(f.List(other.in, o), 0);
        EXPECT_EQ(f.checks.pcmCalls, 1);
        f.listing.RunReset();
        EXPECT_FALSE(f.listing.pcmChecksOff[3]);
    }
}

TEST(BodyCheckDispatch, AFailedBodyCheckEndsTheCall) {
    for (uint8_t type : {uint8_t{0x09}, uint8_t{0x19}, uint8_t{0x40}}) {
        SCOPED_TRACE(static_cast<int>(type));
        ListingFixture f;
        f.Open(false);
        f.listing.bodyChecks = &f.checks;
        f.checks.bodyResult = -1;
        ListingOptions o;
        o.validateBodies = true;
        EXPECT_EQ(f.List(MakeRef(Spec(3, type, 0), 3, "Data").in, o), -1);
    }
}

TEST(BodyCheckDispatch, BodyChecksGetTheVerboseBlockEvenWithTheListingOff) {
    ListingFixture f;
    f.Open(false);
    f.listing.bodyChecks = &f.checks;
    RefPacket r = PcmRef();
    r.in.findingText = "Error 42: x\r\n";
    ListingOptions o;
    o.validateBodies = true;  // listingOn clear
    ASSERT_EQ(f.List(r.in, o), 0);
    ASSERT_EQ(f.checks.blocks.size(), 1u);
    EXPECT_EQ(f.checks.blocks[0], GoldenText("verbose_pcm_all.txt") + "Error 42: x\r\n");
    EXPECT_EQ(f.Output(), "");
}

TEST(BodyCheckDispatch, TotalsAfterTheBodyChecks) {
    struct Case {
        const char* name;
        uint8_t dataType;
        std::vector<uint32_t> raised;
        uint32_t invalidTime, dataErrors, simData;
    };
    const Case cases[] = {
        {"PCM with three time findings", 0x09, {118, 118, 118, 90}, 1, 1, 0},
        {"PCM without time findings", 0x09, {90, 98}, 0, 1, 1},
        {"1553 with a time finding and bus counts", 0x19, {11, 119, 124, 129}, 1, 3, 0},
        {"video: no time count", 0x40, {11}, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ListingFixture f;
        f.Open(false);
        f.listing.bodyChecks = &f.checks;
        f.errors->chanPacketDataErrors[9] = 10;  // another channel's stored total
        f.checks.action = [&](BodyCheckCall& call) {
            for (uint32_t n : c.raised) f.errors->RaiseFinding(call.packet.slot, n);
        };
        ListingOptions o;
        o.validateBodies = true;
        ASSERT_EQ(f.List(MakeRef(Spec(3, c.dataType, 0), 3, "Data").in, o), 0);
        EXPECT_EQ(f.errors->CounterValue(FormCounter::invalidTimeErrors), c.invalidTime);
        EXPECT_EQ(f.errors->chanPacketDataErrors[3], static_cast<int32_t>(c.dataErrors));
        EXPECT_EQ(f.errors->CounterValue(FormCounter::dataErrors), 10 + c.dataErrors);
        EXPECT_EQ(f.errors->CounterValue(FormCounter::simDataErrors), c.simData);
    }
}

TEST(BodyCheckDispatch, MessageCountErrorsReachTheTotalsWithoutBodyChecks) {
    ListingFixture f;
    f.Open(false);
    f.errors->BeginPacket();
    f.errors->RaiseFinding(3, 63);
    f.errors->RaiseFinding(3, 64);
    EXPECT_EQ(f.errors->CounterValue(FormCounter::dataErrors), 0u);
    ListingOptions o;  // body checks off
    ASSERT_EQ(f.List(MakeRef(Spec(3, 0x19, 0), 3, "MIL-STD-1553 Format 1").in, o), 0);
    EXPECT_EQ(f.errors->chanPacketDataErrors[3], 2);
    EXPECT_EQ(f.errors->CounterValue(FormCounter::dataErrors), 2u);
    EXPECT_FALSE(f.errors->detailOutsideBody[3]);
}

}  // namespace
}  // namespace vexa
