#include <gtest/gtest.h>

#include "tests/engine/listing_rig.h"

namespace vexa {
namespace {

using namespace test;

ListingOptions Verbose(bool listAll) {
    ListingOptions o;
    o.listingOn = true;
    o.listAllPackets = listAll;
    return o;
}

struct GoldenCase {
    const char* golden;
    std::function<RefPacket()> make;
    std::vector<std::size_t> lineLengths;  // CR LF included; 0: not checked
};

TEST(VerboseListing, ReferencePacketsMatchTheirGoldenFiles) {
    const std::string finding = "Error 42: Channel 3 sequence number 7, expected 6\r\n";
    auto time = [](uint32_t csdw, const char* text) {
        RefPacket r = MakeRef(Spec(1, 0x11, csdw), 1, "Time Format 1");
        r.in.timePacketText = text;
        return r;
    };
    auto bus = [](uint8_t otherFlags) {
        ch10fix::PacketSpec s = Spec(5, 0x19, (2u << 30) | 17);
        s.secondaryHeader = true;
        s.secondaryTime = 0x0102030405060708;
        s.otherFlags = otherFlags;
        return MakeRef(s, 5, "MIL-STD-1553 Format 1");
    };
    // The same packets with a secondary header whose time is in the Chapter 4 form.
    auto ch4 = [](ch10fix::PacketSpec s, int slot, const char* name, const char* timeText = "") {
        s.secondaryHeader = true;
        RefPacket r = MakeRef(s, slot, name);
        r.in.timePacketText = timeText;
        return r;
    };
    constexpr uint32_t kAnalogCsdw = (1u << 28) | (3u << 24) | (4u << 16) | (2u << 8) | (12u << 2) | 1;
    const GoldenCase cases[] = {
        {"verbose_pcm_all.txt", [] { return PcmRef(); }, {2, 87, 138, 138, 138, 138}},
        {"verbose_time_date.txt", [&] { return time(0x312, "2025/12/03 08:01:02.345"); }, {2, 88, 138, 138, 138, 132}},
        {"verbose_time.txt", [&] { return time(0x112, "337:08:01:02.345"); }, {2, 88, 138, 138, 138, 125}},
        {"verbose_setup.txt", [] { return MakeRef(Spec(0, 0x01, 0), 0, "Computer Generated Data Format 1"); },
         {2, 107, 113, 113, 113, 113}},
        {"verbose_1553_ch4.txt", [&] { return bus(0x00); }, {2, 96, 138, 138, 138, 123}},
        {"verbose_1553_other_time.txt", [&] { return bus(0x04); }, {2, 96, 123}},
        {"verbose_analog.txt", [] { return MakeRef(Spec(6, 0x21, kAnalogCsdw), 6, "Analog Format 1"); },
         {2, 90, 138, 138, 138, 139}},
        {"verbose_analog_long_time.txt",
         [] {
             RefPacket r = MakeRef(Spec(6, 0x21, kAnalogCsdw), 6, "Analog Format 1");
             r.in.irigTimeText = "2025-12-03 08:01:02.34";
             return r;
         },
         {}},
        {"verbose_pcm_ch4.txt", [&] { return ch4(Spec(3, 0x09, kPcmCsdw), 3, "PCM Format 1"); },
         {2, 87, 138, 138, 138, 138}},
        {"verbose_time_date_ch4.txt",
         [&] { return ch4(Spec(1, 0x11, 0x312), 1, "Time Format 1", "2025/12/03 08:01:02.345"); },
         {2, 88, 138, 138, 138, 132}},
        {"verbose_analog_ch4.txt", [&] { return ch4(Spec(6, 0x21, kAnalogCsdw), 6, "Analog Format 1"); },
         {2, 90, 113, 113, 113, 139}},
        {"verbose_1394.txt",
         [] { return MakeRef(Spec(8, 0x58, (5u << 29) | (3u << 25) | 1000), 8, "IEEE 1394 Format 0"); },
         {2, 93, 138, 134, 134, 130}},
    };
    for (const GoldenCase& c : cases) {
        SCOPED_TRACE(c.golden);
        ListingFixture f;
        f.Open(false);
        RefPacket r = c.make();
        ASSERT_EQ(f.List(r.in, Verbose(true)), 0);
        const std::string out = f.Output();
        EXPECT_EQ(out, GoldenText(c.golden));
        if (!c.lineLengths.empty()) {
            EXPECT_EQ(LineLengths(out), c.lineLengths);
        }
    }
}

TEST(VerboseListing, OnlyPacketsWithFindingsAreListedUnlessAllAreAsked) {
    RefPacket r = PcmRef();
    ASSERT_EQ(r.in.header.packetLength, 40u);
    ASSERT_EQ(r.in.header.dataLength, 12u);
    ASSERT_EQ(r.in.header.flags, 0x02);
    const std::string finding = "Error 42: Channel 3 sequence number 7, expected 6\r\n";
    {
        ListingFixture f;
        f.Open(false);
        r.in.findingText = finding;
        ASSERT_EQ(f.List(r.in, Verbose(false)), 0);
        EXPECT_EQ(f.Output(), GoldenText("verbose_pcm_finding.txt"));
    }
    {
        ListingFixture f;
        f.Open(false);
        r.in.findingText = "";
        ASSERT_EQ(f.List(r.in, Verbose(false)), 0);
        EXPECT_EQ(f.Output(), "");
    }
    {
        ListingFixture f;
        f.Open(false);
        ASSERT_EQ(f.List(r.in, Verbose(true)), 0);
        EXPECT_EQ(f.Output(), GoldenText("verbose_pcm_all.txt"));
    }
    {
        // The listing switched off writes nothing, findings or not.
        ListingFixture f;
        f.Open(false);
        r.in.findingText = finding;
        ListingOptions off = Verbose(true);
        off.listingOn = false;
        ASSERT_EQ(f.List(r.in, off), 0);
        EXPECT_EQ(f.Output(), "");
    }
}

TEST(VerboseListing, UnsignedFieldsPrintAsSigned32Bit) {
    RefPacket r = MakeRef(Spec(2, 0x30, 0), 2, "Message Format 0");
    r.in.header.packetLength = 0xFFFFFFF0u;
    r.in.slotPacketCount = 0x80000000u;
    const std::string row = VerboseRow(r.in);
    EXPECT_EQ(row.substr(0, 12), "-2147483648 ");
    EXPECT_NE(row.find(" eb25      2    -16 "), std::string::npos) << row;
}

}  // namespace
}  // namespace vexa
