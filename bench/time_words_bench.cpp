// The channel-word walks over 64 KiB packets: MIL-STD-1553 messages and
// Ethernet frames, bytes per second.
#include <benchmark/benchmark.h>

#include <vector>

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

BENCHMARK(BM_Bus1553Walk);
BENCHMARK(BM_EthernetWalk);

}  // namespace
BENCHMARK_MAIN();
