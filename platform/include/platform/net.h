#pragma once
// TCP client pieces for the outside services: address look-up through the
// services database with environment overrides, and a blocking socket whose
// calls retry on EINTR and never raise SIGPIPE.
#include <netinet/in.h>

#include <cstddef>
#include <optional>
#include <string>
#include <sys/types.h>

namespace platform::net {

// The IPv4 address of `service`/`protocol` on this machine. Port: the
// services database entry (already in network order), or
// $ORVANE_PORT_<service> in decimal. Host: the first IPv4 address of
// gethostname(), or of $ORVANE_HOST_<service>. Empty when either part is
// unknown.
std::optional<sockaddr_in> ResolveServiceAddress(const std::string& service, const char* protocol);

// Owns one socket descriptor.
class Socket {
public:
    Socket() = default;
    explicit Socket(int fd) : fd_(fd) {}
    ~Socket() { Close(); }
    Socket(Socket&& other) noexcept : fd_(other.Release()) {}
    Socket& operator=(Socket&& other) noexcept;
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;

    int Fd() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    int Release();
    void Close();

private:
    int fd_ = -1;
};

// socket(AF_INET, SOCK_STREAM, 0); invalid on failure (errno set).
Socket OpenStreamSocket();
// SO_LINGER with the given pair; false when refused.
bool SetLinger(int fd, bool on, int seconds);
// Send and receive time-outs (SO_SNDTIMEO, SO_RCVTIMEO; the send one also
// bounds a connect); a call that waits longer fails with EAGAIN. False when
// refused.
bool SetIoTimeout(int fd, int milliseconds);
// Blocking connect; an interrupted connect is waited out. False with errno set.
bool Connect(int fd, const sockaddr_in& address);
// One send (MSG_NOSIGNAL) or recv, retried on EINTR; the system call's result.
ssize_t SendSome(int fd, const void* data, std::size_t size);
ssize_t RecvSome(int fd, void* data, std::size_t size);
// Ends both directions, so that a call blocked on the socket in another
// thread returns; the descriptor stays open.
void ShutdownBoth(int fd);

}  // namespace platform::net
