// Time correlation through whole runs: every packet's computed IRIG time
// from its channel group's last time packet, the groups the TMATS's source
// bits make, what the form shows, and a directory run's second file starting
// afresh.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/ch10_bodies.h"
#include "tests/support/engine_rig.h"

namespace {

namespace fs = std::filesystem;
using ch10fix::Bytes;
using ch10fix::PacketSpec;

constexpr uint64_t kTimeRtc = 100000000;

// Day 45, 01:02:03.450 on `channel` at kTimeRtc.
Bytes TimePacket(uint16_t channel, uint64_t rtc = kTimeRtc) {
    ch10fix::TimeSpec t;
    t.channelId = channel;
    t.rtc = rtc;
    t.format = 3;  // no spacing or time-mark rules
    t.day = 45, t.hours = 1, t.minutes = 2, t.seconds = 3, t.milliseconds = 450;
    PacketSpec s = ch10fix::TimePacket(t);
    s.dataTypeVersion = 3;
    return ch10fix::BuildPacket(s);
}

Bytes Pcm(uint16_t channel, uint64_t rtc, uint8_t sequence = 0) {
    PacketSpec s;
    s.channelId = channel;
    s.dataType = 0x09;
    s.dataTypeVersion = 3;
    s.csdw = 0x5F040000;
    s.rtc = rtc;
    s.sequence = sequence;
    s.body.assign(8, 0);
    return ch10fix::BuildPacket(s);
}

struct Recording {
    std::vector<uint16_t> ids;
    std::optional<int> sourceBits;
    std::vector<Bytes> packets;

