#include "tools/sample_recording.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "ch10_bodies.h"
#include "tests/support/tmats_builder.h"

namespace ch10gen {

using namespace ch10fix;

namespace {

constexpr uint16_t kBusMessageBytes = 64;

TmatsAttributes SampleTmats() {
    return TmatsAttributes{
        {"G\\PN", "SAMPLE"},     {"G\\106", "07"},        {"G\\DSI\\N", "1"},      {"G\\DSI-1", "DATASOURCE"},
        {"R-1\\ID", "RECORDER"}, {"R-1\\N", "3"},         {"R-1\\TK1-1", "1"},     {"R-1\\DSI-1", "TIME"},
        {"R-1\\CDT-1", "TIMIN"}, {"R-1\\TK1-2", "2"},     {"R-1\\DSI-2", "PCM1"},  {"R-1\\CDT-2", "PCMIN"},
        {"R-1\\TK1-3", "3"},     {"R-1\\DSI-3", "BUS1"},  {"R-1\\CDT-3", "1553IN"},
    };
}

// The setup record declares file data version 7 (CSDW byte 0x07); every
// packet carries a data type version that version accepts.
constexpr uint8_t kSetupVersionByte = 0x07;
constexpr uint8_t kDataTypeVersion = 0x03;
// PCM: unpacked, intra-packet headers, major and minor frame locked.
constexpr uint32_t kPcmCsdw = 0x5F040000;

Bytes SetupPacket() {
    PacketSpec setup;
    setup.dataType = 0x01;
    setup.dataTypeVersion = kDataTypeVersion;
    setup.csdw = kSetupVersionByte;
    const std::string text = SampleTmats().Text();
    setup.body.assign(text.begin(), text.end());
    return BuildPacket(setup);
}

// IRIG-B, day-of-year time: day 100 00:00:00 plus `second` seconds.
Bytes TimePacket(uint8_t sequence, uint64_t rtc, uint32_t second) {
    TimeSpec t;
    t.channelId = 1;
    t.rtc = rtc;
    t.day = 100 + static_cast<int>(second / 86400);
    t.hours = static_cast<int>(second / 3600 % 24);
    t.minutes = static_cast<int>(second / 60 % 60);
    t.seconds = static_cast<int>(second % 60);
    PacketSpec time = ch10fix::TimePacket(t);
    time.sequence = sequence;
    time.dataTypeVersion = kDataTypeVersion;
    return BuildPacket(time);
}

// About `bytes` of 1553 messages of 64 data bytes each, stamped 1 us apart
// from the packet's counter on.
PacketSpec BusPacket(uint8_t sequence, uint64_t rtc, std::size_t bytes) {
    const int count = static_cast<int>(std::max<std::size_t>(1, bytes / (kBusMessageBytes + 14)));
    std::vector<BusMessage> messages = RisingMessages(rtc, count);
    for (BusMessage& m : messages) m.dataBytes = kBusMessageBytes;
    PacketSpec bus = Bus1553Packet(3, rtc, messages);
    bus.sequence = sequence;
    bus.dataTypeVersion = kDataTypeVersion;
    bus.checksum = Checksum::Sum32;
    return bus;
}

PacketSpec PcmPacket(uint16_t channelId, uint8_t sequence, uint64_t rtc, Bytes body) {
    PacketSpec pcm;
    pcm.channelId = channelId;
    pcm.dataType = 0x09;
    pcm.dataTypeVersion = kDataTypeVersion;
    pcm.sequence = sequence;
    pcm.rtc = rtc;
    pcm.csdw = kPcmCsdw;
    pcm.body = std::move(body);
    return pcm;
}

}  // namespace

Bytes SampleRecording() {
    Bytes out = SetupPacket();
    uint8_t seq[4] = {1, 0, 0, 0};
    for (int i = 0; i < 8; ++i) {
        uint64_t rtc = 10'000'000ull * static_cast<uint64_t>(i + 1);
        Append(out, TimePacket(seq[1]++, rtc, static_cast<uint32_t>(i)));

        PacketSpec pcm = PcmPacket(2, seq[2]++, rtc + 1000, Bytes(64, static_cast<uint8_t>(i)));
        pcm.checksum = Checksum::Sum16;
        Append(out, BuildPacket(pcm));

        Append(out, BuildPacket(BusPacket(seq[3]++, rtc + 2000, 2 * (kBusMessageBytes + 14))));

        if (i == 3) Append(out, Bytes(37, 0xA5));  // garbage the validator must skip
        if (i == 5)  // a channel the TMATS does not declare
            Append(out, BuildPacket(PcmPacket(9, 0, rtc + 3000, Bytes(16, 1))));
    }
    return out;
}

namespace {

// Messages of 1-36 words until about `size` bytes; returns the body and
// sets `count`.
template <class Next>
Bytes BusMessages(uint32_t size, uint64_t rtc, uint32_t& count, Next& next) {
    Bytes b;
    auto add16 = [&b](uint32_t v) {
        b.push_back(static_cast<uint8_t>(v));
        b.push_back(static_cast<uint8_t>(v >> 8));
    };
    count = 0;
    while (b.size() < size) {
        const uint32_t r = next();
        const uint32_t words = 1 + r % 36;
        const bool rtToRt = (r >> 8) % 4 == 0;
        const bool statusBits = (r >> 12) % 2 == 0;
        const uint64_t stamp = rtc + 100ull * count;
        for (int i = 0; i < 4; ++i) add16(static_cast<uint32_t>(stamp >> (16 * i)));
        add16((rtToRt ? 0x0800u : 0u) | (statusBits ? 0x2000u | ((r >> 16) & 0x1038u) : 0u));
        add16(0x1E32);
        add16(2 * words);
        for (uint32_t w = 0; w < words; ++w) add16(next());
        ++count;
    }
    return b;
}

}  // namespace

bool WriteStream(const std::string& path, uint64_t targetBytes, uint32_t seed) {
    return WriteStream(path, targetBytes, seed, StreamOptions{});
}

bool WriteStream(const std::string& path, uint64_t targetBytes, uint32_t seed, const StreamOptions& options) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
    if (!file) return false;
    auto put = [&](const Bytes& b) { return std::fwrite(b.data(), 1, b.size(), file.get()) == b.size(); };

