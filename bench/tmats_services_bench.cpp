// GetPCMFormatInfo + FreePCMFormatInfo on a generated TMATS file: 8 PCM
// formats of 4,000 located measurands each, every measurand with its own
// C group (binary format and a polynomial); ExportData over generated
// sample files.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include <sys/stat.h>

#include "platform/files.h"
#include "tests/tessin/sample_file_writer.h"
#include "tessin.h"

namespace {

constexpr int kFormats = 8;
constexpr int kMeasurands = 4000;
constexpr int kWords = 512;

std::string GeneratedTmats() {
    std::string t;
    auto add = [&](const std::string& key, const std::string& value) { t += key + ":" + value + ";\r\n"; };
    add("G\\PN", "BENCH");
    add("G\\OD", "01-01-2026");
    for (int k = 1; k <= kFormats; ++k) {
        std::string p = "P-" + std::to_string(k) + "\\";
        add(p + "DLN", "FORMAT" + std::to_string(k));
        add(p + "TF", "ONE");
        add(p + "F1", "16");
        add(p + "MF\\N", "16");
        add(p + "MF1", std::to_string(kWords));
        add(p + "MF2", std::to_string(kWords * 16));
        add(p + "MF4", "16");
        add(p + "MF5", "1110101110010000");
        std::string d = "D-" + std::to_string(k) + "\\";
        add(d + "MN\\N-1", std::to_string(kMeasurands));
        for (int n = 1; n <= kMeasurands; ++n) {
            std::string idx = "-1-" + std::to_string(n);
            add(d + "MN" + idx, "M" + std::to_string(k) + "_" + std::to_string(n));
            add(d + "MF" + idx, std::to_string(n % (kWords - 1) + 1));
            add(d + "MFM" + idx, "FW");
        }
    }
    int group = 0;
    for (int k = 1; k <= kFormats; ++k)
        for (int n = 1; n <= kMeasurands; ++n) {
            std::string c = "C-" + std::to_string(++group) + "\\";
            add(c + "DCN", "M" + std::to_string(k) + "_" + std::to_string(n));
            add(c + "BFM", "TWO");
            add(c + "DCT", "COE");
            add(c + "CO\\N", "1");
            add(c + "CO-1", "0.5");
        }
    return t;
}

void BM_GetAndFreePcmFormatInfo(benchmark::State& state) {
    // The utilities log is written as in use, into a directory of its own.
    char logDir[] = "/tmp/tmats-services-benchXXXXXX";
    bool ownLogDir = !getenv("TESSIN_LOG_DIR") && mkdtemp(logDir);
    if (ownLogDir) ::setenv("TESSIN_LOG_DIR", logDir, 1);
    std::string path = platform::MakeTempFile("tmats-services-bench");
    std::string text = GeneratedTmats();
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
    for (auto _ : state) {
        PCM_FORMAT_INFO* formats = nullptr;
        int n = GetPCMFormatInfo(path.c_str(), &formats);
        if (n != kFormats) state.SkipWithError(GetErrMsg());
        benchmark::DoNotOptimize(formats);
        FreePCMFormatInfo();
    }
    state.counters["attributes"] = kFormats * kMeasurands * 8.0;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
    platform::RemoveFile(path);
    if (ownLogDir) {
        platform::RemoveFile(std::string(logDir) + "/TMATSUtils.log");
        ::rmdir(logDir);
    }
}
BENCHMARK(BM_GetAndFreePcmFormatInfo)->Unit(benchmark::kMillisecond);

// ExportData over eight parameters of 1,000,000 samples 1 ms apart, made
// once: dense rows (one per sample spacing) and sparse rows (1,000 spacings
// apart, so the reader skips forward).
constexpr int kExportParameters = 8;
constexpr int kExportSamples = 1000000;

struct ExportFixture {
    std::string dir;
    ExportFixture() {
        char tmpl[] = "/tmp/export-benchXXXXXX";
        if (!mkdtemp(tmpl)) return;
        dir = tmpl;
        ::mkdir((dir + "/in").c_str(), 0755);
        ::mkdir((dir + "/in/list").c_str(), 0755);
        std::string list;
        for (int p = 0; p < kExportParameters; ++p) {
            exporttest::SampleFile f;
            f.kind = p % 2 == 0 ? 0 : 2;
            f.timeBase = 86400000000LL;
            f.samples.reserve(kExportSamples);
            for (int k = 0; k < kExportSamples; ++k) f.samples.push_back({k * 1000LL, k * 0.5});
            std::string name = "PARAM" + std::to_string(p);
            exporttest::WriteSampleFile(dir + "/in/list/" + name + "_M.DAT", f);
            list += name + "\n";
        }
        if (FILE* l = std::fopen((dir + "/list.txt").c_str(), "w")) {
            std::fputs(list.c_str(), l);
            std::fclose(l);
        }
        ::setenv("TESSIN_LOG_DIR", dir.c_str(), 1);
    }
};

const ExportFixture& Exports() {
    static ExportFixture fixture;
    return fixture;
}

void BM_ExportData(benchmark::State& state) {
    const ExportFixture& fx = Exports();
    if (fx.dir.empty()) {
        state.SkipWithError("no temporary directory");
        return;
    }
    const int interval = static_cast<int>(state.range(0));
    const char* end = interval == 1000 ? "001:00:01:05:534000" : "001:00:16:39:000000";
    const int rows = interval == 1000 ? 65535 : 1000;
    std::string out = fx.dir + "/out.csv";
    for (auto _ : state) {
        int r = ExportData((fx.dir + "/in").c_str(), out.c_str(), "001:00:00:00:000000", end, interval,
                           (fx.dir + "/list.txt").c_str());
        if (r != 0) state.SkipWithError(GetErrMsg());
    }
    state.counters["rows_per_second"] =
        benchmark::Counter(static_cast<double>(rows) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ExportData)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
