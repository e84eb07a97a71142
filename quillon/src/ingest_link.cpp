#include "ingest_link.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "output.h"
#include "quillon_state.h"

namespace quillon::link {

namespace {

constexpr const char* kServiceName = "ParvellControl";

Transport* testTransport = nullptr;

void Put32(uint8_t* block, int at, int32_t value) {
    uint32_t v = static_cast<uint32_t>(value);
    block[at] = static_cast<uint8_t>(v);
    block[at + 1] = static_cast<uint8_t>(v >> 8);
    block[at + 2] = static_cast<uint8_t>(v >> 16);
    block[at + 3] = static_cast<uint8_t>(v >> 24);
}

int32_t Get32(const uint8_t* block, int at) {
    uint32_t v = static_cast<uint32_t>(block[at]) | static_cast<uint32_t>(block[at + 1]) << 8 |
                 static_cast<uint32_t>(block[at + 2]) << 16 | static_cast<uint32_t>(block[at + 3]) << 24;
    return static_cast<int32_t>(v);
}

// Both blocks are zero-filled before every request.
uint8_t* NewRequest(LinkState& link, Command command) {
    link.request.fill(0);
    link.reply.fill(0);
    Put32(link.request.data(), kRequestCommand, command);
    return link.request.data();
}

using Clock = std::chrono::steady_clock;

// Arms the socket's time-outs with what is left until `deadline`; false
// (errno set) once it has passed or the socket refuses.
bool ArmUntil(int fd, Clock::time_point deadline) {
    auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) {
        errno = ETIMEDOUT;
        return false;
    }
    return platform::net::SetIoTimeout(fd, static_cast<int>(std::min<long long>(left, INT_MAX)));
}

Clock::time_point Deadline(const LinkState& link) {
    return Clock::now() + std::chrono::milliseconds(link.timeoutMs);
}

// One send or receive of an exchange: through the test transport when one
// is set, else on the socket armed with what is left until `deadline`.
ssize_t SendPiece(int fd, const uint8_t* data, std::size_t size, Clock::time_point deadline) {
    if (testTransport) return testTransport->Send(data, size);
    if (fd < 0) {
        errno = ENOTCONN;
        return -1;
    }
    return ArmUntil(fd, deadline) ? platform::net::SendSome(fd, data, size) : -1;
}

ssize_t RecvPiece(int fd, uint8_t* data, std::size_t size, Clock::time_point deadline) {
    if (testTransport) return testTransport->Recv(data, size);
    return ArmUntil(fd, deadline) ? platform::net::RecvSome(fd, data, size) : -1;
}

bool WriteToTALMORServ(LinkState& link) {
    const int fd = link.fd.load();
    const Clock::time_point deadline = Deadline(link);
    std::size_t sent = 0;
    while (sent < kExchangeBlockSize) {
        ssize_t r = SendPiece(fd, link.request.data() + sent, kExchangeBlockSize - sent, deadline);
        if (r <= 0) {
            PrintF("WriteToTALMORServ: Socket send error = %d\n", r < 0 ? errno : 0);
            return false;
        }
        sent += static_cast<std::size_t>(r);
    }
    return true;
}

// Every reply is a whole block: an early end mark is not honoured, since
// data bytes may be '*' and a cut reply would put the link out of step.
bool ReadFromTALMORServ(LinkState& link) {
    const int fd = link.fd.load();
    const Clock::time_point deadline = Deadline(link);
    std::size_t received = 0;
    while (received < kExchangeBlockSize) {
        ssize_t r = RecvPiece(fd, link.reply.data() + received, kExchangeBlockSize - received, deadline);
        if (r < 0) {
            PrintF("Socket recv return code = %d\n", errno);
            return false;
        }
        if (r == 0) {
            Print("Socket Closed\n");
            return false;
        }
        received += static_cast<std::size_t>(r);
    }
    return true;
}

// A failed exchange leaves part of a block in flight.
void CloseLink(LinkState& link) {
    link.fd = -1;
    link.socket.Close();
}

// One exchange; the caller holds `link.exchange`.
bool TalmorServRequest(LinkState& link) {
    if (!WriteToTALMORServ(link)) {
        Print("Error in WriteToTALMORServ\n");
        CloseLink(link);
        return false;
    }
    if (!ReadFromTALMORServ(link)) {
        Print("Error in ReadFromTALMORServ\n");
        CloseLink(link);
        return false;
    }
    return true;
}

bool StatusOk(const LinkState& link) { return Get32(link.reply.data(), kReplyStatus) == 0; }

// -1 without a message when no socket can be made.
platform::net::Socket ClientTCPOpen(const sockaddr_in& address, int timeoutMs) {
    platform::net::Socket socket = platform::net::OpenStreamSocket();
    if (!socket.Valid()) return socket;
    if (!platform::net::SetLinger(socket.Fd(), true, 0)) Print("ClientTCPOpen: Error setting socket option\n");
    platform::net::SetIoTimeout(socket.Fd(), timeoutMs);  // bounds the connect; each exchange sets its own
    if (!platform::net::Connect(socket.Fd(), address)) {
        Print("ClientTCPOpen: Couldn't connect to STREAM interface.\n");
        socket.Close();
    }
    return socket;
}

bool Connect(LinkState& link) {
    std::optional<sockaddr_in> address = platform::net::ResolveServiceAddress(kServiceName, "tcp");
    if (!address) {
        Print("Failed to Allocate Socket; Exiting!\n");
        return false;
    }
    link.timeoutMs = IngestTimeoutMs(std::getenv("ORVANE_INGEST_TIMEOUT_MS"));
    platform::net::Socket socket = ClientTCPOpen(*address, link.timeoutMs);
    if (!socket.Valid()) {
        Print("Can't open a channel to ParvellServer\n");
        return false;
    }
    Print("Opened a channel to ParvellServer\n");
    link.fd = socket.Fd();
    link.socket = std::move(socket);
    return true;
}

}  // namespace

