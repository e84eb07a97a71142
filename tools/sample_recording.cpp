#include "sample_recording.h"

#include <cstdio>
#include <memory>

#include "tmats_builder.h"

namespace ch10gen {

using namespace ch10fix;

namespace {

TmatsAttributes SampleTmats() {
    return TmatsAttributes{
        {"G\\PN", "SAMPLE"},     {"G\\106", "07"},        {"G\\DSI\\N", "1"},      {"G\\DSI-1", "DATASOURCE"},
        {"R-1\\ID", "RECORDER"}, {"R-1\\N", "3"},         {"R-1\\TK1-1", "1"},     {"R-1\\DSI-1", "TIME"},
        {"R-1\\CDT-1", "TIMIN"}, {"R-1\\TK1-2", "2"},     {"R-1\\DSI-2", "PCM1"},  {"R-1\\CDT-2", "PCMIN"},
        {"R-1\\TK1-3", "3"},     {"R-1\\DSI-3", "BUS1"},  {"R-1\\CDT-3", "1553IN"},
    };
}

Bytes TimePacket(uint8_t sequence, uint64_t rtc) {
    PacketSpec time;
    time.channelId = 1;
    time.dataType = 0x11;
    time.sequence = sequence;
    time.rtc = rtc;
    time.body = Bytes(8, 0);
    return BuildPacket(time);
}

}  // namespace

Bytes SampleRecording() {
    Bytes out = BuildSetupPacket(SampleTmats());
    uint8_t seq[4] = {1, 0, 0, 0};
    for (int i = 0; i < 8; ++i) {
        uint64_t rtc = 10'000'000ull * static_cast<uint64_t>(i + 1);
        Append(out, TimePacket(seq[1]++, rtc));

        PacketSpec pcm;
        pcm.channelId = 2;
        pcm.dataType = 0x09;
        pcm.sequence = seq[2]++;
        pcm.rtc = rtc + 1000;
        pcm.body = Bytes(64, static_cast<uint8_t>(i));
        pcm.checksum = Checksum::Sum16;
        Append(out, BuildPacket(pcm));

        PacketSpec bus;
        bus.channelId = 3;
        bus.dataType = 0x19;
        bus.sequence = seq[3]++;
        bus.rtc = rtc + 2000;
        bus.csdw = 1;
        bus.body = Bytes(20, 0x55);
        bus.checksum = Checksum::Sum32;
        Append(out, BuildPacket(bus));

        if (i == 3) Append(out, Bytes(37, 0xA5));  // garbage the validator must skip
        if (i == 5) {
            PacketSpec stray;
            stray.channelId = 9;  // not declared in the TMATS
            stray.dataType = 0x09;
            stray.rtc = rtc + 3000;
            stray.body = Bytes(16, 1);
            Append(out, BuildPacket(stray));
        }
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
    Bytes setup = BuildSetupPacket(SampleTmats());
    if (!put(setup)) return false;
    written += setup.size();

    uint8_t seq[4] = {0, 0, 0, 0};
    uint64_t rtc = 10'000'000ull;
    uint64_t nextTime = rtc;
    Bytes body;
    while (written < targetBytes) {
        if (rtc >= nextTime) {
            Bytes t = TimePacket(seq[1]++, rtc);
            if (!put(t)) return false;
            written += t.size();
            nextTime += 10'000'000ull;  // one second of relative time
        }
        const bool isPcm = (next() & 1) != 0 && !options.busOnly;
        const uint32_t size = 4096 + (next() % (60 * 1024));
        uint32_t messages = 1;
        if (options.busMessages && !isPcm) body = BusMessages(size & ~3u, rtc, messages, next);
        else body.assign(size & ~3u, static_cast<uint8_t>(next()));
        PacketSpec spec;
        spec.rtc = rtc;
        spec.body = body;
        if (isPcm) {
            spec.channelId = 2;
            spec.dataType = 0x09;
            spec.sequence = seq[2]++;
            spec.checksum = Checksum::Sum16;
        } else {
            spec.channelId = 3;
            spec.dataType = 0x19;
            spec.sequence = seq[3]++;
            spec.csdw = messages;
            spec.checksum = Checksum::Sum32;
        }
        Bytes packet = BuildPacket(spec);
        if (!put(packet)) return false;
        written += packet.size();
        rtc += 50'000;  // 5 ms of data per packet
    }
    return std::fflush(file.get()) == 0;
}

}  // namespace ch10gen
