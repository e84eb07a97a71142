#include "tools/sample_recording.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "ch10_bodies.h"
#include "tests/support/pcm_packet_builder.h"
#include "tests/support/tmats_builder.h"

namespace ch10gen {

using namespace ch10fix;

namespace {

constexpr uint16_t kBusMessageBytes = 64;
// A BC-RT message of 30 data words: command, data, status.
constexpr int kBusDataWords = kBusMessageBytes / 2 - 2;
constexpr uint16_t kBusGap1 = 40;  // 4 us, inside the bus's 4-12 us

// The PCM channel: unpacked 16-bit words, a 16-bit sync word, the frame ID
// counter in the word after it counting 0-3, 62 data words. The stream's
// frames come every 100 us (10.24 Mbit/s); the sample's, one per packet, every second.
constexpr int kPcmWords = 64;
constexpr int kPcmFrameBits = kPcmWords * 16;
constexpr uint16_t kPcmSync = 0xEB90;
constexpr int kPcmFrames = 4;
constexpr uint64_t kStreamFrameTicks = 1000;
constexpr uint64_t kSampleFrameTicks = 10'000'000;
constexpr uint64_t kPacketTicks = 50'000;  // 5 ms of data per packet of the stream

TmatsAttributes SampleTmats(uint64_t frameTicks) {
    TmatsAttributes t{
        {"G\\PN", "SAMPLE"},     {"G\\106", "07"},        {"G\\DSI\\N", "1"},      {"G\\DSI-1", "DATASOURCE"},
        {"R-1\\ID", "RECORDER"}, {"R-1\\N", "3"},         {"R-1\\TK1-1", "1"},     {"R-1\\DSI-1", "TIME"},
        {"R-1\\CDT-1", "TIMIN"}, {"R-1\\TK1-2", "2"},     {"R-1\\DSI-2", "PCM1"},  {"R-1\\CDT-2", "PCMIN"},
        {"R-1\\TK1-3", "3"},     {"R-1\\DSI-3", "BUS1"},  {"R-1\\CDT-3", "1553IN"},
    };
    // The frame layout of the PCM channel's format group.
    t.Add("R-1\\PDP-2", "UN");
    t.Add("P-1\\DLN", "PCM1");
    t.Add("P-1\\D2", std::to_string(kPcmFrameBits * 10'000'000ull / frameTicks));
    t.Add("P-1\\D4", "N");
    t.Add("P-1\\F1", "16");
    t.Add("P-1\\F2", "M");
    t.Add("P-1\\MF\\N", std::to_string(kPcmFrames));
    t.Add("P-1\\MF1", std::to_string(kPcmWords));
    t.Add("P-1\\MF2", std::to_string(kPcmFrameBits));
    t.Add("P-1\\MF4", "16");
    t.Add("P-1\\MF5", "1110101110010000");
    t.Add("P-1\\ISF\\N", "1");
    t.Add("P-1\\IDC1-1", "1");
    t.Add("P-1\\IDC2-1", "16");
    t.Add("P-1\\IDC3-1", "1");
    t.Add("P-1\\IDC4-1", "16");
    t.Add("P-1\\IDC6-1", "0");
    t.Add("P-1\\IDC8-1", std::to_string(kPcmFrames - 1));
    t.Add("P-1\\IDC10-1", "INC");
    return t;
}

// The setup record declares file data version 7 (CSDW byte 0x07); every
// packet carries a data type version that version accepts.
constexpr uint8_t kSetupVersionByte = 0x07;
constexpr uint8_t kDataTypeVersion = 0x03;
// PCM: unpacked, intra-packet headers, major and minor frame locked.
constexpr uint32_t kPcmCsdw = 0x5F040000;

Bytes SetupPacket(uint64_t frameTicks) {
    PacketSpec setup;
    setup.dataType = 0x01;
    setup.dataTypeVersion = kDataTypeVersion;
    setup.csdw = kSetupVersionByte;
    const std::string text = SampleTmats(frameTicks).Text();
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

// What links a channel's packets: the next frame's time and ID, the next
// simulated value of each channel.
struct ChannelRun {
    uint64_t nextFrame = 0;
    uint16_t frameId = 0;
    uint16_t pcmValue = 0;
    uint16_t busValue = 0;
};

void Put16(Bytes& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}

// About `bytes` of 1553 BC-RT messages of 64 bytes each (RT 1, subaddress 1,
// 30 data words rising 0-95 as simulated data does), stamped 1 us apart from
// the packet's counter on; every second on bus B.
PacketSpec BusPacket(uint8_t sequence, uint64_t rtc, std::size_t bytes, ChannelRun& run) {
    const int count = static_cast<int>(std::max<std::size_t>(1, bytes / (kBusMessageBytes + 14)));
    PacketSpec bus = Bus1553Packet(3, rtc, {});
    bus.csdw = static_cast<uint32_t>(count);
    for (int i = 0; i < count; ++i) {
        const uint64_t stamp = rtc + 10ull * static_cast<uint64_t>(i);
        for (int k = 0; k < 4; ++k) Put16(bus.body, static_cast<uint32_t>(stamp >> (16 * k)));
        Put16(bus.body, i % 2 == 1 ? 0x2000u : 0u);  // bus B, no error bit
        Put16(bus.body, kBusGap1);
        Put16(bus.body, kBusMessageBytes);
        Put16(bus.body, 1u << 11 | 1u << 5 | kBusDataWords);
        for (int w = 0; w < kBusDataWords; ++w) {
            Put16(bus.body, run.busValue);
            run.busValue = run.busValue == 95 ? 0 : static_cast<uint16_t>(run.busValue + 1);
        }
        Put16(bus.body, 1u << 11);  // status word of RT 1
    }
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

// `frames` minor frames of the PCM channel from its next frame time on, each
// `frameTicks` after the last: sync, frame ID, rising data words.
PacketSpec PcmFrames(uint8_t sequence, int frames, uint64_t frameTicks, ChannelRun& run) {
    ch10fix::PcmPacket p;
    p.channelId = 2;
    p.csdw = kPcmCsdw;
    p.frameDataBytes = kPcmWords * 2;
    p.rtc = run.nextFrame;
    for (int f = 0; f < frames; ++f) {
        PcmFrame frame;
        frame.stamp = run.nextFrame;
        frame.words = {kPcmSync, run.frameId};
        for (int w = 2; w < kPcmWords; ++w) frame.words.push_back(run.pcmValue++);
        p.frames.push_back(std::move(frame));
        run.nextFrame += frameTicks;
        run.frameId = static_cast<uint16_t>((run.frameId + 1) % kPcmFrames);
    }
    PacketSpec spec = PcmPacketSpec(p);
    spec.dataTypeVersion = kDataTypeVersion;
    spec.sequence = sequence;
    spec.checksum = Checksum::Sum16;
    return spec;
}

}  // namespace

Bytes SampleRecording() {
    Bytes out = SetupPacket(kSampleFrameTicks);
    uint8_t seq[4] = {1, 0, 0, 0};
    ChannelRun run;
    run.nextFrame = 10'000'000ull + 1000;
    for (int i = 0; i < 8; ++i) {
        uint64_t rtc = 10'000'000ull * static_cast<uint64_t>(i + 1);
        Append(out, TimePacket(seq[1]++, rtc, static_cast<uint32_t>(i)));
        Append(out, BuildPacket(PcmFrames(seq[2]++, 1, kSampleFrameTicks, run)));
        Append(out, BuildPacket(BusPacket(seq[3]++, rtc + 2000, 2 * (kBusMessageBytes + 14), run)));

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
    Bytes setup = SetupPacket(kStreamFrameTicks);
    if (!put(setup)) return false;
    written += setup.size();

    uint8_t seq[4] = {0, 0, 0, 0};
    uint64_t rtc = 10'000'000ull;
    uint64_t nextTime = rtc;
    uint32_t second = 0;
    ChannelRun run;
    run.nextFrame = rtc;
    // Packets of one small size hold one PCM frame's time each.
    const uint64_t packetTicks = options.packetBytes ? kStreamFrameTicks : kPacketTicks;
    while (written < targetBytes) {
        if (rtc >= nextTime) {
            Bytes t = TimePacket(seq[1]++, rtc, second++);
            if (!put(t)) return false;
            written += t.size();
            nextTime += 10'000'000ull;  // one second of relative time
        }
        // The PCM channel records without a break: each of its packets holds
        // the frames since its last one up to this packet's end, and one
        // comes at least every four packets, well inside the 100 ms a packet may span.
        const uint64_t pcmDue = rtc + packetTicks > run.nextFrame ? rtc + packetTicks - run.nextFrame : 0;
        const bool isPcm = ((next() & 1) != 0 || pcmDue >= 4 * packetTicks) && !options.busOnly;
        uint32_t size = 4096 + (next() % (60 * 1024));
        if (options.packetBytes) size = std::max<uint32_t>(options.packetBytes, 64) - 28;  // header and data word
        PacketSpec spec;
        if (isPcm) {
            spec = PcmFrames(seq[2]++, static_cast<int>(std::max<uint64_t>(1, pcmDue / kStreamFrameTicks)),
                             kStreamFrameTicks, run);
        } else {
            spec = BusPacket(seq[3]++, rtc, options.busMessages ? 0 : size, run);
            if (options.busMessages) {  // varied message shapes for the decoders
                uint32_t messages = 0;
                spec.body = BusMessages(size & ~3u, rtc, messages, next);
                spec.csdw = messages;
            }
        }
        Bytes packet = BuildPacket(spec);
        if (!put(packet)) return false;
        written += packet.size();
        rtc += packetTicks;
    }
    return std::fflush(file.get()) == 0;
}

}  // namespace ch10gen
