#pragma once
// The recording-input calls as the engine uses them. Runs go through the
// library; tests put in an input that does what files cannot (a recorder's
// whole-chunk reads, a failing read in mid-file, a read that blocks).
#include <cstdint>

namespace vexa {

class RecordingInput {
public:
    virtual ~RecordingInput() = default;
    virtual int Open(const char* path, int inputType) = 0;
    virtual int Read(int handle, void* buffer, int count) = 0;
    virtual int64_t Goto(int handle, uint32_t offsetLow, int32_t offsetHigh, int origin) = 0;
    virtual int Close(int handle) = 0;
};

// iOpen, iRead, iGoto and iClose of libtessin.
RecordingInput& LibraryInput();

}  // namespace vexa
