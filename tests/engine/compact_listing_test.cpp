#include <gtest/gtest.h>

#include <filesystem>

#include "tests/engine/listing_rig.h"

namespace vexa {
namespace {

using namespace test;

ListingOptions Compact(bool validateBodies = false) {
    ListingOptions o;
    o.listingOn = true;
    o.spaceDelimited = true;
    o.validateBodies = validateBodies;
    return o;
}

RefPacket PcmPacket(uint8_t sequence, uint64_t offset, uint64_t rtc) {
    ch10fix::PacketSpec s = Spec(3, 0x09, kPcmCsdw, sequence);
    s.checksum = ch10fix::Checksum::Sum16;
    s.rtc = rtc;
    RefPacket r = MakeRef(s, 3, "PCM Format 1");
    r.in.packetOffset = offset;
    return r;
}

TEST(CompactListing, TimeAndPcmChannelFilesMatchTheirGoldenFiles) {
    ListingFixture f;
    f.Open(true);
    f.listing.bodyChecks = &f.checks;

    // A time channel's first packet.
    ch10fix::PacketSpec ts = Spec(1, 0x11, 0x112, 5);
    ts.rtc = 1000000;
    RefPacket time = MakeRef(ts, 1, "Time Format 1");
    time.in.packetOffset = 0x40;
    time.in.firstOfSlot = true;
    time.in.timePacketText = "337:08:01:02.345";
    time.in.timeDeviation = 1234.9;
    f.errors->BeginPacket();
    ASSERT_EQ(f.List(time.in, Compact()), 0);

    // A PCM channel's first packet: seven findings, five numbers listed.
    RefPacket first = PcmPacket(7, 0x1000000a0, 0x123456789A);
    first.in.firstOfSlot = true;
    first.in.hdrChecksumFailed = true;
    first.in.rtcDelta = 12345;
    f.errors->BeginPacket();
    std::string findings;
    for (uint32_t n : {42u, 45u, 46u, 46u, 49u, 50u, 52u})
        if (f.errors->RaiseFinding(3, n)) findings += "Error " + std::to_string(n) + ": text\r\n";
    first.in.findingText = findings;
    ASSERT_EQ(f.List(first.in, Compact()), 0);

    // Its second packet: no findings, no time difference computed.
    RefPacket second = PcmPacket(8, 0x1000000c8, 0x123456789B);
    f.errors->BeginPacket();
    ASSERT_EQ(f.List(second.in, Compact()), 0);

    // A packet whose only findings come from a body check.
    RefPacket third = PcmPacket(9, 0x1000000f0, 0x123456789C);
    third.in.rtcDelta = 40;
    f.checks.action = [&](BodyCheckCall& call) {
        f.errors->RaiseFinding(call.packet.slot, 90);
        f.errors->RaiseFinding(call.packet.slot, 90);
        call.findingsFlag = true;
    };
    f.errors->BeginPacket();
    ASSERT_EQ(f.List(third.in, Compact(true)), 0);
    EXPECT_EQ(f.checks.pcmCalls, 1);
    EXPECT_EQ(f.checks.blocks, std::vector<std::string>{""});

    f.outputs.Close();
    const std::string timeFile = ReadText(f.dir.File("validate.log_chan1"));
    const std::string pcmFile = ReadText(f.dir.File("validate.log_chan3"));
    EXPECT_EQ(timeFile, GoldenText("compact_time_chan1.txt"));
    EXPECT_EQ(pcmFile, GoldenText("compact_pcm_chan3.txt"));
    EXPECT_EQ(LineLengths(pcmFile), (std::vector<std::size_t>{111, 111, 111, 122, 111, 113}));
    EXPECT_EQ(f.outputs.listingNames[1], f.dir.File("validate.log_chan1"));
    EXPECT_EQ(f.outputs.listingNames[3], f.dir.File("validate.log_chan3"));
    // The finding texts are not written in this format.
    EXPECT_EQ(ReadText(f.dir.File("validate.log")), "");
    EXPECT_TRUE(f.host.Messages().empty());
}

TEST(CompactListing, SuppressedFindingsLeaveTheFlagClear) {
    // All findings suppressed by "MaxLog": numbers recorded, yet the row shows " - ".
    ListingFixture f;
    f.Open(true);
    f.errors->maxSameErrorPerChannel = 1;
    f.errors->CountError(3, 42);
    f.errors->BeginPacket();
    RefPacket r = PcmPacket(7, 0x40, 0);
    EXPECT_EQ(f.errors->RaiseFinding(3, 42), 0);
    r.in.findingText = "";
    ASSERT_EQ(f.List(r.in, Compact()), 0);
    f.outputs.Close();
    const std::string out = ReadText(f.dir.File("validate.log_chan3"));
    EXPECT_EQ(out.substr(out.size() - 16), "         -  - \r\n");
    EXPECT_EQ(f.errors->packetCodeCount, 1);
}

TEST(CompactListing, ListingSwitchedOffWritesNoRowAndNoTail) {
    ListingFixture f;
    f.Open(true);
    RefPacket r = PcmPacket(7, 0x40, 0);
    r.in.firstOfSlot = true;
    r.in.findingText = "Error 42: x\r\n";
    ListingOptions off = Compact();
    off.listingOn = false;
    ASSERT_EQ(f.List(r.in, off), 0);
    f.outputs.Close();
    EXPECT_FALSE(std::filesystem::exists(f.dir.File("validate.log_chan3")));
}

}  // namespace
}  // namespace vexa
