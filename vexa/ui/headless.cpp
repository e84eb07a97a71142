#include "vexa/ui/headless.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/ui/headless.h"
#include "vexa/engine/engine_state.h"
#include "vexa/engine/validation_engine.h"
#include "vexa/res/resource_ids.h"
#include "vexa/ui/permission.h"
#include "vexa/ui/recorder_drives.h"
#include "vexa/ui/startup.h"
#include "vexa/ui/ui_module_state.h"
#include "vexa/ui/vexa_app.h"
#include "vexa/ui/vexa_view.h"

namespace vexa {

namespace {

constexpr const char* kUsage =
    "usage: vexa --headless [--output-dir DIR] [--output-file NAME] [--tmats FILE] PATH\n"
    "  PATH  a Chapter 10 recording, or a directory whose *.ch10 files are validated one after the other\n";

struct Arguments {
    std::string outputDir;
    std::string outputFile = "validate.log";
    std::string tmats;
    std::string path;
};

bool Parse(int argc, char** argv, Arguments& args) {
    bool havePath = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc) return false;
            out = argv[++i];
            return true;
        };
        if (a == "--headless") continue;
        if (a == "--output-dir") {
            if (!value(args.outputDir)) return false;
        } else if (a == "--output-file") {
            if (!value(args.outputFile) || args.outputFile.empty()) return false;
        } else if (a == "--tmats") {
            if (!value(args.tmats) || args.tmats.empty()) return false;
        } else if (a.size() > 1 && a[0] == '-') {
            return false;
        } else {
            if (havePath) return false;
            args.path = a;
            havePath = true;
        }
    }
    return havePath && !args.path.empty();
}

// --help or -h where an option may stand.
bool WantsHelp(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--help" || a == "-h") return true;
        if (a == "--output-dir" || a == "--output-file" || a == "--tmats") ++i;
    }
    return false;
}

// The registry of the run: the machine's hive read-only, the user's in
// memory, seeded as a returning user who chose these in "Open Files".
platform::RegistryConfig HeadlessRegistry() {
    platform::RegistryConfig config = platform::RegistryConfig::FromEnvironment();
    config.machine.access = platform::HiveAccess::Never;
    config.user.inMemory = true;
    config.user.access = platform::HiveAccess::Always;
    return config;
}

void SeedUserSettings(platform::Registry& registry, const Arguments& args, bool directory) {
    platform::RegistryKey key;
    if (registry.Create(platform::Hive::CurrentUser, kUserKey, key) != platform::RegStatus::Ok) return;
    auto set = [&](const char* name, const std::string& text) { key.Set(name, platform::kRegSz, text + '\0'); };
    set("InputType", directory ? "0" : "1");
    if (directory) set("SourceDir1", args.path);
    set("OutputDir1", args.outputDir);
    set("OutputFile", args.outputFile);
    if (!args.tmats.empty()) set("ExternTMATS1", args.tmats);
    set("UseExtern", args.tmats.empty() ? "1" : "0");
}

// What the run through the window gives for the report.
struct WindowRun {
    bool started = false;  // start-up went through
    bool ended = false;
    RunEnd end;
    std::vector<std::string> written;
    std::vector<FailedOutput> failed;
    std::vector<std::string> boxes;  // from the press of OK on
};

// "Open Files" answered as its defaults stand: back to the disk when the
// stored source directory looked like a recorder drive, then OK; Cancel
// when OK leaves it open.
void AnswerOpenFiles(ui::HeadlessBackend& backend, std::size_t& okFrom) {
    backend.AnswerModal(res::kIddOpenFiles, [&backend, &okFrom](ui::Dialog& d, ui::Driver& driver) {
        if (d.GetCheck(1094)) driver.Click(d, 1095);
        okFrom = backend.Boxes().size();
        driver.Click(d, ui::kIdOk);
        if (d.Ended()) return;
        driver.Pump();
        driver.Click(d, ui::kIdCancel);
    });
}

// Open, Validate, the run's end, then Exit: the user's session.
void Session(ui::Driver& driver, CVexaApp& app, WindowRun& run) {
    driver.Command(res::kCmdOpenFiles);
    auto* view = dynamic_cast<CVexaView*>(app.View());
    if (view != nullptr && view->Controller().streamState.filesOpen) {
        driver.Command(res::kCmdValidate);
        while (!view->LastRunEnd()) driver.PumpWait(std::chrono::seconds(1));
        driver.Pump();
        run.ended = true;
        run.end = *view->LastRunEnd();
        run.written = view->Controller().OutputsWritten();
        run.failed = view->Controller().OutputsFailed();
    }
    driver.Pump();
    driver.Command(res::kCmdAppExit);
}

