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
    std::string out;
    out.reserve(text.size() + text.size() / 16 + 2);
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    for (const char* p = begin; p < end;) {
        const char* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
        if (!lf) {
            out.append(p, end);
            break;
        }
        out.append(p, lf);
        const bool crBefore = lf > begin ? lf[-1] == '\r' : lastWasCr_;
        if (!crBefore) out.push_back('\r');
        out.push_back('\n');
        p = lf + 1;
    }
    if (!text.empty()) lastWasCr_ = text.back() == '\r';
    return std::fwrite(out.data(), 1, out.size(), file_) == out.size();
}

bool TextFile::Flush() { return file_ && std::fflush(file_) == 0; }

void TextFile::Close() {
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
    lastWasCr_ = false;
}

}  // namespace platform