int IngestTimeoutMs(const char* text) {
    if (!text || !*text) return kDefaultIngestTimeoutMs;
    long long value = 0;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9') return kDefaultIngestTimeoutMs;
        value = value * 10 + (*p - '0');
        if (value > INT_MAX) return kDefaultIngestTimeoutMs;
    }
    return value > 0 ? static_cast<int>(value) : kDefaultIngestTimeoutMs;
}

int32_t DecodeReadReply(const uint8_t* reply, int32_t asked) {
    if (Get32(reply, kReplyStatus) != 0) return kReadFailed;
    const int32_t count = Get32(reply, kReplyCount);
    // A negative count says nothing of where the device stands: taking it as
    // 0 bytes would leave a hole in the data.
    if (count < 0) return kReadFailed;
    // More than was asked, or than the reply holds, would copy past the
    // destination or the reply block.
    return std::min(count, std::clamp(asked, 0, kMaxReadData));
}

bool OpenDev(const char* path, int32_t* handle) {
    *handle = -1;
    LinkState& link = State().link;
    std::lock_guard lock(link.exchange);
    if (!testTransport && !link.socket.Valid() && !Connect(link)) return false;
    uint8_t* request = NewRequest(link, kOpen);
    if (path) {
        std::size_t room = kExchangeBlockSize - kRequestPath - 1;  // the NUL stays
        std::memcpy(request + kRequestPath, path, strnlen(path, room));
    }
    if (!TalmorServRequest(link) || !StatusOk(link)) return false;
    // -1 is "no device": taken as open, no close or cancel would ever reach
    // that drive.
    int32_t opened = Get32(link.reply.data(), kReplyHandle);
    if (opened == -1) return false;
    *handle = opened;
    return true;
}

void CloseDev(int32_t handle) {
    LinkState& link = State().link;
    std::lock_guard lock(link.exchange);
    Put32(NewRequest(link, kClose), kRequestHandle, handle);
    if (!TalmorServRequest(link)) return;
    Print(StatusOk(link) ? "CloseDev: Successful\n" : "CloseDev: Unsuccessful\n");
}

int32_t ReadDev(int32_t handle, void* destination, int32_t count) {
    LinkState& link = State().link;
    std::lock_guard lock(link.exchange);
    uint8_t* request = NewRequest(link, kRead);
    Put32(request, kRequestHandle, handle);
    Put32(request, kRequestCount, count);
    if (!TalmorServRequest(link)) return kReadFailed;
    const int32_t got = DecodeReadReply(link.reply.data(), count);
    if (got > 0) std::memcpy(destination, link.reply.data() + kReplyData, static_cast<std::size_t>(got));
    return got;
}

int32_t GetDevBlockSize(int32_t handle) {
    LinkState& link = State().link;
    std::lock_guard lock(link.exchange);
    Put32(NewRequest(link, kBlockSize), kRequestHandle, handle);
    if (!TalmorServRequest(link) || !StatusOk(link)) return kDefaultBlockSize;
    int32_t size = Get32(link.reply.data(), kReplyBlockSize);
    // Such a size would make every block buffer empty and divide by zero.
    return size > 0 ? size : kDefaultBlockSize;
}

void SeekDev(int32_t handle, int64_t offset) {
    LinkState& link = State().link;
    std::lock_guard lock(link.exchange);
    uint8_t* request = NewRequest(link, kSeek);
    uint64_t bits = static_cast<uint64_t>(offset);
    Put32(request, kRequestHandle, handle);
    Put32(request, kRequestOffsetLow, static_cast<int32_t>(static_cast<uint32_t>(bits)));
    Put32(request, kRequestOffsetHigh, static_cast<int32_t>(static_cast<uint32_t>(bits >> 32)));
    Put32(request, kRequestOrigin, 0);
    TalmorServRequest(link);
}

void ShutdownLink() { platform::net::ShutdownBoth(State().link.fd.load()); }

void SetTransportForTests(Transport* transport) { testTransport = transport; }

}  // namespace quillon::link
