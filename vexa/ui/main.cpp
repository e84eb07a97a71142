// vexa ("Kelvane"): validates Chapter 10 recordings against their TMATS.
#include <cstdio>
#include <string>
#include <vector>

#include "vexa/ui/headless.h"
#include "vexa/ui/startup.h"
#include "vexa/ui/window_module.h"

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
    // The toolkit comes with the window module; the headless run never loads it.
    return vexa::RunWindowFromModule(argc, argv, std::move(probed));
}
