#pragma once
// STANAG 4575 drives: device paths, the search for the first directory
// block, the walk along the directory chain, and the drive open.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "quillon_state.h"

namespace quillon {

constexpr int kDirectoryHeaderSize = 64;
constexpr int kDirectoryEntrySize = 112;
constexpr int kMaxSearchBlocks = 1000;
constexpr int kMaxChainBlocks = 1000;
constexpr std::size_t kMaxDriveText = 32;

// Drive codes of the drive open.
enum OpenCode : int {
    kOpened = 0,
    kAlreadyOpen = 4,
    kBadDriveSpec = 5,
    kDeviceNotOpened = 6,
    kNoDirectory = 7,
};

// "//./PHYSICALDRIVE<n>" for a number, "//./<letter>:" for a letter; empty
// (after "Error in Device Spec\n") for anything else, NULL, or a text over
// 32 characters.
std::optional<std::string> DevicePath(const char* drive);

constexpr int64_t kNoDirectoryFound = -1;
constexpr int64_t kDeviceUnreadable = -2;  // a read failed before a directory was found

// The first directory block's 0-based device block index h, reading one
// block at a time from the device's current position; kNoDirectoryFound or
// kDeviceUnreadable. `volume` gets the volume name (up to 32 characters).
int64_t FindSTANAGDirectory(int32_t handle, int32_t blockSize, char (&volume)[33]);

// One decoded directory entry.
struct DirEntry {
    char name[57] = {};
    uint64_t startBlock = 0;
    uint64_t size = 0;
    char date[9] = {};
    char time[9] = {};
};

struct WalkResult {
    int64_t entries = 0;     // visited
    bool readFailed = false;  // the walk ended at a read that failed
};

// Walks the chain from the device's current position (directory block 1).
// `visit` gets each entry with its running number k over the whole walk and
// returns false to end the walk; `stop` is asked before every block.
WalkResult WalkSTANAGDirectory(int32_t handle, int32_t blockSize, int64_t h,
                            const std::function<bool(int64_t k, const DirEntry& entry)>& visit,
                            const std::function<bool()>& stop);

// Byte offset of directory block number `block` ((block + h - 1) x block
// size), or empty when it lies before the device or beyond 63 bits.
std::optional<int64_t> BlockOffset(uint64_t block, int64_t h, int32_t blockSize);

// Opens the drive, finds its directory and lists it into the file table.
// `unreadable` (when given) tells whether the device could not be opened or
// a read of its directory failed, the listing then being cut short.
int OpenSTANAGDrive(const char* drive, bool* unreadable = nullptr);

}  // namespace quillon
