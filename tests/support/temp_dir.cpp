#include "tests/support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <vector>

#ifndef ORVANE_SOURCE_DIR
#define ORVANE_SOURCE_DIR "."
#endif

namespace ch10fix {

TempDir::TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "orvane-testXXXXXX").string();
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back('\0');
    if (!mkdtemp(buf.data())) throw std::runtime_error("mkdtemp failed");
    path_ = buf.data();
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string SampleDataDir() {
    std::error_code ec;
    if (const char* env = std::getenv("ORVANE_SAMPLE_DIR")) {
        if (std::filesystem::is_directory(env, ec)) return env;
        return {};
    }
    std::filesystem::path dir = std::filesystem::path(ORVANE_SOURCE_DIR) / ".." / "shared" / "data";
    if (std::filesystem::is_directory(dir, ec)) return std::filesystem::weakly_canonical(dir, ec).string();
    return {};
}

}  // namespace ch10fix
