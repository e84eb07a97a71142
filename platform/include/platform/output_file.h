#pragma once
// An output file written byte for byte: the validation log, listings and
// the summary. The texts already carry their CR LF line ends.
#include <atomic>
#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

class OutputFile {
public:
    OutputFile() = default;  // none
    ~OutputFile();
    OutputFile(OutputFile&& other) noexcept;
    OutputFile& operator=(OutputFile&& other) noexcept;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // A name beginning with the four characters \\.\ opens the rest of the
    // name read-write as an existing file (no create, no truncate); any
    // other name is created or truncated (mode 0666 under the umask).
    // On failure the result is none and errno holds the reason.
    static OutputFile Open(const std::string& name);

    bool IsOpen() const { return fd_ >= 0; }
    // Writes the whole buffer (short writes and EINTR looped). False when
    // closed or on error, errno kept.
    bool WriteAll(const void* data, std::size_t size);
    bool WriteAll(std::string_view text) { return WriteAll(text.data(), text.size()); }
    // A write to this file failed: what it holds is not whole, whatever
    // was written after. Stays set after Close.
    bool Failed() const { return failed_; }
    // True when nothing was open or the close succeeded; false with errno
    // kept when it failed (the file is closed either way).
    bool Close();

    // Test seam: the n-th WriteAll from now (1 = the next) fails with
    // ENOSPC; 0 switches it off. Counts writes of every OutputFile.
    static void FailNthWriteForTests(int n);
    // Test seam: the n-th Close of an open file from now fails with EIO.
    static void FailNthCloseForTests(int n);

private:
    explicit OutputFile(int fd) : fd_(fd) {}
    int fd_ = -1;
    bool failed_ = false;
};

// The system's text for an errno value.
std::string SystemErrorText(int error);

}  // namespace platform
