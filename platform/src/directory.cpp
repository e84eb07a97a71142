#include "platform/directory.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/path.h"
#include "platform/text.h"

namespace platform {

std::vector<DirectoryEntry> ListDirectory(const std::string& directory) {
    namespace fs = std::filesystem;
    std::vector<DirectoryEntry> entries;
    std::error_code ec;
    fs::directory_iterator it(directory.empty() ? std::string(".") : directory, ec);
    if (ec) return entries;
    for (fs::directory_iterator end; it != end; it.increment(ec)) {
        if (ec) break;
        DirectoryEntry e;
        e.name = it->path().filename().string();
        e.path = JoinPath(directory, e.name);
        std::error_code typeEc;
        e.isDirectory = it->symlink_status(typeEc).type() == fs::file_type::directory;
        entries.push_back(std::move(e));
    }
    std::sort(entries.begin(), entries.end(), [](const DirectoryEntry& a, const DirectoryEntry& b) {
        return AsciiLessNoCaseThenBytes(a.name, b.name);
    });
    return entries;
}

}  // namespace platform
