#pragma once
// The window program's module-wide state: one struct, with a reset for tests.
#include "platform/dirtree.h"
#include "vexa/ui/recorder_drives.h"

namespace vexa {

struct UiModuleState {
    // Once "Open &RMM" has been turned off it stays off for the process.
    bool recorderButtonOff = false;
    // The drives the Open Files dialog lists; none set: the library's.
    RecorderDrives* recorderDrives = nullptr;

    // The network the Select Directory dialog browses; none set: Linux's,
    // which lists nothing.
    platform::NetworkEnumerator* network = nullptr;

    RecorderDrives& Drives() { return recorderDrives != nullptr ? *recorderDrives : LibraryRecorderDrives(); }
    platform::NetworkEnumerator& Network() {
        static platform::NoNetwork none;
        return network != nullptr ? *network : none;
    }
    void ResetForTests() {
        recorderButtonOff = false;
        recorderDrives = nullptr;
        network = nullptr;
    }
};

UiModuleState& UiState();

}  // namespace vexa
