#include "vexa/ui/window_module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "platform/ui/wx_module.h"
#include "vexa/ui/vexa_app.h"

namespace vexa {
namespace {

constexpr const char* kHeadlessHint = "run a validation with vexa --headless PATH";

std::string ProgramDir() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string(".") : self.parent_path().string();
}

// The entry of the first candidate that loads; the module stays loaded for
// the life of the process. Nothing, with the line printed, otherwise.
void* LoadEntry() {
    const std::string dir = ProgramDir();
    std::string failure;
    for (const std::string& path : WindowModuleCandidates(dir)) {
        if (::access(path.c_str(), F_OK) != 0) continue;
        void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (module == nullptr) {
            const char* why = ::dlerror();
            failure = why != nullptr ? why : path;
            break;
        }
        if (void* entry = ::dlsym(module, ui::kWxModuleEntry)) return entry;
        failure = path + " has no entry " + ui::kWxModuleEntry;
        break;
    }
    if (failure.empty())
        failure = std::string(ui::kWxModuleName) + " is not beside the program nor in ../lib (" + dir + ")";
    std::fprintf(stderr, "vexa: the window module cannot be loaded: %s; %s\n", failure.c_str(), kHeadlessHint);
    return nullptr;
}

struct WindowRun {
    StartupState probed;
};

int RunProgram(void* context, int argc, char** argv) {
    try {
        auto* run = static_cast<WindowRun*>(context);
        return RunWindowProgram(std::vector<std::string>(argv, argv + argc), std::move(run->probed));
    } catch (...) {
        return 1;
    }
}

}  // namespace

std::vector<std::string> WindowModuleCandidates(const std::string& programDir) {
    return {programDir + "/" + ui::kWxModuleName, programDir + "/../lib/" + ui::kWxModuleName};
}

int RunWindowFromModule(int argc, char** argv, StartupState probed) {
    void* entry = LoadEntry();
    if (entry == nullptr) return 1;
    auto run = reinterpret_cast<decltype(&ui_wx_run)>(entry);
    WindowRun context{std::move(probed)};
    const int status = run(argc, argv, &RunProgram, &context);
    switch (status) {
        case ui::kWxNoDisplay:
            std::fprintf(stderr, "vexa: no display can be opened; %s\n", kHeadlessHint);
            return 1;
        case ui::kWxBadScript: return 3;
        case ui::kWxFailed: return 1;
        default: return status;
    }
}

}  // namespace vexa
