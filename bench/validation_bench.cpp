// The headless validation run (body checks off) and the engine's run with
// the body checks on, against a plain sequential read of the same generated
// 1 GiB recording, all from a warm page cache. Prints the figures, their
// ratios and the body findings of the run with the checks on (from its
// summary; a clean recording has none). BENCH_VALIDATION_BYTES changes the size.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/ch10_fixture.h"
#include "vexa/engine/engine_state.h"
#include "vexa/engine/queue_host.h"
#include "vexa/engine/validation_engine.h"
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
double bodySeconds = 0;
long bodyFindings = -1;

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

// The counts of body-check findings (Errors 11 and 90-131) a summary lists.
long BodyFindings(const std::string& summary) {
    long total = 0;
    const std::string head = "\r\n  ";
    for (std::size_t at = summary.find(head); at != std::string::npos; at = summary.find(head, at + 1)) {
        unsigned long count = 0, number = 0;
        if (std::sscanf(summary.c_str() + at + head.size(), "%lu of %lu", &count, &number) != 2) continue;
        if (number == 11 || (number >= 90 && number <= 131)) total += static_cast<long>(count);
    }
    return total;
}

void BM_EngineWithBodyChecks(benchmark::State& state) {
    Recording& r = Shared();
    PlainRead(r.path);
    for (auto _ : state) {
        // The dialog's defaults, as the headless run sets them.
        vexa::Engine().errors.maxSameErrorPerChannel = 0;
        vexa::Engine().errors.maxErrorsPerPacket = 5;
        vexa::Engine().errors.maxErrorsPerChannel = 5;
        vexa::Engine().spaceDelimited = false;
        vexa::QueueHost host;
        vexa::ValidationEngine engine(host);
        engine.runConfig.inputType = 1;
        engine.runConfig.validateBodies = 1;
        vexa::OpenFilesTexts texts;
        texts.sourceFile = r.path;
        texts.outputDir = r.dir.Path();
        texts.outputFile = "bodies.log";
        auto start = std::chrono::steady_clock::now();
        if (!engine.OpenFiles(texts)) {
            state.SkipWithError("the run could not open its files");
            break;
        }
        engine.Validate();
        host.PumpUntilRunEnded(std::chrono::hours(1));
        bodySeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (host.runEnds.empty() || !host.runEnds.front().completed) state.SkipWithError("the run did not complete");
        std::string summary;
        for (const std::string& path : engine.OutputsWritten())
            if (path.ends_with(".summary.txt")) summary = ch10fix::ReadText(path);
        bodyFindings = BodyFindings(summary);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * r.bytes));
}

}  // namespace

BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_HeadlessValidation)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_EngineWithBodyChecks)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (plainSeconds > 0 && validationSeconds > 0) {
        const double mb = static_cast<double>(Shared().bytes) / 1e6;
        const double plain = mb / plainSeconds, validation = mb / validationSeconds;
        std::printf("plain read: %.0f MB/s, validation: %.0f MB/s, ratio %.2f (%ld cores)\n", plain, validation,
                    validation / plain, sysconf(_SC_NPROCESSORS_ONLN));
        if (bodySeconds > 0) {
            const double bodies = mb / bodySeconds;
            std::printf("validation with body checks: %.0f MB/s, ratio %.2f to plain read, body findings: %ld\n",
                        bodies, bodies / plain, bodyFindings);
        }
    }
    return 0;
}
