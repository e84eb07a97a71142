#include "ch10_bodies.h"

namespace ch10fix {

namespace {

uint32_t Bcd(int value, int digits) {
    uint32_t out = 0;
    for (int i = 0; i < digits; ++i, value /= 10) out |= static_cast<uint32_t>(value % 10) << (4 * i);
    return out;
}

void Put64(Bytes& b, uint64_t v) {
    for (int i = 0; i < 8; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void PutLe16(Bytes& b, uint16_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
void PutLe32(Bytes& b, uint32_t v) {
    PutLe16(b, static_cast<uint16_t>(v));
    PutLe16(b, static_cast<uint16_t>(v >> 16));
}

}  // namespace

uint32_t TimeCsdw(const TimeSpec& t) {
    if (t.csdwRaw) return *t.csdwRaw;
    return (t.source & 0xFu) | (t.format & 0xFu) << 4 | (t.leapYear ? 1u : 0u) << 8 | (t.monthDay ? 1u : 0u) << 9 |
           (t.reservedDate & 3u) << 10 | t.reservedHigh << 12;
}

uint32_t TimeWord0(const TimeSpec& t) {
    if (t.word0Raw) return *t.word0Raw;
    const int tenths = t.milliseconds / 10;  // tens of ms, then hundreds
    return Bcd(tenths, 2) | Bcd(t.seconds, 2) << 8 | Bcd(t.minutes, 2) << 16 | Bcd(t.hours, 2) << 24;
}

uint32_t TimeWord1(const TimeSpec& t) {
    if (t.word1Raw) return *t.word1Raw;
    if (!t.monthDay) return Bcd(t.day, 3);
    return Bcd(t.day, 2) | Bcd(t.month, 2) << 8 | Bcd(t.year, 4) << 16;
}

PacketSpec TimePacket(const TimeSpec& t) {
    PacketSpec s;
    s.channelId = t.channelId;
    s.dataType = 0x11;
    s.dataTypeVersion = 0x06;
    s.rtc = t.rtc;
    s.csdw = TimeCsdw(t);
    PutLe32(s.body, TimeWord0(t));
    PutLe32(s.body, TimeWord1(t));
    return s;
}

PacketSpec Bus1553Packet(uint16_t channelId, uint64_t rtc, const std::vector<BusMessage>& messages,
                         std::optional<uint32_t> count) {
    PacketSpec s;
    s.channelId = channelId;
    s.dataType = 0x19;
    s.dataTypeVersion = 0x06;
    s.rtc = rtc;
    s.csdw = count.value_or(static_cast<uint32_t>(messages.size()));
    for (const BusMessage& m : messages) {
        Put64(s.body, m.stamp);
        PutLe16(s.body, m.blockStatus);
        PutLe16(s.body, m.gapTimes);
        PutLe16(s.body, m.lengthField.value_or(m.dataBytes));
        for (uint16_t i = 0; i < m.dataBytes; ++i) s.body.push_back(static_cast<uint8_t>(i * 7 + 1));
    }
    return s;
}

std::vector<BusMessage> RisingMessages(uint64_t firstStamp, int n) {
    std::vector<BusMessage> out;
    for (int i = 0; i < n; ++i) {
        BusMessage m;
        m.stamp = firstStamp + static_cast<uint64_t>(i) * 10;
        out.push_back(m);
    }
    return out;
}

PacketSpec EthernetPacket(uint16_t channelId, uint64_t rtc, const std::vector<EthernetFrame>& frames,
                          std::optional<uint16_t> count) {
    PacketSpec s;
    s.channelId = channelId;
    s.dataType = 0x68;
    s.dataTypeVersion = 0x06;
    s.rtc = rtc;
    s.csdw = count.value_or(static_cast<uint16_t>(frames.size()));
    for (const EthernetFrame& f : frames) {
        Put64(s.body, f.stamp);
        PutLe32(s.body, (f.dataBytes & 0x3FFFu) | (f.speed & 0xFu) << 24 | (f.content & 3u) << 28);
        for (uint16_t i = 0; i < f.dataBytes; ++i) s.body.push_back(static_cast<uint8_t>(i + 3));
        if (f.dataBytes & 1) s.body.push_back(0);
    }
    return s;
}

uint32_t AnalogWordValue(const AnalogWord& w) {
    return (w.mode & 3u) | (w.length & 0x3Fu) << 2 | static_cast<uint32_t>(w.subchan) << 8 |
           static_cast<uint32_t>(w.totchan) << 16 | (w.factor & 0xFu) << 24 | (w.same ? 1u : 0u) << 28;
}

PacketSpec AnalogPacket(uint16_t channelId, const std::vector<AnalogWord>& words, std::size_t samples) {
    PacketSpec s;
    s.channelId = channelId;
    s.dataType = 0x21;
    s.dataTypeVersion = 0x06;
    s.csdw = words.empty() ? 0u : AnalogWordValue(words.front());
    for (std::size_t i = 1; i < words.size(); ++i) PutLe32(s.body, AnalogWordValue(words[i]));
    for (std::size_t i = 0; i < samples; ++i) s.body.push_back(static_cast<uint8_t>(i));
    return s;
}

}  // namespace ch10fix
