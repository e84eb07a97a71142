#include "ingest_link.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>

#include "output.h"
#include "quillon_state.h"

namespace quillon::link {

namespace {

constexpr const char* kServiceName = "ParvellControl";

Transport* testTransport = nullptr;

ssize_t SendPiece(const LinkState& link, const uint8_t* data, std::size_t size) {
    if (testTransport) return testTransport->Send(data, size);
    return platform::net::SendSome(link.fd.load(), data, size);
}

ssize_t RecvPiece(const LinkState& link, uint8_t* data, std::size_t size) {
    if (testTransport) return testTransport->Recv(data, size);
    return platform::net::RecvSome(link.fd.load(), data, size);
}

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

bool WriteToTALMORServ(LinkState& link) {
    std::size_t sent = 0;
    while (sent < kExchangeBlockSize) {
        ssize_t r = SendPiece(link, link.request.data() + sent, kExchangeBlockSize - sent);
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
    std::size_t received = 0;
    while (received < kExchangeBlockSize) {
        ssize_t r = RecvPiece(link, link.reply.data() + received, kExchangeBlockSize - received);
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

// One exchange; the caller holds `link.exchange`.
bool TalmorServRequest(LinkState& link) {
    if (!WriteToTALMORServ(link)) {
        Print("Error in WriteToTALMORServ\n");
        return false;
    }
    if (!ReadFromTALMORServ(link)) {
        Print("Error in ReadFromTALMORServ\n");
        return false;
    }
    return true;
}

bool StatusOk(const LinkState& link) { return Get32(link.reply.data(), kReplyStatus) == 0; }

// -1 without a message when no socket can be made.
platform::net::Socket ClientTCPOpen(const sockaddr_in& address) {
    platform::net::Socket socket = platform::net::OpenStreamSocket();
    if (!socket.Valid()) return socket;
    if (!platform::net::SetLinger(socket.Fd(), true, 0)) Print("ClientTCPOpen: Error setting socket option\n");
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
    platform::net::Socket socket = ClientTCPOpen(*address);
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
    if (!TalmorServRequest(link) || !StatusOk(link)) return 0;
    // A count above what was asked, above the reply's room, or negative
    // would copy past the destination or the reply block.
    int32_t got = std::clamp(Get32(link.reply.data(), kReplyCount), 0, std::clamp(count, 0, kMaxReadData));
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
