// The PCM and MIL-STD-1553 body checks on 64 KiB clean packets, through the
// engine's body checks object as the listing's dispatch calls it: PCM in
// unpacked 16-bit and packed 32-bit-aligned frames, 1553 in mixed messages.
// Each reports MB/s of packet bytes; a finding would make the figure
// meaningless, so the run stops with an error when one appears.
#include <benchmark/benchmark.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "ch10/packet_header.h"
#include "ch10/packet_view.h"
#include "tests/support/ch10_bodies.h"
#include "tests/support/ch10_fixture.h"
#include "tests/support/pcm_packet_builder.h"
#include "vexa/engine/body_checks.h"
#include "vexa/engine/run_outputs.h"

namespace {

using ch10fix::Bytes;

constexpr std::size_t kPacketBytes = 64 * 1024;
constexpr uint16_t kSync = 0xEB90;
constexpr int kWords = 64;
constexpr uint64_t kFrameTicks = 1000;  // 1024 bits at 10.24 Mbit/s

// The generated recordings' format: sync, FID 0..3, 62 data words of 16 bits.
PCM_CHAN_INFO PcmRecord() {
    PCM_CHAN_INFO r{};
    r.ChannelID = 2;
    r.BitRate = 10'240'000;
    r.WordLength = 16;
    r.NumFrames = 4;
    r.NumWords = kWords;
    r.BitsInMinorFrame = kWords * 16;
    r.SyncPatternLength = 16;
    r.SyncPattern = kSync;
    r.SyncMask = 0xFFFF;
    r.FrameIDPosition = 1;
    r.IDCWordLength = 16;
    r.IDCStartBit = 1;
    r.IDCLength = 16;
    r.IDCEndValue = 3;
    return r;
}

// Frames continuing from `next` (stamp and FID), about 64 KiB of them.
Bytes PcmPacket(uint32_t modeBits, uint64_t& next, uint16_t& fid) {
    ch10fix::PcmPacket p;
    p.channelId = 2;
    p.csdw = modeBits | ch10fix::kPcmIph | ch10fix::kPcmMi | 0xFu << 24;
    p.frameDataBytes = 2 * kWords;
    p.rtc = next;
    const std::size_t step = 2 * kWords + ((modeBits & ch10fix::kPcmAlign32) ? 12 : 10);
    std::vector<uint16_t> words(kWords, 0x5A5A);
    words[0] = kSync;
    for (std::size_t at = 0; at + step <= kPacketBytes - 28; at += step) {
        words[1] = fid;
        p.frames.push_back({next, ch10fix::kPcmInLock, words});
        next += kFrameTicks;
        fid = static_cast<uint16_t>((fid + 1) % 4);
    }
    return ch10fix::BuildPacket(ch10fix::PcmPacketSpec(p));
}

void Put16(Bytes& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}

// BC-RT, RT-BC, RT-RT and mode-code messages in turn, each with its words,
// gaps inside the bus limits and no error bit, until about 64 KiB.
Bytes BusPacket(uint64_t rtc) {
    ch10fix::PacketSpec s;
    s.channelId = 3;
    s.dataType = 0x19;
    s.rtc = rtc;
    uint32_t count = 0;
    for (int i = 0; s.body.size() < kPacketBytes - 200; ++i, ++count) {
        const int n = 1 + i % 32;  // data words
        const auto cw = [n](uint32_t rt, uint32_t tr) {
            return static_cast<uint16_t>(rt << 11 | tr << 10 | 1u << 5 | (n & 31));
        };
        std::vector<uint16_t> data(static_cast<std::size_t>(n));
        for (int w = 0; w < n; ++w) data[static_cast<std::size_t>(w)] = static_cast<uint16_t>(w);
        std::vector<uint16_t> words;
        uint16_t status = 0;
        switch (i % 4) {
            case 0:  // BC-RT: command, data, status
                words = {cw(1, 0)};
                words.insert(words.end(), data.begin(), data.end());
                words.push_back(0x0800);
                break;
            case 1:  // RT-BC: command, status, data
                words = {cw(1, 1), 0x0800};
                words.insert(words.end(), data.begin(), data.end());
                break;
            case 2:  // RT-RT: both commands, the transmitter's status, data, the receiver's status
                words = {cw(1, 0), cw(2, 1), 0x1000};
                words.insert(words.end(), data.begin(), data.end());
                words.push_back(0x0800);
                status = 0x800;
                break;
            default:  // mode code 1 without data
                words = {static_cast<uint16_t>(1u << 11 | 1u), 0x0800};
                break;
        }
        const uint64_t stamp = rtc + 10ull * count;
        for (int k = 0; k < 4; ++k) Put16(s.body, static_cast<uint32_t>(stamp >> (16 * k)));
        Put16(s.body, status | (i % 2 ? 0x2000u : 0u));
        Put16(s.body, 40u << 8 | 40u);
        Put16(s.body, static_cast<uint32_t>(2 * words.size()));
        for (uint16_t w : words) Put16(s.body, w);
    }
    s.csdw = count;
    return ch10fix::BuildPacket(s);
}

struct Rig {
    Rig() {
        info.PcmChannels = &pcm;
        info.PcmCount = 1;
        info.Bus1553Channels = &bus;
        info.Bus1553Count = 1;
    }
    // Runs one check over a packet; false when it found something.
    template <class Check>
    bool Run(const Bytes& packet, Check check) {
        const auto header = ch10::PacketHeader::Decode(packet.data(), packet.size()).value();
        vexa::PacketListingInput in;
        in.header = header;
        in.view = ch10::PacketView::Of(packet.data(), packet.size(), header.packetLength);
        in.csdw = ch10::ChannelSpecificWord(in.view, header);
        in.slot = 1;
        bool flag = false;
        vexa::BodyCheckCall call{in, {}, true, flag, outputs};
        check(call);
        return !flag;
    }
    PCM_CHAN_INFO pcm = PcmRecord();
    BUS1553_CHAN_INFO bus{3, 1, "BUS"};
    CHAN_INFO info{};
    vexa::CRunConfig config;
    std::atomic<int> tolerance{5};
    vexa::ErrorAccounting errors;
    vexa::RunOutputs outputs;
    vexa::EngineBodyChecks checks{[this] { return &info; }, config, tolerance, errors};
};

void Pcm(benchmark::State& state, uint32_t modeBits) {
    auto rig = std::make_unique<Rig>();
    uint64_t next = 1000;
    uint16_t fid = 0;
    std::vector<Bytes> packets;
    for (int i = 0; i < 16; ++i) packets.push_back(PcmPacket(modeBits, next, fid));
    const vexa::PcmChannel* record = rig->checks.PcmRecord(2);
    std::size_t bytes = 0, i = 0;
    for (auto _ : state) {
        // The frame-time link runs on across the packets, in order.
        if (i == packets.size()) {
            i = 0;
            rig->checks.RunReset();
        }
        const Bytes& p = packets[i++];
        if (!rig->Run(p, [&](vexa::BodyCheckCall& c) { rig->checks.ValidatePcmBody(*record, c); }))
            state.SkipWithError("a finding in a clean packet");
        bytes += p.size();
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
}

void BM_ValidatePcmBodyUnpacked16(benchmark::State& state) { Pcm(state, ch10fix::kPcmUnpacked); }
void BM_ValidatePcmBodyPacked32(benchmark::State& state) { Pcm(state, ch10fix::kPcmPacked | ch10fix::kPcmAlign32); }

void BM_Validate1553Body(benchmark::State& state) {
    auto rig = std::make_unique<Rig>();
    const Bytes packet = BusPacket(1000);
    std::size_t bytes = 0;
    for (auto _ : state) {
        if (!rig->Run(packet, [&](vexa::BodyCheckCall& c) { rig->checks.Validate1553Body(c); }))
            state.SkipWithError("a finding in a clean packet");
        bytes += packet.size();
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
}

}  // namespace

BENCHMARK(BM_ValidatePcmBodyUnpacked16);
BENCHMARK(BM_ValidatePcmBodyPacked32);
BENCHMARK(BM_Validate1553Body);
BENCHMARK_MAIN();
