#include "platform/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>
#include <thread>

extern char** environ;

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { Close(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    void Close() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};

class FileActions {
public:
    FileActions() { posix_spawn_file_actions_init(&actions_); }
    ~FileActions() { posix_spawn_file_actions_destroy(&actions_); }
    FileActions(const FileActions&) = delete;
    FileActions& operator=(const FileActions&) = delete;
    posix_spawn_file_actions_t* get() { return &actions_; }

private:
    posix_spawn_file_actions_t actions_;
};

std::vector<char*> CArgs(std::vector<std::string>& args) {
    std::vector<char*> out;
    for (auto& a : args) out.push_back(a.data());
    out.push_back(nullptr);
    return out;
}

// Appends what can be read now; false at end of file or on an error.
bool ReadAvailable(int fd, std::string& output, std::size_t limit) {
    char buffer[16384];
    while (true) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK;
        if (n == 0) return false;
        std::size_t keep = std::min(static_cast<std::size_t>(n), limit - std::min(limit, output.size()));
        output.append(buffer, keep);
    }
}

void Reap(pid_t pid, int& status) {
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

// Reads the child's output until it ends or the deadline passes. True when
// it ended (and was reaped into `status`).
bool ReadUntilExit(pid_t pid, int pipeFd, Clock::time_point deadline, std::size_t limit, std::string& output,
                   int& status) {
    Fd pidFd(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));
    bool pipeOpen = true;
    while (true) {
        auto remaining = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (remaining <= 0) return false;
        pollfd fds[2];
        nfds_t count = 0;
        if (pipeOpen) fds[count++] = pollfd{pipeFd, POLLIN, 0};
        if (pidFd.get() >= 0) fds[count++] = pollfd{pidFd.get(), POLLIN, 0};
        // Without a pid descriptor the child is looked at every 10 ms.
        int wait = static_cast<int>(pidFd.get() >= 0 ? std::min<long long>(remaining, 1000) : std::min<long long>(remaining, 10));
        int ready = ::poll(fds, count, wait);
        if (ready < 0 && errno != EINTR) return false;
        if (pipeOpen && ready > 0 && (fds[0].revents & (POLLIN | POLLHUP | POLLERR)))
            pipeOpen = ReadAvailable(pipeFd, output, limit);
        pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            // Whatever it wrote before it ended is in the pipe; a descendant
            // that still holds the pipe is not waited for.
            if (pipeOpen) ReadAvailable(pipeFd, output, limit);
            return true;
        }
    }
}

}  // namespace

RunResult RunAndRead(const std::vector<std::string>& argv, std::chrono::milliseconds timeout,
                     std::size_t outputLimit) {
    RunResult result;
    if (argv.empty()) {
        result.spawnError = EINVAL;
        return result;
    }
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        result.spawnError = errno;
        return result;
    }
    Fd readEnd(ends[0]), writeEnd(ends[1]);
    FileActions actions;
    posix_spawn_file_actions_addopen(actions.get(), 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(actions.get(), writeEnd.get(), 1);
    posix_spawn_file_actions_addclosefrom_np(actions.get(), 3);
    std::vector<std::string> args = argv;
    std::vector<char*> cargs = CArgs(args);
    const Clock::time_point deadline = Clock::now() + timeout;
    pid_t pid = -1;
    int rc = posix_spawn(&pid, cargs[0], actions.get(), nullptr, cargs.data(), environ);
    writeEnd.Close();
    if (rc != 0) {
        result.spawnError = rc;
        return result;
    }
    result.started = true;
    ::fcntl(readEnd.get(), F_SETFL, ::fcntl(readEnd.get(), F_GETFL) | O_NONBLOCK);
    int status = 0;
    if (!ReadUntilExit(pid, readEnd.get(), deadline, outputLimit, result.output, status)) {
        ::kill(pid, SIGKILL);
        Reap(pid, status);
        result.timedOut = true;
        return result;
    }
    if (WIFEXITED(status)) {
        result.exited = true;
        result.exitStatus = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        result.signal = WTERMSIG(status);
    }
    return result;
}

LaunchResult launch(const std::vector<std::string>& argv) {
    LaunchResult result;
    if (argv.empty()) {
        result.error = EINVAL;
        return result;
    }
    FileActions actions;
    posix_spawn_file_actions_addclosefrom_np(actions.get(), 3);
    std::vector<std::string> args = argv;
    std::vector<char*> cargs = CArgs(args);
    pid_t pid = -1;
    int rc = posix_spawnp(&pid, cargs[0], actions.get(), nullptr, cargs.data(), environ);
    if (rc != 0) {
        result.error = rc;
        return result;
    }
    result.started = true;
    result.pid = pid;
    // Reaped by its own pid: other parts of the program wait for their own
    // children and must not lose them to a wait for any child.
    try {
        std::thread([pid] {
            int status = 0;
            Reap(pid, status);
        }).detach();
    } catch (const std::system_error&) {
        // No thread to spare: the child stays a zombie until we exit.
    }
    return result;
}

}  // namespace platform
