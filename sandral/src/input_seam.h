#pragma once
// The recording-input calls as the player and the loader use them. The
// library goes through libtessin; tests put in an input that fails or
// blocks a read in mid-file.
#include <cstdint>

namespace sandral {

class RecordingInput {
public:
    virtual ~RecordingInput() = default;
    virtual int Open(const char* path, int inputType) = 0;
    virtual int Read(int handle, void* buffer, int count) = 0;
    virtual int64_t Goto(int handle, uint32_t offsetLow, int32_t offsetHigh, int origin) = 0;
    virtual int Close(int handle) = 0;
    // iSize by default: test inputs that only replace reads keep it.
    virtual int64_t Size(const char* path, int inputType);
};

// iOpen, iRead, iGoto and iClose of libtessin.
RecordingInput& LibraryInput();

}  // namespace sandral
