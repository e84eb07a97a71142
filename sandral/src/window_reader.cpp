#include "window_reader.h"

#include "sandral_state.h"

namespace sandral {

int ReadWindow(int handle, uint8_t* buffer, int count) {
    RecordingInput& in = *State().input;
    int held = 0;
    while (held < count) {
        const int got = in.Read(handle, buffer + held, count - held);
        if (got < 0) return held == 0 ? -1 : held;
        if (got == 0) break;
        held += got;
    }
    return held;
}

int64_t GotoOffset(int handle, int64_t offset) {
    const auto u = static_cast<uint64_t>(offset);
    return State().input->Goto(handle, static_cast<uint32_t>(u), static_cast<int32_t>(u >> 32), 0);
}

int OpenForScan(const char* path) { return State().input->Open(path ? path : "", 0); }

void CloseScan(int handle) {
    if (handle >= 0) State().input->Close(handle);
}

}  // namespace sandral
