// Packets listed per second (Verbose block with one finding; compact row
// with its tail), written to a file, and CountError calls per second.
#include <benchmark/benchmark.h>

#include <memory>

#include "tests/support/ch10_fixture.h"
#include "vexa/engine/engine_host.h"
#include "vexa/engine/error_accounting.h"
#include "vexa/engine/packet_listing.h"
#include "vexa/engine/run_outputs.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace vexa;

struct Setup {
    ch10fix::TempDir dir;
    ch10fix::Bytes bytes;
    PacketListingInput in;
    RunOutputs outputs;
    std::unique_ptr<ErrorAccounting> errors = std::make_unique<ErrorAccounting>();
    ListingState listing;
    SilentEngineHost host;

    explicit Setup(bool spaceDelimited) {
        ch10fix::PacketSpec s;
        s.channelId = 3;
        s.dataType = 0x09;
        s.sequence = 7;
        s.csdw = (1u << 30) | (1u << 28) | (2u << 24) | (1u << 18) | 0x1a;
        s.body = ch10fix::Bytes(512, 0x55);
        bytes = ch10fix::BuildPacket(s);
        in.header = ch10::PacketHeader::DecodeUnchecked(bytes.data());
        in.view = ch10::PacketView::Of(bytes.data(), bytes.size(), in.header.packetLength);
        in.csdw = ch10::ChannelSpecificWord(in.view, in.header);
        in.slot = 3;
        in.slotPacketCount = 1000;
        in.packetOffset = 0x1000000a0;
        in.dataTypeName = "PCM Format 1";
        in.relTimeText = "1234567890";
        in.irigTimeText = "337:08:01:02.345678";
        in.rtcDelta = 12345;
        in.findingText = "Error 42: Channel 3 sequence number 7, expected 6\r\n";
        OutputOpenRequest r;
        r.outputPath = dir.File("bench.log");
        r.spaceDelimited = spaceDelimited;
        outputs.OpenOutputFiles(r, host);
    }
};

void BM_VerboseBlockWithFinding(benchmark::State& state) {
    Setup s(false);
    ListingOptions o;
    o.listingOn = true;
    for (auto _ : state) {
        if (ListPacket(s.in, o, s.outputs, *s.errors, s.listing, s.host) != 0) state.SkipWithError("write failed");
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_VerboseBlockWithFinding);

void BM_CompactRowWithTail(benchmark::State& state) {
    Setup s(true);
    ListingOptions o;
    o.listingOn = true;
    o.spaceDelimited = true;
    s.errors->BeginPacket();
    for (uint32_t n : {42u, 45u, 46u}) s.errors->CountError(3, n);
    for (auto _ : state) {
        if (ListPacket(s.in, o, s.outputs, *s.errors, s.listing, s.host) != 0) state.SkipWithError("write failed");
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CompactRowWithTail);

void BM_CountError(benchmark::State& state) {
    auto errors = std::make_unique<ErrorAccounting>();
    errors->maxSameErrorPerChannel = 3;
    uint32_t n = 0;
    for (auto _ : state) {
        if ((n & 7) == 0) errors->BeginPacket();
        benchmark::DoNotOptimize(errors->CountError(static_cast<int>(n & 0xFF), 1 + (n % 176)));
        ++n;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CountError);

}  // namespace

BENCHMARK_MAIN();
