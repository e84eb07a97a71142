#include "ingest_standin.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <list>
#include <map>
#include <mutex>
#include <thread>

namespace standin {

namespace {

using Block = std::vector<uint8_t>;

// Sends everything; false when the peer is gone. MSG_NOSIGNAL keeps a dead
// peer from raising SIGPIPE.
bool SendAll(int fd, const uint8_t* data, std::size_t size) {
    while (size > 0) {
        ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Receives exactly `size` bytes; `got` tells how many arrived before a
// close or an error.
bool RecvAll(int fd, uint8_t* data, std::size_t size, std::size_t* got = nullptr) {
    std::size_t have = 0;
    while (have < size) {
        ssize_t n = ::recv(fd, data + have, size - have, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        have += static_cast<std::size_t>(n);
    }
    if (got) *got = have;
    return have == size;
}

void CloseFd(int& fd) {
    if (fd >= 0) {
        while (::close(fd) < 0 && errno == EINTR) {
        }
        fd = -1;
    }
}

int32_t Le32(const uint8_t* p) {
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}

void PutLe32At(uint8_t* p, int32_t value) {
    auto v = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

bool Fires(const Trigger& t, int32_t command, const int* per_command, int total) {
    if (t.nth <= 0) return false;
    if (t.command == 0) return total == t.nth;
    if (t.command < kOpen || t.command > kSeek) return false;
    return command == t.command && per_command[command] == t.nth;
}

struct Handle {
    int fd = -1;
    int64_t size = 0;
    int64_t position = 0;
    int32_t block_size = 512;
    int connection = 0;
};

struct Connection {
    int id = 0;
    int fd = -1;  // guarded by Impl::mutex; the connection's thread closes it
    bool done = false;
    std::thread thread;
};

// What one request gets back.
struct Outcome {
    enum class Action { kReply, kDisconnect, kShort } action = Action::kReply;
    Block reply;
    std::size_t short_bytes = 0;
    AfterShortReply after = AfterShortReply::kClose;
    std::chrono::milliseconds delay{0};
    bool hold = false;  // the reply waits for Release()
    std::size_t piece = 0;
    std::size_t index = 0;  // of the logged request
};

// One request as its command's handler sees it: the block, its log entry
// and the reply being filled.
struct Request {
    int connection = 0;
    const Block& block;
    LoggedRequest& entry;
    uint8_t* reply = nullptr;
    std::size_t index = 0;
};

// Opens a device's file read-only with its size and block size; false when
// it cannot be had.
bool OpenDevice(const Device& device, Handle& h) {
    h.fd = ::open(device.path.c_str(), O_RDONLY | O_CLOEXEC);
    if (h.fd < 0) return false;
    h.size = ::lseek(h.fd, 0, SEEK_END);
    h.block_size = device.block_size > 0 ? device.block_size : 512;
    struct stat st{};
    int sector = 0;
    if (device.block_size <= 0 && ::fstat(h.fd, &st) == 0 && S_ISBLK(st.st_mode) &&
        ::ioctl(h.fd, BLKSSZGET, &sector) == 0 && sector > 0)
        h.block_size = sector;
    if (h.size < 0) {
        CloseFd(h.fd);
        return false;
    }
    return true;
}

}  // namespace

struct Server::Impl {
    Options options;

    mutable std::mutex mutex;
    mutable std::condition_variable changed;  // log grew, hold began, release, stop
    Faults faults;
    int per_command[6] = {};  // index 0: unknown commands
    int total = 0;
    int opens = 0;
    int reads = 0;
    std::map<std::string, int> device_opens;
    std::map<int32_t, Handle> handles;
    int32_t next_handle = 0;
    std::vector<LoggedRequest> log;
    std::vector<Violation> violations;
    int holding = 0;
    uint64_t release_generation = 0;
    bool stopping = false;
    int accepted = 0;
    std::list<Connection> connections;
    FILE* log_file = nullptr;

    int listen_fd = -1;
    bool listening = false;
    uint16_t port = 0;
    int wake[2] = {-1, -1};
    std::thread acceptor;

    ~Impl() {
        if (log_file) std::fclose(log_file);
        CloseFd(listen_fd);
        CloseFd(wake[0]);
        CloseFd(wake[1]);
    }

    bool Bind(std::string* error);
    void AcceptLoop();
    void Serve(Connection* connection);
    Outcome Process(int connection, const Block& request);
    LoggedRequest Entry(int connection, int32_t command, const Block& b) const;
    // The command handlers: each fills the reply and returns its status.
    using Handler = int32_t (Impl::*)(Request& r);
    int32_t Open(Request& r);
    int32_t CloseHandle(Request& r);
    int32_t Read(Request& r);
    int32_t BlockSize(Request& r);
    int32_t Seek(Request& r);
    int32_t Unknown(Request& r);
    std::map<int32_t, Handle>::iterator Named(Request& r,
                                              std::initializer_list<std::pair<std::size_t, std::size_t>> fields);
    void Finish(std::size_t index, bool answered);
    void Undelivered(std::size_t index);
    void LogLine(const std::string& line);
    void Flag(std::size_t index, ViolationKind kind, std::string detail);
    int32_t NewHandle();
    void CheckReserved(std::size_t index, const Block& b, std::initializer_list<std::pair<std::size_t, std::size_t>> fields);
    bool Pause(std::chrono::milliseconds delay);
    bool AwaitRelease();
    void Hold(int fd);
};

Server::Server(Options options) : impl_(std::make_unique<Impl>()) {
    impl_->options = std::move(options);
    impl_->faults = impl_->options.faults;
    impl_->next_handle = impl_->options.first_handle == -1 ? 0 : impl_->options.first_handle;
    if (!impl_->options.log_file.empty()) impl_->log_file = std::fopen(impl_->options.log_file.c_str(), "w");
}

Server::~Server() {
    Stop();
}

bool Server::Impl::Bind(std::string* error) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port != 0 ? port : options.port);
    if (::inet_pton(AF_INET, options.bind.c_str(), &address.sin_addr) != 1) {
        if (error) *error = "not an IPv4 address: " + options.bind;
        return false;
    }
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        if (error) *error = std::string("socket: ") + std::strerror(errno);
        return false;
    }
    int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) < 0) {
        if (error) *error = "bind " + options.bind + ": " + std::strerror(errno);
        CloseFd(fd);
        return false;
    }
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    listen_fd = fd;
    return true;
}

