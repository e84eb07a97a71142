// Runs on the reader and processor threads: whole runs over real files, the
// recorder's whole-chunk reads, failing and blocked reads, the run controls
// at awkward moments, and directory runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <thread>

#include <unistd.h>

#include "platform/output_file.h"
#include "tests/support/engine_test_access.h"
#include "vexa/engine/check_sections.h"
#include "tests/support/engine_rig.h"
#include "tests/engine/pipeline/fake_input_rig.h"
#include "tools/sample_recording.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using ch10fix::Bytes;
using vexa::DisplayText;
using RunHook = vexa::ValidationEngine::RunHook;
using namespace std::chrono_literals;

constexpr uint32_t kChunk = 0xFC000;

// Ends the program when a test hangs, so a deadlock fails at once.
class Watchdog {
public:
    explicit Watchdog(std::chrono::seconds limit)
        : thread_([this, limit] {
              std::unique_lock lock(mutex_);
              if (!cv_.wait_for(lock, limit, [this] { return done_; })) {
                  std::fprintf(stderr, "test still running after %llds: hung\n",
                               static_cast<long long>(limit.count()));
                  std::abort();
              }
          }) {}
    ~Watchdog() {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        cv_.notify_all();
        thread_.join();
    }

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool done_ = false;
    std::thread thread_;
};

struct HookCounts {
    std::atomic<int> indexSetup{0}, indexAtEnd{0}, summary{0};
    std::atomic<int> summaryWithoutLog{0};  // the summary comes before the log is closed
    std::function<void(RunHook)> Probe(vexa::ValidationEngine& engine) {
        return [this, &engine](RunHook h) {
            (h == RunHook::IndexSetup ? indexSetup : h == RunHook::IndexAtEnd ? indexAtEnd : summary) += 1;
            // On the thread that finishes the run, which owns the outputs now.
            if (h == RunHook::Summary && !engine.Outputs().outputHandle.IsOpen()) ++summaryWithoutLog;
        };
    }
};

// An engine over the fake input (plain files pass through to the library).
struct LiveRun : rig::Engine {
    explicit LiveRun(rig::FakeInput& in) : rig::Engine(in) { vexa::EngineTestAccess::SetRunHookProbe(*engine, hooks.Probe(*engine)); }
    HookCounts hooks;
    // The run's end arrives, and after a little more pumping nothing else.
    ::testing::AssertionResult EndedOnce() {
        if (!AwaitEnd()) return ::testing::AssertionFailure() << "the run did not end";
        host.PumpUntil([] { return false; }, 50ms);
        if (host.runEnds.size() != 1) return ::testing::AssertionFailure() << host.runEnds.size() << " run ends";
        return ::testing::AssertionSuccess();
    }
    const vexa::RunEnd& End() const { return host.runEnds.at(0); }
    uint32_t Packets() const { return engine->display.packetCountAll.load(); }
    std::string Status() const { return engine->display.Text(DisplayText::status); }
};

// Pumps until `done` holds, for conditions that no post announces.
template <typename Pred>
bool PumpWhileWaiting(rig::Engine& e, Pred done, std::chrono::milliseconds timeout = 30s) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        e.host.Pump();
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

// Waits without pumping (the user-interface thread is busy elsewhere).
template <typename Pred>
bool WaitFor(Pred done, std::chrono::milliseconds timeout = 30s) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

class Pipeline : public ::testing::Test {
protected:
    Watchdog watchdog{120s};
    ch10fix::TempDir dir;
    rig::FakeInput input;

    std::string OutDir() {
        fs::create_directories(dir.File("out"));
        return dir.File("out");
    }
    std::string Write(const std::string& name, const Bytes& bytes) {
        fs::create_directories(fs::path(dir.File(name)).parent_path());
        EXPECT_TRUE(ch10fix::WriteFile(dir.File(name), bytes));
        return dir.File(name);
    }
};

