// Channel-specific data word checks on exact-size packets: PCM, 1553 with
// its message walk, analog subchannel words, message, ARINC 429, IEEE 1394
// and Ethernet with its frame walk.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/engine/checks/check_rig.h"
#include "tests/support/engine_rig.h"
#include "tests/support/ch10_bodies.h"
#include "vexa/engine/channel_word_checks.h"
#include "vexa/engine/differs_checks.h"
#include "vexa/engine/time_checks.h"

namespace {

using ch10fix::AnalogWord;
using ch10fix::Bytes;
using ch10fix::BusMessage;
using ch10fix::EthernetFrame;
using ch10fix::PacketSpec;
using checkfix::HeldPacket;
using vexa::FindingList;

using Numbers = std::vector<uint32_t>;

Numbers NumbersOf(const FindingList& f) {
    Numbers out;
    for (const vexa::Finding& x : f) out.push_back(x.number);
    return out;
}

std::string TextOf(const FindingList& f) {
    std::string out;
    for (const vexa::Finding& x : f) out += x.text;
    return out;
}

FindingList Check(const HeldPacket& p, vexa::IntraStampTimes& stamps, int slot = 2) {
    const ch10::PacketHeader& h = p.header();
    const ch10::PacketView v = p.view();
    return vexa::CheckChannelSpecificWord(stamps, {.header = h, .view = v, .slot = slot});
}

FindingList Check(const PacketSpec& spec) {
    vexa::IntraStampTimes stamps;
    return Check(HeldPacket(ch10fix::BuildPacket(spec)), stamps);
}

struct WordCase {
    const char* name;
    uint32_t csdw;
    Numbers expected;
};

constexpr uint32_t kUnpacked = 1u << 18, kPacked = 1u << 19, kThroughput = 1u << 20, kIph = 1u << 30;
constexpr uint32_t kLocked = 3u << 24 | 3u << 26;

TEST(DataWordChecks, PcmWord) {
    const WordCase cases[] = {
        {"clean packed", kPacked | kIph | kLocked, {}},
        {"no mode", kIph | kLocked, {53}},
        {"word 0", 0, {53, 56}},
        {"unpacked and throughput", kUnpacked | kThroughput | kLocked, {54}},
        {"major 1", kPacked | kIph | 1u << 24 | 3u << 26, {55}},
        {"major 2", kPacked | kIph | 2u << 24 | 3u << 26, {57}},
        {"minor 0", kPacked | kIph | 3u << 24, {56}},
        {"minor 1", kPacked | kIph | 3u << 24 | 1u << 26, {56}},
        {"minor 2", kPacked | kIph | 3u << 24 | 2u << 26, {58}},
        {"throughput, any lock", kThroughput | 1u << 24, {}},
        {"throughput with IPH", kThroughput | kIph, {59}},
        {"unpacked without IPH", kUnpacked | kLocked, {60}},
        {"packed without IPH", kPacked | kLocked, {61}},
    };
    for (const WordCase& c : cases) {
        PacketSpec s;
        s.channelId = 3;
        s.dataType = 0x09;
        s.csdw = c.csdw;
        s.body.assign(8, 0);
        EXPECT_EQ(NumbersOf(Check(s)), c.expected) << c.name;
    }
    EXPECT_EQ(TextOf(vexa::CheckPcmWord(kUnpacked | kThroughput | kLocked)),
              "Error 54: Channel Spec's Mode indicate more than one Data Mode \r\n");
}

constexpr uint64_t kRtc = 1000000;

struct BusCase {
    const char* name;
    std::vector<BusMessage> messages;
    std::optional<uint32_t> count;
    uint8_t flags;
    Numbers expected;
};

TEST(DataWordChecks, Bus1553Walk) {
    std::vector<BusMessage> three = ch10fix::RisingMessages(kRtc, 3);
    std::vector<BusMessage> early = three;
    early[0].stamp = kRtc - 1;
    std::vector<BusMessage> sameMicrosecond = three;
    sameMicrosecond[1].stamp = sameMicrosecond[0].stamp + 1;  // 100,000.0 and 100,000.1 us round alike
    std::vector<BusMessage> longMessage = three;
    longMessage[2].lengthField = 0xFFFF;
    const BusCase cases[] = {
        {"exact count", three, std::nullopt, 0, {}},
        {"one too small", three, 2u, 0, {64}},
        {"one too large", three, 4u, 0, {63, 64}},
        {"first stamp below the counter", early, std::nullopt, 0, {169}},
        {"first stamp below, secondary-header stamps", early, std::nullopt, 0xC0, {}},
        {"same microsecond", sameMicrosecond, std::nullopt, 0, {62}},
        {"length 0xFFFF", longMessage, std::nullopt, 0, {64}},
        {"no messages, count 0", {}, std::nullopt, 0, {}},
    };
    for (const BusCase& c : cases) {
        PacketSpec s = ch10fix::Bus1553Packet(4, kRtc, c.messages, c.count);
        s.otherFlags = c.flags;
        if (c.flags & 0x40) s.secondaryHeader = true;
        EXPECT_EQ(NumbersOf(Check(s)), c.expected) << c.name;
    }
}

TEST(DataWordChecks, Bus1553Texts) {
    std::vector<BusMessage> m = ch10fix::RisingMessages(kRtc, 3);
    m[2].stamp = m[1].stamp;
    const FindingList f = Check(ch10fix::Bus1553Packet(4, kRtc, m, 4u));
    EXPECT_EQ(TextOf(f),
              "Error 62: Bus message time reversed at message   3 \r\n"
              "Error 63: Bus Message Count is greater than actual messages\r\n"
              "Error 64: Bus Message Count is less than actual messages\r\n");
    std::vector<BusMessage> first = ch10fix::RisingMessages(kRtc - 10, 1);
    EXPECT_EQ(TextOf(Check(ch10fix::Bus1553Packet(4, kRtc, first))),
              "Error 169: The time of the first bus message in a 1553 packet is less than the relative time counter "
              "in the packet header\r\n");
}

TEST(DataWordChecks, Bus1553WalksStayInsideThePacket) {
    // 0xFFFFFF messages claimed in a 60-byte packet: one message held.
    {
        const Bytes bytes = ch10fix::BuildPacket(ch10fix::Bus1553Packet(4, kRtc, ch10fix::RisingMessages(kRtc, 1), 0xFFFFFFu));
        vexa::IntraStampTimes stamps;
        EXPECT_EQ(NumbersOf(Check(HeldPacket(bytes), stamps)), (Numbers{63, 64}));
    }
    // A data length beyond the packet: the walk ends at the view.
    {
        PacketSpec s = ch10fix::Bus1553Packet(4, kRtc, ch10fix::RisingMessages(kRtc, 2), 5u);
        s.dataLengthOverride = 4000;
        vexa::IntraStampTimes stamps;
        EXPECT_EQ(NumbersOf(Check(HeldPacket(ch10fix::BuildPacket(s)), stamps)), (Numbers{63, 64}));
    }
    // A 32-byte packet: the first stamp is not wholly held, so no 169.
    {
        PacketSpec s = ch10fix::Bus1553Packet(4, kRtc, {}, 1u);
        s.body = {0, 0, 0, 0};
        vexa::IntraStampTimes stamps;
        EXPECT_EQ(NumbersOf(Check(HeldPacket(ch10fix::BuildPacket(s)), stamps)), (Numbers{63, 64}));
    }
}

TEST(DataWordChecks, Bus1553ComparesWithTheSlotsPreviousPacket) {
    vexa::IntraStampTimes stamps;
    const HeldPacket first(ch10fix::BuildPacket(ch10fix::Bus1553Packet(4, kRtc, ch10fix::RisingMessages(kRtc + 100, 2))));
    const HeldPacket second(ch10fix::BuildPacket(ch10fix::Bus1553Packet(4, kRtc, ch10fix::RisingMessages(kRtc, 2))));
    EXPECT_TRUE(Check(first, stamps, 2).empty());
    EXPECT_EQ(TextOf(Check(second, stamps, 2)), "Error 62: Bus message time reversed at message   1 \r\n");
    EXPECT_TRUE(Check(first, stamps, 3).empty());  // another slot keeps its own
}

struct AnalogCase {
    const char* name;
    std::vector<AnalogWord> words;
    Numbers expected;
};

AnalogWord Sub(uint8_t subchan, uint8_t totchan, uint8_t factor = 0) {
    AnalogWord w;
    w.subchan = subchan;
    w.totchan = totchan;
    w.factor = factor;
    return w;
}

TEST(DataWordChecks, AnalogWords) {
    AnalogWord same = Sub(1, 1, 2);
    same.same = true;
    AnalogWord otherMode = Sub(2, 3);
    otherMode.mode = 1;
    AnalogWord sameLater = Sub(2, 3);
    sameLater.same = true;
    const AnalogCase cases[] = {
        {"1,2,3 of 3", {Sub(1, 3), Sub(2, 3), Sub(3, 3)}, {}},
        {"1,2,3,3 of 4", {Sub(1, 4), Sub(2, 4), Sub(3, 4), Sub(3, 4)}, {72}},
        {"1,1,2 of 2... of 3", {Sub(1, 3), Sub(1, 3), Sub(3, 3)}, {}},
        {"3,2,3 of 3", {Sub(1, 3), Sub(3, 3), Sub(2, 3)}, {71, 72}},
        {"factors 1,1,0", {Sub(1, 3, 1), Sub(2, 3, 1), Sub(3, 3, 0)}, {}},
        {"factors 1,1,1", {Sub(1, 3, 1), Sub(2, 3, 1), Sub(3, 3, 1)}, {170}},
        {"SAME with a factor", {same}, {168}},
        {"TOTCHAN 1", {Sub(7, 1, 3)}, {}},
        {"mode differs", {Sub(1, 3), otherMode, Sub(3, 3)}, {69}},
        {"SAME on word 2", {Sub(1, 3), sameLater, Sub(3, 3)}, {171}},
        {"TOTCHAN differs", {Sub(1, 3), Sub(2, 2), Sub(3, 3)}, {70}},
        {"0 is 256", {Sub(1, 2), Sub(0, 2)}, {}},
    };
    for (const AnalogCase& c : cases) EXPECT_EQ(NumbersOf(Check(ch10fix::AnalogPacket(5, c.words))), c.expected) << c.name;
}

TEST(DataWordChecks, AnalogTexts) {
    AnalogWord w2 = Sub(2, 0);
    w2.same = true;
    w2.mode = 2;
    AnalogWord w3 = Sub(1, 3);
    const FindingList f = Check(ch10fix::AnalogPacket(5, {Sub(1, 3), w2, w3}));
    EXPECT_EQ(TextOf(f),
              "Error 171: on Sub Channel number 2: SAME has to be zero when SAME of the first channel is zero in "
              "Channel Spec Word \r\n"
              "Error 69: on Sub Channel number 2: (MODE = 2) MODE is not the same as MODE of the first channel in "
              "Channel Spec Word \r\n"
              "Error 70: on Sub Channel number 2: (TOTCHAN = 0) TOTCHAN is not the same as TOTCHAN of the first "
              "channel in Channel Spec Word \r\n"
              "Error 71: on Sub Channel number 3: (SUBCHAN = 1) SUBCHAN number is not in ascending order in Channel "
              "Spec Word \r\n"
              "Error 72: on Sub Channel number 3: (TOTCHAN = 3, SUBCHAN = 1), number of TOTCHAN is greater than last "
              "SUBCHAN number in Channel Spec Word \r\n");
    AnalogWord s = Sub(1, 1, 1);
    s.same = true;
    EXPECT_EQ(TextOf(Check(ch10fix::AnalogPacket(5, {s}))),
              "Error 168: The FACTOR bit is not zero when the SAME bit is set \r\n");
    EXPECT_EQ(TextOf(Check(ch10fix::AnalogPacket(5, {Sub(1, 3, 1), Sub(2, 3, 1), Sub(3, 3, 1)}))),
              "Error 170: at least one FACTOR to be zero in Channel Spec Word \r\n");
}

TEST(DataWordChecks, AnalogPacketEndingBeforeItsSecondWordJudgesTheFirst) {
    // 28 bytes: header and data word only.
    const Bytes bytes = ch10fix::BuildPacket(ch10fix::AnalogPacket(5, {Sub(1, 4, 2)}, 0));
    ASSERT_EQ(bytes.size(), 28u);
    vexa::IntraStampTimes stamps;
    EXPECT_EQ(TextOf(Check(HeldPacket(bytes), stamps)),
              "Error 170: at least one FACTOR to be zero in Channel Spec Word \r\n"
              "Error 72: on Sub Channel number 1: (TOTCHAN = 4, SUBCHAN = 1), number of TOTCHAN is greater than last "
              "SUBCHAN number in Channel Spec Word \r\n");
}

PacketSpec Message(uint32_t type, uint32_t counter, std::optional<uint8_t> byte2 = std::nullopt) {
    PacketSpec s;
    s.channelId = 6;
    s.dataType = 0x30;
    s.csdw = type << 16 | counter;
    if (byte2) s.body = {0, 0, *byte2, 0, 0, 0, 0, 0};
    return s;
}

TEST(DataWordChecks, MessageTypeAndCounter) {
    const Numbers expected[4][3] = {
        {{135}, {}, {}},     // TYPE 0, COUNTER 0-2
        {{136}, {}, {136}},  // TYPE 1
        {{}, {137}, {}},     // TYPE 2
        {{}, {137}, {}},     // TYPE 3
    };
    for (uint32_t type = 0; type < 4; ++type)
        for (uint32_t counter = 0; counter < 3; ++counter)
            EXPECT_EQ(NumbersOf(Check(Message(type, counter, 0))), expected[type][counter])
                << "TYPE " << type << " COUNTER " << counter;
    EXPECT_TRUE(Check(Message(0, 0, 0x23)).empty());
    EXPECT_EQ(NumbersOf(Check(Message(0, 0))), Numbers{135});  // the marking byte lies outside the packet
    EXPECT_EQ(TextOf(Check(Message(0, 0))),
              "Error 135: TYPE indicates this is Complete Message but COUNTER indicates number of messages is 0 \r\n");
}

TEST(DataWordChecks, Arinc429DataLength) {
    struct Case {
        uint32_t dataLength;
        Numbers expected;
    };
    for (const Case& c : {Case{84, {}}, Case{83, {138}}, Case{88, {138}}}) {
        PacketSpec s;
        s.channelId = 7;
        s.dataType = 0x38;
        s.csdw = 10;
        s.body.assign(80, 0);
        s.dataLengthOverride = c.dataLength;
        EXPECT_EQ(NumbersOf(Check(s)), c.expected) << c.dataLength;
    }
}

TEST(DataWordChecks, Ieee1394BodyType) {
    const WordCase cases[] = {
        {"type 3", 3u << 29, {148}}, {"type 7", 7u << 29, {148}}, {"type 0, one transaction", 1, {149}},
        {"type 1, none", 1u << 29, {149}}, {"type 0, none", 0, {}}, {"type 1, one", 1u << 29 | 1, {}},
        {"type 2, many", 2u << 29 | 77, {}},
    };
    for (const WordCase& c : cases) {
        PacketSpec s;
        s.channelId = 8;
        s.dataType = 0x58;
        s.csdw = c.csdw;
        EXPECT_EQ(NumbersOf(Check(s)), c.expected) << c.name;
    }
}

constexpr uint64_t kEthRtc = 20000000;  // 2,000,000 us

EthernetFrame Frame(int64_t usecAfterRtc, uint16_t bytes = 64) {
    EthernetFrame f;
    f.stamp = static_cast<uint64_t>(static_cast<int64_t>(kEthRtc) + usecAfterRtc * 10);
    f.dataBytes = bytes;
    return f;
}

TEST(DataWordChecks, EthernetFrames) {
    struct Case {
        const char* name;
        std::vector<EthernetFrame> frames;
        uint8_t flags;
        Numbers expected;
    };
    EthernetFrame content = Frame(0);
    content.content = 1;
    EthernetFrame speed = Frame(0);
    speed.speed = 5;
    EthernetFrame both = Frame(-1);
    both.content = 3;
    both.speed = 9;
    const Case cases[] = {
        {"1 us early", {Frame(-1)}, 0, {8}},
        {"at the counter", {Frame(0)}, 0, {}},
        {"100,000 us after", {Frame(100000)}, 0, {}},
        {"100,001 us after", {Frame(100001)}, 0, {8}},
        {"secondary-header stamps", {both}, 0xC0, {132, 139}},
        {"content", {content}, 0, {132}},
        {"speed 5", {speed}, 0, {139}},
        {"3-byte frame padded", {Frame(0, 3), Frame(-1)}, 0, {8}},
    };
    for (const Case& c : cases) {
        PacketSpec s = ch10fix::EthernetPacket(9, kEthRtc, c.frames);
        s.otherFlags = c.flags;
        if (c.flags & 0x40) s.secondaryHeader = true;
        EXPECT_EQ(NumbersOf(Check(s)), c.expected) << c.name;
    }
    EXPECT_EQ(TextOf(Check(ch10fix::EthernetPacket(9, kEthRtc, {Frame(100001)}))),
              "Error 8: Packet's Relative Time Counter deviates from Intra-Packet Time Stamp: 21000010\r\n");
}

TEST(DataWordChecks, EthernetCountBeyondTheFrames) {
    // Two frames held, 0xFFFF claimed: both are checked, then the walk ends.
    const PacketSpec s = ch10fix::EthernetPacket(9, kEthRtc, {Frame(-1, 10), Frame(-2, 10)}, 0xFFFF);
    EXPECT_EQ(NumbersOf(Check(s)), (Numbers{8, 8}));
}

TEST(DataWordChecks, WordOutsideThePacketIsNotChecked) {
    PacketSpec s;
    s.dataType = 0x09;
    s.csdw = std::nullopt;
    const Bytes bytes = ch10fix::BuildPacket(s);
    vexa::IntraStampTimes stamps;
    EXPECT_TRUE(Check(HeldPacket(bytes), stamps).empty());
}

}  // namespace

