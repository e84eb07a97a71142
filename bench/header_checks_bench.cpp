// The header-check step over generated streams of well-formed packets with
// data checksums: bytes and packets per second.
#include <benchmark/benchmark.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/ch10_fixture.h"
#include "vexa/engine/error_accounting.h"
#include "vexa/engine/header_checks.h"

namespace {

using namespace vexa;

constexpr std::size_t kStreamBytes = 64u << 20;

// 64 MiB of packets of `packetLength` bytes on four channels, sequence
// numbers running per channel.
struct Stream {
    ch10fix::Bytes bytes;
    std::vector<std::size_t> starts;

    Stream(uint32_t packetLength, ch10fix::Checksum checksum) {
        const std::size_t checksumBytes = checksum == ch10fix::Checksum::Sum32   ? 4
                                          : checksum == ch10fix::Checksum::Sum16 ? 2
                                                                                 : 1;
        bytes.reserve(kStreamBytes);
        for (uint32_t i = 0; bytes.size() + packetLength <= kStreamBytes; ++i) {
            ch10fix::PacketSpec s;
            s.channelId = static_cast<uint16_t>(1 + i % 4);
            s.dataType = 0x09;
            s.dataTypeVersion = 6;
            s.sequence = static_cast<uint8_t>(i / 4);
            s.checksum = checksum;
            s.checksumAfterData = true;
            s.body.resize(packetLength - 24 - 4 - checksumBytes);
            for (std::size_t b = 0; b < s.body.size(); ++b) s.body[b] = static_cast<uint8_t>(b * 31 + i);
            starts.push_back(bytes.size());
            ch10fix::Append(bytes, ch10fix::BuildPacket(s));
        }
    }
};

void BM_HeaderCheckStep(benchmark::State& state) {
    const auto packetLength = static_cast<uint32_t>(state.range(0));
    const auto checksum = static_cast<ch10fix::Checksum>(state.range(1));
    const Stream stream(packetLength, checksum);
    auto errors = std::make_unique<ErrorAccounting>();
    auto section = std::make_unique<HeaderSectionState>();
    std::string findings;
    std::size_t failures = 0;
    PerSlot<bool> seen{};
    for (auto _ : state) {
        section->Reset();
        seen.fill(false);
        for (std::size_t start : stream.starts) {
            const uint8_t* p = stream.bytes.data() + start;
            const ch10::PacketHeader h = ch10::PacketHeader::DecodeUnchecked(p);
            const ch10::PacketView view = ch10::PacketView::Of(p, stream.bytes.size() - start, h.packetLength);
            const int slot = h.channelId;
            uint8_t& previous = section->SequenceRecord(slot, 0, h.dataType);
            findings.clear();
            errors->BeginPacket();
            const HeaderCheckInput in{.header = h,
                                      .view = view,
                                      .slot = slot,
                                      .previousSequence = seen[static_cast<std::size_t>(slot)]
                                                              ? std::optional<uint8_t>(previous)
                                                              : std::nullopt,
                                      .fileDataVersion = 13};
            const HeaderCheckMarks marks = RunHeaderChecks(*errors, in, findings);
            section->recordedDataChecksum[static_cast<std::size_t>(slot)] = marks.recordedChecksum;
            previous = h.sequence;
            seen[static_cast<std::size_t>(slot)] = true;
            failures += findings.size();
        }
        benchmark::DoNotOptimize(section->recordedDataChecksum.data());
    }
    if (failures != 0) state.SkipWithError("a well-formed packet gave a finding");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(stream.bytes.size()));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(stream.starts.size()));
    state.counters["packets"] = static_cast<double>(stream.starts.size());
}

BENCHMARK(BM_HeaderCheckStep)
    ->ArgNames({"packet", "checksum"})
    ->Args({4096, 3})
    ->Args({200, 3})
    ->Args({4096, 1})
    ->Args({200, 1})
    ->Args({4096, 2})
    ->Args({200, 2})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
