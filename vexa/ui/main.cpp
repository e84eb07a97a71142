// vexa ("Kelvane"): validates Chapter 10 recordings against their TMATS.
#include <cstdio>
#include <string>
#include <vector>

#include "vexa/ui/headless.h"
#include "platform/ui/backend.h"
#include "vexa/ui/startup.h"
#include "vexa/ui/vexa_app.h"
#if VEXA_HAVE_WX
#include "platform/ui/wx.h"
#endif

namespace {

constexpr const char* kWindowUsage =
    "usage: vexa [FILE]\n"
    "  opens the validator's window; FILE pre-fills the source of \"Open Files\"\n";

bool WantsHelp(const std::vector<std::string>& args) {
    for (const std::string& a : args) {
        if (a == "--") break;
        if (a == "--help" || a == "-h") return true;
    }
    return false;
}

#if VEXA_HAVE_WX
// The toolkit gets the whole vector and takes its own options out; start-up
// gets the rest.
int RunOnWx(int argc, char** argv, vexa::StartupState probed) {
    auto toolkit = ui::WxToolkit::Start(argc, argv);
    if (!toolkit) {
        std::fprintf(stderr, "vexa: no display can be opened; run a validation with vexa --headless PATH\n");
        return 1;
    }
    int status = 1;
    {
        ui::WxBackend backend;
        if (!ui::StartUiScriptFromEnvironment(backend)) return 3;
        status = vexa::RunWindowProgram(toolkit->Args(), std::move(probed));
        ui::StopUiScript();
    }
    return status;
}
#endif

}  // namespace

int main(int argc, char** argv) {
    if (vexa::WantsHeadless(argc, argv)) return vexa::RunHeadless(argc, argv);
    std::vector<std::string> args(argv + 1, argv + argc);
    if (WantsHelp(args)) {
        std::fputs(kWindowUsage, stdout);
        std::fputs(vexa::HeadlessUsage(), stdout);
        return 0;
    }
    // The error-list probe belongs before anything else of start-up.
    vexa::StartupState probed = vexa::ProbeErrorList();
#if VEXA_HAVE_WX
    return RunOnWx(argc, argv, std::move(probed));
#else
    if (ui::CurrentBackend() == nullptr) {
        std::fprintf(stderr, "vexa: no window back end is built; run a validation with vexa --headless PATH\n");
        return 1;
    }
    return vexa::RunWindowProgram(std::move(args), std::move(probed));
#endif
}
