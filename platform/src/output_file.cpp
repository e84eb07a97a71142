#include "platform/output_file.h"

#include <cerrno>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>

namespace platform {
namespace {

// Writes left until the seam fails one; 0 = off.
std::atomic<int> failCountdown{0};

// Closes left until the seam fails one; 0 = off.
std::atomic<int> failCloseCountdown{0};

bool SeamFails(std::atomic<int>& countdown) {
    int n = countdown.load(std::memory_order_relaxed);
    while (n > 0) {
        if (countdown.compare_exchange_weak(n, n - 1, std::memory_order_relaxed)) return n == 1;
    }
    return false;
}

bool SeamFailsThisWrite() { return SeamFails(failCountdown); }

}  // namespace

OutputFile::~OutputFile() {
    const int saved = errno;
    Close();
    errno = saved;
}

OutputFile::OutputFile(OutputFile&& other) noexcept : fd_(other.fd_), failed_(other.failed_) {
    other.fd_ = -1;
    other.failed_ = false;
}

OutputFile& OutputFile::operator=(OutputFile&& other) noexcept {
    if (this != &other) {
        const int saved = errno;
        Close();
        errno = saved;
        fd_ = other.fd_;
        failed_ = other.failed_;
        other.fd_ = -1;
        other.failed_ = false;
    }
    return *this;
}

OutputFile OutputFile::Open(const std::string& name) {
    static constexpr std::string_view kDevicePrefix = "\\\\.\\";
    int fd;
    if (name.compare(0, kDevicePrefix.size(), kDevicePrefix) == 0) {
        const std::string rest = name.substr(kDevicePrefix.size());
        do fd = ::open(rest.c_str(), O_RDWR | O_CLOEXEC);
        while (fd < 0 && errno == EINTR);
    } else {
        do fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        while (fd < 0 && errno == EINTR);
    }
    return OutputFile(fd);
}

bool OutputFile::WriteAll(const void* data, std::size_t size) {
    if (fd_ < 0) {
        errno = EBADF;
        return false;
    }
    if (SeamFailsThisWrite()) {
        errno = ENOSPC;
        failed_ = true;
        return false;
    }
    const auto* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd_, p, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            failed_ = true;
            return false;
        }
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool OutputFile::Close() {
    if (fd_ < 0) return true;
    // On Linux a failed close (EIO, or ENOSPC on a network file system) may
    // mean written data never arrived; the descriptor is gone either way.
    bool ok = ::close(fd_) == 0;
    fd_ = -1;
    if (ok && SeamFails(failCloseCountdown)) {
        errno = EIO;
        ok = false;
    }
    return ok;
}

void OutputFile::FailNthCloseForTests(int n) { failCloseCountdown.store(n < 0 ? 0 : n, std::memory_order_relaxed); }

void OutputFile::FailNthWriteForTests(int n) { failCountdown.store(n < 0 ? 0 : n, std::memory_order_relaxed); }

std::string SystemErrorText(int error) { return std::system_category().message(error); }

}  // namespace platform
