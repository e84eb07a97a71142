// sandral's time seek on a 256 MiB recording with a time packet every
// second: targets at 10, 50 and 90 % of its time span and past its end,
// and one page back from the end of the recording.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "sandral.h"
#include "sandral_state.h"
#include "tests/support/ch10_fixture.h"
#include "tests/support/temp_dir.h"
#include "time_seek.h"
#include "tools/sample_recording.h"

namespace {

constexpr double kDay = 86400e6;

struct Recording {
    ch10fix::TempDir dir;
    std::string path = dir.File("stream.c10");
    double first = 0, last = 0;  // the first and last time packet's times
    Recording() {
        ch10gen::WriteStream(path, 256ull << 20);
        // The generator's time packets: day 100 plus one second each.
        FILE* f = std::fopen(path.c_str(), "rb");
        uint8_t h[24];
        long long at = 0, seconds = -1;
        while (f && std::fseek(f, at, SEEK_SET) == 0 && std::fread(h, 1, 24, f) == 24) {
            const uint32_t length = h[4] | h[5] << 8 | h[6] << 16 | static_cast<uint32_t>(h[7]) << 24;
            if (length == 0) break;
            if (h[15] == 0x11) ++seconds;
            at += length;
        }
        if (f) std::fclose(f);
        first = 100 * kDay;
        last = first + static_cast<double>(seconds) * 1e6;
    }
};

Recording& Shared() {
    static Recording r;
    return r;
}

void BM_GoToTime(benchmark::State& state) {
    Recording& r = Shared();
    const double target = r.first + (r.last - r.first) * static_cast<double>(state.range(0)) / 100;
    const int64_t day = static_cast<int64_t>(target / kDay);
    const int64_t rest = static_cast<int64_t>(target) - day * 86400000000LL;
    const std::string text = std::to_string(day) + ":0:0:" + std::to_string(rest / 1000000) + ":0";
    char offset[SANDRAL_OFFSET_TEXT_SIZE];
    int result = 0;
    const int64_t before = sandral::SeekWindowsRead();
    for (auto _ : state) {
        result = Ch10GoToTime(r.path.c_str(), text.c_str(), offset);
        benchmark::DoNotOptimize(result);
    }
    state.counters["result"] = result;
    state.counters["windows_per_seek"] =
        static_cast<double>(sandral::SeekWindowsRead() - before) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_GoToTime)->Arg(10)->Arg(50)->Arg(90)->Arg(200)->Unit(benchmark::kMillisecond);

void BM_PreviousPageFromTheEnd(benchmark::State& state) {
    Recording& r = Shared();
    char list[SANDRAL_CHANNEL_LIST_SIZE] = "";
    Ch10GetChannelList(r.path.c_str(), list);
    Ch10PositionOffset(r.path.c_str(), "0");
    const std::string out = r.dir.File("page.txt");
    for (auto _ : state) {
        state.PauseTiming();
        Ch10GetPacket("ALL", "EOF", "0", out.c_str(), "10");
        state.ResumeTiming();
        benchmark::DoNotOptimize(Ch10GetPacket("ALL", "PREV", "1", out.c_str(), "10"));
    }
}
BENCHMARK(BM_PreviousPageFromTheEnd)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
