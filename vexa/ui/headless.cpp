#include "vexa/ui/headless.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "vexa/engine/engine_state.h"
#include "vexa/engine/queue_host.h"
#include "vexa/engine/validation_engine.h"

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

// The main window's title: the version shows only with the error list in
// the working directory.
std::string WindowTitle() {
    return ::access("VexaV_ErrorList.txt", R_OK) == 0 ? "Kelvane - Ver 3.9" : "Kelvane";
}

std::string WithoutTrailingNewlines(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

}  // namespace

bool WantsHeadless(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--headless") == 0) return true;
    return false;
}

int RunHeadless(int argc, char** argv) {
    Arguments args;
    if (!Parse(argc, argv, args)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    namespace fs = std::filesystem;
    std::error_code ec;
    if (args.outputDir.empty()) args.outputDir = fs::current_path(ec).string();

    QueueHost host;
    host.title = WindowTitle();
    // Settings of the dialog's defaults; nothing per-user is read or written.
    ErrorAccounting& errors = Engine().errors;
    errors.maxSameErrorPerChannel = 0;
    errors.maxErrorsPerPacket = 5;
    errors.maxErrorsPerChannel = 5;
    Engine().spaceDelimited = false;

    int status = 1;
    {
        ValidationEngine engine(host);
        engine.timePacketTolerance = 5;
        engine.intraPacketTolerance = 5;
        CRunConfig& config = engine.runConfig;
        config.listAllPackets = 0;
        config.validateBodies = 0;
        config.validateSimPcm = 0;
        config.validateSim1553 = 0;
        config.selectedChannel = 0;
        config.sourceIsRecorder = 0;
        const bool directory = fs::is_directory(args.path, ec);
        config.inputType = directory ? 0 : 1;

        OpenFilesTexts texts;
        texts.tmats = args.tmats.empty() ? std::string(kUseInternalTmats) : args.tmats;
        texts.outputDir = args.outputDir;
        texts.outputFile = args.outputFile;
        if (directory) texts.sourceDir = args.path;
        else texts.sourceFile = args.path;

        bool ended = false;
        RunEnd end;
        if (engine.OpenFiles(texts)) {
            engine.Validate();
            host.PumpUntilRunEnded(std::chrono::hours(24 * 365));
            host.Pump();
            if (!host.runEnds.empty()) {
                ended = true;
                end = host.runEnds.front();
            }
        }
        host.Pump();

        if (ended && end.completed) {
            std::printf("Validation completed\n");
            for (const auto& path : engine.OutputsWritten()) std::printf("%s\n", path.c_str());
            std::fflush(stdout);
        }

        // Each box once, with its count when it came again.
        std::vector<std::string> order;
        std::map<std::string, int> counts;
        for (const auto& box : host.boxes) {
            std::string text = WithoutTrailingNewlines(box.text);
            if (counts[text]++ == 0) order.push_back(text);
        }
        for (const auto& text : order) {
            if (counts[text] > 1) std::fprintf(stderr, "%s (%d times)\n", text.c_str(), counts[text]);
            else std::fprintf(stderr, "%s\n", text.c_str());
        }
        bool early = false;
        if (ended && !end.quietEnd.empty()) {
            std::fprintf(stderr, "%s\n", end.quietEnd.c_str());
            early = true;
        }
        if (ended && end.directoryRun && end.filesValidated < end.filesTotal) {
            std::fprintf(stderr, "Validated %d of %d files\n", end.filesValidated, end.filesTotal);
            early = true;
        }
        if (ended && end.completed && !early && order.empty() && end.filesValidated >= end.filesTotal) status = 0;
    }
    return status;
}

}  // namespace vexa
