// vexa ("Kelvane"): validates Chapter 10 recordings against their TMATS.
#include <cstdio>

#include "vexa/ui/headless.h"

int main(int argc, char** argv) {
    if (vexa::WantsHeadless(argc, argv)) return vexa::RunHeadless(argc, argv);
    std::fprintf(stderr,
                 "vexa: the window is not built yet; run a validation with\n"
                 "  vexa --headless [--output-dir DIR] [--output-file NAME] [--tmats FILE] PATH\n");
    return 2;
}
