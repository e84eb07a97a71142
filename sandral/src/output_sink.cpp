#include "output_sink.h"

#include <cstdarg>
#include <cstdio>

#include "platform/format.h"

namespace sandral {

OutputSink::~OutputSink() { Close(); }

bool OutputSink::OpenFile(const std::string& path) {
    Close();
    if (!file_.Open(path, "w+")) return false;
    kind_ = Kind::File;
    return true;
}

void OutputSink::UseStdout() {
    Close();
    kind_ = Kind::Stdout;
}

void OutputSink::UseMemory() {
    Close();
    kind_ = Kind::Memory;
}

void OutputSink::UseDiscard() {
    Close();
    kind_ = Kind::Discard;
}

void OutputSink::Close() {
    Flush();
    file_.Close();
    buffer_.clear();
    kind_ = Kind::None;
}

void OutputSink::Printf(const char* format, ...) {
    if (kind_ == Kind::None) return;
    va_list args;
    va_start(args, format);
    buffer_ += platform::FormatV(format, args);
    va_end(args);
    FlushWhenFull();
}

void OutputSink::Write(std::string_view text) {
    if (kind_ == Kind::None) return;
    buffer_.append(text);
    FlushWhenFull();
}

void OutputSink::Flush() {
    switch (kind_) {
        case Kind::File:
            file_.Write(buffer_);
            buffer_.clear();
            break;
        case Kind::Stdout:
            std::fwrite(buffer_.data(), 1, buffer_.size(), stdout);
            std::fflush(stdout);
            buffer_.clear();
            break;
        case Kind::Discard:
            buffer_.clear();
            break;
        case Kind::Memory:
        case Kind::None:
            break;
    }
}

}  // namespace sandral