// What the frame gives for these bytes, fed in read-sized pieces on this
// thread after the same Open Files step.
struct FrameResult {
    std::string findings;
    uint32_t packets = 0;
    std::array<uint32_t, vexa::kFormCounters> counters{};
};
FrameResult FrameOf(const std::string& source, const std::string& outDir) {
    fs::create_directories(outDir);
    rig::Engine e;
    EXPECT_TRUE(e->OpenFilesOk([&] {
        e->clock = rig::FixedClock;
        e->runConfig.inputType = 1;
        vexa::OpenFilesTexts t;
        t.sourceFile = source;
        t.outputDir = outDir;
        return t;
    }()));
    const Bytes bytes = ch10fix::ReadFile(source);
    vexa::EngineTestAccess::BeginFrameTest(*e);
    e->streamState.listingOn = true;
    vexa::CheckIndexSetup(vexa::EngineTestAccess::Run(*e));
    for (std::size_t at = 0; at < bytes.size(); at += kChunk) {
        const auto n = static_cast<int>(std::min<std::size_t>(kChunk, bytes.size() - at));
        EXPECT_EQ(vexa::EngineTestAccess::AppendAndValidate(*e, 1, n, bytes.data() + at, [] {}), vexa::BufferOutcome::NeedData);
    }
    EXPECT_EQ(vexa::EngineTestAccess::AppendAndValidate(*e, 2, 0, nullptr, [] {}), vexa::BufferOutcome::EndOfData);
    e->Outputs().Close();
    tessin::LibraryInput().Close(e->runConfig.inputHandle);
    e.host.Pump();
    FrameResult r;
    r.findings = rig::Findings(rig::ReadText(outDir + "/validate.log"));
    r.packets = e->display.packetCountAll.load();
    for (int i = 0; i < vexa::kFormCounters; ++i)
        r.counters[static_cast<std::size_t>(i)] = e->Errors().CounterValue(static_cast<vexa::FormCounter>(i));
    return r;
}

// Test data and the frame's results once per program: the tests repeat
// under the thread sanitizer, where building megabytes costs seconds.
const Bytes& Busy(std::size_t size) {
    static std::map<std::size_t, Bytes> made;
    auto it = made.find(size);
    if (it == made.end()) it = made.emplace(size, rig::BusyStream(size)).first;
    return it->second;
}
const FrameResult& Expected(const std::string& key, const std::string& source, const std::string& outDir) {
    static std::map<std::string, FrameResult> made;
    auto it = made.find(key);
    if (it == made.end()) it = made.emplace(key, FrameOf(source, outDir)).first;
    return it->second;
}

TEST_F(Pipeline, ThreadedRunGivesTheFrameLog) {
    const std::string source = Write("busy.ch10", Busy(2'500'000));
    LiveRun r(input);
    ASSERT_TRUE(r.Open(source, OutDir()));
    EXPECT_EQ(r->display.Text(DisplayText::source), "Source File: " + source);
    r->Validate();
    ASSERT_TRUE(r.EndedOnce());
    EXPECT_TRUE(r.End().completed);
    EXPECT_EQ(r.End().quietEnd, "");
    EXPECT_EQ(r.Status(), "Validation completed");
    EXPECT_TRUE(r.host.boxes.empty());
    EXPECT_EQ(r->FilesValidated(), 1);
    EXPECT_EQ(r.hooks.indexSetup.load(), 1);
    EXPECT_EQ(r.hooks.indexAtEnd.load(), 1);
    EXPECT_EQ(r.hooks.summary.load(), 1);
    EXPECT_EQ(r.hooks.summaryWithoutLog.load(), 0);
    EXPECT_EQ(r->OutputsWritten(),
              (std::vector<std::string>{OutDir() + "/validate.log.TMATS.tmt", OutDir() + "/validate.log",
                                        OutDir() + "/validate.log.summary.txt"}));
    const std::string log = rig::Findings(rig::ReadText(OutDir() + "/validate.log"));
    const uint32_t packets = r.Packets();
    const vexa::DisplaySnapshot shown = r->Snapshot();
    EXPECT_EQ(input.OpenHandles(), 0);
    r.engine.reset();

    const FrameResult& frame = Expected("busy 2.5 MB", source, dir.File("frame"));
    ASSERT_NE(frame.findings.find("Error 39"), std::string::npos);
    ASSERT_NE(frame.findings.find("Error 174"), std::string::npos);
    EXPECT_EQ(log, frame.findings);
    EXPECT_EQ(packets, frame.packets);
    EXPECT_EQ(shown.errorCounters, frame.counters);
}

struct BudgetCase {
    const char* name;
    std::size_t k;
    int delta;  // bytes beyond k whole chunks: -1 cuts the last packet, +1 adds a byte, more adds packets
    bool failLastRead;
    bool noSize;  // no directory size for the file
};

void PrintTo(const BudgetCase& c, std::ostream* os) { *os << c.name; }

class RecorderBudget : public Pipeline, public ::testing::WithParamInterface<BudgetCase> {};

