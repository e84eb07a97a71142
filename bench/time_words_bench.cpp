// The section rows up to and including the checks of packets of interest
// (data type with its counter step, time correlation, previous-packet
// look-up, time packet, header, channel word, differs) and their stores, on
// 200-byte packets with a time channel: packets per second. Then the
// channel-word walks over 64 KiB packets: MIL-STD-1553 messages and Ethernet
// frames, bytes per second.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "tests/support/engine_test_access.h"
#include "vexa/engine/engine_state.h"
#include "vexa/engine/queue_host.h"

#include "tests/support/ch10_bodies.h"
#include "vexa/engine/channel_word_checks.h"

namespace {

using namespace vexa;

constexpr std::size_t kPacketBytes = 64u << 10;

ch10fix::Bytes BusPacket() {
    std::vector<ch10fix::BusMessage> messages = ch10fix::RisingMessages(1000, kPacketBytes / (14 + 32));
    for (ch10fix::BusMessage& m : messages) m.dataBytes = 32;
    return ch10fix::BuildPacket(ch10fix::Bus1553Packet(3, 1000, messages));
}

ch10fix::Bytes EthernetPacket() {
    std::vector<ch10fix::EthernetFrame> frames(kPacketBytes / (12 + 64));
    for (ch10fix::EthernetFrame& f : frames) f.stamp = 1000;
    return ch10fix::BuildPacket(ch10fix::EthernetPacket(4, 1000, frames));
}

void Walk(benchmark::State& state, const ch10fix::Bytes& bytes) {
    const ch10::PacketHeader header = *ch10::PacketHeader::Decode(bytes.data(), bytes.size());
    const ch10::PacketView view = ch10::PacketView::Of(bytes.data(), bytes.size(), header.packetLength);
    IntraStampTimes stamps;
    std::size_t findings = 0;
    for (auto _ : state) {
        stamps.Reset();
        findings += CheckChannelSpecificWord(stamps, {.header = header, .view = view, .slot = 2}).size();
    }
    if (findings) state.SkipWithError("the packet should be clean");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
}

void BM_Bus1553Walk(benchmark::State& state) { Walk(state, BusPacket()); }
void BM_EthernetWalk(benchmark::State& state) { Walk(state, EthernetPacket()); }

// Time packets on channel 1 a second apart, between them 200-byte PCM and
// 1553 packets on channels 2 to 4, each held by itself.
std::vector<ch10fix::Bytes> SmallPackets() {
    std::vector<ch10fix::Bytes> out;
    uint64_t rtc = 10000000;
    uint8_t seq[5] = {};
    for (int i = 0; i < 4000; ++i) {
        if (i % 400 == 0) {
            ch10fix::TimeSpec t;
            t.channelId = 1;
            t.rtc = rtc;
            t.seconds = (i / 400) % 60;
            ch10fix::PacketSpec s = ch10fix::TimePacket(t);
            s.sequence = seq[1]++;
            out.push_back(ch10fix::BuildPacket(s));
        }
        rtc += 25000;
        const uint16_t channel = static_cast<uint16_t>(2 + i % 3);
        ch10fix::PacketSpec s;
        if (channel == 4) {
            std::vector<ch10fix::BusMessage> m = ch10fix::RisingMessages(rtc, 4);
            for (auto& x : m) x.dataBytes = 24;
            s = ch10fix::Bus1553Packet(4, rtc, m);
        } else {
            s.channelId = channel;
            s.dataType = 0x09;
            s.csdw = 0x5F040000;
            s.rtc = rtc;
            s.body.assign(200 - 28, 0x5A);
        }
        s.sequence = seq[channel]++;
        out.push_back(ch10fix::BuildPacket(s));
    }
    return out;
}

void BM_SectionRows(benchmark::State& state) {
    const std::vector<ch10fix::Bytes> packets = SmallPackets();
    vexa::EngineTestAccess::ResetModuleState();
    vexa::QueueHost host;
    auto engine = std::make_unique<vexa::ValidationEngine>(host);
    vexa::RunContext& run = vexa::EngineTestAccess::Run(*engine);
    vexa::SectionStates& states = vexa::EngineTestAccess::FrameOf(*engine).Sections();
    run.streamRules.fileDataVersion = 13;
    std::string findings;
    std::size_t findingBytes = 0;
    std::array<bool, 256> seen{};
    for (auto _ : state) {
        vexa::EngineTestAccess::ResetValidationState(*engine);
        seen.fill(false);
        run.runPacketCount = 0;
        for (const ch10fix::Bytes& b : packets) {
            vexa::PacketContext ctx;
            ctx.header = *ch10::PacketHeader::Decode(b.data(), b.size());
            ctx.view = ch10::PacketView::Of(b.data(), b.size(), ctx.header.packetLength);
            ctx.slot = ctx.header.channelId;
            ctx.ofInterest = true;
            ctx.channelSeen = seen[static_cast<std::size_t>(ctx.slot)];
            ctx.findings = &findings;
            findings.clear();
            ++run.runPacketCount;
            run.errors.BeginPacket();
            for (const vexa::SectionRow& row : vexa::SectionRows())
                if (row.check && row.stage != vexa::SectionStage::BeforeInterestExit) row.check(run, ctx, states);
            seen[static_cast<std::size_t>(ctx.slot)] = true;
            for (const vexa::SectionRow& row : vexa::SectionRows())
                if (row.endOfPacket) row.endOfPacket(run, ctx, states);
            findingBytes += findings.size();
        }
    }
    benchmark::DoNotOptimize(findingBytes);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(packets.size()));
}

BENCHMARK(BM_SectionRows);
BENCHMARK(BM_Bus1553Walk);
BENCHMARK(BM_EthernetWalk);

}  // namespace
BENCHMARK_MAIN();
