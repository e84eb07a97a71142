#pragma once
// quillon serves one ingest-server link, one open drive and one stream per
// process; all of that state lives here, with a reset for the tests.
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/event.h"
#include "platform/net.h"
#include "platform/thread.h"

namespace quillon {

constexpr std::size_t kExchangeBlockSize = 0x10020;  // 65,568: every request and reply
constexpr int32_t kMaxReadData = 65540;              // data room of one reply
constexpr int32_t kReadPiece = 65536;                // the worker's read request
constexpr int kCacheEntries = 100;
constexpr int kMaxFiles = 227;
constexpr int32_t kDefaultChunk = 0xFC000;
constexpr int32_t kDefaultBlockSize = 512;
constexpr int kDefaultIngestTimeoutMs = 10000;  // each send and each receive of an exchange

struct LinkState {
    // Held for each whole exchange, from filling the request to copying the
    // reply out: the caller's thread and the worker share the link.
    std::mutex exchange;
    // Invalid until a connection; closed by a failed exchange, which leaves
    // the link out of step, so that the next drive open connects afresh.
    platform::net::Socket socket;
    std::atomic<int> fd{-1};       // the socket's descriptor, for a shutdown from another thread
    int timeoutMs = kDefaultIngestTimeoutMs;  // read at each connection
    std::array<uint8_t, kExchangeBlockSize> request{};
    std::array<uint8_t, kExchangeBlockSize> reply{};
};

enum class ByteOrder { Undecided, Little, Big };

struct FileEntry {
    uint64_t size = 0;
    char name[57] = {};
    char date[9] = {};
    char time[9] = {};
    bool selected = false;
};

constexpr std::array<int32_t, kCacheEntries> UnknownBlockSizes() {
    std::array<int32_t, kCacheEntries> cache{};
    for (auto& entry : cache) entry = -1;
    return cache;
}

struct DriveState {
    std::array<int32_t, kCacheEntries> blockSizeCache = UnknownBlockSizes();
    int32_t blockSize = kDefaultBlockSize;  // the open drive's
    int32_t handle = -1;                    // server handle of the open drive
    int64_t firstDirectoryBlock = 0;        // h: device block of directory block 1
    ByteOrder order = ByteOrder::Undecided;
    std::array<FileEntry, kMaxFiles> files{};
    int32_t fileCount = 0;
};

// The request GetNextBuffer hands to the worker; guarded by `handover`.
struct HandOver {
    int64_t storedPosition = -1;  // -1: none
    int32_t chunkSize = kDefaultChunk;
    uint64_t lastNumber = 0;      // numbers every request
    uint64_t currentNumber = 0;   // the request being asked
    void* currentBuffer = nullptr;
    bool currentOpen = false;     // false once answered or abandoned
    // A position request the worker has not taken yet. It is carried out
    // even when abandoned: the caller counts every position as done.
    bool positionPending = false;
    uint64_t replyNumber = 0;     // the request the stored reply answers
    int32_t replyResult = 0;
};

enum Operation : int { kIdle = 0, kStreaming = 1, kAllStreamed = 2, kCancelled = 3 };

struct StreamState {
    std::mutex handover;
    HandOver request;
    std::atomic<bool> cancel{false};
    std::atomic<int> operation{kIdle};
    std::atomic<int> filesStreamed{0};
    std::unique_ptr<platform::AutoResetEvent> requestEvent;
    std::unique_ptr<platform::AutoResetEvent> replyEvent;
    platform::Thread worker;
};

struct QuillonState {
    LinkState link;
    DriveState drive;
    StreamState stream;
    // The library's unload: the stream is stopped and the drive closed while
    // every member still lives.
    ~QuillonState();
};

QuillonState& State();
// Stops the stream, closes the drive and the link, and returns every field
// to its load value.
void ResetStateForTests();

}  // namespace quillon