TEST_P(RecorderBudget, ReadsEndAtTheDirectorySize) {
    const BudgetCase& c = GetParam();
    const Bytes stale = rig::Packet(2, 0x09, 200, 0x77);
    const std::size_t size = c.k * kChunk + (c.delta > 1 ? static_cast<std::size_t>(c.delta) : 0);
    Bytes bytes = Busy(size - 70000);
    // To the exact size: packets are whole 32-bit words, a few stray bytes go first.
    ch10fix::Append(bytes, Bytes((size - bytes.size()) % 4, 0xA5));
    ch10fix::PacketSpec fill;
    fill.channelId = 2;
    fill.dataType = 0x09;
    fill.body = Bytes(size - bytes.size() - 28, 0x3C);
    ch10fix::Append(bytes, ch10fix::BuildPacket(fill));
    if (c.delta == -1) bytes.resize(bytes.size() - 1);
    if (c.delta == 1) bytes.push_back(0x00);
    ASSERT_EQ(bytes.size(), c.k * kChunk + static_cast<std::size_t>(c.delta));
    const std::string plain = Write("plain.ch10", bytes);
    const FrameResult& expected = Expected(c.name, plain, dir.File("frame"));

    rig::FakeInput recorder;
    recorder.SetRecorderFile(bytes, stale);
    // Reads 1 to k of the reader's handle are whole chunks; read k + 1 asks for the rest.
    if (c.failLastRead) recorder.AddRule({"rec", static_cast<int>(c.k) + 1, rig::FakeInput::Action::Fail});
    LiveRun r(recorder);
    r->runConfig.sourceIsRecorder = 1;
    if (!c.noSize) r->runConfig.recorderFileSizes = {static_cast<int64_t>(bytes.size())};
    ASSERT_TRUE(r.Open("/drive/rec.ch10", OutDir()));
    r->Validate();
    ASSERT_TRUE(r.EndedOnce());
    EXPECT_TRUE(r.End().completed);
    EXPECT_TRUE(r.host.boxes.empty());
    EXPECT_EQ(recorder.OpenHandles(), 0);
    if (c.failLastRead || c.noSize) {
        EXPECT_EQ(r.End().quietEnd, "Error reading input file, processing stopped");
        EXPECT_EQ(r.hooks.indexAtEnd.load(), 0);
        EXPECT_LT(r.Packets(), expected.packets);
        if (c.noSize) {
            EXPECT_EQ(r.Packets(), 0u);
        }
        return;
    }
    EXPECT_EQ(r.End().quietEnd, "");
    EXPECT_EQ(r.hooks.indexAtEnd.load(), 1);
    EXPECT_EQ(r.Packets(), expected.packets);
    EXPECT_EQ(rig::Findings(rig::ReadText(OutDir() + "/validate.log")), expected.findings);
}

// A recorder file read to its directory size: whole-chunk reads whose bytes
// past the size are stale packets; the run must equal the same bytes read
// from a plain file.
INSTANTIATE_TEST_SUITE_P(Sizes, RecorderBudget,
                         ::testing::Values(BudgetCase{"OneChunk", 1, 0, false, false},
                                           BudgetCase{"OneChunkLess1", 1, -1, false, false},
                                           BudgetCase{"OneChunkAnd1", 1, 1, false, false},
                                           BudgetCase{"TwoChunks", 2, 0, false, false},
                                           BudgetCase{"TwoChunksLess1", 2, -1, false, false},
                                           BudgetCase{"TwoChunksAnd1", 2, 1, false, false},
                                           BudgetCase{"FailingLastRead", 2, 40000, true, false},
                                           BudgetCase{"NoSize", 1, 0, false, true}),
                         [](const ::testing::TestParamInfo<BudgetCase>& info) { return info.param.name; });

// A recorder source whose drive gives an input type of 100 or less (drive 0,
// or no drive at all) is never opened: that type would read a local file of
// the same name.
TEST_F(Pipeline, RecorderSourceWithoutADriveOpensNothing) {
    struct Case {
        const char* what;
        int recorderDrive;
        bool opens;
    };
    const Case cases[] = {{"no drives", -1, false}, {"below any drive", -7, false}, {"drive 3", 2, true}};
    const std::string local = Write("rec.ch10", rig::Packet(2, 0x09, 200, 0x77));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        rig::FakeInput recorder;
        recorder.SetRecorderFile(Busy(70000), {});
        rig::Engine e(recorder);
        e->runConfig.sourceIsRecorder = 1;
        e->runConfig.recorderDrive = c.recorderDrive;
        e->runConfig.recorderFileSizes = {70000};
        EXPECT_EQ(e.Open(local, OutDir()), c.opens);
        EXPECT_EQ(recorder.Opens() > 0, c.opens);
        e->CloseFiles();
    }
}

