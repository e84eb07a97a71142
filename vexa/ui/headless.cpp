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
#include "vexa/ui/headless_choices.h"
#include "vexa/ui/headless_options.h"
#include "vexa/ui/permission.h"
#include "vexa/ui/recorder_drives.h"
#include "vexa/ui/startup.h"
#include "vexa/ui/ui_module_state.h"
#include "vexa/ui/vexa_app.h"
#include "vexa/ui/vexa_view.h"

namespace vexa {

namespace {

using Arguments = HeadlessOptions;

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
    std::string refusedChoice;       // an option the dialog did not take
};

// "Open Files" answered as the options chose: back to the disk when the
// stored source directory looked like a recorder drive, the choices, then
// OK; Cancel when OK leaves it open or a choice was refused. The choices
// wait for a dialog that opened without a box: one that could not read
// the TMATS reports that on OK instead.
void AnswerOpenFiles(ui::HeadlessBackend& backend, const Arguments& args, std::size_t& okFrom,
                     std::string& refused) {
    const std::size_t before = backend.Boxes().size();
    backend.AnswerModal(res::kIddOpenFiles, [&backend, &args, &okFrom, &refused, before](ui::Dialog& d,
                                                                                        ui::Driver& driver) {
        if (d.GetCheck(1094)) driver.Click(d, 1095);
        if (backend.Boxes().size() == before) refused = MakeChoices(d, driver, backend, args);
        okFrom = backend.Boxes().size();
        if (refused.empty()) driver.Click(d, ui::kIdOk);
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
    uiState.recorderDrives = &uiState.noDrives;
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
            AnswerOpenFiles(backend, args, okFrom, run.refusedChoice);
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
    HeadlessParse parsed = ParseHeadlessOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (parsed.options.help) {
        std::fputs(HeadlessUsage(), stdout);
        return 0;
    }
    if (!parsed.ok()) {
        std::fprintf(stderr, "vexa: %s\n%s", parsed.error.c_str(), HeadlessUsageLine());
        return 2;
    }
    Arguments& args = parsed.options;
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
    if (!run.refusedChoice.empty()) {
        std::fprintf(stderr, "vexa: %s\n", run.refusedChoice.c_str());
        return 2;
    }
    if (!run.started) return 1;
    return Report(run);
}

const char* HeadlessUsage() { return HeadlessUsageText().c_str(); }

}  // namespace vexa
