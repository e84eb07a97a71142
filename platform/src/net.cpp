#include "platform/net.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <poll.h>
#include <sys/time.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace platform::net {

namespace {

std::optional<uint16_t> PortOverride(const std::string& service) {
    const char* text = std::getenv(("ORVANE_PORT_" + service).c_str());
    if (!text) return std::nullopt;
    if (*text == '\0') return std::nullopt;
    unsigned long value = 0;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9') return std::nullopt;
        value = value * 10 + static_cast<unsigned long>(*p - '0');
        if (value > 65535) return std::nullopt;
    }
    if (value == 0) return std::nullopt;
    return htons(static_cast<uint16_t>(value));
}

std::optional<in_addr> FirstIpv4Address(const char* host) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host, nullptr, &hints, &found) != 0 || !found) return std::nullopt;
    std::optional<in_addr> result;
    for (addrinfo* a = found; a; a = a->ai_next) {
        if (a->ai_family == AF_INET && a->ai_addrlen >= sizeof(sockaddr_in)) {
            sockaddr_in in;
            std::memcpy(&in, a->ai_addr, sizeof in);
            result = in.sin_addr;
            break;
        }
    }
    ::freeaddrinfo(found);
    return result;
}

}  // namespace

std::optional<sockaddr_in> ResolveServiceAddress(const std::string& service, const char* protocol) {
    sockaddr_in address{};
    address.sin_family = AF_INET;

    if (auto port = PortOverride(service)) {
        address.sin_port = *port;
    } else {
        // getservbyname's static result is read at once; callers serialise.
        const servent* entry = ::getservbyname(service.c_str(), protocol);
        if (!entry) return std::nullopt;
        address.sin_port = static_cast<uint16_t>(entry->s_port);
    }

    std::optional<in_addr> host;
    if (const char* text = std::getenv(("ORVANE_HOST_" + service).c_str()); text && *text) {
        host = FirstIpv4Address(text);
    } else {
        char name[1024] = {};
        if (::gethostname(name, sizeof name - 1) != 0) return std::nullopt;
        host = FirstIpv4Address(name);
    }
    if (!host) return std::nullopt;
    address.sin_addr = *host;
    return address;
}

Socket& Socket::operator=(Socket&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = other.Release();
    }
    return *this;
}

int Socket::Release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
}

void Socket::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

Socket OpenStreamSocket() { return Socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)); }

bool SetLinger(int fd, bool on, int seconds) {
    linger value{};
    value.l_onoff = on ? 1 : 0;
    value.l_linger = seconds;
    return ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &value, sizeof value) == 0;
}

bool SetIoTimeout(int fd, int milliseconds) {
    if (milliseconds < 1) milliseconds = 1;  // 0 would mean no time-out at all
    timeval value{};
    value.tv_sec = milliseconds / 1000;
    value.tv_usec = static_cast<suseconds_t>(milliseconds % 1000) * 1000;
    return ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &value, sizeof value) == 0 &&
           ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &value, sizeof value) == 0;
}

bool Connect(int fd, const sockaddr_in& address) {
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) return true;
    if (errno != EINTR) return false;
    // The connection goes on in the background: wait for its outcome.
    for (;;) {
        pollfd p{fd, POLLOUT, 0};
        int r = ::poll(&p, 1, -1);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) return false;
        int error = 0;
        socklen_t length = sizeof error;
        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) return false;
        if (error != 0) {
            errno = error;
            return false;
        }
        return true;
    }
}

ssize_t SendSome(int fd, const void* data, std::size_t size) {
    ssize_t r;
    do r = ::send(fd, data, size, MSG_NOSIGNAL);
    while (r < 0 && errno == EINTR);
    return r;
}

ssize_t RecvSome(int fd, void* data, std::size_t size) {
    ssize_t r;
    do r = ::recv(fd, data, size, 0);
    while (r < 0 && errno == EINTR);
    return r;
}

void ShutdownBoth(int fd) {
    if (fd >= 0) ::shutdown(fd, SHUT_RDWR);
}

}  // namespace platform::net
