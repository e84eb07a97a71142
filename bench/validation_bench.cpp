// A validation run against a plain read of the same file, in one process:
// the plain read in read-chunk pieces, the run with the Open Files dialog's
// defaults (listings off) and the run with the PCM and 1553 body checks on,
// for two generated recordings: 4-64 KiB packets and 200-byte packets.
// Each figure is the median of its repetitions; the rounds interleave the
// three so that a busy neighbour on the machine weighs on all of them.
// A ratio is refused when the run's log holds packet findings: it would
// time a listing, not a validation. In the same rounds, whole processes:
// `cat FILE` into /dev/null against `vexa --headless` with each argument
// set of kProcessCases, the program found beside this one.
//
// Environment: BENCH_VALIDATION_BYTES (4-64 KiB recording, default 1 GiB),
// BENCH_VALIDATION_SMALL_BYTES (200-byte recording, default 256 MiB),
// BENCH_VALIDATION_ROUNDS (default 3), BENCH_VALIDATION_COLD=1 to drop the
// page cache before every timed step (root only; said when it cannot).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tools/sample_recording.h"
#include "vexa/engine/engine_state.h"
#include "vexa/engine/queue_host.h"
#include "vexa/engine/validation_engine.h"

namespace {

constexpr std::size_t kChunk = 0xFC000;

uint64_t EnvBytes(const char* name, uint64_t fallback) {
    const char* v = std::getenv(name);
    return v ? std::strtoull(v, nullptr, 0) : fallback;
}

struct Recording {
    std::string name;
    std::string path;
    uint64_t bytes = 0;
};

uint64_t FileSize(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) return 0;
    const off_t size = ::lseek(fd, 0, SEEK_END);
    ::close(fd);
    return size < 0 ? 0 : static_cast<uint64_t>(size);
}

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

bool coldCache = false;
bool coldRefused = false;

// Drops the page cache when asked to and allowed; otherwise makes sure the
// file is in it.
void PrepareCache(const std::string& path) {
    if (!coldCache) {
        PlainRead(path);
        return;
    }
    ::sync();
    std::FILE* f = std::fopen("/proc/sys/vm/drop_caches", "w");
    if (!f || std::fputs("3\n", f) < 0 || std::fclose(f) != 0) {
        coldRefused = true;
        PlainRead(path);
    }
}

struct RunResult {
    double seconds = 0;
    uint32_t packets = 0;
    long findings = -1;  // packet findings in the log; -1 when the run failed
};

// Numbered findings in the log: the copied TMATS validation log's
// "Error:" lines carry no number.
long PacketFindings(const std::string& logPath) {
    std::ifstream in(logPath, std::ios::binary);
    if (!in) return -1;
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    static const std::regex numbered("Error [0-9]+:");
    return std::distance(std::sregex_iterator(text.begin(), text.end(), numbered), std::sregex_iterator());
}

// One run through the engine entry the window and `vexa --headless` use,
// with the dialog's defaults; `bodies` turns the PCM and 1553 body checks on.
RunResult Validate(const std::string& source, const std::string& outDir, bool bodies) {
    vexa::QueueHost host;
    vexa::ErrorAccounting& errors = vexa::Engine().errors;
    errors.maxSameErrorPerChannel = 0;
    errors.maxErrorsPerPacket = 5;
    errors.maxErrorsPerChannel = 5;
    vexa::Engine().spaceDelimited = false;

    RunResult result;
    vexa::ValidationEngine engine(host);
    vexa::CRunConfig& config = engine.runConfig;
    config.listAllPackets = 0;
    config.validateBodies = bodies ? 1 : 0;
    config.validateSimPcm = 0;
    config.validateSim1553 = 0;
    config.selectedChannel = 0;
    config.sourceIsRecorder = 0;
    config.inputType = 1;
    vexa::OpenFilesTexts texts;
    texts.sourceFile = source;
    texts.outputDir = outDir;
    texts.outputFile = "validate.log";

    const auto start = std::chrono::steady_clock::now();
    if (!engine.OpenFiles(texts)) return result;
    engine.Validate();
    host.PumpUntilRunEnded(std::chrono::hours(1));
    host.Pump();
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const bool completed = !host.runEnds.empty() && host.runEnds.front().completed &&
                           host.runEnds.front().quietEnd.empty() && host.boxes.empty();
    result.packets = engine.Snapshot().packetCountAll;
    if (completed) result.findings = PacketFindings(outDir + "/validate.log");
    return result;
}

