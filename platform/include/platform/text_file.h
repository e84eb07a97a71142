#pragma once
// Text-mode output file: line ends are written as CR LF, the way the system's
// files have always looked. An LF that is not already preceded by CR becomes
// CR LF, across writes too, so a text that carries CR LF is never doubled.
#include <cstdio>
#include <string>
#include <string_view>

namespace platform {

class TextFile {
public:
    TextFile() = default;
    ~TextFile();
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;
    TextFile(TextFile&& other) noexcept;
    TextFile& operator=(TextFile&& other) noexcept;

    // mode as for fopen without "b"/"t": "w", "w+", "a", "a+".
    bool Open(const std::string& path, const char* mode = "w+");
    bool IsOpen() const { return file_ != nullptr; }
    // Writes text with the line-end rule; false on a failed write or when closed.
    bool Write(std::string_view text);
    bool Flush();
    // False when the close failed (buffered text may be lost); closed either way.
    bool Close();

private:
    std::FILE* file_ = nullptr;
    bool lastWasCr_ = false;
    std::string converted_;  // reused by every Write: no allocation per call
};

}  // namespace platform
