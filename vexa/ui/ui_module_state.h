#pragma once
// The window program's module-wide state: one struct, with one reset for
// tests.
#include <functional>
#include <string>
#include <vector>

#include "platform/dirtree.h"
#include "vexa/ui/recorder_drives.h"

namespace vexa {

// Starts another program by its argument vector and returns at once;
// whether it started.
using ProgramLauncher = std::function<bool(const std::vector<std::string>& argv)>;
bool LaunchProgram(const std::vector<std::string>& argv);

struct UiModuleState {
    // Once "Open &RMM" has been turned off it stays off for the process.
    bool recorderButtonOff = false;
    // The drives the Open Files dialog lists; none set: the library's.
    RecorderDrives* recorderDrives = nullptr;
    // The network the Select Directory dialog browses; none set: Linux's,
    // which lists nothing.
    platform::NetworkEnumerator* network = nullptr;
    // How the About box starts the system information program and how a
    // text file is shown (tests install launchers that record).
    ProgramLauncher launchSystemInfo = LaunchProgram;
    ProgramLauncher launchTextViewer = LaunchProgram;

    // What the choices above fall back to, and the display-less run's
    // drives. They hold nothing.
    LibraryRecorderDrives libraryDrives;
    NoRecorderDrives noDrives;
    platform::NoNetwork noNetwork;

    RecorderDrives& Drives() { return recorderDrives != nullptr ? *recorderDrives : libraryDrives; }
    platform::NetworkEnumerator& Network() { return network != nullptr ? *network : noNetwork; }
    void ResetForTests() { *this = UiModuleState(); }
};

UiModuleState& UiState();

}  // namespace vexa
