#pragma once
// A stand-in for the outside ingest server: it serves image files and block
// devices by device name over the server's fixed-block TCP protocol, logs
// every request, flags requests that break the protocol, and can be made to
// misbehave in the ways the client has to survive. Tests run it in-process;
// `ingest-standin` runs it as a program.
//
// Protocol: the client sends a 65,568-byte request block, the server answers
// with one 65,568-byte reply block; no greeting, every numeric field a
// little-endian int32.
//   request: 0 command (1 open, 2 close, 3 read, 4 block size, 5 seek),
//            16 handle (16.. NUL-terminated path for open), 20 count,
//            24 offset low, 28 offset high, 32 origin (always 0)
//   reply:   4 status (0 success), 20 block size, 24 count, 28.. data
//            (at most 65,540 bytes), 272 handle (open)
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace standin {

inline constexpr std::size_t kBlockBytes = 65568;  // request and reply blocks
inline constexpr int32_t kMaxData = 65540;          // data room of a reply

enum Command : int32_t { kOpen = 1, kClose = 2, kRead = 3, kBlockSize = 4, kSeek = 5 };

// Field offsets of the two blocks.
namespace req {
inline constexpr std::size_t kCommand = 0, kHandle = 16, kPath = 16, kCount = 20, kOffsetLow = 24,
                             kOffsetHigh = 28, kOrigin = 32, kEnd = 36;
}
namespace rep {
inline constexpr std::size_t kStatus = 4, kBlockSize = 20, kCount = 24, kData = 28, kHandle = 272;
}

// A device the server knows by the name the client sends, e.g.
// "//./PHYSICALDRIVE0" backed by an image file or "//./E:" by /dev/sdb.
// The file is opened read-only at each open request.
struct Device {
    std::string name;
    std::string path;
    // Reported block size; 0: the block device's sector size, else 512.
    int32_t block_size = 0;
    // Opens of this device that fail with status 1: the first N, -1 every one.
    int refuse_opens = 0;
};

// The n-th request (1-based) of one command, or of any command when
// `command` is 0, counted over all connections since the faults were last
// set. nth 0, or a command outside 1..5, never fires.
struct Trigger {
    int nth = 0;
    int32_t command = 0;
};

enum class AfterShortReply {
    kClose,  // close the connection at once
    kHold,   // keep it open, sending nothing, until Release(), Stop() or the client hangs up; then close
};

// Misbehaviour; every member's default is the well-behaved server.
struct Faults {
    // Opens that fail: the first N (counted over all devices), -1 every one.
    int open_failures = 0;
    int32_t open_status = 1;
    // Successful opens report this handle with status 0 instead of a new
    // one (-1 included); the device is served under it while no other open
    // holds it.
    std::optional<int32_t> open_handle;
    // Reads fail from the k-th read on (1-based; 0 never); the position stays.
    int read_fail_from = 0;
    int32_t read_status = 1;
    int32_t block_size_status = 0;  // non-zero: block-size requests fail with it
    int32_t close_status = 0;       // non-zero: closes fail with it (the handle stays open)
    // Block size reported with status 0 instead of the device's.
    std::optional<int32_t> forced_block_size;
    // Byte count reported by a successful read: `count_override` when set,
    // else the true count plus `count_extra`. The data area carries the
    // device's following bytes as far as the report and the room reach; the
    // position moves by the true count only.
    std::optional<int32_t> count_override;
    int32_t count_extra = 0;
    // This read moves the position as a successful one would, then answers
    // status `lie_status` with the count `lie_count` and no data: a failed
    // status after the device moved on, or an impossible count.
    Trigger lying_read;
    int32_t lie_status = 1;
    int32_t lie_count = 0;
    // Replies sent in pieces of this many bytes (0: one send), each piece a
    // separate segment.
    std::size_t reply_piece = 0;
    // Pause before each reply to a request of `delay_command` (0: any).
    std::chrono::milliseconds delay{0};
    int32_t delay_command = 0;
    // This request's whole reply waits until Release() or Stop(), then goes
    // out as usual; the connection stays in step.
    Trigger hold_reply;
    // The connection closes once this request has arrived, without a reply.
    Trigger disconnect_before;
    // Only the first `short_reply_bytes` of this request's reply are sent,
    // then `after_short`.
    Trigger short_reply;
    std::size_t short_reply_bytes = 0;
    AfterShortReply after_short = AfterShortReply::kClose;
};

enum class ViolationKind {
    kReservedBytes,  // a byte outside the command's fields is not zero
    kOrigin,         // a seek's origin is not 0
    kPathNoNul,      // an open's path runs to the end of the block
    kUnknownCommand,
};

// One request as it arrived, with the server's answer.
struct LoggedRequest {
    std::size_t index = 0;  // 0-based, over all connections
    int connection = 0;     // 1-based, in accept order
    int32_t command = 0;
    int32_t handle = 0;  // offset 16 (0 for open)
    std::string path;    // open only
    int32_t count = 0;
    int64_t offset = 0;  // (int64_t)high << 32 | (uint32_t)low
    int32_t origin = 0;
    // The reply: status and, for reads, the reported count; `answered` is
    // false when the connection was closed or held instead of a whole reply.
    // An entry is complete before its reply (or close) reaches the client.
    int32_t status = 0;
    int32_t reply_count = 0;
    int32_t reply_handle = -1;     // open
    int32_t reply_block_size = 0;  // block size
    bool answered = false;
};

struct Violation {
    std::size_t request = 0;  // LoggedRequest::index
    ViolationKind kind = ViolationKind::kReservedBytes;
    std::string detail;  // e.g. "byte 40 is 0x01"
};

struct Options {
    std::string bind = "127.0.0.1";
    uint16_t port = 0;  // 0: the system picks; Port() tells
    std::vector<Device> devices;
    int32_t first_handle = 0;  // handles count up from here, skipping -1
    Faults faults;
    std::string log_file;  // also append each request as a text line here
};

class Server {
public:
    explicit Server(Options options);
    ~Server();  // Stop() and join every thread
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // Listens (the first time: binds). False with a message when the
    // address cannot be had.
    bool Start(std::string* error = nullptr);
    // Absent: connections closed, threads joined, no listening; the port
    // stays bound so that Start() listens on it again.
    void Stop();
    bool Listening() const;
    uint16_t Port() const;

    void AddDevice(const Device& device);
    // Replaces the faults and restarts their counts.
    void SetFaults(const Faults& faults);
    Faults GetFaults() const;
    // Lets every held short reply go (its connection then closes).
    void Release();

    std::vector<LoggedRequest> Requests() const;
    std::vector<Violation> Violations() const;
    void ClearLog();
    // Waits until at least `count` requests are logged.
    bool WaitForRequests(std::size_t count, std::chrono::milliseconds timeout) const;
    // Waits until a reply (short or whole) is being held.
    bool WaitForHold(std::chrono::milliseconds timeout) const;
    int Connections() const;  // accepted so far
    int OpenHandles() const;  // device handles currently open

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

const char* CommandName(int32_t command);  // "open", ... ; "?" otherwise
const char* ViolationName(ViolationKind kind);
// One log line: "#3 conn 1 read handle 0 count 512 offset 0 origin 0 -> status 0 count 512"
std::string FormatRequest(const LoggedRequest& request);

// Request blocks as a conforming client fills them, and a blocking client
// for tests that send raw blocks.
std::vector<uint8_t> OpenRequest(const std::string& path);
std::vector<uint8_t> HandleRequest(int32_t command, int32_t handle, int32_t count = 0, int64_t offset = 0);
void PutLe32(std::vector<uint8_t>& block, std::size_t offset, int32_t value);
int32_t GetLe32(const std::vector<uint8_t>& block, std::size_t offset);

class RawClient {
public:
    RawClient() = default;
    ~RawClient();
    RawClient(const RawClient&) = delete;
    RawClient& operator=(const RawClient&) = delete;
    bool Connect(uint16_t port, const std::string& host = "127.0.0.1");
    // Sends one block and receives one whole reply; false when the link
    // fails or closes first (`reply` then holds what arrived).
    bool Exchange(const std::vector<uint8_t>& request, std::vector<uint8_t>& reply);
    void Close();

private:
    int fd_ = -1;
};

}  // namespace standin