WindowRun RunThroughWindow(const Arguments& args, const StartupState& startup) {
    WindowRun run;
    std::error_code ec;
    const bool directory = std::filesystem::is_directory(args.path, ec);
    ui::HeadlessBackend backend;
    // quillon would print on standard output; a run from here never lists drives.
    UiModuleState& uiState = UiState();
    RecorderDrives* drivesBefore = uiState.recorderDrives;
    uiState.recorderDrives = &NoRecorderDrives();
    {
        CVexaApp app(directory ? std::vector<std::string>{} : std::vector<std::string>{args.path}, startup,
                     HeadlessRegistry());
        SeedUserSettings(app.Registry(), args, directory);
        app.reportRefusal = [](const PermissionAnswer& answer) {
            if (answer.kind == PermissionAnswer::Kind::Failed) std::fprintf(stderr, "%s\n", answer.reason.c_str());
            std::fprintf(stderr, "%s\n", std::string(kRefusalText).c_str());
        };
        if (app.InitInstance() == ui::InitResult::Ok) {
            run.started = true;
            std::size_t okFrom = 0;
            AnswerOpenFiles(backend, okFrom);
            backend.SetSession([&](ui::Driver& driver) { Session(driver, app, run); });
            app.Run();
            const auto& boxes = backend.Boxes();
            for (std::size_t i = okFrom; i < boxes.size(); ++i) run.boxes.push_back(boxes[i].text);
        }
    }
    uiState.recorderDrives = drivesBefore;
    return run;
}

std::string WithoutTrailingNewlines(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

// Prints what the run gave and decides the exit status: 0 only for a
// completed run of every file without a box, an early end or a failed output.
int Report(const WindowRun& run) {
    const bool allWritten = run.failed.empty();
    if (run.ended && run.end.completed && allWritten) {
        std::printf("Validation completed\n");
        for (const auto& path : run.written) std::printf("%s\n", path.c_str());
        std::fflush(stdout);
    }
    // Each box once, with its count when it came again.
    std::vector<std::string> order;
    std::map<std::string, int> counts;
    for (const auto& box : run.boxes) {
        std::string text = WithoutTrailingNewlines(box);
        if (counts[text]++ == 0) order.push_back(text);
    }
    for (const auto& text : order) {
        if (counts[text] > 1) std::fprintf(stderr, "%s (%d times)\n", text.c_str(), counts[text]);
        else std::fprintf(stderr, "%s\n", text.c_str());
    }
    // A failure that showed no box of its own is named here.
    for (const auto& failed : run.failed)
        if (!failed.reported) std::fprintf(stderr, "Error writing %s\n", failed.path.c_str());
    bool early = false;
    if (run.ended && !run.end.quietEnd.empty()) {
        std::fprintf(stderr, "%s\n", run.end.quietEnd.c_str());
        early = true;
    }
    if (run.ended && run.end.directoryRun && run.end.filesValidated < run.end.filesTotal) {
        std::fprintf(stderr, "Validated %d of %d files\n", run.end.filesValidated, run.end.filesTotal);
        early = true;
    }
    const bool clean = run.ended && run.end.completed && allWritten && !early && order.empty() &&
                       run.end.filesValidated >= run.end.filesTotal;
    return clean ? 0 : 1;
}

}  // namespace

bool WantsHeadless(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--headless") == 0) return true;
    return false;
}

int RunHeadless(int argc, char** argv) {
    const StartupState startup = ProbeErrorList();
    if (WantsHelp(argc, argv)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    Arguments args;
    if (!Parse(argc, argv, args)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    namespace fs = std::filesystem;
    std::error_code ec;
    if (args.outputDir.empty()) args.outputDir = fs::current_path(ec).string();

    // Settings of the dialog's defaults; nothing per-user is read or written.
    ErrorAccounting& errors = Engine().errors;
    errors.maxSameErrorPerChannel = 0;
    errors.maxErrorsPerPacket = 5;
    errors.maxErrorsPerChannel = 5;
    Engine().spaceDelimited = false;

    const WindowRun run = RunThroughWindow(args, startup);
    if (!run.started) return 1;
    return Report(run);
}

const char* HeadlessUsage() { return kUsage; }

}  // namespace vexa