bool Server::Start(std::string* error) {
    Impl& s = *impl_;
    std::lock_guard lock(s.mutex);
    if (s.listening) return true;
    if (s.listen_fd < 0 && !s.Bind(error)) return false;
    if (::listen(s.listen_fd, 16) < 0) {
        if (error) *error = std::string("listen: ") + std::strerror(errno);
        return false;
    }
    if (s.wake[0] < 0 && ::pipe2(s.wake, O_CLOEXEC | O_NONBLOCK) < 0) {
        if (error) *error = std::string("pipe: ") + std::strerror(errno);
        return false;
    }
    s.stopping = false;
    s.listening = true;
    s.acceptor = std::thread([&s] { s.AcceptLoop(); });
    return true;
}

void Server::Stop() {
    Impl& s = *impl_;
    std::list<Connection> gone;
    {
        std::unique_lock lock(s.mutex);
        if (!s.listening) return;
        s.stopping = true;
        s.listening = false;
        const uint8_t byte = 1;
        while (::write(s.wake[1], &byte, 1) < 0 && errno == EINTR) {
        }
        for (Connection& c : s.connections)
            if (c.fd >= 0) ::shutdown(c.fd, SHUT_RDWR);
        s.changed.notify_all();
    }
    s.acceptor.join();  // it adds no connection once stopping is set
    {
        std::lock_guard lock(s.mutex);
        gone.splice(gone.end(), s.connections);
    }
    for (Connection& c : gone) c.thread.join();
    std::lock_guard lock(s.mutex);
    uint8_t drain[16];
    while (::read(s.wake[0], drain, sizeof drain) > 0) {
    }
    // Keep the port: a bound socket that does not listen refuses
    // connections, and nobody else can take the port meanwhile.
    CloseFd(s.listen_fd);
    s.Bind(nullptr);
    s.stopping = false;
}

