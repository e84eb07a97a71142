// sandral's decoders on a 64 MiB recording of 1553 traffic: (a) the 1553
// word and body printers (re-dump included) over the packets in memory,
// into a discarding sink and into a named listing, beside a plain write of
// the same amount of text; (b) the whole listing (stepping, headers,
// dispatch) into a named listing. Rates are MB/s of input and of text.
#include <benchmark/benchmark.h>

#include <climits>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "ch10/packet_header.h"
#include "ch10/packet_view.h"
#include "tests/support/ch10_fixture.h"
#include "dispatch.h"
#include "dumps.h"
#include "header_test.h"
#include "tools/sample_recording.h"
#include "sandral.h"
#include "sandral_state.h"
#include "stepping.h"
#include "tests/support/temp_dir.h"

namespace {

using ch10fix::Bytes;

struct Packets {
    std::vector<Bytes> bus;  // whole 1553 packets
    int64_t inputBytes = 0;
    int64_t textBytes = 0;
};

Packets BusPackets(const Bytes& file) {
    Packets p;
    std::size_t at = 0;
    while (file.size() - at >= 24) {
        const uint32_t length = ch10fix::Get32(file, at + 4);
        if (!sandral::check_packet_header(&file[at], file.size() - at) || length > file.size() - at) {
            ++at;
            continue;
        }
        if (file[at + 15] == 0x19) {
            p.bus.emplace_back(file.begin() + static_cast<std::ptrdiff_t>(at),
                               file.begin() + static_cast<std::ptrdiff_t>(at + length));
            p.inputBytes += length;
        }
        at += length;
    }
    return p;
}

// The 1553 row's printers as the dispatch point calls them.
void Decode1553(sandral::OutputSink& out, const Bytes& packet) {
    const ch10::PacketView view(packet.data(), packet.size());
    const auto h = ch10::PacketHeader::DecodeUnchecked(packet.data());
    const std::size_t hl = ch10::ChannelSpecificWordOffset(h);
    const uint32_t word = ch10::ChannelSpecificWord(view, h);
    const int64_t trailer = std::max<int64_t>(0, int64_t{h.packetLength} - h.dataLength - int64_t(hl));
    const std::size_t end = static_cast<std::size_t>(h.packetLength - trailer);
    const sandral::DecoderRow& row = sandral::DecoderTable()[0x19];
    const std::size_t used = row.wordPrinter({out, view, h, hl, word, hl + 4, end - hl - 4});
    const std::size_t start = hl + used;
    row.bodyPrinter({out, view, h, hl, word, start, end - start});
    sandral::dump_words(out, packet.data() + start, end - start, 0);
}

struct Files {
    ch10fix::TempDir dir;
    std::string stream = dir.File("stream.ch10");
    std::string listing = dir.File("list_1.txt");
    std::string plain = dir.File("plain.txt");
    Packets generated;
    Packets sample;
    Files() {
        ch10gen::StreamOptions options;
        options.busOnly = true;
        options.busMessages = true;
        ch10gen::WriteStream(stream, 64ull << 20, 1, options);
        generated = Measured(BusPackets(ch10fix::ReadFile(stream)));
        const std::string dir = ch10fix::SampleDataDir();
        if (!dir.empty()) sample = Measured(BusPackets(ch10fix::ReadFile(dir + "/c10tools-err-6cb05a5.c10")));
    }
    static Packets Measured(Packets p) {
        sandral::OutputSink out;
        out.UseMemory();
        for (const Bytes& packet : p.bus) {
            Decode1553(out, packet);
            p.textBytes += static_cast<int64_t>(out.Text().size());
            out.ClearText();
        }
        return p;
    }
};

Files& Shared() {
    static Files files;
    return files;
}

void Rates(benchmark::State& state, int64_t input, int64_t text) {
    using benchmark::Counter;
    state.counters["input_MBps"] = Counter(static_cast<double>(input) / 1e6, Counter::kIsIterationInvariantRate);
    state.counters["text_MBps"] = Counter(static_cast<double>(text) / 1e6, Counter::kIsIterationInvariantRate);
}

void DecodeInto(benchmark::State& state, const Packets& p, bool toFile) {
    if (p.bus.empty()) {
        state.SkipWithError("no 1553 packets");
        return;
    }
    sandral::ResetStateForTests();
    for (auto _ : state) {
        sandral::OutputSink out;
        if (toFile) out.OpenFile(Shared().listing);
        else out.UseDiscard();
        for (const Bytes& packet : p.bus) Decode1553(out, packet);
        out.Close();
    }
    Rates(state, p.inputBytes, p.textBytes);
}

void BM_Decode1553Discard(benchmark::State& state) { DecodeInto(state, Shared().generated, false); }
void BM_Decode1553ToFile(benchmark::State& state) { DecodeInto(state, Shared().generated, true); }
void BM_Decode1553SampleDiscard(benchmark::State& state) { DecodeInto(state, Shared().sample, false); }
void BM_Decode1553SampleToFile(benchmark::State& state) { DecodeInto(state, Shared().sample, true); }

// The same amount of text written in 64 KiB blocks with stdio.
void BM_PlainWriteOfTheText(benchmark::State& state) {
    const int64_t total = Shared().generated.textBytes;
    const std::string block(64 * 1024, 'x');
    for (auto _ : state) {
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(Shared().plain.c_str(), "wb"), std::fclose);
        for (int64_t left = total; left > 0; left -= static_cast<int64_t>(block.size()))
            std::fwrite(block.data(), 1, static_cast<std::size_t>(std::min<int64_t>(left, block.size())), f.get());
    }
    Rates(state, Shared().generated.inputBytes, total);
}

// (b): the whole listing to a named file.
void BM_WholeListingToFile(benchmark::State& state) {
    const std::string& path = Shared().stream;
    const int64_t size = iSize(path.c_str(), 0);
    int64_t text = 0;
    for (auto _ : state) {
        sandral::ResetStateForTests();
        sandral::BrowseState& b = sandral::State().browse;
        b.fileSize = size;
        b.channelFilter = -1;
        b.packetCount = INT_MAX;
        b.outputStream.OpenFile(Shared().listing);
        PlayerStatus status{};
        ZADODOD_Open(path.c_str(), 0, &status);
        sandral::run_decode_loop();
        ZADODOD_Close();
        b.outputStream.Close();
        text = iSize(Shared().listing.c_str(), 0);
        const int h = iOpen(Shared().listing.c_str(), 0);
        iClose(h);  // drops the size cache
    }
    Rates(state, size, text);
    sandral::ResetStateForTests();
}

BENCHMARK(BM_Decode1553Discard)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Decode1553ToFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainWriteOfTheText)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Decode1553SampleDiscard)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Decode1553SampleToFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WholeListingToFile)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
