#pragma once
// The recording-input calls of libtessin behind one interface, for the
// program and libsandral alike. Runs go through the library; tests put in an
// input that does what files cannot (a recorder's whole-chunk reads, a read
// that fails or blocks in mid-file). Internal to the project: not installed
// with tessin.h, and compiled into each user, so it adds no export.
#include <cstdint>

#include "tessin.h"

namespace tessin {

class RecordingInput {
public:
    virtual ~RecordingInput() = default;
    virtual int Open(const char* path, int inputType) = 0;
    virtual int Read(int handle, void* buffer, int count) = 0;
    virtual int64_t Goto(int handle, uint32_t offsetLow, int32_t offsetHigh, int origin) = 0;
    virtual int Close(int handle) = 0;
    // iSize by default: test inputs that only replace reads keep it.
    virtual int64_t Size(const char* path, int inputType) { return iSize(path, inputType); }
};

// iOpen, iRead, iGoto and iClose of libtessin.
inline RecordingInput& LibraryInput() {
    class Library final : public RecordingInput {
    public:
        int Open(const char* path, int inputType) override { return iOpen(path, inputType); }
        int Read(int handle, void* buffer, int count) override { return iRead(handle, buffer, count); }
        int64_t Goto(int handle, uint32_t low, int32_t high, int origin) override {
            return iGoto(handle, low, high, origin);
        }
        int Close(int handle) override { return iClose(handle); }
    };
    static Library library;
    return library;
}

}  // namespace tessin