bool Server::Listening() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->listening;
}

uint16_t Server::Port() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->port;
}

void Server::AddDevice(const Device& device) {
    std::lock_guard lock(impl_->mutex);
    impl_->options.devices.push_back(device);
}

void Server::SetFaults(const Faults& faults) {
    std::lock_guard lock(impl_->mutex);
    impl_->faults = faults;
    std::fill(std::begin(impl_->per_command), std::end(impl_->per_command), 0);
    impl_->total = impl_->opens = impl_->reads = 0;
}

Faults Server::GetFaults() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->faults;
}

void Server::Release() {
    std::lock_guard lock(impl_->mutex);
    ++impl_->release_generation;
    impl_->changed.notify_all();
}

std::vector<LoggedRequest> Server::Requests() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->log;
}

std::vector<Violation> Server::Violations() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->violations;
}

void Server::ClearLog() {
    std::lock_guard lock(impl_->mutex);
    impl_->log.clear();
    impl_->violations.clear();
}

bool Server::WaitForRequests(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(impl_->mutex);
    return impl_->changed.wait_for(lock, timeout, [&] { return impl_->log.size() >= count; });
}

bool Server::WaitForHold(std::chrono::milliseconds timeout) const {
    std::unique_lock lock(impl_->mutex);
    return impl_->changed.wait_for(lock, timeout, [&] { return impl_->holding > 0; });
}

int Server::Connections() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->accepted;
}

int Server::OpenHandles() const {
    std::lock_guard lock(impl_->mutex);
    return static_cast<int>(impl_->handles.size());
}

void Server::Impl::AcceptLoop() {
    for (;;) {
        pollfd fds[2] = {{listen_fd, POLLIN, 0}, {wake[0], POLLIN, 0}};
        int r = ::poll(fds, 2, -1);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0 || (fds[1].revents & POLLIN)) return;
        if (!(fds[0].revents & POLLIN)) continue;
        int fd = ::accept4(listen_fd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            // Out of descriptors or a connection reset before the accept:
            // do not spin on a listener that stays readable.
            if (errno != EINTR && errno != EAGAIN) std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        int one = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        std::lock_guard lock(mutex);
        if (stopping) {
            CloseFd(fd);
            return;
        }
        // Join the threads of connections that have ended.
        for (auto it = connections.begin(); it != connections.end();) {
            if (it->done) {
                it->thread.join();
                it = connections.erase(it);
            } else {
                ++it;
            }
        }
        Connection& c = connections.emplace_back();
        c.id = ++accepted;
        c.fd = fd;
        c.thread = std::thread([this, &c] { Serve(&c); });
    }
}

void Server::Impl::Serve(Connection* connection) {
    int fd;
    {
        std::lock_guard lock(mutex);
        fd = connection->fd;
    }
    Block request(kBlockBytes);
    for (;;) {
        if (!RecvAll(fd, request.data(), request.size())) break;
        Outcome out = Process(connection->id, request);
        const std::size_t index = out.index;
        if (!Pause(out.delay)) break;
        if (out.hold && !AwaitRelease()) break;
        // The log is complete before the client sees the reply (or the
        // close), so that a test may read it as soon as its call returns.
        Finish(index, out.action == Outcome::Action::kReply);
        if (out.action == Outcome::Action::kDisconnect) break;
        std::size_t length = out.action == Outcome::Action::kShort ? std::min(out.short_bytes, out.reply.size())
                                                                   : out.reply.size();
        std::size_t piece = out.piece == 0 ? length : out.piece;
        bool sent = true;
        for (std::size_t at = 0; at < length && sent; at += piece)
            sent = SendAll(fd, out.reply.data() + at, std::min(piece, length - at));
        if (out.action == Outcome::Action::kShort) {
            if (sent && out.after == AfterShortReply::kHold) Hold(fd);
            break;
        }
        if (!sent) {
            Undelivered(index);
            break;
        }
    }
    std::lock_guard lock(mutex);
    for (auto it = handles.begin(); it != handles.end();) {
        if (it->second.connection == connection->id) {
            CloseFd(it->second.fd);
            it = handles.erase(it);
        } else {
            ++it;
        }
    }
    ::shutdown(connection->fd, SHUT_RDWR);
    CloseFd(connection->fd);
    connection->done = true;
}

