#include "platform/dirtree.h"

#include <sys/stat.h>

#include "platform/directory.h"

namespace platform {

std::vector<Drive> LocalDrives() { return {Drive{"/", kDriveFixed}}; }

std::vector<std::string> SubDirectories(const std::string& directory) {
    std::vector<std::string> names;
    for (const DirectoryEntry& e : ListDirectory(directory)) {
        bool isDirectory = e.isDirectory;
        if (!isDirectory) {
            // A link's target decides; ListDirectory never follows links.
            struct stat st {};
            isDirectory = ::stat(e.path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        }
        if (isDirectory) names.push_back(e.name);
    }
    return names;
}

std::size_t NetResourceBytes(const NetResource& r) {
    std::size_t bytes = 32;
    for (const auto* text : {&r.localName, &r.remoteName, &r.comment, &r.provider})
        if (text->has_value()) bytes += (*text)->size() + 1;
    return bytes;
}

std::vector<NetResource> FitIntoBuffer(const std::vector<NetResource>& resources, std::size_t bufferBytes) {
    std::vector<NetResource> fit;
    std::size_t used = 0;
    for (const NetResource& r : resources) {
        const std::size_t bytes = NetResourceBytes(r);
        if (bytes > bufferBytes - used) break;
        used += bytes;
        fit.push_back(r);
    }
    return fit;
}

}  // namespace platform
