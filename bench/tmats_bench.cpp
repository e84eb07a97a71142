// process_tmats_packet on a generated setup record that fills one 0xFC000
// first read with thousands of channels of mixed kinds, with and without a
// validation log.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "tests/support/ch10_fixture.h"
#include "platform/files.h"
#include "tessin.h"
#include "tests/support/tmats_builder.h"

namespace {

constexpr std::size_t kFirstRead = 0xFC000;

struct FirstRead {
    std::vector<char> buffer;
    int channels = 0;
    std::size_t textBytes = 0;

    FirstRead() {
        using ch10fix::TmatsAttributes;
        const char* words[] = {"TIMIN", "PCMIN", "1553IN", "ANAIN", "DISIN", "VIDIN", "UARTIN", "ETHIN", "429IN",
                               "MSGIN"};
        std::string body;
        auto add = [&](const std::string& key, const std::string& value) { body += key + ":" + value + ";\r\n"; };
        int n = 0;
        std::string channelText;
        // Leaves room for the header attributes and the packet header.
        while (body.size() < kFirstRead - 4096) {
            ++n;
            std::string s = std::to_string(n);
            const std::string word = words[n % 10];
            add("R-1\\TK1-" + s, s);
            add("R-1\\DSI-" + s, "SRC" + s);
            add("R-1\\TK4-" + s, s);
            add("R-1\\CDLN-" + s, "LINK" + s);
            add("R-1\\CHE-" + s, (n % 7) ? "T" : "F");
            add("R-1\\CDT-" + s, word);
            if (word == "PCMIN") {
                add("P-" + s + "\\D2", "5000000");
                add("P-" + s + "\\F1", "16");
                add("P-" + s + "\\F2", "M");
                add("P-" + s + "\\D4", "N");
                add("P-" + s + "\\MF\\N", "4");
                add("P-" + s + "\\MF1", "64");
                add("P-" + s + "\\MF2", "1024");
                add("P-" + s + "\\MF4", "24");
                add("P-" + s + "\\MF5", "111110101111001100100000");
                add("P-" + s + "\\MFW1-1", "5");
                add("P-" + s + "\\MFW2-1", "8");
                add("R-1\\PDP-" + s, "T");
            } else if (word == "1553IN") {
                add("B-" + s + "\\DLN", "LINK" + s);
                add("B-" + s + "\\BNA-1", "BUS" + s);
            } else if (word == "ANAIN") {
                add("R-1\\ACH\\N-" + s, "4");
                add("R-1\\ASR-" + s, "1000.0");
                for (int i = 1; i <= 4; ++i) add("R-1\\AMN-" + s + "-" + std::to_string(i), "M" + std::to_string(i));
            } else if (word == "UARTIN") {
                add("R-1\\NUS\\N-" + s, "2");
                add("R-1\\UNM-" + s + "-1", "NAV-R");
                add("R-1\\UNM-" + s + "-2", "NAV-T");
            } else if (word == "TIMIN") {
                add("R-1\\TTF-" + s, "1");
                add("R-1\\TSRC-" + s, "E");
            }
        }
        channels = n;
        std::string head = "G\\PN:BENCH;\r\nG\\106:09;\r\nG\\DSI\\N:1;\r\nG\\DSI-1:REC;\r\nR-1\\ID:REC;\r\nR-1\\N:" +
                           std::to_string(n) + ";\r\nR-1\\NSB:0;\r\nR-1\\EV\\E:T;\r\nR-1\\IDX\\E:T;\r\n";
        std::string text = head + body;
        textBytes = text.size();
        ch10fix::Bytes packet = ch10fix::BuildSetupPacket(text);
        buffer.assign(kFirstRead, 0);
        std::copy(packet.begin(), packet.begin() + static_cast<std::ptrdiff_t>(std::min(packet.size(), kFirstRead)),
                  buffer.begin());
    }
};

FirstRead& Shared() {
    static FirstRead r;
    return r;
}

void Run(benchmark::State& state, bool withLog) {
    FirstRead& r = Shared();
    std::string log = withLog ? platform::MakeTempFile("bench-tmats") : std::string();
    char errorText[80];
    for (auto _ : state) {
        CHAN_INFO* info = process_tmats_packet(r.buffer.data(), static_cast<int>(r.buffer.size()), errorText,
                                               withLog ? log.c_str() : nullptr);
        benchmark::DoNotOptimize(info);
        if (!info || info->ChannelCount < r.channels) state.SkipWithError("validation failed");
    }
    state.counters["channels"] = r.channels;
    state.counters["tmats_bytes"] = static_cast<double>(r.textBytes);
    if (withLog) platform::RemoveFile(log);
}

void BM_TmatsFirstRead(benchmark::State& s) { Run(s, false); }
void BM_TmatsFirstReadWithLog(benchmark::State& s) { Run(s, true); }

}  // namespace

// Every call keeps its record for the life of the process, as callers rely
// on; the iteration counts are bounded so memory stays modest.
BENCHMARK(BM_TmatsFirstRead)->Unit(benchmark::kMillisecond)->Iterations(30);
BENCHMARK(BM_TmatsFirstReadWithLog)->Unit(benchmark::kMillisecond)->Iterations(30);
BENCHMARK_MAIN();