// Sleeps for a reply delay; false when the server stops meanwhile.
bool Server::Impl::Pause(std::chrono::milliseconds delay) {
    if (delay.count() <= 0) return true;
    std::unique_lock lock(mutex);
    return !changed.wait_for(lock, delay, [&] { return stopping; });
}

// Holds a whole reply back until the next Release(); false when the server
// stops meanwhile.
bool Server::Impl::AwaitRelease() {
    std::unique_lock lock(mutex);
    const uint64_t generation = release_generation;
    ++holding;
    changed.notify_all();
    changed.wait(lock, [&] { return stopping || release_generation != generation; });
    --holding;
    return !stopping;
}

void Server::Impl::Hold(int fd) {
    std::unique_lock lock(mutex);
    const uint64_t generation = release_generation;
    ++holding;
    changed.notify_all();
    while (!stopping && release_generation == generation) {
        lock.unlock();
        pollfd p{fd, POLLIN | POLLRDHUP, 0};
        int r = ::poll(&p, 1, 20);
        bool gone = false;
        if (r > 0) {
            if (p.revents & (POLLRDHUP | POLLHUP | POLLERR)) {
                gone = true;
            } else if (p.revents & POLLIN) {
                uint8_t byte;
                ssize_t n = ::recv(fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
                gone = n == 0;
            }
        }
        lock.lock();
        if (gone) break;
    }
    --holding;
}

void Server::Impl::Finish(std::size_t index, bool answered) {
    std::lock_guard lock(mutex);
    if (index < log.size()) {
        log[index].answered = answered;
        LogLine(FormatRequest(log[index]));
    }
    changed.notify_all();
}

void Server::Impl::Undelivered(std::size_t index) {
    std::lock_guard lock(mutex);
    if (index < log.size()) log[index].answered = false;
    LogLine("#" + std::to_string(index) + " reply not delivered");
}

void Server::Impl::LogLine(const std::string& line) {
    if (!log_file) return;
    std::fputs(line.c_str(), log_file);
    std::fputc('\n', log_file);
    std::fflush(log_file);
}

void Server::Impl::Flag(std::size_t index, ViolationKind kind, std::string detail) {
    LogLine("violation #" + std::to_string(index) + " " + ViolationName(kind) + ": " + detail);
    violations.push_back({index, kind, std::move(detail)});
}

int32_t Server::Impl::NewHandle() {
    for (;;) {
        int32_t h = next_handle;
        next_handle = h == INT32_MAX ? INT32_MIN : h + 1;
        if (h != -1 && !handles.count(h)) return h;
    }
}

// Flags the first non-zero byte outside `fields` (each [begin, end)).
void Server::Impl::CheckReserved(std::size_t index, const Block& b,
                                 std::initializer_list<std::pair<std::size_t, std::size_t>> fields) {
    std::size_t first = b.size(), count = 0;
    std::size_t i = 0;
    for (const auto& [begin, end] : fields) {
        for (; i < begin; ++i)
            if (b[i] != 0 && count++ == 0) first = i;
        i = std::max(i, end);
    }
    for (; i < b.size(); ++i)
        if (b[i] != 0 && count++ == 0) first = i;
    if (count > 0) {
        char text[96];
        std::snprintf(text, sizeof text, "byte %zu is 0x%02x (%zu non-zero)", first, b[first], count);
        Flag(index, ViolationKind::kReservedBytes, text);
    }
}

// Where the request's fields are, as the log keeps them.
LoggedRequest Server::Impl::Entry(int connection, int32_t command, const Block& b) const {
    LoggedRequest entry;
    entry.index = log.size();
    entry.connection = connection;
    entry.command = command;
    if (command != kOpen) {
        entry.handle = Le32(&b[req::kHandle]);
        entry.count = Le32(&b[req::kCount]);
        entry.offset = static_cast<int64_t>(static_cast<uint64_t>(static_cast<uint32_t>(Le32(&b[req::kOffsetHigh])))
                                                << 32 |
                                            static_cast<uint32_t>(Le32(&b[req::kOffsetLow])));
        entry.origin = Le32(&b[req::kOrigin]);
    }
    return entry;
}

Outcome Server::Impl::Process(int connection, const Block& b) {
    // Each command's handler fills the reply and gives its status.
    static constexpr std::array<std::pair<int32_t, Handler>, 5> kHandlers{{
        {kOpen, &Impl::Open},
        {kClose, &Impl::CloseHandle},
        {kRead, &Impl::Read},
        {kBlockSize, &Impl::BlockSize},
        {kSeek, &Impl::Seek},
    }};
    std::lock_guard lock(mutex);
    Outcome out;
    out.reply.assign(kBlockBytes, 0);
    const int32_t command = Le32(&b[req::kCommand]);
    const int slot = command >= 1 && command <= 5 ? command : 0;
    ++per_command[slot];
    ++total;

    LoggedRequest entry = Entry(connection, command, b);
    out.index = entry.index;
    out.delay = faults.delay_command == 0 || faults.delay_command == command ? faults.delay
                                                                             : std::chrono::milliseconds(0);
    out.piece = faults.reply_piece;

    if (Fires(faults.disconnect_before, command, per_command, total)) {
        if (command == kOpen) {
            const auto* start = reinterpret_cast<const char*>(&b[req::kPath]);
            entry.path.assign(start, strnlen(start, kBlockBytes - req::kPath));
        }
        entry.status = -1;
        log.push_back(entry);
        changed.notify_all();
        out.action = Outcome::Action::kDisconnect;
        return out;
    }
    log.push_back(entry);
    Request r{connection, b, log.back(), out.reply.data(), out.index};
    Handler handler = &Impl::Unknown;
    for (const auto& [c, h] : kHandlers)
        if (c == command) handler = h;
    const int32_t status = (this->*handler)(r);
    r.entry.status = status;
    PutLe32At(r.reply + rep::kStatus, status);
    out.hold = Fires(faults.hold_reply, command, per_command, total);
    if (Fires(faults.short_reply, command, per_command, total)) {
        out.action = Outcome::Action::kShort;
        out.short_bytes = faults.short_reply_bytes;
        out.after = faults.after_short;
    }
    changed.notify_all();
    return out;
}

int32_t Server::Impl::Open(Request& r) {
    LoggedRequest& e = r.entry;
    const auto* start = reinterpret_cast<const char*>(&r.block[req::kPath]);
    const std::size_t room = kBlockBytes - req::kPath;
    const std::size_t length = strnlen(start, room);
    e.path.assign(start, length);
    if (length == room) {
        Flag(r.index, ViolationKind::kPathNoNul, "no NUL after " + std::to_string(room) + " bytes");
        CheckReserved(r.index, r.block, {{0, 4}, {16, kBlockBytes}});
        return 1;
    }
    CheckReserved(r.index, r.block, {{0, 4}, {16, 16 + length + 1}});
    ++opens;
    if (faults.open_failures == -1 || opens <= faults.open_failures) return faults.open_status;
    auto device = std::find_if(options.devices.begin(), options.devices.end(),
                               [&](const Device& d) { return d.name == e.path; });
    if (device == options.devices.end()) return 1;
    const int n = ++device_opens[device->name];
    if (device->refuse_opens == -1 || n <= device->refuse_opens) return 1;
    Handle h;
    if (!OpenDevice(*device, h)) return 2;
    h.connection = r.connection;
    const int32_t handle = faults.open_handle ? *faults.open_handle : NewHandle();
    if (handles.count(handle)) {
        CloseFd(h.fd);
        return 2;
    }
    handles[handle] = h;
    e.reply_handle = handle;
    PutLe32At(r.reply + rep::kHandle, handle);
    return 0;
}

// Checks the request's reserved bytes (outside `fields`) and finds the
// handle it names; handles.end() when none is open under it.
std::map<int32_t, Handle>::iterator Server::Impl::Named(
    Request& r, std::initializer_list<std::pair<std::size_t, std::size_t>> fields) {
    CheckReserved(r.index, r.block, fields);
    return handles.find(r.entry.handle);
}

int32_t Server::Impl::CloseHandle(Request& r) {
    auto it = Named(r, {{0, 4}, {16, 20}});
    if (it == handles.end()) return 1;
    if (faults.close_status != 0) return faults.close_status;
    CloseFd(it->second.fd);
    handles.erase(it);
    return 0;
}

int32_t Server::Impl::Read(Request& r) {
    LoggedRequest& e = r.entry;
    auto it = Named(r, {{0, 4}, {16, 24}});
    if (it == handles.end()) return 1;
    ++reads;
    if (faults.read_fail_from > 0 && reads >= faults.read_fail_from) return faults.read_status;
    if (e.count < 0) return 1;
    Handle& h = it->second;
    uint8_t* reply = r.reply;
    const int64_t left = std::max<int64_t>(0, h.size - h.position);
    const int64_t n = std::min<int64_t>({e.count, kMaxData, left});
    const int32_t reported = faults.count_override ? *faults.count_override
                                                   : static_cast<int32_t>(n) + faults.count_extra;
    // The data area carries what the report claims, as far as the device
    // and the room reach, so that a client copying too much gets real bytes
    // rather than zeros.
    const int64_t fill = std::min<int64_t>({std::max<int64_t>(n, reported), kMaxData, left});
    int64_t done = 0;
    while (done < fill) {
        ssize_t got = ::pread(h.fd, reply + rep::kData + done, static_cast<std::size_t>(fill - done),
                              h.position + done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        done += got;
    }
    if (done < n) {
        std::memset(reply + rep::kData, 0, static_cast<std::size_t>(kMaxData));
        return 3;
    }
    h.position += n;
    if (Fires(faults.lying_read, kRead, per_command, total)) {
        std::memset(reply + rep::kData, 0, static_cast<std::size_t>(kMaxData));
        e.reply_count = faults.lie_count;
        PutLe32At(reply + rep::kCount, faults.lie_count);
        return faults.lie_status;
    }
    e.reply_count = reported;
    PutLe32At(reply + rep::kCount, reported);
    return 0;
}

int32_t Server::Impl::BlockSize(Request& r) {
    LoggedRequest& e = r.entry;
    auto it = Named(r, {{0, 4}, {16, 20}});
    if (it == handles.end()) return 1;
    if (faults.block_size_status != 0) return faults.block_size_status;
    e.reply_block_size = faults.forced_block_size ? *faults.forced_block_size : it->second.block_size;
    PutLe32At(r.reply + rep::kBlockSize, e.reply_block_size);
    return 0;
}

int32_t Server::Impl::Seek(Request& r) {
    LoggedRequest& e = r.entry;
    CheckReserved(r.index, r.block, {{0, 4}, {16, 36}});
    if (e.origin != 0) {
        Flag(r.index, ViolationKind::kOrigin, "origin " + std::to_string(e.origin));
        return 1;
    }
    auto it = handles.find(e.handle);
    if (it == handles.end() || e.offset < 0) return 1;
    it->second.position = e.offset;
    return 0;
}

int32_t Server::Impl::Unknown(Request& r) {
    Flag(r.index, ViolationKind::kUnknownCommand, "command " + std::to_string(r.entry.command));
    return 1;
}

const char* CommandName(int32_t command) {
    switch (command) {
        case kOpen: return "open";
        case kClose: return "close";
        case kRead: return "read";
        case kBlockSize: return "blocksize";
        case kSeek: return "seek";
        default: return "?";
    }
}

const char* ViolationName(ViolationKind kind) {
    switch (kind) {
        case ViolationKind::kReservedBytes: return "reserved bytes";
        case ViolationKind::kOrigin: return "origin";
        case ViolationKind::kPathNoNul: return "path without NUL";
        case ViolationKind::kUnknownCommand: return "unknown command";
    }
    return "?";
}

std::string FormatRequest(const LoggedRequest& r) {
    char text[256];
    int n;
    if (r.command == kOpen) {
        n = std::snprintf(text, sizeof text, "#%zu conn %d open path \"%.120s\"", r.index, r.connection,
                          r.path.c_str());
    } else {
        n = std::snprintf(text, sizeof text, "#%zu conn %d %s(%d) handle %d count %d offset %lld origin %d",
                          r.index, r.connection, CommandName(r.command), r.command, r.handle, r.count,
                          static_cast<long long>(r.offset), r.origin);
    }
    std::string line(text, static_cast<std::size_t>(std::max(n, 0)) < sizeof text ? static_cast<std::size_t>(n)
                                                                                    : sizeof text - 1);
    if (!r.answered) {
        line += " -> no whole reply";
    } else {
        std::snprintf(text, sizeof text, " -> status %d", r.status);
        line += text;
        if (r.command == kOpen && r.status == 0) line += " handle " + std::to_string(r.reply_handle);
        if (r.command == kRead && r.status == 0) line += " count " + std::to_string(r.reply_count);
        if (r.command == kBlockSize && r.status == 0) line += " size " + std::to_string(r.reply_block_size);
    }
    return line;
}

void PutLe32(std::vector<uint8_t>& block, std::size_t offset, int32_t value) {
    if (offset + 4 <= block.size()) PutLe32At(block.data() + offset, value);
}

int32_t GetLe32(const std::vector<uint8_t>& block, std::size_t offset) {
    return offset + 4 <= block.size() ? Le32(block.data() + offset) : 0;
}

std::vector<uint8_t> OpenRequest(const std::string& path) {
    Block b(kBlockBytes, 0);
    PutLe32(b, req::kCommand, kOpen);
    std::memcpy(b.data() + req::kPath, path.data(), std::min(path.size(), kBlockBytes - req::kPath - 1));
    return b;
}

std::vector<uint8_t> HandleRequest(int32_t command, int32_t handle, int32_t count, int64_t offset) {
    Block b(kBlockBytes, 0);
    PutLe32(b, req::kCommand, command);
    PutLe32(b, req::kHandle, handle);
    if (command == kRead) PutLe32(b, req::kCount, count);
    if (command == kSeek) {
        PutLe32(b, req::kOffsetLow, static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(offset))));
        PutLe32(b, req::kOffsetHigh, static_cast<int32_t>(static_cast<uint64_t>(offset) >> 32));
    }
    return b;
}

RawClient::~RawClient() {
    Close();
}

bool RawClient::Connect(uint16_t port, const std::string& host) {
    Close();
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    if (::inet_pton(AF_INET, host.c_str(), &address.sin_addr) != 1) return false;
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0) return false;
    int r;
    do {
        r = ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    } while (r < 0 && errno == EINTR);
    if (r < 0) {
        CloseFd(fd_);
        return false;
    }
    return true;
}

bool RawClient::Exchange(const std::vector<uint8_t>& request, std::vector<uint8_t>& reply) {
    reply.assign(kBlockBytes, 0);
    if (fd_ < 0 || !SendAll(fd_, request.data(), request.size())) {
        reply.clear();
        return false;
    }
    std::size_t got = 0;
    bool whole = RecvAll(fd_, reply.data(), reply.size(), &got);
    reply.resize(got);
    return whole;
}

void RawClient::Close() {
    CloseFd(fd_);
}

}  // namespace standin
