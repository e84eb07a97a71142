#include "platform/text_file.h"

#include <cstring>
#include <string>
#include <utility>

namespace platform {

TextFile::~TextFile() { Close(); }

TextFile::TextFile(TextFile&& other) noexcept
    : file_(std::exchange(other.file_, nullptr)), lastWasCr_(other.lastWasCr_) {}

TextFile& TextFile::operator=(TextFile&& other) noexcept {
    if (this != &other) {
        Close();
        file_ = std::exchange(other.file_, nullptr);
        lastWasCr_ = other.lastWasCr_;
    }
    return *this;
}

bool TextFile::Open(const std::string& path, const char* mode) {
    Close();
    std::string m = mode;
    m += 'e';  // close-on-exec
    file_ = std::fopen(path.c_str(), m.c_str());
    lastWasCr_ = false;
    return file_ != nullptr;
}

bool TextFile::Write(std::string_view text) {
    if (!file_) return false;
    // Room for a CR before every byte at worst; the buffer keeps its size.
    if (converted_.size() < 2 * text.size()) converted_.resize(2 * text.size());
    char* o = converted_.data();
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    for (const char* p = begin; p < end;) {
        const char* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
        if (!lf) {
            std::memcpy(o, p, static_cast<std::size_t>(end - p));
            o += end - p;
            break;
        }
        std::memcpy(o, p, static_cast<std::size_t>(lf - p));
        o += lf - p;
        const bool crBefore = lf > begin ? lf[-1] == '\r' : lastWasCr_;
        if (!crBefore) *o++ = '\r';
        *o++ = '\n';
        p = lf + 1;
    }
    if (!text.empty()) lastWasCr_ = text.back() == '\r';
    const std::size_t n = static_cast<std::size_t>(o - converted_.data());
    return std::fwrite(converted_.data(), 1, n, file_) == n;
}

bool TextFile::Flush() { return file_ && std::fflush(file_) == 0; }

bool TextFile::Close() {
    bool ok = true;
    if (file_) {
        ok = std::fclose(file_) == 0;
        file_ = nullptr;
    }
    lastWasCr_ = false;
    return ok;
}

}  // namespace platform
