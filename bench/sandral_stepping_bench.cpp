// sandral's stepping over a 256 MiB recording: every packet printed into a
// discarding sink and into a named listing, a channel filter that matches
// nothing, resynchronising
// over 64 MiB of garbage, beside a plain read of the same file in slots.
#include <benchmark/benchmark.h>

#include <climits>
#include <random>
#include <vector>

#include "tests/support/ch10_fixture.h"
#include "tools/sample_recording.h"
#include "sandral.h"
#include "sandral_state.h"
#include "stepping.h"
#include "tests/support/temp_dir.h"

namespace {

struct Files {
    ch10fix::TempDir dir;
    std::string stream = dir.File("stream.ch10");
    std::string garbage = dir.File("garbage.ch10");
    Files() {
        ch10gen::WriteStream(stream, 256ull << 20);
        ch10fix::Bytes noise(64u << 20);
        std::mt19937 random(7);
        for (auto& b : noise) b = static_cast<uint8_t>(random());
        ch10fix::WriteFile(garbage, noise);
    }
};

Files& Shared() {
    static Files files;
    return files;
}

int64_t SizeOf(const std::string& path) {
    const int64_t size = iSize(path.c_str(), 0);
    const int h = iOpen(path.c_str(), 0);
    iClose(h);  // drops the size cache for the next file
    return size;
}

// `listing` empty: a discarding sink; otherwise a named listing (CR LF).
void Step(benchmark::State& state, const std::string& path, int32_t channel, const std::string& listing = {}) {
    const int64_t size = SizeOf(path);
    for (auto _ : state) {
        sandral::ResetStateForTests();
        sandral::BrowseState& b = sandral::State().browse;
        b.fileSize = size;
        b.channelFilter = channel;
        b.packetCount = INT_MAX;
        if (listing.empty()) b.outputStream.UseDiscard();
        else b.outputStream.OpenFile(listing);
        PlayerStatus status{};
        ZADODOD_Open(path.c_str(), 0, &status);
        sandral::run_decode_loop();
        ZADODOD_Close();
        b.outputStream.Close();
        benchmark::DoNotOptimize(b.lastPrintedOffset);
    }
    state.SetBytesProcessed(state.iterations() * size);
    sandral::ResetStateForTests();
}

void BM_StepPrintingEveryPacket(benchmark::State& state) { Step(state, Shared().stream, -1); }
void BM_StepPrintingToNamedListing(benchmark::State& state) {
    Step(state, Shared().stream, -1, Shared().dir.File("list_1.txt"));
}
void BM_StepFilterMatchingNothing(benchmark::State& state) { Step(state, Shared().stream, 0x7FFF); }
void BM_ResynchroniseOverGarbage(benchmark::State& state) { Step(state, Shared().garbage, -1); }

void BM_PlainSlotReads(benchmark::State& state) {
    const std::string& path = Shared().stream;
    std::vector<char> slot(0x80000);
    int64_t total = 0;
    for (auto _ : state) {
        const int h = iOpen(path.c_str(), 0);
        int n;
        total = 0;
        while ((n = iRead(h, slot.data(), static_cast<int>(slot.size()))) > 0) total += n;
        iClose(h);
    }
    state.SetBytesProcessed(state.iterations() * total);
}

BENCHMARK(BM_StepPrintingEveryPacket)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_StepPrintingToNamedListing)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_StepFilterMatchingNothing)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ResynchroniseOverGarbage)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainSlotReads)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
