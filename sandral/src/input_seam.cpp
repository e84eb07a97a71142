#include "input_seam.h"

#include "tessin.h"

namespace sandral {

namespace {
class Library final : public RecordingInput {
public:
    int Open(const char* path, int inputType) override { return iOpen(path, inputType); }
    int Read(int handle, void* buffer, int count) override { return iRead(handle, buffer, count); }
    int64_t Goto(int handle, uint32_t low, int32_t high, int origin) override {
        return iGoto(handle, low, high, origin);
    }
    int Close(int handle) override { return iClose(handle); }
};
}  // namespace

int64_t RecordingInput::Size(const char* path, int inputType) { return iSize(path, inputType); }

RecordingInput& LibraryInput() {
    static Library library;
    return library;
}

}  // namespace sandral
