// The validation engine over an arbitrary byte stream served from memory
// through its input seam, behind a fixed setup record. The first input
// byte sets the run's options (body checks and the simulated-data checks,
// the packet listing off or Verbose or Space Delimited, a selected
// channel); the rest is the stream. Headers found in the stream get their
// checksum fixed up, so that mutations reach the checks behind it.
#include <chrono>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "ch10/packet_header.h"
#include "tessin/recording_input.h"
#include "tessin_state.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/support/ch10_fixture.h"
#include "tests/support/engine_test_access.h"
#include "tests/support/tmats_builder.h"
#include "vexa/engine/engine_state.h"
#include "vexa/engine/queue_host.h"
#include "vexa/engine/validation_engine.h"

namespace {

using ch10fix::Bytes;

// Channels of every kind the body and word checks look at.
const Bytes& SetupRecord() {
    static const Bytes record = [] {
        ch10fix::TmatsAttributes t{{"G\\PN", "FUZZ"}, {"G\\106", "07"}, {"R-1\\ID", "REC"}};
        const char* kinds[] = {"TIMIN", "PCMIN", "1553IN", "ANAIN", "DISIN", "VIDIN", "429IN", "ETHIN", "UARTIN"};
        t.Add("R-1\\N", std::to_string(std::size(kinds)));
        for (std::size_t i = 0; i < std::size(kinds); ++i) {
            const std::string n = std::to_string(i + 1);
            t.Add("R-1\\TK1-" + n, n);
            t.Add("R-1\\DSI-" + n, "CH" + n);
            t.Add("R-1\\CHE-" + n, "T");
            t.Add("R-1\\CDT-" + n, kinds[i]);
        }
        return ch10fix::BuildSetupPacket(t);
    }();
    return record;
}

// Every sync word with a whole header behind it gets the header checksum
// its first 22 bytes call for.
void FixHeaderChecksums(Bytes& b, std::size_t from) {
    for (std::size_t at = from; at + 24 <= b.size(); ++at) {
        if (b[at] != 0x25 || b[at + 1] != 0xEB) continue;
        uint16_t sum = ch10::ComputeHeaderChecksum(b.data() + at);
        b[at + 22] = static_cast<uint8_t>(sum);
        b[at + 23] = static_cast<uint8_t>(sum >> 8);
    }
}

// The engine's input calls on the stream of the input in hand.
class MemoryInput final : public tessin::RecordingInput {
public:
    void Load(const Bytes* bytes) { file_.Load(bytes ? bytes->data() : nullptr, bytes ? bytes->size() : 0); }
    int Open(const char*, int) override { return file_.Open(); }
    int Read(int handle, void* buffer, int count) override { return file_.Read(handle, buffer, count); }
    int64_t Goto(int handle, uint32_t low, int32_t high, int origin) override {
        return file_.Goto(handle, low, high, origin);
    }
    int Close(int handle) override { return file_.Close(handle); }

private:
    fuzz::MemoryFile file_;
};

// One engine for the whole run, as the program keeps one for a session of
// runs: its megabytes of buffers are made once. Module-wide state and the
// engine's validation state are reset before every input.
struct Session {
    MemoryInput input;
    vexa::QueueHost host;
    vexa::ValidationEngine engine{host, input};
    std::string source = fuzz::ScratchFile("frame.ch10");
    Session() {
        fuzz::WriteBytes(source, nullptr, 0);  // the source must exist; its bytes come from memory
        engine.clock = [] { return std::time_t{1700000000}; };
    }
};

void Run(const Bytes& stream, uint8_t options) {
    static Session* session = new Session;  // reachable to the end: no leak report
    Session& s = *session;
    s.input.Load(&stream);
    vexa::EngineTestAccess::ResetModuleState();
    vexa::EngineTestAccess::ResetValidationState(s.engine);
    vexa::CRunConfig& config = s.engine.runConfig;
    config.inputType = 1;
    config.validateBodies = options & 1;
    config.validateSimPcm = options >> 1 & 1;
    config.validateSim1553 = options >> 2 & 1;
    config.listAllPackets = options >> 3 & 1;
    vexa::Engine().spaceDelimited = options >> 4 & 1;
    config.selectedChannel = options >> 5;
    vexa::OpenFilesTexts texts;
    texts.sourceFile = s.source;
    texts.outputDir = fuzz::Scratch();
    if (s.engine.OpenFiles(texts)) {
        s.engine.Validate();
        s.host.PumpUntilRunEnded(std::chrono::seconds(30));
    }
    s.engine.CloseFiles();
    s.host.Pump();
    s.host.boxes.clear();
    s.host.runEnds.clear();
    s.input.Load(nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    Bytes stream = SetupRecord();
    const std::size_t from = stream.size();
    stream.insert(stream.end(), data + 1, data + size);
    FixHeaderChecksums(stream, from);
    Run(stream, data[0]);
    tessin::ResetStateForTests();
    tessin::ReleaseTmatsRecordsForTests();
    return 0;
}
