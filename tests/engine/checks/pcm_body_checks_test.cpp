// PCM body checks on exact-size packets: TMATS attribute usability, frame
// layout, sync, lock status, frame ID counter, frame time spacing, simulated
// data, the family limits and hostile layouts.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/engine/checks/check_rig.h"
#include "tests/support/pcm_packet_builder.h"
#include "tests/support/pcm_record_rig.h"
#include "vexa/engine/pcm_body_check.h"

namespace {

using ch10fix::PcmFrame;
using ch10fix::PcmPacket;
using checkfix::HeldPacket;
using Numbers = std::vector<uint32_t>;

constexpr uint16_t kSync16 = ch10fix::kTestPcmSync;
constexpr uint64_t kPeriod = ch10fix::kTestPcmPeriod;

PCM_CHAN_INFO Record() { return ch10fix::TestPcmRecord(3); }

struct Walked {
    std::vector<vexa::PcmFinding> findings;
    Numbers numbers;
    std::string text;
};

Walked Walk(const PcmPacket& p, const PCM_CHAN_INFO& r, vexa::PcmSlotState& state, bool sim = false,
            int32_t tolerance = 0, bool secondary = false) {
    ch10fix::PacketSpec spec = ch10fix::PcmPacketSpec(p);
    spec.secondaryHeader = secondary;
    const HeldPacket held(ch10fix::BuildPacket(spec));
    const ch10::PacketView view = held.view();
    const uint32_t csdw = ch10::ChannelSpecificWord(view, held.header());
    Walked w;
    w.findings = vexa::WalkPcmFrames({.record = r, .header = held.header(), .view = view, .csdw = csdw,
                                      .checkSimulated = sim, .intraPacketTolerance = tolerance},
                                     state);
    for (const auto& f : w.findings) {
        w.numbers.push_back(f.number);
        w.text += f.text;
    }
    return w;
}

Walked Walk(const PcmPacket& p, const PCM_CHAN_INFO& r) {
    vexa::PcmSlotState state;
    return Walk(p, r, state);
}

// Frames at the period with the given FIDs and the sync in word 0.
std::vector<PcmFrame> Frames(const std::vector<uint16_t>& fids, uint16_t status = ch10fix::kPcmInLock,
                             uint64_t t0 = 1000) {
    std::vector<PcmFrame> out;
    for (std::size_t i = 0; i < fids.size(); ++i)
        out.push_back({t0 + i * kPeriod, status, {kSync16, fids[i], 0, 0}});
    return out;
}

TEST(PcmBodyChecks, AttributeUsability) {
    struct Case {
        const char* name;
        std::function<void(PCM_CHAN_INFO&)> change;
        uint8_t dataType;
        std::string warning;  // empty: usable
    };
    const std::string tail = "is invalid, packet's data validation is suppressed for this channel\r\n";
    const std::string head = "Warning: TMATS info indicates that ";
    const Case cases[] = {
        {"usable", [](PCM_CHAN_INFO&) {}, 0x09, ""},
        {"BitRate 0", [](PCM_CHAN_INFO& r) { r.BitRate = 0; }, 0x09, head + "BitRate = 0 " + tail},
        {"BitRate -1", [](PCM_CHAN_INFO& r) { r.BitRate = -1; }, 0x09, head + "BitRate = -1 " + tail},
        {"BitsInMinorFrame", [](PCM_CHAN_INFO& r) { r.BitsInMinorFrame = -64; }, 0x09,
         head + "BitsInMinorFrame = -64 " + tail},
        {"NumFrames", [](PCM_CHAN_INFO& r) { r.NumFrames = 0; }, 0x09, head + "NumFrames = 0 " + tail},
        {"NumWords", [](PCM_CHAN_INFO& r) { r.NumWords = -1; }, 0x09, head + "NumWords = -1 " + tail},
        {"SyncMask", [](PCM_CHAN_INFO& r) { r.SyncMask = 0; }, 0x09, head + "SyncMask = 0 " + tail},
        {"SyncPattern", [](PCM_CHAN_INFO& r) { r.SyncPattern = 0; }, 0x09, head + "SyncPattern = 0 " + tail},
        {"SyncPatternLength", [](PCM_CHAN_INFO& r) { r.SyncPatternLength = 0; }, 0x09,
         head + "SyncPatternLength = 0 " + tail},
        {"WordLength", [](PCM_CHAN_INFO& r) { r.WordLength = -8; }, 0x09, head + "WordLength = -8 " + tail},
        {"FrameIDPosition 0", [](PCM_CHAN_INFO& r) { r.FrameIDPosition = 0; }, 0x09,
         head + "FrameIDPosition = 0 " + tail},
        {"FrameIDPosition past NumWords", [](PCM_CHAN_INFO& r) { r.FrameIDPosition = 5; }, 0x09,
         head + "FrameIDPosition = 5 " + tail},
        {"FrameIDPosition at NumWords", [](PCM_CHAN_INFO& r) { r.FrameIDPosition = 4; }, 0x09, ""},
        {"IDCLength", [](PCM_CHAN_INFO& r) { r.IDCLength = 0; }, 0x09, head + "IDCLength = 0 " + tail},
        {"IDCStartBit", [](PCM_CHAN_INFO& r) { r.IDCStartBit = -1; }, 0x09, head + "IDCStartBit = -1 " + tail},
        {"IDCWordLength", [](PCM_CHAN_INFO& r) { r.IDCWordLength = 0; }, 0x09,
         head + "IDCWordLength = 0 " + tail},
        {"two bad: the first named", [](PCM_CHAN_INFO& r) { r.WordLength = 0; r.NumWords = 0; }, 0x09,
         head + "NumWords = 0 " + tail},
        {"mask printed in hex", [](PCM_CHAN_INFO& r) { r.SyncPattern = 0; r.SyncMask = 0xABC; }, 0x09,
         head + "SyncPattern = 0 " + tail},
        {"one minor frame: FID attributes unused",
         [](PCM_CHAN_INFO& r) { r.NumFrames = 1; r.FrameIDPosition = 0; r.IDCLength = 0; }, 0x09, ""},
        {"not PCM format 1", [](PCM_CHAN_INFO& r) { r.BitRate = 0; }, 0x19, ""},
    };
    for (const Case& c : cases) {
        PCM_CHAN_INFO r = Record();
        c.change(r);
        std::string text;
        const int result = vexa::CheckPcmTmatsAttributes(r, c.dataType, text);
        EXPECT_EQ(result, c.warning.empty() ? 0 : -1) << c.name;
        EXPECT_EQ(text, c.warning) << c.name;
    }
}

TEST(PcmBodyChecks, GetBitsReadsFromTheMostSignificantBit) {
    const std::vector<uint8_t> bytes = {0xA5, 0x3C};
    struct Case {
        int64_t first, last;
        uint32_t expected;
    } const cases[] = {
        {1, 4, 0xA}, {5, 12, 0x53}, {1, 16, 0xA53C}, {16, 16, 0}, {15, 15, 0}, {13, 14, 3},
        {9, 17, 0},  // past the bytes
        {0, 3, 0},   // bit 0 does not exist
        {3, 2, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(vexa::GetBits(bytes, c.first, c.last), c.expected) << c.first << ".." << c.last;
}

TEST(PcmBodyChecks, FrameLayoutTakesEveryWholeFrame) {
    using namespace ch10fix;
    struct Case {
        const char* name;
        uint32_t mode;
        std::function<void(PCM_CHAN_INFO&)> change;
        std::size_t frameDataBytes;
        int lessData;  // bytes taken off the data length
        int expectedFrames;
    };
    const Case cases[] = {
        {"unpacked 16-bit", kPcmUnpacked, [](PCM_CHAN_INFO&) {}, 8, 0, 3},
        {"one byte short", kPcmUnpacked, [](PCM_CHAN_INFO&) {}, 8, 1, 2},
        {"unpacked 32-bit", kPcmUnpacked | kPcmAlign32, [](PCM_CHAN_INFO&) {}, 8, 0, 3},
        {"unpacked 32-bit 24-bit words", kPcmUnpacked | kPcmAlign32,
         [](PCM_CHAN_INFO& r) { r.WordLength = 24; r.BitsInMinorFrame = 96; }, 16, 0, 3},
        {"packed 16-bit", kPcmPacked, [](PCM_CHAN_INFO&) {}, 8, 0, 3},
        {"packed 16-bit odd bytes", kPcmPacked, [](PCM_CHAN_INFO& r) { r.BitsInMinorFrame = 60; }, 8, 0, 3},
        {"packed 32-bit", kPcmPacked | kPcmAlign32, [](PCM_CHAN_INFO&) {}, 8, 0, 3},
        {"sync 24", kPcmUnpacked, [](PCM_CHAN_INFO& r) { r.SyncPatternLength = 24; }, 10, 0, 3},
        {"sync 32", kPcmUnpacked, [](PCM_CHAN_INFO& r) { r.SyncPatternLength = 32; }, 10, 0, 3},
        {"sync 33", kPcmUnpacked, [](PCM_CHAN_INFO& r) { r.SyncPatternLength = 33; }, 12, 0, 3},
        {"no mode", 0, [](PCM_CHAN_INFO&) {}, 8, 0, 0},
        {"mode 3", kPcmUnpacked | kPcmPacked, [](PCM_CHAN_INFO&) {}, 8, 0, 0},
    };
    for (const Case& c : cases) {
        PCM_CHAN_INFO r = Record();
        r.NumFrames = 1;
        r.SyncPattern = 0x5555;
        r.SyncMask = 0xFFFF;
        c.change(r);
        PcmPacket p;
        p.csdw = c.mode | kPcmMi;
        p.frameDataBytes = c.frameDataBytes;
        // Frames at the period whose first words never match the sync.
        for (int i = 0; i < 3; ++i) p.frames.push_back({1000 + i * kPeriod, 0xA000, {0x1234, 0x1234, 0, 0}});
        ch10fix::PacketSpec spec = ch10fix::PcmPacketSpec(p);
        const Bytes natural = ch10fix::BuildPacket(spec);
        const uint32_t dataLength = natural[8] | natural[9] << 8 | natural[10] << 16 | uint32_t{natural[11]} << 24;
        spec.dataLengthOverride = dataLength - static_cast<uint32_t>(c.lessData);
        const HeldPacket held(ch10fix::BuildPacket(spec));
        vexa::PcmSlotState state;
        const auto findings = vexa::WalkPcmFrames(
            {.record = r, .header = held.header(), .view = held.view(),
             .csdw = ch10::ChannelSpecificWord(held.view(), held.header())},
            state);
        int syncFindings = 0;
        for (const auto& f : findings) syncFindings += f.number == 90;
        EXPECT_EQ(syncFindings, c.expectedFrames) << c.name;
    }
}

TEST(PcmBodyChecks, SyncAndLockStatus) {
    using namespace ch10fix;
    struct Case {
        const char* name;
        uint32_t csdw;
        std::function<void(PCM_CHAN_INFO&)> change;
        std::size_t frameDataBytes;
        std::vector<PcmFrame> frames;
        Numbers expected;
        std::string firstText;  // of the first finding, when given
    };
    auto rec8 = [](PCM_CHAN_INFO& r) {
        r.SyncPatternLength = 8; r.SyncPattern = 0xAB; r.SyncMask = 0xFF; r.WordLength = 8;
    };
    auto rec24 = [](PCM_CHAN_INFO& r) { r.SyncPatternLength = 24; r.SyncPattern = 0xFAF320; r.SyncMask = 0xFFFFFF; };
    auto rec32 = [](PCM_CHAN_INFO& r) {
        r.SyncPatternLength = 32; r.SyncPattern = 0xFE6B2840; r.SyncMask = 0xFFFFFFFF;
    };
    const uint16_t quiet = 0xA000;  // both locks 2: neither InLock nor reserved
    const uint32_t un = kPcmUnpacked | kPcmIph, pk = kPcmPacked | kPcmIph;
    const Case cases[] = {
        {"16-bit match", un | kPcmMi, [](PCM_CHAN_INFO&) {}, 8,
         {{1000, quiet, {kSync16}}, {11000, quiet, {kSync16}}}, {}, ""},
        {"match without MI: first frame only", un, [](PCM_CHAN_INFO&) {}, 8,
         {{1000, quiet, {kSync16}}, {11000, quiet, {kSync16}}}, {95},
         "Error 95: at frame 1: Sync pattern found at begin of packet data but Channel Spec's MI bit is not set \r\n"},
        {"mismatch on frame 2 while in lock", un | kPcmMi | kPcmMa, [](PCM_CHAN_INFO&) {}, 8,
         {{1000, kPcmInLock, {kSync16}}, {11000, kPcmInLock, {0x1234}}}, {90, 93, 94},
         "Error 90: at frame 2: Sync pattern does not match, recorded is 1234, TMATS info is fe6b \r\n"},
        {"mismatch on frame 1 with MI and MA", un | kPcmMi | kPcmMa, [](PCM_CHAN_INFO&) {}, 8,
         {{1000, quiet, {0x1234}}}, {90, 91, 92}, ""},
        {"masked bits ignored", un | kPcmMi, [](PCM_CHAN_INFO& r) { r.SyncMask = 0xFF00; }, 8,
         {{1000, quiet, {0xFE00}}}, {}, ""},
        {"8-bit packed match", pk | kPcmMi, rec8, 8, {{1000, quiet, {0xAB12}}}, {}, ""},
        {"8-bit packed mismatch", pk | kPcmMi, rec8, 8, {{1000, quiet, {0x12AB}}}, {90, 91},
         "Error 90: at frame 1: Sync pattern does not match, recorded is 00000012, TMATS info is ab \r\n"},
        {"24-bit packed match", pk | kPcmMi, rec24, 8, {{1000, quiet, {0xFAF3, 0x2077}}}, {}, ""},
        {"24-bit packed mismatch", pk | kPcmMi, rec24, 8, {{1000, quiet, {0xFAF3, 0x2100}}}, {90, 91},
         "Error 90: at frame 1: Sync pattern does not match, recorded is faf321, TMATS info is faf320 \r\n"},
        {"24-bit unpacked match", un | kPcmMi, rec24, 10, {{1000, quiet, {0x0FAF, 0x0320}}}, {}, ""},
        {"24-bit unpacked mismatch", un | kPcmMi, rec24, 10, {{1000, quiet, {0x0FAF, 0x0321}}}, {90, 91},
         "Error 90: at frame 1: Sync pattern does not match, recorded is faf321, TMATS info is faf320 \r\n"},
        {"32-bit unpacked mismatch", un | kPcmMi, rec32, 10, {{1000, quiet, {0xFE6B, 0x2841}}}, {90, 91},
         "Error 90: at frame 1: Sync pattern does not match, recorded is fe6b2841, TMATS info is fe6b2840 \r\n"},
        {"32-bit packed mismatch", pk | kPcmMi, rec32, 8, {{1000, quiet, {0x0E6B, 0x2840}}}, {90, 91},
         "Error 90: at frame 1: Sync pattern does not match, recorded is 0e6b2840, TMATS info is fe6b2840 \r\n"},
        {"32-bit aligned reads exchanged halves", kPcmUnpacked | kPcmAlign32 | kPcmMi, rec32, 8,
         {{1000, quiet, {0xFE6B, 0x2840}}}, {}, ""},
        {"major lock reserved", un | kPcmMi, [](PCM_CHAN_INFO&) {}, 8,
         {{1000, 0xD000, {kSync16}}, {11000, 0xD000, {kSync16}}}, {99, 99},
         "Error 99: at frame 1: IPH's Major Lock Status is Reserved \r\n"},
        {"minor lock 0", un | kPcmMi, [](PCM_CHAN_INFO&) {}, 8, {{1000, 0x3000, {kSync16}}}, {100},
         "Error 100: at frame 1: IPH's Minor Lock Status is Reserved \r\n"},
        {"minor lock 1", un | kPcmMi, [](PCM_CHAN_INFO&) {}, 8, {{1000, 0x7000, {kSync16}}}, {100}, ""},
        {"locks 0 and 1 on a mismatch", un | kPcmMi, [](PCM_CHAN_INFO&) {}, 8, {{1000, 0x1000, {0}}},
         {90, 91, 99, 100}, ""},
    };
    for (const Case& c : cases) {
        PCM_CHAN_INFO r = Record();
        r.NumFrames = 1;
        c.change(r);
        PcmPacket p;
        p.csdw = c.csdw;
        p.frameDataBytes = c.frameDataBytes;
        p.frames = c.frames;
        const Walked w = Walk(p, r);
        EXPECT_EQ(w.numbers, c.expected) << c.name;
        if (!c.firstText.empty() && !w.findings.empty()) {
            EXPECT_EQ(w.findings[0].text, c.firstText) << c.name;
        }
    }
}

TEST(PcmBodyChecks, FrameIdCounter) {
    struct Case {
        const char* name;
        std::function<void(PCM_CHAN_INFO&)> change;
        std::vector<uint16_t> fids;
        uint16_t status;
        Numbers expected;
        std::string firstText;
    };
    const uint16_t notInLock = 0xB000;  // major InLock, minor 2
    auto down = [](PCM_CHAN_INFO& r) { r.IDCDirection = 1; r.IDCInitialValue = 3; r.IDCEndValue = 0; };
    const Case cases[] = {
        {"up in sequence with wrap", [](PCM_CHAN_INFO&) {}, {2, 3, 0, 1, 2}, ch10fix::kPcmInLock, {}, ""},
        {"up skip", [](PCM_CHAN_INFO&) {}, {0, 2}, ch10fix::kPcmInLock, {106, 107},
         "Error 106: at frame 2: FID = 2, FID is out of sequence \r\n"},
        {"up skip out of lock", [](PCM_CHAN_INFO&) {}, {0, 2}, notInLock, {106}, ""},
        {"up in sequence out of lock", [](PCM_CHAN_INFO&) {}, {0, 1}, notInLock, {108},
         "Error 108: at frame 2, FID = 1: FID is in sequence but Minor Lock Status is not InLock \r\n"},
        {"up after end not initial", [](PCM_CHAN_INFO&) {}, {3, 1}, ch10fix::kPcmInLock, {103, 104},
         "Error 103: at frame 2: FID = 1, FID is out of sequence \r\n"},
        {"up after end out of lock", [](PCM_CHAN_INFO&) {}, {3, 0}, notInLock, {105}, ""},
        {"out of bound", [](PCM_CHAN_INFO&) {}, {5}, ch10fix::kPcmInLock, {101, 102},
         "Error 101: at frame 1: FID = 5, FID is out of bound \r\n"},
        {"out of bound out of lock", [](PCM_CHAN_INFO&) {}, {5}, notInLock, {101}, ""},
        {"down in sequence with wrap", down, {1, 0, 3, 2}, ch10fix::kPcmInLock, {}, ""},
        {"down skip", down, {3, 1}, ch10fix::kPcmInLock, {112, 113}, ""},
        {"down in sequence out of lock", down, {2, 1}, notInLock, {114}, ""},
        {"down after end not initial", down, {0, 2}, ch10fix::kPcmInLock, {109, 110},
         "Error 109: at frame 2: FID = 2, FID is out of sequence \r\n"},
        {"down after end out of lock", down, {0, 3}, notInLock, {111}, ""},
        {"end value above int16", [](PCM_CHAN_INFO& r) { r.IDCInitialValue = -25538; r.IDCEndValue = -25536; },
         {39999, 40000, 39998}, ch10fix::kPcmInLock, {}, ""},
    };
    for (const Case& c : cases) {
        PCM_CHAN_INFO r = Record();
        c.change(r);
        PcmPacket p;
        p.frames = Frames(c.fids, c.status);
        const Walked w = Walk(p, r);
        EXPECT_EQ(w.numbers, c.expected) << c.name;
        if (!c.firstText.empty() && !w.findings.empty()) {
            EXPECT_EQ(w.findings[0].text, c.firstText) << c.name;
        }
    }
}

TEST(PcmBodyChecks, FrameIdOfNarrowWordsAndAcrossPackets) {
    using namespace ch10fix;
    // 8-bit words: the sync byte count 1 is odd and drops to 0, so position 2
    // is the byte right after the sync; an IDCLength of 4 masks, not shifts.
    PCM_CHAN_INFO r8 = Record();
    r8.WordLength = 8;
    r8.SyncPatternLength = 8;
    r8.SyncPattern = 0xAB;
    r8.SyncMask = 0xFF;
    r8.FrameIDPosition = 2;
    PcmPacket p8;
    p8.csdw = kPcmPacked | kPcmMi;
    p8.frames = {{1000, kPcmInLock, {0xAB00, 0x0900}}, {11000, kPcmInLock, {0xAB01, 0x0900}}};
    EXPECT_EQ(Walk(p8, r8).numbers, Numbers{});
    r8.IDCLength = 4;
    p8.frames = {{1000, kPcmInLock, {0xAB1F}}};
    EXPECT_EQ(Walk(p8, r8).text, "Error 101: at frame 1: FID = 16, FID is out of bound \r\n"
                                 "Error 102: at frame 1: FID = 16, FID is out of bound but IPH's Minor Lock Status "
                                 "is InLock \r\n");

    // 12-bit packed words after a 24-bit sync (base 2 bytes): the second
    // word's bits straddle a 16-bit word boundary.
    PCM_CHAN_INFO r12 = Record();
    r12.WordLength = 12;
    r12.SyncPatternLength = 24;
    r12.SyncPattern = 0xFAF320;
    r12.SyncMask = 0xFFFFFF;
    r12.FrameIDPosition = 2;
    r12.IDCLength = 12;
    r12.IDCInitialValue = 1;
    r12.IDCEndValue = 0x1FF;
    PcmPacket p12;
    p12.csdw = kPcmPacked | kPcmMi;
    p12.frames = {{1000, kPcmInLock, {0xFAF3, 0x2001, 0x2200}}, {11000, kPcmInLock, {0xFAF3, 0x2001, 0x2300}}};
    EXPECT_EQ(Walk(p12, r12).numbers, Numbers{});
    p12.frames[1].words[2] = 0x2500;
    EXPECT_EQ(Walk(p12, r12).findings.at(0).text, "Error 106: at frame 2: FID = 293, FID is out of sequence \r\n");

    // The sequence continues across packets of the channel.
    PCM_CHAN_INFO r = Record();
    vexa::PcmSlotState state;
    PcmPacket first;
    first.frames = Frames({0, 1});
    EXPECT_EQ(Walk(first, r, state).numbers, Numbers{});
    PcmPacket second;
    second.frames = Frames({0}, kPcmInLock, 21000);
    EXPECT_EQ(Walk(second, r, state).numbers, (Numbers{106, 107}));
    EXPECT_EQ(state.prevFrameId, 0);
}

TEST(PcmBodyChecks, FrameTimeSpacing) {
    struct Case {
        const char* name;
        int16_t numFrames;
        std::vector<uint64_t> stamps;
        int32_t tolerance;
        bool secondaryTime;
        Numbers expected;
        std::string firstText;
    };
    const uint64_t high = 1ull << 48;
    const Case cases[] = {
        {"at the period", 1, {0, 10000, 20000}, 0, false, {}, ""},
        {"one tick late", 1, {0, 10001}, 0, false, {96},
         "Error 96: at frame position 2: Frame Relative Time Count recorded (10001), \r\n  differs from time "
         "computed (based on TMATS info) (10000) , delta = (1) (all expressed in 10th of microsecond) \r\n"},
        {"late within tolerance", 1, {0, 10050}, 5, false, {}, ""},
        {"early within tolerance", 1, {0, 9950}, 5, false, {}, ""},
        {"beyond tolerance late", 1, {0, 10051}, 5, false, {96}, ""},
        {"beyond tolerance early", 1, {0, 9949}, 5, false, {96}, ""},
        {"with a frame ID", 4, {0, 10001}, 0, false, {115},
         "Error 115: at frame position 2: Frame ID = 1, Frame Relative Time Count recorded (10001), \r\n  "
         "differs from time computed (based on TMATS info) (10000), delta = (1) (all expressed in 10th of "
         "microsecond) \r\n"},
        {"stamp high bits", 1, {0, high | 10000}, 0, false, {97},
         "Error 97: at frame 2: Bits 31-16 of MSLW IntraPacket TimeStamp are not zero filled = 0x0001 \r\n"},
        {"stamp high bits with FID", 4, {high}, 0, false, {116},
         "Error 116: at frame 1: FID = 0, Bits 31-16 of MSLW IntraPacket TimeStamp are not zero filled = 0x0001 \r\n"},
        {"secondary header time form", 1, {0, high | 10001, 9000000}, 0, true, {}, ""},
    };
    for (const Case& c : cases) {
        PCM_CHAN_INFO r = Record();
        r.NumFrames = c.numFrames;
        PcmPacket p;
        for (std::size_t i = 0; i < c.stamps.size(); ++i)
            p.frames.push_back({c.stamps[i], ch10fix::kPcmInLock, {kSync16, static_cast<uint16_t>(i), 0, 0}});
        if (c.secondaryTime) p.otherFlags = 0x40;
        vexa::PcmSlotState state;
        const Walked w = Walk(p, r, state, false, c.tolerance, c.secondaryTime);
        EXPECT_EQ(w.numbers, c.expected) << c.name;
        if (!c.firstText.empty() && !w.findings.empty()) {
            EXPECT_EQ(w.findings[0].text, c.firstText) << c.name;
        }
        if (c.secondaryTime) {
            EXPECT_EQ(state.prevFrameTime, -1.0) << c.name;
        }
    }
}

TEST(PcmBodyChecks, FrameTimeAcrossPacketsAndPacketSpan) {
    PCM_CHAN_INFO r = Record();
    r.NumFrames = 1;
    struct Case {
        const char* name;
        uint64_t secondPacketStamp;
        Numbers expected;
    } const cases[] = {{"at the period", 20000, {}}, {"one tick late", 20001, {96}}};
    for (const Case& c : cases) {
        vexa::PcmSlotState state;
        PcmPacket p;
        p.frames = {{0, ch10fix::kPcmInLock, {kSync16}}, {10000, ch10fix::kPcmInLock, {kSync16}}};
        EXPECT_EQ(Walk(p, r, state).numbers, Numbers{}) << c.name;
        p.frames = {{c.secondPacketStamp, ch10fix::kPcmInLock, {kSync16}}};
        EXPECT_EQ(Walk(p, r, state).numbers, c.expected) << c.name;
    }

    // A period of 500,000 ticks: two frames span exactly 1,000,000 at the
    // period, one tick more (within the tolerance) is over 100 ms.
    r.BitRate = 1280;
    struct SpanCase {
        uint64_t secondStamp;
        Numbers expected;
    } const spans[] = {{500000, {}}, {500001, {118}}};
    for (const SpanCase& s : spans) {
        vexa::PcmSlotState state;
        PcmPacket p;
        p.frames = {{0, ch10fix::kPcmInLock, {kSync16}}, {s.secondStamp, ch10fix::kPcmInLock, {kSync16}}};
        const Walked w = Walk(p, r, state, false, 1);
        EXPECT_EQ(w.numbers, s.expected) << s.secondStamp;
        if (!s.expected.empty()) {
            EXPECT_EQ(w.text, "Error 118: Packet contains more than 100 milliseconds worth of data (                 "
                              "100 milsec) \r\n");
        }
    }
    // One frame: no span.
    vexa::PcmSlotState state;
    PcmPacket one;
    one.frames = {{0, ch10fix::kPcmInLock, {kSync16}}};
    EXPECT_EQ(Walk(one, r, state).numbers, Numbers{});
}

TEST(PcmBodyChecks, SimulatedData) {
    struct Case {
        const char* name;
        int16_t numFrames;
        uint8_t frameVariant;
        bool option;
        int32_t startValue;
        std::vector<std::vector<uint16_t>> frames;  // words after the sync
        Numbers expected;
        std::string firstText;
    };
    const Case cases[] = {
        {"counting from 0", 1, 0, true, -1, {{0, 1, 2}, {3, 4, 5}}, {}, ""},
        {"first word not 0", 1, 0, true, -1, {{1, 2, 3}}, {98},
         "Error 98: at frame 1: Simulated value is out of order, recorded is 1, computed is 0 \r\n"},
        {"0xFFFF is followed by 0", 1, 0, true, 0xFFFD, {{0xFFFE, 0xFFFF, 0}}, {}, ""},
        {"FID in word 1: start from word 2", 4, 0, true, -1, {{0, 7, 8}, {1, 9, 10}}, {}, ""},
        {"out of order with FID", 4, 0, true, -1, {{0, 7, 9}}, {117},
         "Error 117: at frame 1: FID = 0, Simulated value is out of order, recorded is 9, computed is 8 \r\n"},
        {"option off", 1, 0, false, -1, {{5, 9, 1}}, {}, ""},
        {"frame variant 1", 1, 1, true, -1, {{5, 9, 1}}, {}, ""},
    };
    for (const Case& c : cases) {
        PCM_CHAN_INFO r = Record();
        r.NumFrames = c.numFrames;
        r.FrameVariant = c.frameVariant;
        PcmPacket p;
        for (std::size_t i = 0; i < c.frames.size(); ++i) {
            std::vector<uint16_t> words = {kSync16};
            words.insert(words.end(), c.frames[i].begin(), c.frames[i].end());
            p.frames.push_back({1000 + i * kPeriod, ch10fix::kPcmInLock, words});
        }
        vexa::PcmSlotState state;
        state.prevSimValue = c.startValue;
        const Walked w = Walk(p, r, state, c.option);
        EXPECT_EQ(w.numbers, c.expected) << c.name;
        if (!c.firstText.empty() && !w.findings.empty()) {
            EXPECT_EQ(w.findings[0].text, c.firstText) << c.name;
        }
    }
}

int Occurrences(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

TEST(BodyCheckLimits, PcmFamiliesAgainstThePacketAndChannelLimits) {
    const std::string packetNotice = "   *** The occurrence of this error type met the limit in this packet";
    const std::string channelNotice = "****** The occurrence of this error type met the limit on this channel";
    struct Case {
        const char* name;
        bool badSync;  // else bad spacing
        int32_t perPacket, perChannel, maxLog;
        int lines, packetNotices;
        int32_t detail;
        uint32_t table;
    } const cases[] = {
        {"20 sync mismatches", true, 5, 5, 0, 6, 1, 20, 20},
        {"20 late frames", false, 5, 5, 0, 5, 1, 20, 5},
        {"sync, packet limit 0", true, 0, 5, 0, 1, 1, 20, 20},
        {"late frames, packet limit 0", false, 0, 5, 0, 0, 0, 20, 0},
        {"sync, channel limit 0", true, 5, 0, 0, 0, 0, 20, 20},
        {"sync, MaxLog 1", true, 5, 5, 1, 1, 0, 20, 20},
    };
    const int slot = 7;
    for (const Case& c : cases) {
        PCM_CHAN_INFO r = Record();
        r.NumFrames = 1;
        PcmPacket p;
        // A sync mismatch with MI clear raises 90 alone; good sync with MI set none.
        p.csdw = ch10fix::kPcmUnpacked | (c.badSync ? 0u : ch10fix::kPcmMi);
        for (uint64_t i = 0; i < 20; ++i)
            p.frames.push_back({(i + 1) * (c.badSync ? kPeriod : 2 * kPeriod), 0xA000,
                                {c.badSync ? uint16_t{0x1234} : kSync16}});
        vexa::PcmSlotState state;
        state.prevFrameTime = 0;
        const Walked w = Walk(p, r, state);
        vexa::ErrorAccounting errors;
        errors.maxErrorsPerPacket = c.perPacket;
        errors.maxErrorsPerChannel = c.perChannel;
        errors.maxSameErrorPerChannel = c.maxLog;
        std::string text;
        vexa::RaisePcmFindings(errors, slot, w.findings, state, text);
        const uint32_t number = c.badSync ? 90 : 96;
        EXPECT_EQ(Occurrences(text, "Error " + std::to_string(number) + ":"), c.lines) << c.name;
        EXPECT_EQ(Occurrences(text, packetNotice), c.packetNotices) << c.name;
        EXPECT_EQ(Occurrences(text, channelNotice), 0) << c.name;
        const auto detail = c.badSync ? vexa::Detail::chanPcmSyncErrors : vexa::Detail::chanTimeStampErrors;
        EXPECT_EQ(errors.Chan(detail)[slot], c.detail) << c.name;
        EXPECT_EQ(errors.errorTable[slot][number], c.table) << c.name;
    }
}

TEST(BodyCheckLimits, MiBitMessagesReachTheChannelLimit) {
    // MI set and the sync wrong on each packet's first frame: each packet
    // writes Error 91 with the packet notice until the channel count meets
    // the limit; the detail count goes on rising.
    PCM_CHAN_INFO r = Record();
    r.NumFrames = 1;
    vexa::ErrorAccounting errors;
    vexa::PcmSlotState state;
    const std::string channelNotice = "****** The occurrence of this error type met the limit on this channel";
    std::vector<int> lines91;
    int channelNotices = 0;
    for (int packet = 0; packet < 6; ++packet) {
        PcmPacket p;
        p.csdw = ch10fix::kPcmUnpacked | ch10fix::kPcmMi;
        p.frames = {{static_cast<uint64_t>(packet) * kPeriod, 0xA000, {0x1234}}};
        const Walked w = Walk(p, r, state);
        std::string text;
        vexa::RaisePcmFindings(errors, 1, w.findings, state, text);
        lines91.push_back(Occurrences(text, "Error 91:"));
        channelNotices += Occurrences(text, channelNotice);
    }
    EXPECT_EQ(lines91, (std::vector<int>{1, 1, 1, 1, 1, 0}));
    EXPECT_EQ(channelNotices, 1);
    EXPECT_EQ(errors.Chan(vexa::Detail::chanPcmMinorSyncBitErrors)[1], 6);
    EXPECT_EQ(errors.errorTable[1][91], 5u);
}

TEST(PcmBodyChecks, HostileLayoutsStayInsideThePacket) {
    struct Case {
        const char* name;
        std::function<void(PCM_CHAN_INFO&)> change;
        uint32_t csdw;
        std::optional<uint32_t> dataLength;
        std::size_t held;  // bytes of the packet held
    };
    const uint32_t un = ch10fix::kPcmUnpacked | ch10fix::kPcmMi;
    const Case cases[] = {
        {"negative BitsInMinorFrame", [](PCM_CHAN_INFO& r) { r.BitsInMinorFrame = -64; }, un, {}, SIZE_MAX},
        {"huge BitsInMinorFrame", [](PCM_CHAN_INFO& r) { r.BitsInMinorFrame = 0x7FFFFFFF; }, ch10fix::kPcmPacked, {},
         SIZE_MAX},
        {"negative NumWords", [](PCM_CHAN_INFO& r) { r.NumWords = -4; }, un, {}, SIZE_MAX},
        {"huge NumWords", [](PCM_CHAN_INFO& r) { r.NumWords = 32767; }, un, {}, SIZE_MAX},
        {"sync length 64", [](PCM_CHAN_INFO& r) { r.SyncPatternLength = 64; }, un, {}, SIZE_MAX},
        {"sync length 1000", [](PCM_CHAN_INFO& r) { r.SyncPatternLength = 1000; }, ch10fix::kPcmPacked, {}, SIZE_MAX},
        {"FrameIDPosition 32767", [](PCM_CHAN_INFO& r) { r.FrameIDPosition = 32767; }, un, {}, SIZE_MAX},
        {"FrameIDPosition 32767 in 12-bit words",
         [](PCM_CHAN_INFO& r) { r.FrameIDPosition = 32767; r.WordLength = 12; }, ch10fix::kPcmPacked, {}, SIZE_MAX},
        {"data length beyond the packet", [](PCM_CHAN_INFO&) {}, un, 0x100000, SIZE_MAX},
        {"packet ending mid-word", [](PCM_CHAN_INFO&) {}, un, {}, 24 + 4 + 10 + 8 + 10 + 3},
    };
    for (const Case& c : cases) {
        PCM_CHAN_INFO r = Record();
        c.change(r);
        PcmPacket p;
        p.csdw = c.csdw;
        p.frames = Frames({0, 1, 2});
        ch10fix::PacketSpec spec = ch10fix::PcmPacketSpec(p);
        spec.dataLengthOverride = c.dataLength;
        const ch10fix::Bytes bytes = ch10fix::BuildPacket(spec);
        const HeldPacket held(bytes, c.held);
        vexa::PcmSlotState state;
        state.prevSimValue = 5;
        const auto findings = vexa::WalkPcmFrames(
            {.record = r, .header = held.header(), .view = held.view(),
             .csdw = ch10::ChannelSpecificWord(held.view(), held.header()), .checkSimulated = true},
            state);
        for (const auto& f : findings) EXPECT_TRUE(f.number >= 90 && f.number <= 118) << c.name << " " << f.number;
        EXPECT_TRUE(std::equal(held.data(), held.data() + held.size(), bytes.begin())) << c.name;
    }
}

}  // namespace
