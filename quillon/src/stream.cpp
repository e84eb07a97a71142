// Streaming one file: the caller hands requests to one worker thread, which
// does the device reads, and waits for each answer for a bounded time.
#include <chrono>
#include <climits>
#include <optional>
#include <cstring>
#include <new>
#include <system_error>
#include <vector>

#include "directory.h"
#include "ingest_link.h"
#include "platform/text.h"
#include "quillon.h"
#include "quillon_state.h"

namespace quillon {

namespace {

using namespace std::chrono_literals;
using Wait = platform::AutoResetEvent::WaitResult;

constexpr auto kWorkerWait = 1000ms;
constexpr auto kAnswerWait = 2000ms;
constexpr auto kJoinWait = 5000ms;

struct ChunkSplit {
    int32_t full = 0;
    int32_t rest = 0;
};

ChunkSplit Split(int32_t chunk) { return {chunk / kReadPiece, chunk % kReadPiece}; }

// Where the worker stands in the file being served.
struct FilePlace {
    std::optional<int64_t> base;  // empty: the entry's start block lies off the device
    uint64_t size = 0;
    uint64_t next = 0;    // file offset of the next byte the device gives
    bool failed = false;  // a read failed inside the file: reads fail until a new position
};

// Seeks to `position` within the file; -1 beyond its size or the device's
// offsets, and nothing when no position is stored.
int32_t CarryOutPosition(int32_t handle, FilePlace& place, int64_t position, int32_t chunk, ChunkSplit& split) {
    if (position < 0) return 0;
    if (!place.base || static_cast<uint64_t>(position) > place.size || position > INT64_MAX - *place.base) return -1;
    link::SeekDev(handle, *place.base + position);
    place.next = static_cast<uint64_t>(position);
    place.failed = false;
    split = Split(chunk);
    return 0;
}

// Fills `buffer` with the next chunk while its request stays current;
// false when the caller gave the request up (the buffer is then no longer
// written). A read that fails while the file has bytes left ends the chunk
// with what came before it, and the stream then fails: taking it as 0
// bytes would leave a hole. Reads past the file's end may come back short
// or fail; the caller cuts the chunk at the file's size.
bool ReadChunk(int32_t handle, const ChunkSplit& split, FilePlace& place, uint64_t number, void* buffer,
               std::vector<uint8_t>& piece, int32_t& result) {
    StreamState& st = State().stream;
    if (!place.base || place.failed) {
        result = -1;
        return true;
    }
    auto readPiece = [&](int32_t count) {
        int32_t got = link::ReadDev(handle, piece.data(), count);
        if (got == link::kReadFailed) {
            place.failed = place.next < place.size;
            got = 0;
        }
        place.next += static_cast<uint64_t>(got);
        std::lock_guard lock(st.handover);
        if (!st.request.currentOpen || st.request.currentNumber != number) return false;
        if (got > 0) std::memcpy(static_cast<uint8_t*>(buffer) + result, piece.data(), static_cast<std::size_t>(got));
        result += got;
        return true;
    };
    for (int32_t i = 0; i < split.full && !place.failed; ++i)
        if (!readPiece(kReadPiece)) return false;
    if (split.rest != 0 && !place.failed && !readPiece(split.rest)) return false;
    if (place.failed && result == 0) result = -1;
    return true;
}

// Serves requests for one file until the cancel flag is set.
void StreamSTANAGFile(const DirEntry& entry, platform::AutoResetEvent& requestEvent,
                      platform::AutoResetEvent& replyEvent, std::vector<uint8_t>& piece) {
    QuillonState& s = State();
    const DriveState& d = s.drive;
    StreamState& st = s.stream;

    // The chain walk's checked arithmetic: a start block from the medium
    // that puts the file off the device is served as a file that fails.
    FilePlace place;
    place.base = BlockOffset(entry.startBlock, d.firstDirectoryBlock, d.blockSize);
    place.size = entry.size;
    if (place.base) link::SeekDev(d.handle, *place.base);
    ChunkSplit split;
    {
        std::lock_guard lock(st.handover);
        split = Split(st.request.chunkSize);
    }

    for (;;) {
        if (st.cancel) return;
        if (requestEvent.WaitFor(kWorkerWait) != Wait::Signalled) continue;

        bool current, positionPending;
        uint64_t number;
        void* buffer;
        int64_t position;
        int32_t chunk;
        {
            std::lock_guard lock(st.handover);
            current = st.request.currentOpen;
            positionPending = st.request.positionPending;
            st.request.positionPending = false;
            if (!current && !positionPending) continue;  // answered or abandoned already
            number = st.request.currentNumber;
            buffer = st.request.currentBuffer;
            position = st.request.storedPosition;
            chunk = st.request.chunkSize;
        }

        int32_t result = 0;
        if (!current || buffer) {
            // A position request given up before it was taken still moves
            // the stream, ahead of any read asked after it.
            if (positionPending) CarryOutPosition(d.handle, place, position, chunk, split);
            if (!current) continue;
            if (!ReadChunk(d.handle, split, place, number, buffer, piece, result)) continue;  // dropped
        } else {
            result = CarryOutPosition(d.handle, place, position, chunk, split);
        }

        bool answered = false;
        {
            std::lock_guard lock(st.handover);
            if (st.request.currentOpen && st.request.currentNumber == number) {
                st.request.replyNumber = number;
                st.request.replyResult = result;
                st.request.currentOpen = false;
                answered = true;
            }
        }
        if (answered) replyEvent.Set();
    }
}

void CopySTANAGFiles(platform::AutoResetEvent& requestEvent, platform::AutoResetEvent& replyEvent) {
    QuillonState& s = State();
    const DriveState& d = s.drive;
    StreamState& st = s.stream;

    link::SeekDev(d.handle, d.firstDirectoryBlock * d.blockSize);
    int selected = 0;
    for (int i = 0; i < d.fileCount; ++i) selected += d.files[static_cast<std::size_t>(i)].selected ? 1 : 0;

    std::vector<uint8_t> piece(kReadPiece);
    WalkSTANAGDirectory(
        d.handle, d.blockSize, d.firstDirectoryBlock,
        [&](int64_t k, const DirEntry& entry) {
            if (k < kMaxFiles && k < d.fileCount) {
                const FileEntry& f = d.files[static_cast<std::size_t>(k)];
                if (f.selected && std::strcmp(f.name, entry.name) == 0) {
                    StreamSTANAGFile(entry, requestEvent, replyEvent, piece);
                    ++st.filesStreamed;
                }
            }
            if (st.filesStreamed == selected) {
                st.operation = kAllStreamed;
                return false;
            }
            if (st.cancel) {
                st.operation = kCancelled;
                return false;
            }
            return true;
        },
        [&st] {
            if (!st.cancel) return false;
            st.operation = kCancelled;
            return true;
        });
}

int StartSTANAGCopy() {
    StreamState& st = State().stream;
    try {
        st.requestEvent = std::make_unique<platform::AutoResetEvent>();
    } catch (const std::bad_alloc&) {
        return 10;
    }
    try {
        st.replyEvent = std::make_unique<platform::AutoResetEvent>();
    } catch (const std::bad_alloc&) {
        st.requestEvent.reset();
        return 10;
    }
    platform::AutoResetEvent* request = st.requestEvent.get();
    platform::AutoResetEvent* reply = st.replyEvent.get();
    st.operation = kStreaming;
    try {
        if (st.worker.Start([request, reply] { CopySTANAGFiles(*request, *reply); }, false)) return 1;
    } catch (const std::system_error&) {
    } catch (const std::bad_alloc&) {
    }
    st.operation = kIdle;
    return 9;  // the events stay; requests then go unanswered
}

// Stops a started worker, whatever its state, before anything it uses goes.
void CancelSTANAGCopy() {
    StreamState& st = State().stream;
    if (st.worker.Started()) {
        st.cancel = true;
        {
            std::lock_guard lock(st.handover);
            st.request.currentOpen = false;
        }
        if (st.requestEvent) st.requestEvent->Cancel();
        if (!st.worker.JoinFor(kJoinWait)) {
            // An exchange hangs at the server: make it fail, then wait.
            link::ShutdownLink();
            st.worker.Join();
        }
    }
    st.requestEvent.reset();
    st.replyEvent.reset();
    st.operation = kIdle;
}

}  // namespace
}  // namespace quillon

