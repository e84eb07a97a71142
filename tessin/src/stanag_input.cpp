// Recorder files through quillon. quillon hands out whole chunks and does not
// stop at the file's end; tessin stages each chunk, serves it in reads of the
// caller's size and cuts it at the size the open reported.
#include "stanag_input.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <string_view>

#include "platform/path.h"
#include "quillon.h"
#include "tessin_state.h"

namespace tessin::stanag {

namespace {

constexpr int kOpenHandle = 101;
constexpr int kRetryHandle = 1;

InputState& In() { return State().input; }

// A new stream, or a new position: nothing staged, nothing owed.
void StartOver(int64_t position) {
    RecorderInput& rec = In().recorder;
    rec.stagedBegin = rec.stagedEnd = 0;
    rec.position = position;
    rec.repositionDue = false;
}

// The name after the last separator. The index is found first: adding npos
// to the pointer, even to wrap back with + 1, overflows it.
std::size_t NameOffset(const char* path) {
    const std::size_t separator = platform::LastSeparator(path);
    return separator == std::string_view::npos ? 0 : separator + 1;
}

// One OpenSTANAGFile. Only a found file (1 with its size written) or a drive
// already streaming (4) is an open file; a failure leaves no drive open, so
// that the next open does not meet code 4.
bool OpenOnce(const char* path, int inputType) {
    InputState& in = In();
    char drive[16];  // any int
    std::snprintf(drive, sizeof drive, "%d", inputType - 100);
    const char* name = path ? path + NameOffset(path) : nullptr;

    StartOver(0);  // a new stream starts at the file's start
    // Code 4 tells no size: the one known before stays, so that an empty
    // file sized first still ends at 0 bytes instead of running into the
    // next file on the drive.
    const int64_t before = in.cachedSize;
    in.cachedSize = -1;  // stays -1 when the file is not on the drive
    int code = OpenSTANAGFile(drive, name, &in.cachedSize);
    if (code == 4) {
        in.cachedSize = before;
        return true;
    }
    if (code == 1 && in.cachedSize >= 0) return true;
    CloseSTANAGDrive();
    in.cachedSize = -1;
    return false;
}

void SendPosition(int64_t offset) {
    GetNextBuffer(static_cast<uint32_t>(offset), static_cast<int32_t>(offset >> 32), nullptr, kRecorderChunk);
    StartOver(offset);
}

int Serve(void* buffer, int count) {
    RecorderInput& rec = In().recorder;
    int n = std::min(count, rec.stagedEnd - rec.stagedBegin);
    std::memcpy(buffer, rec.staging.get() + rec.stagedBegin, static_cast<std::size_t>(n));
    rec.stagedBegin += n;
    return n;
}

}  // namespace

int Open(const char* path, int inputType) {
    InputState& in = In();
    if (in.cachedSize > 0) return kOpenHandle;
    if (OpenOnce(path, inputType)) {
        SendPosition(0);
        return kOpenHandle;
    }
    Close(kOpenHandle);
    in.cachedSize = -1;
    in.selector = inputType;
    return OpenOnce(path, inputType) ? kRetryHandle : -1;
}

int64_t Size(const char* path, int inputType) {
    if (!OpenOnce(path, inputType)) return -1;
    In().selector = inputType;
    return In().cachedSize;
}

int64_t Goto(int, int64_t offset, int origin) {
    const int64_t size = In().cachedSize;
    if (offset < 0 || origin == 1) return -1;
    if (offset == 0 && origin == 0) {
        // The start needs no size.
    } else if (offset == 0 && origin == 2) {
        // An unknown size would go out as a negative position, which quillon
        // takes for "the last one again".
        if (size < 0) return -1;
        offset = size;
    } else if (offset > size) {
        return -1;
    }
    SendPosition(offset);
    return offset;
}

int Read(int, void* buffer, int count) {
    InputState& in = In();
    RecorderInput& rec = in.recorder;
    if (count < 0) return -1;
    if (count == 0) return 0;
    if (rec.stagedBegin < rec.stagedEnd) return Serve(buffer, count);

    const int64_t size = in.cachedSize;
    if (size >= 0 && rec.position >= size) return 0;
    if (!rec.staging) {
        rec.staging.reset(new (std::nothrow) uint8_t[kRecorderChunk]);
        if (!rec.staging) return -1;
    }
    // A read given up on may have moved the drive part way into the chunk
    // before quillon dropped it.
    if (rec.repositionDue) SendPosition(rec.position);
    int got = GetNextBuffer(0, 0, rec.staging.get(), 0);
    if (got <= 0) {
        rec.repositionDue = true;
        // Short of a known end, no answer is a failure.
        return got < 0 || size >= 0 ? -1 : 0;
    }
    got = std::min(got, kRecorderChunk);
    if (size >= 0) got = static_cast<int>(std::min<int64_t>(got, size - rec.position));  // the rest is other files
    rec.position += got;
    rec.stagedBegin = 0;
    rec.stagedEnd = got;
    return Serve(buffer, count);
}

void Close(int) {
    CloseSTANAGDrive();
    StartOver(0);
}

}  // namespace tessin::stanag