    Bytes Build() const {
        ch10fix::TmatsAttributes t = rig::Tmats(ids);
        if (sourceBits) t.Add("R-1\\NSB", std::to_string(*sourceBits));
        Bytes out = ch10fix::BuildSetupPacket(t);
        for (const Bytes& p : packets) ch10fix::Append(out, p);
        return out;
    }
};

struct Listed {
    std::string log;
    vexa::DisplaySnapshot snapshot;
};

// One recording with every packet listed in the Verbose form.
Listed Validate(const Recording& rec, int selected = 0) {
    ch10fix::TempDir dir;
    EXPECT_TRUE(ch10fix::WriteFile(dir.File("r.ch10"), rec.Build()));
    rig::Engine r;
    r->runConfig.listAllPackets = 1;
    r->runConfig.selectedChannel = selected;
    EXPECT_TRUE(r.Open(dir.File("r.ch10"), dir.Path()));
    r->Validate();
    EXPECT_TRUE(r.AwaitEnd());
    return {rig::ReadText(dir.File("validate.log")), r->Snapshot()};
}

// The listing block of the packet with this channel and sequence number.
std::string Block(const std::string& log, uint16_t channel, int sequence) {
    const std::string key = "with Sequence Number " + std::to_string(sequence) + ", Channel " + std::to_string(channel) + ",";
    const std::size_t at = log.find(key);
    if (at == std::string::npos) return {};
    const std::size_t end = log.find("Packet at offset", at);
    return log.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

bool Shows(const std::string& block, const std::string& time) { return block.find(" " + time + " ") != std::string::npos; }

TEST(TimeCorrelation, ComputedTimeFromTheGroupsLastTimePacket) {
    const Listed r = Validate({{1, 2},
                            std::nullopt,
                            {Pcm(2, 50, 0), TimePacket(1), Pcm(2, kTimeRtc + 15, 1), Pcm(2, kTimeRtc - 180798, 2)}});
    // Before any time channel: empty.
    const std::string before = Block(r.log, 2, 0);
    ASSERT_FALSE(before.empty()) << r.log;
    EXPECT_EQ(before.find(":000:"), std::string::npos) << before;
    EXPECT_TRUE(Shows(Block(r.log, 2, 1), "045:01:02:03:450:002")) << Block(r.log, 2, 1);
    EXPECT_TRUE(Shows(Block(r.log, 2, 2), "045:01:02:03:431:920")) << Block(r.log, 2, 2);
    // The time packet shows its own time (the listing adds the microseconds).
    EXPECT_TRUE(Shows(Block(r.log, 1, 0), "045:01:02:03:450:000")) << Block(r.log, 1, 0);
}

TEST(TimeCorrelation, SourceBitsMakeTheGroups) {
    struct Case {
        std::optional<int> sourceBits;
        uint16_t timeChannel;
        uint16_t channel;
        bool correlated;
    };
    const Case cases[] = {
        {3, 0x2001, 0x2005, true}, {3, 0x2001, 0x4005, false}, {0, 0x2001, 0x4005, true},
        {9, 0x2001, 0x4005, true}, {16, 0x2001, 0x4005, true}, {17, 0x2001, 0x4005, true},
        {-1, 0x2001, 0x4005, true}, {std::nullopt, 0x2001, 0x4005, true},
        {8, 0xFF01, 0xFFFF, true},  {8, 0xFE01, 0xFFFF, false},
    };
    for (const Case& c : cases) {
        const Listed r = Validate({{c.timeChannel, c.channel}, c.sourceBits, {TimePacket(c.timeChannel), Pcm(c.channel, kTimeRtc + 15)}});
        const std::string block = Block(r.log, c.channel, 0);
        ASSERT_FALSE(block.empty()) << r.log;
        // A group without a time packet: the counter in microseconds.
        const std::string time = c.correlated ? "045:01:02:03:450:002" : "000:00:00:10:000:002";
        EXPECT_TRUE(Shows(block, time)) << c.sourceBits.value_or(-99) << " " << c.channel << "\n" << block;
    }
}

TEST(TimeCorrelation, FormTextsAndSelectedCounters) {
    const Listed r = Validate({{1, 2, 3}, std::nullopt, {TimePacket(1), Pcm(2, kTimeRtc + 15, 7), Pcm(3, kTimeRtc + 30, 4),
                                                      Pcm(2, kTimeRtc + 45, 8), Pcm(3, kTimeRtc + 60, 5)}},
                           2);
    EXPECT_EQ(r.snapshot.Text(vexa::DisplayText::relTime), std::to_string(kTimeRtc + 60));
    EXPECT_EQ(r.snapshot.Text(vexa::DisplayText::irigTime), "045:01:02:03:450");
    EXPECT_EQ(r.snapshot.packetCountSelected, 2u);
    EXPECT_EQ(r.snapshot.packetSeqSelected, 8u);
    const Listed all = Validate({{1, 2}, std::nullopt, {TimePacket(1), Pcm(2, kTimeRtc + 15, 7)}});
    EXPECT_EQ(all.snapshot.packetCountSelected, 0u);
}

TEST(TimeCorrelation, VerboseRowsNameTheTypeAndCountTheChannel) {
    const Listed r = Validate({{1, 2}, std::nullopt, {TimePacket(1), Pcm(2, kTimeRtc + 15, 0), Pcm(2, kTimeRtc + 25, 1)}});
    const std::string block = Block(r.log, 2, 1);
    ASSERT_FALSE(block.empty()) << r.log;
    EXPECT_EQ(block.rfind("with Sequence Number 1, Channel 2, of Data Type: PCM - Fmt 1\r\n", 0), 0u) << block;
    // Second packet of its channel; its counter and computed time.
    EXPECT_NE(block.find("\r\n       2    1 eb25      2 "), std::string::npos) << block;
    EXPECT_NE(block.find(" " + std::to_string(kTimeRtc + 25) + " 045:01:02:03:450:003 "), std::string::npos) << block;
}

TEST(TimeCorrelation, SecondFileOfADirectoryRunStartsAfresh) {
    ch10fix::TempDir dir;
    fs::create_directories(dir.File("src"));
    fs::create_directories(dir.File("out"));
    // The first file leaves a time packet, a late counter on channel 2 and a
    // late 1553 message time; the second has earlier ones and another type on
    // channel 2.
    const auto late = ch10fix::RisingMessages(900000000, 2);
    const auto early = ch10fix::RisingMessages(20000000, 2);
    Recording first{{1, 2, 3}, std::nullopt,
                    {TimePacket(1), Pcm(2, 900000000), ch10fix::BuildPacket(ch10fix::Bus1553Packet(3, 900000000, late))}};
    PacketSpec analog = ch10fix::AnalogPacket(2, {ch10fix::AnalogWord{}});
    analog.rtc = 20000000;
    Recording second{{1, 2, 3}, std::nullopt,
                     {ch10fix::BuildPacket(analog), ch10fix::BuildPacket(ch10fix::Bus1553Packet(3, 20000000, early))}};
    ASSERT_TRUE(ch10fix::WriteFile(dir.File("src/a.ch10"), first.Build()));
    ASSERT_TRUE(ch10fix::WriteFile(dir.File("src/b.ch10"), second.Build()));
    rig::Engine r;
    r->runConfig.listAllPackets = 1;
    ASSERT_TRUE(r.Open(dir.File("src"), dir.File("out"), 0));
    r->Validate();
    ASSERT_TRUE(r.AwaitEnd());
    std::string log;
    for (const auto& e : fs::directory_iterator(dir.File("out")))
        if (e.path().string().ends_with(".b.log")) log = rig::ReadText(e.path().string());
    ASSERT_FALSE(log.empty());
    for (const char* number : {"Error 62:", "Error 73:", "Error 133:", "Error 5:"})
        EXPECT_EQ(log.find(number), std::string::npos) << number << "\n" << log;
    // No time channel in this file yet: nothing correlated.
    EXPECT_EQ(Block(log, 2, 0).find(":000:"), std::string::npos) << Block(log, 2, 0);
}

}  // namespace

namespace {

// A TMATS of channels with their own data type words.
Bytes Setup(const std::vector<std::pair<uint16_t, const char*>>& channels) {
    ch10fix::TmatsAttributes t{{"G\\PN", "ORDER"}, {"G\\106", "07"}, {"R-1\\ID", "REC"}};
    t.Add("R-1\\N", std::to_string(channels.size()));
    for (std::size_t i = 0; i < channels.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        t.Add("R-1\\TK1-" + n, std::to_string(channels[i].first));
        t.Add("R-1\\DSI-" + n, "CH" + n);
        t.Add("R-1\\CDT-" + n, channels[i].second);
    }
    return ch10fix::BuildSetupPacket(t);
}

// The compact rows of `channel` in a Space Delimited run.
std::string CompactRows(const std::vector<Bytes>& packets, uint16_t channel) {
    ch10fix::TempDir dir;
    Bytes file = Setup({{1, "TIMIN"}, {5, "1553IN"}});
    for (const Bytes& p : packets) ch10fix::Append(file, p);
    EXPECT_TRUE(ch10fix::WriteFile(dir.File("r.ch10"), file));
    rig::Engine r;
    vexa::Engine().spaceDelimited = true;
    EXPECT_TRUE(r.Open(dir.File("r.ch10"), dir.Path()));
    r->Validate();
    EXPECT_TRUE(r.AwaitEnd());
    vexa::Engine().spaceDelimited = false;
    return rig::ReadText(dir.File("validate.log_chan" + std::to_string(channel)));
}

Bytes OrderTime(int second, uint8_t sequence, uint8_t format = 0) {
    ch10fix::TimeSpec t;
    t.channelId = 1;
    t.rtc = 500 + static_cast<uint64_t>(second) * 10000000;
    t.seconds = second;
    t.format = format;
    PacketSpec s = ch10fix::TimePacket(t);
    s.dataTypeVersion = 3;
    s.sequence = sequence;
    return ch10fix::BuildPacket(s);
}

TEST(FindingOrder, SectionsRaiseInTheirOrder) {
    // A second 1553 packet with its counter behind the first's (133), an odd
    // length (45), one message more than counted (64) and a checksum where
    // the first had none (74).
    PacketSpec first = ch10fix::Bus1553Packet(5, 2000, ch10fix::RisingMessages(2000, 2));
    first.dataTypeVersion = 3;
    PacketSpec second = ch10fix::Bus1553Packet(5, 1000, ch10fix::RisingMessages(3000, 2), 1u);
    second.dataTypeVersion = 3;
    second.sequence = 1;
    second.checksum = ch10fix::Checksum::Sum8;
    second.checksumAfterData = true;
    Bytes odd = ch10fix::BuildPacket(second);
    const uint32_t oddLength = 24 + ch10fix::Get32(odd, 8) + 1;
    second.packetLengthOverride = oddLength;
    odd = ch10fix::BuildPacket(second);
    odd.resize(oddLength);
    const std::string bus = CompactRows({OrderTime(0, 0), ch10fix::BuildPacket(first), odd}, 5);
    EXPECT_NE(bus.find(" 133,45,64,74\r\n"), std::string::npos) << bus;

    // A time packet of an undefined format whose sequence number jumps.
    const std::string time = CompactRows({OrderTime(0, 0, 6), OrderTime(1, 5, 6)}, 1);
    EXPECT_NE(time.find(" 15,42\r\n"), std::string::npos) << time;
}

}  // namespace
