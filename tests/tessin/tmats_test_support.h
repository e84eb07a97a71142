#pragma once
// Helpers shared by the TMATS tests.
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "tessin.h"
#include "tessin_state.h"

namespace tmatstest {

inline std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Lines of a log beginning "Error:" or "Warning:".
inline std::vector<std::string> FindingLines(const std::string& log) {
    std::vector<std::string> out;
    std::size_t at = 0;
    while (at < log.size()) {
        std::size_t end = log.find('\n', at);
        std::string line = log.substr(at, end == std::string::npos ? std::string::npos : end + 1 - at);
        if (line.rfind("Error:", 0) == 0 || line.rfind("Warning:", 0) == 0) out.push_back(line);
        if (end == std::string::npos) break;
        at = end + 1;
    }
    return out;
}

// A heap copy of exactly text.size() bytes, so that ASan sees an over-read.
inline std::unique_ptr<char[]> ExactCopy(const std::string& text) {
    std::unique_ptr<char[]> p(new char[text.size() ? text.size() : 1]);
    std::memcpy(p.get(), text.data(), text.size());
    return p;
}

inline std::vector<std::string> Attributes() {
    std::vector<std::string> out;
    for (const char* a : tessin::State().tmats.attributes) out.emplace_back(a);
    return out;
}

// The error text a caller passes: 80 bytes, then canary bytes.
struct ErrorBuffer {
    static constexpr std::size_t kSize = 80;
    static constexpr std::size_t kCanary = 32;
    char bytes[kSize + kCanary];
    ErrorBuffer() {
        std::memset(bytes, 'e', kSize);
        bytes[0] = '\0';
        std::memset(bytes + kSize, 0x5A, kCanary);
    }
    char* get() { return bytes; }
    std::string text() const { return std::string(bytes, strnlen(bytes, kSize)); }
    bool CanaryIntact() const {
        for (std::size_t i = 0; i < kCanary; ++i)
            if (static_cast<unsigned char>(bytes[kSize + i]) != 0x5A) return false;
        return true;
    }
};

}  // namespace tmatstest
