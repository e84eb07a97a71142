#include "tests/support/temp_dir.h"

#include <algorithm>
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

std::vector<std::string> SampleRecordingNames() {
    std::vector<std::string> names;
    const std::string dir = SampleDataDir();
    if (dir.empty()) return names;
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
        const std::string ext = e.path().extension().string();
        if (ext == ".c10" || ext == ".ch10") names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace ch10fix