// Opening again closes the earlier log; a failed close may have lost its
// tail, so it is shown, and the new Open goes on.
TEST_F(Pipeline, FailedCloseOfTheEarlierLogIsShown) {
    const std::string source = Write("one.ch10", Busy(70000));
    struct Case {
        const char* what;
        bool failClose;
    };
    for (const Case& c : {Case{"close succeeds", false}, Case{"close fails", true}}) {
        SCOPED_TRACE(c.what);
        rig::Engine e;
        e->runConfig.inputType = 1;
        vexa::OpenFilesTexts texts;
        texts.sourceFile = source;
        texts.outputDir = OutDir();
        ASSERT_TRUE(e->OpenFilesOk(texts));
        ASSERT_TRUE(e->Outputs().outputHandle.IsOpen());
        if (c.failClose) platform::OutputFile::FailNthCloseForTests(1);
        EXPECT_TRUE(e->OpenFilesOk(texts));
        platform::OutputFile::FailNthCloseForTests(0);
        e.host.Pump();
        const auto boxes = e.BoxTexts();
        EXPECT_EQ(std::count(boxes.begin(), boxes.end(), "Error on closing output file"), c.failClose ? 1 : 0);
        EXPECT_TRUE(e->Outputs().outputHandle.IsOpen()) << "the new log is open";
        e->Outputs().Close();
        tessin::LibraryInput().Close(e->runConfig.inputHandle);
    }
}

// An output directory of only separators is the root; an empty one the
// working directory. The log's directory below does not exist, so the names
// are checked without writing into either.
TEST_F(Pipeline, RootOutputDirectoryIsTheRoot) {
    const std::string source = Write("one.ch10", Busy(70000));
    const std::string missing = "no-such-dir-" + std::to_string(::getpid());
    ASSERT_FALSE(fs::exists("/" + missing));
    ASSERT_FALSE(fs::exists(missing));
    struct Case {
        const char* outputDir;
        std::string expected;
    };
    const Case cases[] = {
        {"/", "/" + missing + "/validate.log"},
        {"//", "/" + missing + "/validate.log"},
        {"\\", "/" + missing + "/validate.log"},
        {"", missing + "/validate.log"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.outputDir);
        rig::Engine e;
        e->runConfig.inputType = 1;
        vexa::OpenFilesTexts texts;
        texts.sourceFile = source;
        texts.outputDir = c.outputDir;
        texts.outputFile = missing + "/validate.log";
        ASSERT_TRUE(e->OpenFilesOk(texts));
        EXPECT_EQ(e->runConfig.outputPath, c.expected);
        EXPECT_EQ(e->runConfig.summaryPath, c.expected + ".summary.txt");
        EXPECT_FALSE(e->Outputs().outputHandle.IsOpen());
        tessin::LibraryInput().Close(e->runConfig.inputHandle);
        e.host.Pump();
    }
}

