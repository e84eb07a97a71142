#pragma once
// The ingest-server client: every device operation is one exchange of a
// 65,568-byte request and a 65,568-byte reply over one TCP link.
#include <cstddef>
#include <cstdint>
#include <sys/types.h>

namespace quillon::link {

enum Command : int32_t { kOpen = 1, kClose = 2, kRead = 3, kBlockSize = 4, kSeek = 5 };

// Field offsets. The request and the reply do not mirror each other.
constexpr int kRequestCommand = 0;
constexpr int kRequestHandle = 16;
constexpr int kRequestPath = 16;  // open only, in the handle's place
constexpr int kRequestCount = 20;
constexpr int kRequestOffsetLow = 24;
constexpr int kRequestOffsetHigh = 28;
constexpr int kRequestOrigin = 32;
constexpr int kReplyStatus = 4;
constexpr int kReplyBlockSize = 20;
constexpr int kReplyCount = 24;
constexpr int kReplyData = 28;
constexpr int kReplyHandle = 272;

constexpr int32_t kReadFailed = -1;

// The time-out of each send and receive: $ORVANE_INGEST_TIMEOUT_MS when it
// is a positive decimal number of milliseconds (`text`), else 10 s.
int IngestTimeoutMs(const char* text);

// A read reply, apart from the socket: the bytes to take from its data area
// (the reported count, never more than `asked` or the reply's room), or
// kReadFailed for a failed status or a negative count.
int32_t DecodeReadReply(const uint8_t* reply, int32_t asked);

// Connects first while the link is absent. The handle is -1 unless the
// server opened the device; a reply with handle -1 is a failed open.
bool OpenDev(const char* path, int32_t* handle);
void CloseDev(int32_t handle);
// Bytes placed in `destination` (DecodeReadReply); kReadFailed when the
// exchange fails too.
int32_t ReadDev(int32_t handle, void* destination, int32_t count);
// The server's block size; 512 when the request fails or reports 0 or less.
int32_t GetDevBlockSize(int32_t handle);
void SeekDev(int32_t handle, int64_t offset);

// Every exchange fails, and the link is closed, when a send or a receive
// waits past the time-out, the peer closes, or the socket fails.

// Shuts the link down from any thread, so that an exchange hanging at the
// server fails (and closes the link).
void ShutdownLink();

// The bytes under the exchanges. Tests and fuzzers put one in that serves
// replies from memory; while one is set no socket is made.
class Transport {
public:
    virtual ~Transport() = default;
    // Bytes taken or placed, 0 for a closed link, -1 for an error.
    virtual ssize_t Send(const uint8_t* data, std::size_t size) = 0;
    virtual ssize_t Recv(uint8_t* data, std::size_t size) = 0;
};
// nullptr: the TCP link to the ingest server.
void SetTransportForTests(Transport* transport);

}  // namespace quillon::link
