#pragma once
// Shared pieces of the engine's run tests: recordings built with the fixture
// writer, a queue host pumped on the test thread, and an engine wired to it.
#include <chrono>
#include <cstdint>
#include <ctime>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/engine_test_access.h"
#include "tests/support/ch10_fixture.h"
#include "vexa/engine/engine_state.h"
#include "vexa/engine/queue_host.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tmats_builder.h"
#include "vexa/engine/validation_engine.h"

namespace rig {

using ch10fix::Bytes;
using namespace std::chrono_literals;

using ch10fix::ReadText;

// A TMATS record declaring `ids` as channels 1..n (PCM unless told).
inline ch10fix::TmatsAttributes Tmats(const std::vector<uint16_t>& ids, const std::string& revision = "07") {
    ch10fix::TmatsAttributes t{{"G\\PN", "RIG"}, {"G\\106", revision}, {"R-1\\ID", "REC"}};
    t.Add("R-1\\N", std::to_string(ids.size()));
    for (std::size_t i = 0; i < ids.size(); ++i) {
        std::string n = std::to_string(i + 1);
        t.Add("R-1\\TK1-" + n, std::to_string(ids[i]));
        t.Add("R-1\\DSI-" + n, "CH" + n);
        t.Add("R-1\\CDT-" + n, "PCMIN");
    }
    return t;
}

inline Bytes Packet(uint16_t channel, uint8_t dataType, std::size_t bodyBytes, uint8_t fill = 0x11,
                    uint8_t sequence = 0) {
    ch10fix::PacketSpec s;
    s.channelId = channel;
    s.dataType = dataType;
    s.sequence = sequence;
    // PCM: unpacked with intra-packet headers, frames locked; a clean word
    // keeps the data word checks out of tests about other things.
    if (dataType == 0x09) s.csdw = 0x5F040000;
    s.body = Bytes(bodyBytes, fill);
    return ch10fix::BuildPacket(s);
}

// Setup record for channels 2 and 3, then packets with garbage stretches
// and an undeclared channel, to about `size` bytes.
inline Bytes BusyStream(std::size_t size) {
    Bytes out = ch10fix::BuildSetupPacket(Tmats({2, 3}));
    uint8_t seq = 0;
    for (int i = 0; out.size() < size; ++i) {
        ch10fix::Append(out, Packet(i % 7 == 3 ? 9 : static_cast<uint16_t>(2 + i % 2), 0x09,
                                    1000 + static_cast<std::size_t>((i * 7919) % 60000), static_cast<uint8_t>(i),
                                    seq++));
        if (i % 11 == 5) ch10fix::Append(out, Bytes(13 + i % 5, 0xA5));
    }
    return out;
}

inline std::time_t FixedClock() { return 1700000000; }

// The log without its header (everything up to the last rule of "=").
inline std::string Findings(const std::string& log) {
    const std::string rule(130, '=');
    std::size_t at = log.rfind(rule);
    return at == std::string::npos ? log : log.substr(at + rule.size());
}

struct Engine {
    explicit Engine(tessin::RecordingInput& input = tessin::LibraryInput())
        : engine(std::make_unique<vexa::ValidationEngine>(host, input)) {
        vexa::EngineTestAccess::ResetModuleState();
    }
    vexa::QueueHost host;
    std::unique_ptr<vexa::ValidationEngine> engine;
    vexa::ValidationEngine& operator*() { return *engine; }
    vexa::ValidationEngine* operator->() { return engine.get(); }

    bool Open(const std::string& source, const std::string& outputDir, int inputType = 1) {
        engine->clock = FixedClock;
        engine->runConfig.inputType = inputType;
        vexa::OpenFilesTexts texts;
        texts.outputDir = outputDir;
        if (inputType == 1) texts.sourceFile = source;
        else texts.sourceDir = source;
        return engine->OpenFiles(texts);
    }
    // Pumps until the run's end; false on time-out.
    bool AwaitEnd(std::chrono::milliseconds timeout = 60s) { return host.PumpUntilRunEnded(timeout); }
    std::vector<std::string> BoxTexts() const {
        std::vector<std::string> out;
        for (const auto& b : host.boxes) out.push_back(b.text);
        return out;
    }
};

// The frame fed through the processor's append step, with the log open.
struct FrameRig {
    explicit FrameRig(std::vector<uint16_t> ids, int selected = 0) {
        vexa::EngineTestAccess::ResetModuleState();
        for (uint16_t id : ids) entries.push_back(CHAN_ENTRY{9, id, 1});
        info.ChannelCount = static_cast<int16_t>(entries.size());
        info.Channels = entries.data();
        vexa::EngineTestAccess::FrameOf(*engine).PrefillChannelTable(&info);
        engine->runConfig.selectedChannel = selected;
        engine->streamState.listingOn = true;
        vexa::OutputOpenRequest request;
        request.outputPath = dir.File("frame.log");
        request.sourcePath = "frame.ch10";
        request.title = "Kelvane";
        request.clock = FixedClock;
        engine->Outputs().OpenOutputFiles(request, host);
        vexa::EngineTestAccess::BeginFrameTest(*engine);
    }
    // Feeds `bytes` in pieces ending at `cuts`, then the end of data.
    std::string Run(const Bytes& bytes, std::vector<std::size_t> cuts = {}) {
        cuts.push_back(bytes.size());
        std::size_t from = 0;
        for (std::size_t cut : cuts) {
            if (cut <= from) continue;
            vexa::BufferOutcome o = vexa::EngineTestAccess::AppendAndValidate(*engine, 1, static_cast<int>(cut - from), bytes.data() + from, [] {});
            EXPECT_EQ(o, vexa::BufferOutcome::NeedData);
            from = cut;
        }
        EXPECT_EQ(vexa::EngineTestAccess::AppendAndValidate(*engine, 2, 0, nullptr, [] {}), vexa::BufferOutcome::EndOfData);
        engine->Outputs().Close();
        host.Pump();
        return Findings(ReadText(dir.File("frame.log")));
    }
    uint32_t Counter(vexa::FormCounter c) const { return engine->Errors().CounterValue(c); }
    uint32_t Packets() const { return engine->display.packetCountAll.load(); }

    ch10fix::TempDir dir;
    vexa::QueueHost host;
    std::vector<CHAN_ENTRY> entries;
    CHAN_INFO info{};
    std::unique_ptr<vexa::ValidationEngine> engine = std::make_unique<vexa::ValidationEngine>(host);
};

}  // namespace rig