// An empty source file: with a channel record from an earlier choice the
// user is asked for a source; without one the source is called invalid.
TEST_F(Pipeline, EmptySourceFileMessages) {
    const std::string source = Write("one.ch10", Busy(70000));
    struct Case {
        const char* what;
        bool earlierChoice;
        const char* box;
    };
    const Case cases[] = {
        {"after a valid source", true, "Please enter or select a valid source file"},
        {"without one", false, "Please select a valid source file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        rig::Engine e;
        e->runConfig.inputType = 1;
        vexa::OpenFilesTexts texts;
        texts.outputDir = OutDir();
        if (c.earlierChoice) {
            texts.sourceFile = source;
            ASSERT_TRUE(e->OpenFilesOk(texts));
            e->Outputs().Close();
            tessin::LibraryInput().Close(e->runConfig.inputHandle);
            e->runConfig.inputHandle = -1;
            e.host.Pump();
            e.host.boxes.clear();
        }
        texts.sourceFile.clear();
        EXPECT_FALSE(e->OpenFilesOk(texts));
        e.host.Pump();
        EXPECT_EQ(e.BoxTexts(), std::vector<std::string>{c.box});
    }
}

TEST_F(Pipeline, QuietEnds) {
    // A stream of three reads.
    const std::string source = Write("three.ch10", Busy(2'200'000));
    struct Case {
        const char* name;
        int failRead;  // read of the reader's handle that gives -1
        std::function<int(vexa::Frame&)> validator;
        const char* quietEnd;
        int indexAtEnd;
    } cases[] = {
        {"failed read in mid-file", 2, nullptr, "Error reading input file, processing stopped", 0},
        {"failed first read", 1, nullptr, "Error reading input file, processing stopped", 0},
        {"validator fails at once", 0, [](vexa::Frame&) { return -1; },
         "Error writing validation output, processing stopped", 0},
        {"validator fails in the second buffer", 0,
         [](vexa::Frame& f) { return f.PacketOffset() > kChunk + 5000 ? -1 : f.ValidateNextPacket(); },
         "Error writing validation output, processing stopped", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        rig::FakeInput in;
        // The Open Files step reads the TMATS through the path's first
        // handle; the reader reads through the second.
        if (c.failRead) in.AddRule({"three", c.failRead, rig::FakeInput::Action::Fail, 2});
        LiveRun r(in);
        if (c.validator) vexa::EngineTestAccess::SetValidator(*r, c.validator);
        ASSERT_TRUE(r.Open(source, OutDir()));
        r->Validate();
        ASSERT_TRUE(r.EndedOnce());
        EXPECT_TRUE(r.End().completed);
        EXPECT_EQ(r.End().quietEnd, c.quietEnd);
        EXPECT_TRUE(r.host.boxes.empty());
        EXPECT_EQ(r.hooks.indexAtEnd.load(), c.indexAtEnd);
        EXPECT_EQ(r.hooks.summary.load(), 1);
        EXPECT_EQ(r->FilesValidated(), 0);
        EXPECT_EQ(r.Status(), "Validation completed");
        EXPECT_EQ(in.OpenHandles(), 0);
    }
}

TEST_F(Pipeline, StopOrCloseBeforeValidate) {
    const std::string source = Write("s.ch10", Busy(2'500'000));
    for (bool close : {false, true}) {
        SCOPED_TRACE(close ? "Close" : "Stop");
        rig::FakeInput in;
        LiveRun r(in);
        ASSERT_TRUE(r.Open(source, OutDir()));
        // The reader fills both buffers ahead and waits.
        ASSERT_TRUE(WaitFor([&] { return in.Opens() == 2 && r.Packets() == 0; }));
        std::this_thread::sleep_for(5ms);
        if (close) {
            r->CloseFiles();
        } else {
            r->Stop();
        }
        ASSERT_TRUE(r.EndedOnce());
        EXPECT_TRUE(r.End().completed);
        EXPECT_EQ(r.Status(), "Validation completed");
        EXPECT_EQ(r.hooks.summary.load(), 1);
        EXPECT_EQ(r.hooks.indexSetup.load(), 0);  // the processor only left
        EXPECT_EQ(r.hooks.indexAtEnd.load(), 0);
        EXPECT_EQ(r.Packets(), 0u);
        EXPECT_FALSE(r->streamState.filesOpen.load());
        EXPECT_EQ(in.OpenHandles(), 0);
        const std::string log = rig::ReadText(OutDir() + "/validate.log");
        EXPECT_NE(log.find(source), std::string::npos);  // the header was written
        EXPECT_EQ(rig::Findings(log).find("Packet at offset"), std::string::npos);
        EXPECT_EQ(rig::Findings(log).find("Error"), std::string::npos);
        // Validate after the end does nothing.
        r->Validate();
        ASSERT_TRUE(r.EndedOnce());
        EXPECT_EQ(r.Packets(), 0u);
    }
}

TEST_F(Pipeline, StopOnABlockedRead) {
    const std::string source = Write("s.ch10", Busy(2'500'000));
    const FrameResult& whole = Expected("busy 2.5 MB", source, dir.File("frame"));
    input.AddRule({"s.ch10", 3, rig::FakeInput::Action::Block});
    LiveRun r(input);
    ASSERT_TRUE(r.Open(source, OutDir()));
    r->Validate();
    // The processor has the first buffer; the reader hangs in its third read.
    ASSERT_TRUE(input.blocked.WaitFor(30s));
    std::jthread late([&] {
        std::this_thread::sleep_for(30ms);
        input.release.Open();
    });
    r->Stop();  // waits for the reader to come back before closing the input
    late.join();
    ASSERT_TRUE(r.EndedOnce());
    EXPECT_TRUE(r.End().completed);
    EXPECT_EQ(r.End().quietEnd, "");
    EXPECT_EQ(r.hooks.summary.load(), 1);
    EXPECT_EQ(r.hooks.indexAtEnd.load(), 0);
    EXPECT_EQ(input.ClosedDuringRead(), 0);
    EXPECT_EQ(input.UnknownHandleUses(), 0);
    EXPECT_EQ(input.OpenHandles(), 0);
    EXPECT_LT(r.Packets(), whole.packets);
    EXPECT_EQ(r->FilesValidated(), 0);
}

TEST_F(Pipeline, ValidateTwice) {
    const std::string source = Write("s.ch10", Busy(2'500'000));
    const FrameResult& whole = Expected("busy 2.5 MB", source, dir.File("frame"));
    LiveRun r(input);
    ASSERT_TRUE(r.Open(source, OutDir()));
    r->Validate();
    r->Validate();  // already validating: nothing
    ASSERT_TRUE(r.AwaitEnd());
    r->Validate();  // after the end: nothing
    ASSERT_TRUE(r.EndedOnce());
    EXPECT_EQ(r.hooks.indexSetup.load(), 1);
    EXPECT_EQ(r.hooks.indexAtEnd.load(), 1);
    EXPECT_EQ(r.hooks.summary.load(), 1);
    EXPECT_EQ(r.Packets(), whole.packets);
    EXPECT_EQ(rig::Findings(rig::ReadText(OutDir() + "/validate.log")), whole.findings);
}

TEST_F(Pipeline, OpenDuringALiveRun) {
    const std::string first = Write("a/first.ch10", Busy(2'500'000));
    const std::string second = Write("b/second.ch10", Busy(1'200'000));
    const FrameResult& expected = Expected("busy 1.2 MB", second, dir.File("frame"));
    input.AddRule({"first", 2, rig::FakeInput::Action::Block, 2});  // the first run stays live
    LiveRun r(input);
    ASSERT_TRUE(r.Open(first, dir.File("a")));
    r->Validate();
    ASSERT_TRUE(WaitFor([&] { return r.Packets() > 10 && input.blocked.IsOpen(); }));
    std::jthread late([&] {
        std::this_thread::sleep_for(20ms);
        input.release.Open();
    });
    ASSERT_TRUE(r.Open(second, dir.File("b")));  // the live run ends as Close ends it
    late.join();
    r->Validate();
    ASSERT_TRUE(r.EndedOnce());  // the first run's end is not reported
    EXPECT_TRUE(r.End().completed);
    EXPECT_EQ(r.hooks.summary.load(), 2);
    EXPECT_EQ(r.hooks.indexAtEnd.load(), 1);
    EXPECT_EQ(r.Packets(), expected.packets);
    EXPECT_EQ(rig::Findings(rig::ReadText(dir.File("b/validate.log"))), expected.findings);
    EXPECT_TRUE(fs::exists(dir.File("a/validate.log")));
    EXPECT_EQ(r->OutputsWritten(),
              (std::vector<std::string>{dir.File("b/validate.log.TMATS.tmt"), dir.File("b/validate.log"),
                                        dir.File("b/validate.log.summary.txt")}));
    EXPECT_EQ(input.OpenHandles(), 0);
}

TEST_F(Pipeline, SnapshotsDuringARun) {
    const std::string source = dir.File("gen.ch10");
    ASSERT_TRUE(ch10gen::WriteStream(source, 3'000'000));
    LiveRun r(input);
    ASSERT_TRUE(r.Open(source, OutDir()));
    std::atomic<bool> done{false};
    std::atomic<int> backwards{0};
    std::jthread timer([&] {  // a second reader beside the user-interface thread
        uint32_t last = 0;
        while (!done) {
            vexa::DisplaySnapshot s = r->Snapshot();
            if (s.packetCountAll < last) ++backwards;
            last = s.packetCountAll;
            std::this_thread::yield();
        }
    });
    r->Validate();
    uint32_t last = 0;
    int reads = 0;
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (r.host.runEnds.empty() && std::chrono::steady_clock::now() < deadline) {
        r.host.Pump();
        vexa::DisplaySnapshot s = r->Snapshot();
        EXPECT_GE(s.packetCountAll, last);
        EXPECT_EQ(s.Text(DisplayText::source), "Source File: " + source);
        last = s.packetCountAll;
        ++reads;
        std::this_thread::sleep_for(200us);
    }
    done = true;
    timer.join();
    ASSERT_EQ(r.host.runEnds.size(), 1u);
    EXPECT_GT(reads, 0);
    EXPECT_EQ(backwards.load(), 0);
    const vexa::DisplaySnapshot end = r->Snapshot();
    EXPECT_EQ(end.packetCountAll, Expected("generated 3 MB", source, dir.File("frame")).packets);
    EXPECT_EQ(end.Text(DisplayText::status), "Validation completed");
    EXPECT_FALSE(end.stopEnabled);
    EXPECT_FALSE(end.validateEnabled);
}

// --- directory runs ------------------------------------------------------------

class DirectoryRun : public Pipeline {
protected:
    // Three sources, sorted f1, f2, f3; `second` replaces the middle one.
    void MakeSources(std::optional<Bytes> second = std::nullopt) {
        for (int i = 1; i <= 3; ++i) {
            Bytes b = Busy(200'000 + 150'000 * static_cast<std::size_t>(i));
            if (i == 2 && second) b = *second;
            sources.push_back(Write("src/f" + std::to_string(i) + ".ch10", b));
        }
    }
    std::string LogOf(int i) const {
        return vexa::MakeOutputNames(dir.File("out"), sources[static_cast<std::size_t>(i)]).outputPath;
    }
    // The setup record's content file, the log, then the summary: the order they are finished in.
    std::vector<std::string> OutputsOf(int i) const {
        const auto names = vexa::MakeOutputNames(dir.File("out"), sources[static_cast<std::size_t>(i)]);
        return {names.tmatsTextPath, names.outputPath, names.summaryPath};
    }
    std::vector<std::string> sources;
};

TEST_F(DirectoryRun, FilesStartByThemselves) {
    MakeSources();
    LiveRun r(input);
    ASSERT_TRUE(r.Open(dir.File("src"), OutDir(), 0));
    EXPECT_EQ(r->display.Text(DisplayText::source), "Source Dir (3 files): " + dir.File("src"));
    // Further files reuse the temporary TMATS log of the first, beside the outputs.
    const std::string tmatsLog = r->Tmats().LogPath();
    EXPECT_EQ(tmatsLog.rfind(OutDir() + "/validate.logfn", 0), 0u) << tmatsLog;
    r->Validate();
    ASSERT_TRUE(r.EndedOnce());
    EXPECT_TRUE(r.End().completed);
    EXPECT_TRUE(r.End().directoryRun);
    EXPECT_EQ(r.End().filesValidated, 3);
    EXPECT_EQ(r.End().filesTotal, 3);
    EXPECT_TRUE(r.host.boxes.empty());
    EXPECT_EQ(r.hooks.indexSetup.load(), 3);
    EXPECT_EQ(r.hooks.indexAtEnd.load(), 3);
    EXPECT_EQ(r.hooks.summary.load(), 3);
    EXPECT_EQ(r.hooks.summaryWithoutLog.load(), 0);
    EXPECT_EQ(r->Tmats().LogPath(), tmatsLog);
    EXPECT_FALSE(fs::exists(tmatsLog));  // each file's finish deletes it
    EXPECT_EQ(r.Status(), "Validation completed");
    EXPECT_EQ(r->display.Text(DisplayText::source), "Source File (3/3): " + sources[2]);
    std::vector<std::string> written;
    for (int i = 0; i < 3; ++i)
        for (const auto& path : OutputsOf(i)) written.push_back(path);
    EXPECT_EQ(r->OutputsWritten(), written);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        // Each file's log is what the frame gives for it alone.
        const FrameResult& alone = Expected("source " + std::to_string(i), sources[static_cast<std::size_t>(i)],
                                            dir.File("frame" + std::to_string(i)));
        EXPECT_EQ(rig::Findings(rig::ReadText(LogOf(i))), alone.findings);
        if (i == 2) {
            EXPECT_EQ(r.Packets(), alone.packets);  // the display counts the current file
        }
    }
    EXPECT_EQ(input.OpenHandles(), 0);
}

TEST_F(DirectoryRun, NextFileFails) {
    struct Case {
        const char* name;
        bool removeSecond;  // it cannot be opened
        std::optional<Bytes> second;
        bool completed;
        std::vector<std::string> boxes;
    };
    Bytes timeFirst = rig::Packet(1, 0x11, 8);
    ch10fix::Append(timeFirst, Busy(100'000));
    for (const Case& c : {Case{"failed open", true, std::nullopt, true, {}},
                          Case{"failed TMATS", false, timeFirst, false, {"TMATS"}}}) {
        SCOPED_TRACE(c.name);
        sources.clear();
        fs::remove_all(dir.File("src"));
        fs::remove_all(dir.File("out"));
        MakeSources(c.second);
        rig::FakeInput in;
        LiveRun r(in);
        ASSERT_TRUE(r.Open(dir.File("src"), OutDir(), 0));
        if (c.removeSecond) fs::remove(sources[1]);
        r->Validate();
        ASSERT_TRUE(r.EndedOnce());
        EXPECT_EQ(r.End().completed, c.completed);
        EXPECT_EQ(r.End().filesValidated, 1);
        EXPECT_EQ(r.Status(), c.completed ? "Validation completed" : "");
        if (c.boxes.empty()) {
            EXPECT_TRUE(r.host.boxes.empty());
        } else {
            ASSERT_EQ(r.host.boxes.size(), 1u);
            EXPECT_EQ(r.host.boxes[0].text, "Error reading TMATS Packet from '" + sources[1] + "'\n");
        }
        EXPECT_EQ(r.hooks.summary.load(), 1);
        EXPECT_EQ(r->OutputsWritten(), OutputsOf(0));
        EXPECT_FALSE(fs::exists(LogOf(2)));
        EXPECT_FALSE(r->streamState.filesOpen.load());
        EXPECT_EQ(in.OpenHandles(), 0);
    }
}

TEST_F(DirectoryRun, StopAndClose) {
    enum class When { InsideFile, BetweenFiles };
    struct Case {
        const char* name;
        When when;
        bool close;
    } cases[] = {
        {"Stop inside a file", When::InsideFile, false},
        {"Stop between files", When::BetweenFiles, false},
        {"Close inside a file", When::InsideFile, true},
        {"Close between files", When::BetweenFiles, true},
    };
    MakeSources();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(dir.File("out"));
        rig::FakeInput in;
        // Inside: the reader of the second file hangs in its second read.
        if (c.when == When::InsideFile) in.AddRule({"f2.ch10", 2, rig::FakeInput::Action::Block});
        LiveRun r(in);
        ASSERT_TRUE(r.Open(dir.File("src"), OutDir(), 0));
        r->Validate();
        int validated = 0;
        if (c.when == When::InsideFile) {
            ASSERT_TRUE(PumpWhileWaiting(r, [&] { return in.blocked.IsOpen(); }));
            validated = 1;
        } else {
            // The first file's threads are done and its next-file step waits
            // in the queue, unpumped.
            ASSERT_TRUE(WaitFor([&] { return vexa::EngineTestAccess::WorkersDone(*r); }));
            validated = 1;
        }
        // The blocked read ends only once Stop or Close has cleared the run
        // flag: a read that ended first would count its file as validated.
        std::jthread late([&] {
            WaitFor([&] { return !vexa::EngineTestAccess::Running(*r); });
            in.release.Open();
        });
        if (c.close) {
            r->CloseFiles();
        } else {
            r->Stop();
        }
        late.join();
        ASSERT_TRUE(r.EndedOnce());
        EXPECT_TRUE(r.End().completed);
        EXPECT_EQ(r.End().filesValidated, validated);
        EXPECT_EQ(r.Status(), "Validation completed");
        EXPECT_TRUE(r.host.boxes.empty());
        EXPECT_FALSE(fs::exists(LogOf(2)));
        EXPECT_EQ(fs::exists(LogOf(1)), c.when == When::InsideFile);
        EXPECT_EQ(r.hooks.summary.load(), c.when == When::InsideFile ? 2 : 1);
        EXPECT_EQ(in.ClosedDuringRead(), 0);
        EXPECT_EQ(in.OpenHandles(), 0);
    }
}

// A new Open while the next-file step of a directory run is still queued:
// that step belongs to a run that is over.
TEST_F(DirectoryRun, OpenWhileTheNextFileWaits) {
    MakeSources();
    const std::string single = Write("single/s.ch10", Busy(1'500'000));
    const FrameResult& expected = Expected("busy 1.5 MB", single, dir.File("frame"));
    LiveRun r(input);
    ASSERT_TRUE(r.Open(dir.File("src"), OutDir(), 0));
    r->Validate();
    ASSERT_TRUE(WaitFor([&] { return vexa::EngineTestAccess::WorkersDone(*r); }));
    ASSERT_TRUE(r.Open(single, dir.File("single")));
    r->Validate();
    ASSERT_TRUE(r.EndedOnce());
    EXPECT_TRUE(r.End().completed);
    EXPECT_FALSE(r.End().directoryRun);
    EXPECT_EQ(r.Packets(), expected.packets);
    EXPECT_EQ(rig::Findings(rig::ReadText(dir.File("single/validate.log"))), expected.findings);
    EXPECT_FALSE(fs::exists(LogOf(1)));
    EXPECT_EQ(input.OpenHandles(), 0);
}

// The engine's end while a next-file step waits closes what that step holds.
TEST_F(DirectoryRun, EngineEndsWhileTheNextFileWaits) {
    MakeSources();
    {
        LiveRun r(input);
        ASSERT_TRUE(r.Open(dir.File("src"), OutDir(), 0));
        r->Validate();
        ASSERT_TRUE(WaitFor([&] { return vexa::EngineTestAccess::WorkersDone(*r); }));
        r.engine.reset();
        r.host.Pump();
    }
    EXPECT_EQ(input.OpenHandles(), 0);
}

}  // namespace