    uint32_t state = seed ? seed : 1;
    auto next = [&] {  // xorshift: reproducible sizes and contents
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    };
    uint64_t written = 0;
    Bytes setup = SetupPacket();
    if (!put(setup)) return false;
    written += setup.size();

    uint8_t seq[4] = {0, 0, 0, 0};
    uint64_t rtc = 10'000'000ull;
    uint64_t nextTime = rtc;
    uint32_t second = 0;
    while (written < targetBytes) {
        if (rtc >= nextTime) {
            Bytes t = TimePacket(seq[1]++, rtc, second++);
            if (!put(t)) return false;
            written += t.size();
            nextTime += 10'000'000ull;  // one second of relative time
        }
        const bool isPcm = (next() & 1) != 0 && !options.busOnly;
        uint32_t size = 4096 + (next() % (60 * 1024));
        if (options.packetBytes) size = std::max<uint32_t>(options.packetBytes, 64) - 28;  // header and data word
        PacketSpec spec;
        if (isPcm) {
            spec = PcmPacket(2, seq[2]++, rtc, Bytes(size & ~3u, static_cast<uint8_t>(next())));
            spec.checksum = Checksum::Sum16;
        } else {
            spec = BusPacket(seq[3]++, rtc, options.busMessages ? 0 : size);
            if (options.busMessages) {  // varied message shapes for the decoders
                uint32_t messages = 0;
                spec.body = BusMessages(size & ~3u, rtc, messages, next);
                spec.csdw = messages;
            }
        }
        Bytes packet = BuildPacket(spec);
        if (!put(packet)) return false;
        written += packet.size();
        rtc += 50'000;  // 5 ms of data per packet
    }
    return std::fflush(file.get()) == 0;
}

}  // namespace ch10gen
