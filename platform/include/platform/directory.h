#pragma once
// One level of a directory listing in a stable order. Linux gives no order of
// its own; the system's recordings were listed by name, so entries come ASCII
// case-insensitively sorted, byte order on ties. Callers recurse by hand.
#include <string>
#include <vector>

namespace platform {

struct DirectoryEntry {
    std::string name;  // the entry's own name
    std::string path;  // directory + "/" + name
    // A real directory; a symlink to one is not (walks never follow them).
    bool isDirectory = false;
};

// The entries of `directory` without "." and "..", sorted. An unreadable or
// missing directory lists nothing.
std::vector<DirectoryEntry> ListDirectory(const std::string& directory);

}  // namespace platform