// Arguments of `vexa --headless` before the output folder and the file.
const std::vector<std::vector<std::string>> kProcessCases = {{"--headless"}, {"--headless", "--body-checks"}};

std::string vexaPath;

// Seconds of one process with its output into /dev/null; negative when it
// could not start or did not exit with status 0.
double TimeProcess(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return -1;
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid) return -1;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? seconds : -1;
}

std::vector<std::string> VexaArgs(std::size_t c, const std::string& outDir, const std::string& path) {
    std::vector<std::string> args{vexaPath};
    args.insert(args.end(), kProcessCases[c].begin(), kProcessCases[c].end());
    args.insert(args.end(), {"--output-dir", outDir, path});
    return args;
}

struct Figures {
    std::vector<double> plain, off, on, cat;
    std::vector<std::vector<double>> processes = std::vector<std::vector<double>>(kProcessCases.size());
    uint32_t packets = 0;
    long findingsOff = 0, findingsOn = 0;
    bool processFailed = false;
};

std::vector<Recording> recordings;
std::vector<Figures> figures;
ch10fix::TempDir* workDir = nullptr;

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// `cat` and each vexa case once, warm.
void TimeProcesses(const Recording& r, const std::string& out, Figures& f) {
    if (vexaPath.empty()) return;
    PrepareCache(r.path);
    const double cat = TimeProcess({"/bin/cat", r.path});
    if (cat < 0) f.processFailed = true;
    else f.cat.push_back(cat);
    for (std::size_t c = 0; c < kProcessCases.size(); ++c) {
        PrepareCache(r.path);
        const double s = TimeProcess(VexaArgs(c, out, r.path));
        if (s < 0) f.processFailed = true;
        else f.processes[c].push_back(s);
    }
}

// One round: plain read, listings off, body checks on, then the processes.
void BM_Round(benchmark::State& state) {
    const auto index = static_cast<std::size_t>(state.range(0));
    const Recording& r = recordings[index];
    Figures& f = figures[index];
    const std::string out = workDir->Path();
    for (auto _ : state) {
        PrepareCache(r.path);
        auto start = std::chrono::steady_clock::now();
        const uint64_t read = PlainRead(r.path);
        f.plain.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        if (read != r.bytes) state.SkipWithError("the plain read came short");

        PrepareCache(r.path);
        RunResult off = Validate(r.path, out, false);
        PrepareCache(r.path);
        RunResult on = Validate(r.path, out, true);
        if (off.findings < 0 || on.findings < 0) {
            state.SkipWithError("the validation run did not complete");
            break;
        }
        f.off.push_back(off.seconds);
        f.on.push_back(on.seconds);
        f.packets = off.packets;
        f.findingsOff = std::max(f.findingsOff, off.findings);
        f.findingsOn = std::max(f.findingsOn, on.findings);
        TimeProcesses(r, out, f);
    }
    state.counters["plain_ms"] = Median(f.plain) * 1e3;
    state.counters["off_ms"] = Median(f.off) * 1e3;
    state.counters["on_ms"] = Median(f.on) * 1e3;
}