namespace {

// Every time, word and differs step on packets of 25 to 40 bytes held in
// exactly that many bytes, with lying data lengths and counts: nothing
// outside is read (AddressSanitizer) and nothing is stored from beyond.
TEST(PacketBounds, TimeWordAndDiffersStepsOnShortPackets) {
    const uint8_t types[] = {0x09, 0x11, 0x19, 0x21, 0x30, 0x38, 0x50, 0x58, 0x68, 0x40, 0x41, 0x48};
    for (uint8_t type : types) {
        for (uint32_t length = 25; length <= 40; ++length) {
            for (bool secondary : {false, true}) {
                PacketSpec s;
                s.channelId = 3;
                s.dataType = type;
                s.csdw = 0xFFFFFFFFu;  // every count at its largest
                s.body.assign(32, 0xFF);
                s.secondaryHeader = secondary;
                s.dataLengthOverride = 0xFFFFFFF0u;
                Bytes b = ch10fix::BuildPacket(s);
                b.resize(length);
                ch10fix::Put32(b, 4, length);
                const HeldPacket p(b);
                const ch10::PacketHeader& h = p.header();
                const ch10::PacketView v = p.view();
                vexa::IntraStampTimes stamps;
                (void)vexa::CheckChannelSpecificWord(stamps, {.header = h, .view = v, .slot = 2});
                const vexa::TimeWords w = vexa::ReadTimeWords(v, h);
                const std::size_t at = ch10::ChannelSpecificWordOffset(h);
                EXPECT_EQ(w.wordsHeld, at + 12 <= length) << int(type) << " " << length;
                vexa::PreviousPacketStore store;
                store.Store(2, 0, h, w.csdw, w.word0, w.word1);
                const vexa::TimeRecord& record = store.TimeRecordOf(0);
                (void)vexa::CheckTimePacket({.words = w, .groupRecord = record, .channelSeen = true});
                vexa::TimeSectionState time;
                (void)vexa::CheckTimePacketRtc(time, {.header = h, .words = w, .groupRecord = record, .channelSeen = true});
                vexa::CorrelatePacketTime(time, {.header = h, .words = w, .groupRecord = record, .timeChannelSlot = 1});
                (void)vexa::CheckRtcReversed(h, store.Select(2, 0, type), true);
                (void)vexa::CheckDiffersFromPrevious({.header = h,
                                                      .csdw = v.U32OrZeros(at),
                                                      .csdwHeld = v.Has(at, 4),
                                                      .previous = store.Select(2, 0, type),
                                                      .channelSeen = true});
            }
        }
    }
}

}  // namespace

namespace {

// The same short packets through the frame, each section on its own view:
// every packet is validated and the walk goes on to the next.
TEST(PacketBounds, TimeWordAndDiffersSectionsThroughTheFrame) {
    const uint8_t types[] = {0x09, 0x11, 0x19, 0x21, 0x30, 0x38, 0x50, 0x58, 0x68, 0x41, 0x48};
    Bytes stream;
    uint32_t count = 0;
    for (uint8_t type : types) {
        for (uint32_t length = 28; length <= 40; length += 4) {
            PacketSpec s;
            s.channelId = 3;
            s.dataType = type;
            s.csdw = 0xFFFFFFFFu;
            s.body.assign(32, 0xFF);
            s.dataLengthOverride = 0xFFFFFFF0u;
            s.packetLengthOverride = length;
            Bytes b = ch10fix::BuildPacket(s);
            b.resize(length);
            ch10fix::Append(stream, b);
            ++count;
        }
    }
    rig::FrameRig r({3});
    const std::string log = r.Run(stream);
    EXPECT_EQ(r.Packets(), count);
    EXPECT_NE(log.find("Error 63:"), std::string::npos);  // the 1553 count found nothing to walk
}

}  // namespace
