#include "registry_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>

namespace platform {
namespace {

namespace fs = std::filesystem;
namespace rf = registry_format;

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    // Closes now and reports whether the close succeeded.
    bool Close() {
        int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int fd_;
};

struct RawHive {
    bool present = false;
    bool damaged = false;  // unreadable as a hive, or over the size limit
    std::string text;
};

// Empty content for a damaged text.
rf::Content Decode(RawHive& raw) {
    if (!raw.present || raw.damaged) return {};
    auto content = rf::Parse(raw.text);
    if (!content) {
        raw.damaged = true;
        return {};
    }
    return std::move(*content);
}

RawHive ReadHiveFile(const std::string& path) {
    RawHive raw;
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) return raw;
    raw.present = true;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        raw.damaged = true;
        return raw;
    }
    char buffer[65536];
    while (true) {
        ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            raw.damaged = true;
            return raw;
        }
        if (n == 0) break;
        raw.text.append(buffer, static_cast<std::size_t>(n));
        if (raw.text.size() > kHiveSizeLimit) {
            raw.damaged = true;
            raw.text.clear();
            return raw;
        }
    }
    return raw;
}

bool WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Writes `text` to a temporary file beside `path`, syncs it and renames it
// over `path`, so a reader sees the old hive or the new one, never a mix.
bool ReplaceFile(const std::string& path, const std::string& text) {
    std::string temp = path + ".XXXXXX";
    Fd fd(::mkostemp(temp.data(), O_CLOEXEC));
    if (fd.get() < 0) return false;
    struct stat old {};
    mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    bool ok = ::fchmod(fd.get(), mode) == 0 && WriteAll(fd.get(), text) && ::fsync(fd.get()) == 0;
    ok = fd.Close() && ok;
    if (ok) ok = ::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    Fd dir(::open(fs::path(path).parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) ::fsync(dir.get());
    return true;
}

// The nearest directory that exists at or above `path`'s directory.
fs::path ExistingDirectory(const std::string& path) {
    std::error_code ec;
    fs::path dir = fs::absolute(fs::path(path), ec).parent_path();
    if (ec) return {};
    while (!dir.empty() && !fs::exists(dir, ec) && dir != dir.root_path()) dir = dir.parent_path();
    return dir;
}

class FileHiveStore final : public HiveStore {
public:
    explicit FileHiveStore(HiveSource source) : source_(std::move(source)) {}

    rf::Content Read() override {
        RawHive raw = ReadHiveFile(source_.file);
        return Decode(raw);
    }

    bool Writable() const override {
        switch (source_.access) {
            case HiveAccess::Never: return false;
            case HiveAccess::Always: return true;
            case HiveAccess::ByAccess: break;
        }
        const fs::path dir = ExistingDirectory(source_.file);
        if (dir.empty() || ::access(dir.c_str(), W_OK | X_OK) != 0) return false;
        return ::access(source_.file.c_str(), W_OK) == 0 || errno == ENOENT;
    }

    RegStatus Update(const std::function<bool(rf::Content&)>& change) override {
        if (!Writable()) return RegStatus::AccessDenied;
        std::error_code ec;
        fs::create_directories(fs::path(source_.file).parent_path(), ec);
        Fd lock(::open((source_.file + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
        if (lock.get() < 0) return RegStatus::IoError;
        while (::flock(lock.get(), LOCK_EX) != 0)
            if (errno != EINTR) return RegStatus::IoError;

        RawHive raw = ReadHiveFile(source_.file);
        rf::Content content = Decode(raw);
        if (!change(content)) return RegStatus::Ok;
        std::string text = rf::Format(content);
        if (text.size() > kHiveSizeLimit) return RegStatus::TooLarge;
        // What a person typed into a damaged hive is kept beside it.
        if (raw.damaged) {
            fs::copy_file(source_.file, source_.file + ".bad", fs::copy_options::overwrite_existing, ec);
            if (ec) return RegStatus::IoError;
        }
        return ReplaceFile(source_.file, text) ? RegStatus::Ok : RegStatus::IoError;
    }

private:
    HiveSource source_;
};

class MemoryHiveStore final : public HiveStore {
public:
    explicit MemoryHiveStore(HiveAccess access) : access_(access) {}

    rf::Content Read() override {
        std::lock_guard<std::mutex> lock(mutex_);
        RawHive raw{!text_.empty(), false, text_};
        return Decode(raw);
    }

    bool Writable() const override { return access_ != HiveAccess::Never; }

    RegStatus Update(const std::function<bool(rf::Content&)>& change) override {
        if (!Writable()) return RegStatus::AccessDenied;
        std::lock_guard<std::mutex> lock(mutex_);
        RawHive raw{!text_.empty(), false, text_};
        rf::Content content = Decode(raw);
        if (!change(content)) return RegStatus::Ok;
        std::string text = rf::Format(content);
        if (text.size() > kHiveSizeLimit) return RegStatus::TooLarge;
        text_ = std::move(text);
        return RegStatus::Ok;
    }

private:
    HiveAccess access_;
    std::mutex mutex_;
    std::string text_;
};

}  // namespace

std::shared_ptr<HiveStore> MakeHiveStore(const HiveSource& source) {
    if (source.inMemory) return std::make_shared<MemoryHiveStore>(source.access);
    return std::make_shared<FileHiveStore>(source);
}

}  // namespace platform
