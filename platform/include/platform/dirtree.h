#pragma once
// What a directory chooser browses: the local drives, one directory level at
// a time, and the network one level at a time.
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// A fixed drive.
inline constexpr int kDriveFixed = 3;

struct Drive {
    std::string root;
    int type = kDriveFixed;
};

// Linux has one tree: the drive "/".
std::vector<Drive> LocalDrives();

// The sub-directories of `directory` by their real names, sorted as
// ListDirectory sorts; a link to a directory counts (one level is listed
// per call, so a looping link cannot loop). Unreadable: none.
std::vector<std::string> SubDirectories(const std::string& directory);

// Display type of a shared directory.
inline constexpr int kNetDisplayShare = 3;

// One network resource; an absent text is not the same as an empty one.
struct NetResource {
    int scope = 0;
    int type = 0;
    int displayType = 0;
    int usage = 0;
    std::optional<std::string> localName;
    std::optional<std::string> remoteName;
    std::optional<std::string> comment;
    std::optional<std::string> provider;
};

// Bytes a resource takes in an enumeration buffer: a 32-byte record plus
// each present text with its NUL.
std::size_t NetResourceBytes(const NetResource& resource);
// The leading resources that fit into `bufferBytes` together.
std::vector<NetResource> FitIntoBuffer(const std::vector<NetResource>& resources, std::size_t bufferBytes);

class NetworkEnumerator {
public:
    virtual ~NetworkEnumerator() = default;
    // The children of `parent` (none: the top level) that fit into
    // `bufferBytes`; nullopt when the level cannot be enumerated.
    virtual std::optional<std::vector<NetResource>> Enumerate(const NetResource* parent,
                                                              std::size_t bufferBytes) = 0;
};

// The Linux stand-in: a network with nothing on it.
class NoNetwork final : public NetworkEnumerator {
public:
    std::optional<std::vector<NetResource>> Enumerate(const NetResource*, std::size_t) override {
        return std::vector<NetResource>{};
    }
};

}  // namespace platform
