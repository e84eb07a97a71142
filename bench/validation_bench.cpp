// The headless validation run against a plain sequential read of the same
// generated 1 GiB recording, both from a warm page cache. Prints both
// figures and their ratio. BENCH_VALIDATION_BYTES changes the size.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "vexa/ui/headless.h"
#include "tools/sample_recording.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr std::size_t kChunk = 0xFC000;

struct Recording {
    ch10fix::TempDir dir;
    std::string path;
    uint64_t bytes = 0;
    Recording() {
        uint64_t target = 1ull << 30;
        if (const char* env = std::getenv("BENCH_VALIDATION_BYTES")) target = std::strtoull(env, nullptr, 0);
        path = dir.File("stream.ch10");
        if (!ch10gen::WriteStream(path, target)) std::fprintf(stderr, "cannot write %s\n", path.c_str());
        int fd = ::open(path.c_str(), O_RDONLY);
        if (fd >= 0) {
            bytes = static_cast<uint64_t>(::lseek(fd, 0, SEEK_END));
            ::close(fd);
        }
    }
};

Recording& Shared() {
    static Recording r;
    return r;
}

double plainSeconds = 0;
double validationSeconds = 0;

uint64_t PlainRead(const std::string& path) {
    std::vector<char> buf(kChunk);
    int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) return 0;
    uint64_t total = 0;
    ssize_t n;
    while ((n = ::read(fd, buf.data(), buf.size())) > 0) total += static_cast<uint64_t>(n);
    ::close(fd);
    return total;
}

void BM_PlainRead(benchmark::State& state) {
    Recording& r = Shared();
    PlainRead(r.path);  // warm the page cache
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(PlainRead(r.path));
        plainSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * r.bytes));
}

void BM_HeadlessValidation(benchmark::State& state) {
    Recording& r = Shared();
    PlainRead(r.path);
    std::string out = r.dir.Path();
    std::string arg0 = "vexa", headless = "--headless", dirOpt = "--output-dir";
    for (auto _ : state) {
        std::vector<char*> argv = {arg0.data(), headless.data(), dirOpt.data(), out.data(), r.path.data()};
        auto start = std::chrono::steady_clock::now();
        int status = vexa::RunHeadless(static_cast<int>(argv.size()), argv.data());
        validationSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (status != 0) state.SkipWithError("the validation run did not complete");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * r.bytes));
}

}  // namespace

BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_HeadlessValidation)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (plainSeconds > 0 && validationSeconds > 0) {
        const double mb = static_cast<double>(Shared().bytes) / 1e6;
        const double plain = mb / plainSeconds, validation = mb / validationSeconds;
        std::printf("plain read: %.0f MB/s, validation: %.0f MB/s, ratio %.2f (%ld cores)\n", plain, validation,
                    validation / plain, sysconf(_SC_NPROCESSORS_ONLN));
    }
    return 0;
}
