#include "platform/files.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>
#include <vector>

#include "platform/path.h"

namespace platform {
namespace {

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

std::string MakeFromTemplate(std::string path) {
    std::vector<char> buf(path.begin(), path.end());
    buf.push_back('\0');
    int fd = mkstemp(buf.data());
    if (fd < 0) return {};
    ::close(fd);
    return std::string(buf.data());
}

std::string TempDirectory() {
    std::error_code ec;
    auto dir = std::filesystem::temp_directory_path(ec);
    return ec ? std::string("/tmp") : dir.string();
}

}  // namespace

std::string LogDirectory() {
    std::string dir = Env("TESSIN_LOG_DIR");
    if (dir.empty()) {
        std::string state = Env("XDG_STATE_HOME");
        if (state.empty()) {
            std::string home = Env("HOME");
            if (home.empty()) return {};
            state = JoinPath(home, ".local/state");
        }
        dir = JoinPath(state, "orvane");
    }
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (!std::filesystem::is_directory(dir, ec)) return {};
    return dir;
}

std::string MapFixedLogPath(std::string_view windowsPath) {
    std::string dir = LogDirectory();
    if (dir.empty()) return {};
    return JoinPath(dir, BaseName(windowsPath));
}

std::string MakeUniqueName(std::string_view prefix) {
    std::string path = prefix.empty() ? JoinPath(TempDirectory(), "fnXXXXXX")
                                      : std::string(prefix) + "fnXXXXXX";
    return MakeFromTemplate(path);
}

std::string MakeTempFile(std::string_view stem) {
    return MakeFromTemplate(JoinPath(TempDirectory(), std::string(stem) + "XXXXXX"));
}

void RemoveFile(const std::string& path) {
    if (!path.empty()) ::unlink(path.c_str());
}

}  // namespace platform
