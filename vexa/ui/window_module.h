#pragma once
// The window back end, loaded from its own module only when a window opens.
#include <string>
#include <vector>

#include "vexa/ui/startup.h"

namespace vexa {

// Where the module is looked for: beside the program (the build tree), then
// in ../lib (an installed bin/vexa with lib/ beside bin/).
std::vector<std::string> WindowModuleCandidates(const std::string& programDir);

// The window program on the module's back end: its status, or 1 with one
// line on stderr when the module cannot be loaded or no display opens.
int RunWindowFromModule(int argc, char** argv, StartupState probed);

}  // namespace vexa
