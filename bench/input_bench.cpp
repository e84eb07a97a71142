// Sequential reads through the input calls against a plain and a segmented
// copy of the same recording.
#include <benchmark/benchmark.h>

#include <vector>

#include "tests/support/ch10_fixture.h"
#include "tests/support/temp_dir.h"
#include "tessin.h"

namespace {

struct Recording {
    ch10fix::TempDir dir;
    std::string plain;
    std::string segmented;
    std::size_t bytes = 0;
    Recording() {
        ch10fix::Bytes data(64u << 20);
        for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 31);
        plain = dir.File("plain.ch10");
        ch10fix::WriteFile(plain, data);
        auto paths = ch10fix::WriteSegmentSet(dir.Path(), "D0001", ".ch10", data, std::size_t{5} << 20);
        segmented = paths.front();
        bytes = data.size();
    }
};

Recording& Shared() {
    static Recording r;
    return r;
}

void ReadAll(benchmark::State& state, const std::string& path) {
    std::vector<char> buf(0xFC000);
    for (auto _ : state) {
        int h = iOpen(path.c_str(), 0);
        long total = 0;
        int n;
        while ((n = iRead(h, buf.data(), static_cast<int>(buf.size()))) > 0) total += n;
        iClose(h);
        benchmark::DoNotOptimize(total);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(Shared().bytes));
}

void BM_PlainFile(benchmark::State& s) { ReadAll(s, Shared().plain); }
void BM_SegmentSet(benchmark::State& s) { ReadAll(s, Shared().segmented); }

}  // namespace

BENCHMARK(BM_PlainFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SegmentSet)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
