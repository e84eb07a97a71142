#pragma once
// Generated recordings for the browse tests: a setup packet, time packets
// one second apart with consistent counters, data packets of chosen
// lengths on a few channels, and the list of what was written, so that
// tests never parse the bytes back.
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/ch10_bodies.h"
#include "tests/support/ch10_fixture.h"
#include "tests/support/tmats_builder.h"

namespace sandraltest {

struct Written {
    int64_t offset;
    uint16_t channel;
    uint8_t dataType;
    double timeUsec;  // the packet's IRIG time
};

struct GenSpec {
    int dataPackets = 40;
    std::vector<uint16_t> channels{2, 3};
    uint32_t minLength = 200;
    uint32_t maxLength = 600;
    uint32_t timeEveryBytes = 0;  // 0: one time packet after the setup packet only
    bool secondaryHeaders = false;
    bool cutLast = false;  // a last data packet cut short
    bool setup = true;
};

struct Generated {
    ch10fix::Bytes bytes;
    std::vector<Written> packets;  // whole packets, in order

    int64_t Size() const { return static_cast<int64_t>(bytes.size()); }
    std::vector<int64_t> Offsets(int channel = -1) const {
        std::vector<int64_t> out;
        for (const Written& w : packets)
            if (channel < 0 || w.channel == channel) out.push_back(w.offset);
        return out;
    }
};

inline ch10fix::TmatsAttributes GenTmats() {
    ch10fix::TmatsAttributes t{{"G\\PN", "RIG"}, {"G\\106", "07"}, {"R-1\\ID", "REC"}, {"R-1\\N", "4"}};
    const char* types[] = {"TIMIN", "PCMIN", "1553IN", "ANAIN"};
    for (int i = 1; i <= 4; ++i) {
        const std::string n = std::to_string(i);
        t.Add("R-1\\TK1-" + n, n);
        t.Add("R-1\\DSI-" + n, "CH" + n);
        t.Add("R-1\\CHE-" + n, i == 4 ? "F" : "T");
        t.Add("R-1\\CDT-" + n, types[i - 1]);
    }
    return t;
}

constexpr double kDayOne = 86400000000.0;
constexpr uint64_t kTicksPerSecond = 10000000;

inline ch10fix::Bytes TimePacketAt(int second, bool secondary) {
    ch10fix::TimeSpec t;
    t.channelId = 1;
    t.rtc = static_cast<uint64_t>(second) * kTicksPerSecond;
    t.hours = second / 3600;
    t.minutes = second / 60 % 60;
    t.seconds = second % 60;
    ch10fix::PacketSpec spec = ch10fix::TimePacket(t);
    spec.secondaryHeader = secondary;
    return ch10fix::BuildPacket(spec);
}

// Data packets fill the time between time packets at 1 ms per packet.
inline Generated Generate(const GenSpec& g) {
    Generated out;
    auto add = [&](const ch10fix::Bytes& p, uint16_t ch, uint8_t type, double time) {
        out.packets.push_back({out.Size(), ch, type, time});
        ch10fix::Append(out.bytes, p);
    };
    if (g.setup) add(ch10fix::BuildSetupPacket(GenTmats()), 0, 1, 0);
    int second = 0;
    int sinceTime = 0;
    int64_t nextTimeAt = 0;
    auto addTime = [&]() {
        add(TimePacketAt(second, g.secondaryHeaders), 1, 0x11, kDayOne + second * 1e6);
        sinceTime = 0;
        nextTimeAt = out.Size() + g.timeEveryBytes;
    };
    addTime();
    uint32_t length = g.minLength;
    for (int k = 0; k < g.dataPackets; ++k) {
        if (g.timeEveryBytes && out.Size() >= nextTimeAt) {
            ++second;
            addTime();
        }
        ch10fix::PacketSpec spec;
        spec.channelId = g.channels[static_cast<std::size_t>(k) % g.channels.size()];
        spec.dataType = 0x09;
        spec.rtc = static_cast<uint64_t>(second) * kTicksPerSecond + static_cast<uint64_t>(++sinceTime) * 10000;
        spec.secondaryHeader = g.secondaryHeaders;
        spec.body.assign(length - 28 - (g.secondaryHeaders ? 12 : 0), static_cast<uint8_t>(k));
        const double time = kDayOne + second * 1e6 + sinceTime * 1000.0;
        add(ch10fix::BuildPacket(spec), spec.channelId, 0x09, time);
        length = g.minLength + (length - g.minLength + 4 * 7919) % (g.maxLength - g.minLength + 4);
        length &= ~3u;
        if (length < g.minLength) length = g.minLength;
    }
    if (g.cutLast) {
        ch10fix::PacketSpec spec;
        spec.channelId = g.channels[0];
        spec.dataType = 0x09;
        spec.body.assign(1000, 0x5A);
        ch10fix::Bytes cut = ch10fix::BuildPacket(spec);
        cut.resize(cut.size() / 2);
        ch10fix::Append(out.bytes, cut);
    }
    return out;
}

}  // namespace sandraltest