using namespace quillon;

QUILLON_API int OpenSTANAGFile(const char* drive, const char* fileName, int64_t* fileSize) {
    QuillonState& s = State();
    DriveState& d = s.drive;
    // The running worker may still read the table.
    if (d.handle != -1) return kAlreadyOpen;
    d.fileCount = 0;
    int code = OpenSTANAGDrive(drive);
    if (code != kOpened) return code;
    if (fileName) {
        for (int i = 0; i < d.fileCount; ++i) {
            FileEntry& f = d.files[static_cast<std::size_t>(i)];
            if (platform::AsciiEqualsNoCase(f.name, fileName)) {
                f.selected = true;
                if (fileSize) *fileSize = static_cast<int64_t>(f.size);
                break;
            }
        }
    }
    return StartSTANAGCopy();
}

QUILLON_API int GetNextBuffer(uint32_t positionLow, int32_t positionHigh, void* buffer, int32_t chunk) {
    StreamState& st = State().stream;
    if (!buffer) {
        std::lock_guard lock(st.handover);
        if (positionHigh >= 0)
            st.request.storedPosition = static_cast<int64_t>(static_cast<uint64_t>(positionHigh) << 32 | positionLow);
        if (chunk >= 0) st.request.chunkSize = chunk;
    }
    if (!st.requestEvent) return 0;

    uint64_t number;
    {
        std::lock_guard lock(st.handover);
        number = ++st.request.lastNumber;
        st.request.currentNumber = number;
        st.request.currentBuffer = buffer;
        st.request.currentOpen = true;
        if (!buffer) st.request.positionPending = true;
    }
    st.replyEvent->Reset();
    st.requestEvent->Set();

    const auto deadline = std::chrono::steady_clock::now() + kAnswerWait;
    for (;;) {
        auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        Wait w = left.count() > 0 ? st.replyEvent->WaitFor(left) : Wait::TimedOut;
        std::lock_guard lock(st.handover);
        if (st.request.replyNumber == number) return st.request.replyResult;
        // A reply to an older request is ignored; the wait goes on.
        if (w != Wait::Signalled) {
            if (st.request.currentNumber == number) st.request.currentOpen = false;  // abandoned
            return 0;
        }
    }
}

QUILLON_API int CloseSTANAGDrive() {
    DriveState& d = State().drive;
    if (d.handle != -1) {
        CancelSTANAGCopy();
        link::CloseDev(d.handle);
        d.handle = -1;
    }
    return 0;
}
