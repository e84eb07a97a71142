// A 64 MiB recorder file read through the input calls in whole chunks,
// over the real libraries and the in-process ingest stand-in on loopback.
// Reports MB/s and the time per chunk, which must stay far below the
// 2,000 ms a caller waits.
#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tools/ingest_standin.h"
#include "tools/stanag_image.h"
#include "tessin.h"

namespace {

constexpr std::size_t kChunk = 0xFC000;
constexpr uint64_t kFileBytes = 64ull << 20;

struct Drive {
    std::string image;
    std::unique_ptr<standin::Server> server;
    bool ok = false;

    Drive() {
        stanag_image::ImageSpec spec;
        spec.h = 1;
        stanag_image::DirBlock block;
        stanag_image::Entry entry;
        entry.name = "bench.ch10";
        entry.content = stanag_image::Content::Pattern(kFileBytes, 5);
        block.entries = {entry};
        spec.chain = {block};

        image = (std::filesystem::temp_directory_path() / "stanagbenchXXXXXX").string();
        int fd = ::mkstemp(image.data());
        if (fd < 0) return;
        ::close(fd);
        std::string error;
        if (!stanag_image::WriteImage(spec, image, &error)) {
            std::fprintf(stderr, "image: %s\n", error.c_str());
            return;
        }
        standin::Options options;
        options.devices = {{"//./PHYSICALDRIVE1", image, 512, 0}};
        server = std::make_unique<standin::Server>(options);
        if (!server->Start(&error)) {
            std::fprintf(stderr, "stand-in: %s\n", error.c_str());
            return;
        }
        ::setenv("ORVANE_PORT_ParvellControl", std::to_string(server->Port()).c_str(), 1);
        ::setenv("ORVANE_HOST_ParvellControl", "127.0.0.1", 1);
        ok = true;
    }
    ~Drive() {
        server.reset();
        std::remove(image.c_str());
    }
};

Drive& Shared() {
    static Drive d;
    return d;
}

void BM_StanagStream(benchmark::State& state) {
    if (!Shared().ok) {
        state.SkipWithError("no drive");
        return;
    }
    std::vector<char> buffer(kChunk);
    double seconds = 0;
    int64_t chunks = 0;
    int64_t bytes = 0;
    for (auto _ : state) {
        int h = iOpen("bench.ch10", 101);
        if (h == -1) {
            state.SkipWithError("open failed");
            return;
        }
        auto start = std::chrono::steady_clock::now();
        int n;
        while ((n = iRead(h, buffer.data(), static_cast<int>(kChunk))) > 0) {
            bytes += n;
            ++chunks;
        }
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        iClose(h);
        if (n < 0) {
            state.SkipWithError("read failed");
            return;
        }
    }
    state.counters["MB/s"] = static_cast<double>(bytes) / 1e6 / seconds;
    state.counters["ms/chunk"] = seconds * 1e3 / static_cast<double>(chunks);
    state.counters["chunks"] = static_cast<double>(chunks) / static_cast<double>(state.iterations());
}

}  // namespace

BENCHMARK(BM_StanagStream)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
