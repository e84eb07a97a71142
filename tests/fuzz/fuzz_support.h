#pragma once
// Shared pieces of the fuzz targets: a private scratch folder on a memory
// file system, files written there from an input, and the input taken apart
// into choices and pieces.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <algorithm>
#include <cstring>
#include <map>
#include <string>

namespace fuzz {

// One folder per process, made at the first call and removed at exit; the
// working directory is moved there so that logs the libraries write beside it stay out of the tree.
// Standard output goes to /dev/null: the libraries print as they work. The
// libraries' fixed-name logs go there too.
inline const std::string& Scratch() {
    static const std::string dir = [] {
        const char* base = std::getenv("ORVANE_FUZZ_SCRATCH");
        std::string d = std::string(base && *base ? base : "/dev/shm") + "/orvane-fuzz-" + std::to_string(::getpid());
        ::mkdir(d.c_str(), 0700);
        static std::string removed = d;
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(removed, ec);
        });
        if (::chdir(d.c_str()) != 0) std::abort();
        ::setenv("TESSIN_LOG_DIR", d.c_str(), 1);
        int null = ::open("/dev/null", O_WRONLY);
        if (null >= 0) ::dup2(null, STDOUT_FILENO), ::close(null);
        return d;
    }();
    return dir;
}

inline std::string ScratchFile(const std::string& name) { return Scratch() + "/" + name; }

// Writes `size` bytes at `path`; false when it cannot.
inline bool WriteBytes(const std::string& path, const uint8_t* data, std::size_t size) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    std::size_t done = 0;
    while (done < size) {
        ssize_t n = ::write(fd, data + done, size - done);
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return done == size;
}

// The input read from the front: choices first, the rest as data.
class Input {
public:
    Input(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    uint8_t Byte() { return size_ ? (--size_, *data_++) : 0; }
    uint32_t U32() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(Byte()) << (8 * i);
        return v;
    }
    // Up to `n` bytes, fewer at the end.
    std::string Text(std::size_t n) {
        if (n > size_) n = size_;
        std::string t(reinterpret_cast<const char*>(data_), n);
        data_ += n, size_ -= n;
        return t;
    }
    const uint8_t* Data() const { return data_; }
    std::size_t Size() const { return size_; }

private:
    const uint8_t* data_;
    std::size_t size_;
};

// A recording in memory with the library's read and positioning rules for a
// plain file; every open gets its own position, the way each caller of the
// input calls holds its own descriptor.
class MemoryFile {
public:
    void Load(const uint8_t* data, std::size_t size) {
        data_ = data, size_ = static_cast<int64_t>(size);
        positions_.clear();
    }
    int64_t Size() const { return size_; }
    int Open() {
        positions_[next_] = 0;
        return next_++;
    }
    int Read(int handle, void* buffer, int count) {
        auto it = positions_.find(handle);
        if (it == positions_.end() || count < 0 || (count > 0 && !buffer)) return -1;
        const int64_t n = std::min<int64_t>(count, size_ - std::min(it->second, size_));
        if (n > 0) std::memcpy(buffer, data_ + it->second, static_cast<std::size_t>(n));
        it->second += n > 0 ? n : 0;
        return static_cast<int>(n);
    }
    int64_t Goto(int handle, uint32_t low, int32_t high, int origin) {
        auto it = positions_.find(handle);
        if (it == positions_.end() || origin < 0 || origin > 2) return -1;
        const int64_t offset = static_cast<int64_t>(static_cast<uint64_t>(static_cast<int64_t>(high)) << 32 | low);
        if (offset > 0) return it->second = offset;
        if (offset == 0) return it->second = origin == 2 ? size_ : 0;
        if (origin != 1 || it->second + offset < 0) return -1;
        return it->second += offset;
    }
    int Close(int handle) { return positions_.erase(handle) ? 0 : -1; }

private:
    const uint8_t* data_ = nullptr;
    int64_t size_ = 0;
    std::map<int, int64_t> positions_;
    int next_ = 5;
};

}  // namespace fuzz
