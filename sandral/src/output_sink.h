#pragma once
// Where every printer writes: a named listing (text mode, CR LF), standard
// output as given, memory (tests) or nothing (benchmarks). Text is gathered
// and written in blocks of at least 64 KiB.
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/text_file.h"

namespace sandral {

class OutputSink {
public:
    enum class Kind { None, File, Stdout, Memory, Discard };

    OutputSink() = default;
    ~OutputSink();
    OutputSink(const OutputSink&) = delete;
    OutputSink& operator=(const OutputSink&) = delete;

    // Creates or truncates a listing ("w+"); false when it cannot be made.
    bool OpenFile(const std::string& path);
    void UseStdout();
    void UseMemory();
    void UseDiscard();
    // Writes what is gathered and closes a named file; the sink is then none.
    void Close();

    Kind kind() const { return kind_; }
    void Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void Write(std::string_view text);
    // Writes the gathered text; standard output is flushed too.
    void Flush();
    // Room for up to `maxBytes` written in place: Append returns where to
    // write, Commit takes the end of what was written.
    char* Append(std::size_t maxBytes) {
        const std::size_t at = buffer_.size();
        buffer_.resize(at + maxBytes);
        return buffer_.data() + at;
    }
    void Commit(const char* end) {
        buffer_.resize(static_cast<std::size_t>(end - buffer_.data()));
        if (kind_ == Kind::None) buffer_.clear();
        FlushWhenFull();
    }
    // What a memory sink holds.
    const std::string& Text() const { return buffer_; }
    void ClearText() { buffer_.clear(); }

private:
    void FlushWhenFull() {
        if (buffer_.size() >= kBlock && kind_ != Kind::Memory) Flush();
    }
    static constexpr std::size_t kBlock = 64 * 1024;
    Kind kind_ = Kind::None;
    platform::TextFile file_;
    std::string buffer_;
};

}  // namespace sandral
