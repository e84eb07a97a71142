// GetPCMFormatInfo + FreePCMFormatInfo on a generated TMATS file: 8 PCM
// formats of 4,000 located measurands each, every measurand with its own
// C group (binary format and a polynomial).
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform/files.h"
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

}  // namespace

BENCHMARK_MAIN();