void PrintProcesses(const Figures& f) {
    if (vexaPath.empty()) {
        std::printf("  processes: no vexa beside this program\n");
        return;
    }
    if (f.processFailed) std::printf("  processes: a run did not start or did not exit with status 0\n");
    const double cat = Median(f.cat);
    if (cat <= 0) return;
    std::printf("  cat             %8.1f ms\n", cat * 1e3);
    for (std::size_t c = 0; c < kProcessCases.size(); ++c) {
        std::string name = "vexa";
        for (const std::string& a : kProcessCases[c]) name += " " + a;
        const double s = Median(f.processes[c]);
        if (s > 0) std::printf("  %-28s %8.1f ms  ratio to cat %.2f\n", name.c_str(), s * 1e3, s / cat);
    }
}

void PrintFigures() {
    std::printf("\n%ld cores online; medians of %zu rounds%s\n", sysconf(_SC_NPROCESSORS_ONLN),
                figures.empty() ? std::size_t{0} : figures[0].plain.size(),
                coldCache ? (coldRefused ? " (page cache could NOT be dropped: warm figures)" : ", page cache dropped before each step")
                          : ", warm page cache");
    for (std::size_t i = 0; i < recordings.size(); ++i) {
        const Recording& r = recordings[i];
        const Figures& f = figures[i];
        const double plain = Median(f.plain), off = Median(f.off), on = Median(f.on);
        if (plain <= 0 || off <= 0 || on <= 0) {
            std::printf("%s: no figures\n", r.name.c_str());
            continue;
        }
        const double mb = static_cast<double>(r.bytes) / 1e6;
        std::printf("%s: %.0f MB, %u packets\n", r.name.c_str(), mb, f.packets);
        std::printf("  plain read      %8.1f ms  %7.0f MB/s\n", plain * 1e3, mb / plain);
        auto line = [&](const char* what, double s, long findings) {
            std::printf("  %-15s %8.1f ms  %7.0f MB/s  %6.2f M packets/s  ", what, s * 1e3, mb / s,
                        f.packets / s / 1e6);
            if (findings > 0) std::printf("ratio refused: %ld packet findings in the log\n", findings);
            else std::printf("ratio %.2f\n", s / plain);
        };
        line("listings off", off, f.findingsOff);
        line("body checks on", on, f.findingsOn);
        PrintProcesses(f);
    }
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    const std::filesystem::path beside =
        std::filesystem::read_symlink("/proc/self/exe").parent_path() / "vexa";
    if (::access(beside.c_str(), X_OK) == 0) vexaPath = beside.string();
    coldCache = std::getenv("BENCH_VALIDATION_COLD") && std::string(std::getenv("BENCH_VALIDATION_COLD")) == "1";
    ch10fix::TempDir dir;
    workDir = &dir;
    const struct {
        const char* name;
        const char* env;
        uint64_t fallback;
        uint32_t packetBytes;
    } kinds[] = {{"4-64 KiB packets", "BENCH_VALIDATION_BYTES", 1ull << 30, 0},
                 {"200-byte packets", "BENCH_VALIDATION_SMALL_BYTES", 256ull << 20, 200}};
    for (const auto& k : kinds) {
        Recording r;
        r.name = k.name;
        r.path = dir.File(k.packetBytes ? "small.ch10" : "mixed.ch10");
        ch10gen::StreamOptions options;
        options.packetBytes = k.packetBytes;
        if (!ch10gen::WriteStream(r.path, EnvBytes(k.env, k.fallback), 1, options)) {
            std::fprintf(stderr, "cannot write %s\n", r.path.c_str());
            return 1;
        }
        r.bytes = FileSize(r.path);
        recordings.push_back(r);
    }
    figures.resize(recordings.size());
    const auto rounds = static_cast<benchmark::IterationCount>(EnvBytes("BENCH_VALIDATION_ROUNDS", 3));
    for (std::size_t i = 0; i < recordings.size(); ++i)
        benchmark::RegisterBenchmark(("BM_Round/" + recordings[i].name).c_str(), BM_Round)
            ->Arg(static_cast<int64_t>(i))
            ->Iterations(rounds)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PrintFigures();
    return 0;
}
