// The recording-input calls: one family over plain files, segment sets and
// recorder drives, routed by the input-type selector.
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "c_boundary.h"
#include "input.h"
#include "platform/path.h"
#include "segment_set.h"
#include "stanag_input.h"
#include "tessin.h"
#include "tessin_state.h"

namespace tessin {

bool IsSegmentSetName(std::string_view path) {
    std::size_t base = platform::BaseNameOffset(path);
    std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || dot != base + 8) return false;
    if (path[base] != 'D' && path[base] != 'd') return false;
    for (std::size_t i = base + 1; i < base + 8; ++i)
        if (path[i] < '0' || path[i] > '9') return false;
    return true;
}

int OpenReadOnly(const char* path) {
    int fd;
    do fd = ::open(path, O_RDONLY | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) return -1;
    // A directory opens read-only here, but holds no recording: its reads
    // fail and its "size" is far beyond any file.
    struct stat st{};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    if (fd < 3) {  // keep clear of the standard streams
        int raised = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
        ::close(fd);
        fd = raised;
        if (fd < 0) return -1;
    }
    // Recordings are mostly read front to back: a longer read-ahead keeps a
    // cold disk streaming. Only advice; its failure changes nothing.
    (void)::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    return fd;
}

int64_t DescriptorSize(int fd) {
    off_t end = ::lseek(fd, 0, SEEK_END);
    if (end < 0) return -1;
    ::lseek(fd, 0, SEEK_SET);
    return end;
}

namespace {

InputState& In() { return State().input; }

int OpenPlain(const char* path) {
    int fd = OpenReadOnly(path);
    if (fd < 0) return -1;
    if (fd >= kPlainDescriptorLimit) {  // would be taken for a segment-set handle
        ::close(fd);
        return -1;
    }
    In().ownDescriptors.set(fd);
    return fd;
}

int64_t GotoPlain(int fd, int64_t offset, int origin) {
    if (offset > 0) return ::lseek(fd, offset, SEEK_SET);
    if (offset == 0) return ::lseek(fd, 0, origin == 2 ? SEEK_END : SEEK_SET);
    if (origin != 1) return -1;
    off_t current = ::lseek(fd, 0, SEEK_CUR);
    if (current < 0) return -1;
    int64_t target = current + offset;
    if (target < 0) return -1;
    return ::lseek(fd, target, SEEK_SET);
}

int ReadPlain(int fd, void* buffer, int count) {
    ssize_t r;
    do r = ::read(fd, buffer, static_cast<size_t>(count));
    while (r < 0 && errno == EINTR);
    return r < 0 ? -1 : static_cast<int>(r);
}

}  // namespace
}  // namespace tessin

using namespace tessin;

// Every input call answers -1 when anything inside it fails unexpectedly,
// as for any other failed open, size, seek or read; iClose always 0.
TESSIN_API int iOpen(const char* path, int inputType) {
    return tessin::CallGuarded(-1, [&] {
        In().selector = inputType;
        if (inputType > 100) return stanag::Open(path, inputType);
        if (!path) return -1;
        if (IsSegmentSetName(path)) return segments::Open(path);
        return OpenPlain(path);
    });
}

TESSIN_API int64_t iSize(const char* path, int inputType) {
    return tessin::CallGuarded(int64_t{-1}, [&] {
        InputState& in = In();
        if (in.cachedSize > 0) return in.cachedSize;
        in.cachedSize = -1;
        if (inputType > 100) return stanag::Size(path, inputType);
        if (!path) return int64_t{-1};
        if (IsSegmentSetName(path)) {
            int64_t sum = segments::Size(path);
            if (sum > 0) in.cachedSize = sum;
        } else if (inputType == 0) {
            int fd = OpenReadOnly(path);
            if (fd >= 0) {
                in.cachedSize = DescriptorSize(fd);
                ::close(fd);
            }
        }
        return in.cachedSize;
    });
}

TESSIN_API int64_t iGoto(int handle, uint32_t offsetLow, int32_t offsetHigh, int origin) {
    if (origin < 0 || origin > 2) return -1;
    int64_t offset = static_cast<int64_t>(static_cast<uint64_t>(static_cast<int64_t>(offsetHigh)) << 32 |
                                          offsetLow);
    return tessin::CallGuarded(int64_t{-1}, [&] {
        if (handle >= kSegmentSetHandleBase) return segments::Goto(handle, offset, origin);
        if (In().selector > 100) return stanag::Goto(handle, offset, origin);
        return GotoPlain(handle, offset, origin);
    });
}

TESSIN_API int iRead(int handle, void* buffer, int count) {
    if (count < 0 || (count > 0 && !buffer)) return -1;
    return tessin::CallGuarded(-1, [&] {
        if (In().selector > 100) return stanag::Read(handle, buffer, count);
        if (count == 0) return 0;
        if (handle >= kSegmentSetHandleBase) return segments::Read(handle, buffer, count);
        return ReadPlain(handle, buffer, count);
    });
}

TESSIN_API int iClose(int handle) {
    InputState& in = In();
    // Closing always answers 0; the state is reset whatever happened.
    tessin::CallGuarded(0, [&] {
        if (in.selector > 100) {
            stanag::Close(handle);
        } else if (handle >= kSegmentSetHandleBase) {
            segments::Close(handle);
        } else if (handle > 0 && handle < kPlainDescriptorLimit && in.ownDescriptors.test(handle)) {
            ::close(handle);
            in.ownDescriptors.reset(handle);
        }
        return 0;
    });
    in.cachedSize = -1;
    in.selector = -1;
    return 0;
}

TESSIN_API int set_input_file_type(int inputType) {
    if (inputType < 0) return -1;
    In().selector = inputType;
    return 0;
}
