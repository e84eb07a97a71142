#pragma once
// The window-free steps of the program's start-up: the error-list probe, the
// title, the command line and the machine-wide values.
#include <string>
#include <vector>

#include "vexa/res/startup_names.h"

namespace platform {
class Registry;
}

namespace vexa {

// What start-up settles once and the rest of the program only reads.
struct StartupState {
    int errorListMissing = 1;  // 1: "VexaV_ErrorList.txt" could not be opened at start
    std::string builtInVersion{kBuiltInVersion};
    std::string initialSource;  // the command line's file name, or empty
    std::string docsDir;        // empty unless the machine-wide "Common" key opened
    std::string versionText;    // empty unless the machine-wide family key opened
};

// A state whose `errorListMissing` says whether "VexaV_ErrorList.txt" in the
// working directory can be opened for reading now (a directory cannot).
StartupState ProbeErrorList();

// "Kelvane", or "Kelvane - Ver " and the built-in version with the error list.
std::string WindowTitle(const StartupState& state);

// The first argument that is no option, as given: arguments beginning with
// "-" are options and ignored, "--" ends them, "/" begins a path. The
// arguments exclude the program's name.
std::string InitialSourceFromArgs(const std::vector<std::string>& args);

// `docsDir` from APPLICATIONDIR of the "Common" key and `versionText` from
// VERSION of the family key; each key is created where the machine hive is
// writable.
void ReadMachineValues(platform::Registry& registry, StartupState& state);

}  // namespace vexa
