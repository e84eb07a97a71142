#include "directory.h"

#include <cstring>
#include <new>
#include <string_view>
#include <vector>

#include "ingest_link.h"
#include "output.h"
#include "platform/format.h"
#include "quillon.h"

namespace quillon {

namespace {

constexpr char kIdentifier[8] = {'F', 'O', 'R', 'T', 'Y', 't', 'w', 'o'};

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

uint64_t ReadLe64(const uint8_t* p) {
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = v << 8 | p[i];
    return v;
}

// A multi-byte directory field as the drive's byte order gives it.
uint64_t CopyDirField(const uint8_t* p, int size, ByteOrder order) {
    uint64_t v = 0;
    if (order == ByteOrder::Big) {
        for (int i = 0; i < size; ++i) v = v << 8 | p[i];
    } else {
        for (int i = size - 1; i >= 0; --i) v = v << 8 | p[i];
    }
    return v;
}

// A text field: up to `size` characters, ending at the first NUL.
template <std::size_t N>
void CopyText(char (&out)[N], const uint8_t* p, std::size_t size) {
    static_assert(N >= 1);
    std::size_t n = strnlen(reinterpret_cast<const char*>(p), std::min(size, N - 1));
    std::memcpy(out, p, n);
    out[n] = '\0';
}

DirEntry DecodeEntry(const uint8_t* p, ByteOrder order) {
    DirEntry e;
    CopyText(e.name, p, 56);
    e.startBlock = CopyDirField(p + 56, 8, order);
    e.size = CopyDirField(p + 72, 8, order);
    CopyText(e.date, p + 80, 8);
    CopyText(e.time, p + 88, 8);
    return e;
}

// Digits only, one or two of them: the drive numbers the cache holds.
int CachedDriveNumber(const char* drive) {
    std::size_t n = std::strlen(drive);
    if (n < 1 || n > 2) return -1;
    for (std::size_t i = 0; i < n; ++i)
        if (!IsAsciiDigit(drive[i])) return -1;
    return n == 1 ? drive[0] - '0' : (drive[0] - '0') * 10 + (drive[1] - '0');
}

}  // namespace

std::optional<std::string> DevicePath(const char* drive) {
    // The text is copied into the device path, whose room is bounded.
    if (drive && strnlen(drive, kMaxDriveText + 1) <= kMaxDriveText) {
        if (IsAsciiLetter(drive[0])) return std::string("//./") + drive + ":";
        if (IsAsciiDigit(drive[0])) return std::string("//./PHYSICALDRIVE") + drive;
    }
    Print("Error in Device Spec\n");
    return std::nullopt;
}

int64_t FindSTANAGDirectory(int32_t handle, int32_t blockSize, char (&volume)[33]) {
    volume[0] = '\0';
    // One reply cannot carry a larger block; no such buffer is made.
    if (blockSize <= 0 || blockSize > kMaxReadData) return kNoDirectoryFound;
    std::vector<uint8_t> block(static_cast<std::size_t>(blockSize), 0);
    for (int64_t i = 0; i < kMaxSearchBlocks; ++i) {
        int32_t got = link::ReadDev(handle, block.data(), blockSize);
        if (got == link::kReadFailed) return kDeviceUnreadable;
        if (got < blockSize) return kNoDirectoryFound;
        if (blockSize >= 8 && std::memcmp(block.data(), kIdentifier, 8) == 0) {
            if (blockSize > 16)
                CopyText(volume, block.data() + 16, std::min<std::size_t>(32, blockSize - 16));
            return i;
        }
    }
    return kNoDirectoryFound;
}

std::optional<int64_t> BlockOffset(uint64_t block, int64_t h, int32_t blockSize) {
    // Block numbers come from the medium: reject what lies before the device
    // or past 63 bits instead of wrapping.
    unsigned __int128 deviceBlock = static_cast<unsigned __int128>(block) + static_cast<uint64_t>(h);
    if (deviceBlock < 1) return std::nullopt;
    deviceBlock -= 1;
    unsigned __int128 offset = deviceBlock * static_cast<uint64_t>(blockSize);
    if (offset > static_cast<unsigned __int128>(INT64_MAX)) return std::nullopt;
    return static_cast<int64_t>(offset);
}

WalkResult WalkSTANAGDirectory(int32_t handle, int32_t blockSize, int64_t h,
                               const std::function<bool(int64_t, const DirEntry&)>& visit,
                               const std::function<bool()>& stop) {
    WalkResult result;
    if (blockSize < kDirectoryHeaderSize || blockSize > kMaxReadData) return result;
    const std::size_t bs = static_cast<std::size_t>(blockSize);
    std::vector<uint8_t> first(bs, 0);
    std::vector<uint64_t> visited{1};
    ByteOrder order = ByteOrder::Undecided;
    uint64_t current = 1;
    int64_t& k = result.entries;

    for (int blocks = 0; blocks < kMaxChainBlocks; ++blocks) {
        if (stop && stop()) break;
        int32_t got = link::ReadDev(handle, first.data(), blockSize);
        result.readFailed = got == link::kReadFailed;
        if (got < blockSize) break;
        if (order == ByteOrder::Undecided)
            order = ReadLe64(first.data() + 56) == static_cast<uint64_t>(h) ? ByteOrder::Little : ByteOrder::Big;
        const uint64_t n = CopyDirField(first.data() + 10, 2, order);
        const uint64_t forward = CopyDirField(first.data() + 48, 8, order);

        // Header and entries rounded up to whole blocks, one block more when
        // they fill blocks exactly.
        const std::size_t length = bs * ((n * kDirectoryEntrySize + kDirectoryHeaderSize) / bs + 1);
        std::vector<uint8_t> whole;
        try {
            whole.assign(length, 0);
        } catch (const std::bad_alloc&) {
            break;
        }
        std::memcpy(whole.data(), first.data(), bs);
        std::size_t received = bs;
        bool shortRest = false;
        if (length > bs) {
            const std::size_t rest = length - bs;
            const int32_t ask = rest > static_cast<std::size_t>(INT32_MAX) ? INT32_MAX : static_cast<int32_t>(rest);
            int32_t more = link::ReadDev(handle, whole.data() + bs, std::min(ask, kMaxReadData));
            result.readFailed = more == link::kReadFailed;
            if (more > 0) received += static_cast<std::size_t>(more);
            shortRest = more < 0 || static_cast<std::size_t>(more) < rest;
        }

        // Only entries wholly received are taken; the zeroed rest is never parsed.
        bool go = true;
        for (uint64_t i = 0; i < n && go; ++i) {
            const std::size_t at = kDirectoryHeaderSize + i * kDirectoryEntrySize;
            if (at + kDirectoryEntrySize > received) break;
            go = visit(k, DecodeEntry(whole.data() + at, order));
            ++k;
        }
        if (!go || shortRest) break;
        if (forward == current) break;
        bool seen = false;
        for (uint64_t v : visited) seen = seen || v == forward;
        if (seen) break;
        std::optional<int64_t> offset = BlockOffset(forward, h, blockSize);
        if (!offset) break;
        visited.push_back(forward);
        current = forward;
        link::SeekDev(handle, *offset);
    }
    return result;
}

int OpenSTANAGDrive(const char* drive, bool* unreadable) {
    bool ignored = false;
    bool& failed = unreadable ? *unreadable : ignored;
    failed = false;
    QuillonState& s = State();
    DriveState& d = s.drive;
    if (d.handle != -1) return kAlreadyOpen;
    std::optional<std::string> path = DevicePath(drive);
    if (!path) return kBadDriveSpec;

    s.stream.filesStreamed = 0;
    s.stream.cancel = false;
    d.order = ByteOrder::Undecided;

    int32_t handle = -1;
    if (!link::OpenDev(path->c_str(), &handle)) {
        failed = true;
        return kDeviceNotOpened;
    }
    d.handle = handle;

    int cacheIndex = CachedDriveNumber(drive);
    int32_t blockSize = cacheIndex >= 0 ? d.blockSizeCache[static_cast<std::size_t>(cacheIndex)] : -1;
    if (blockSize < 0) blockSize = link::GetDevBlockSize(handle);
    d.blockSize = blockSize;
    PrintF("OpenDev successful - nFileBlockSize = %d\n", blockSize);

    char volume[33];
    int64_t h = FindSTANAGDirectory(handle, blockSize, volume);
    if (h < 0) {
        failed = h == kDeviceUnreadable;
        link::CloseDev(handle);
        d.handle = -1;
        return kNoDirectory;
    }
    d.firstDirectoryBlock = h;
    link::SeekDev(handle, h * blockSize);

    d.fileCount = 0;
    {
        std::lock_guard lock(s.stream.handover);
        s.stream.request.chunkSize = kDefaultChunk;
        s.stream.request.storedPosition = -1;
        s.stream.request.positionPending = false;
    }
    WalkResult walk = WalkSTANAGDirectory(
        handle, blockSize, h,
        [&d](int64_t, const DirEntry& e) {
            FileEntry& f = d.files[static_cast<std::size_t>(d.fileCount)];
            f = FileEntry{};
            f.size = e.size;
            std::memcpy(f.name, e.name, sizeof f.name);
            std::memcpy(f.date, e.date, sizeof f.date);
            std::memcpy(f.time, e.time, sizeof f.time);
            ++d.fileCount;
            return d.fileCount < kMaxFiles;  // the table's room
        },
        nullptr);
    failed = walk.readFailed;
    return kOpened;
}

namespace {

int ScanSTANAGDrives(char* drives, char* volumes) {
    if (drives) drives[0] = '\0';
    if (volumes) volumes[0] = '\0';
    std::string driveList, volumeList;
    int count = 0;
    for (int n = 0; n < kCacheEntries; ++n) {
        std::string path = platform::Format("//./PHYSICALDRIVE%d", n);
        int32_t handle = -1;
        if (!link::OpenDev(path.c_str(), &handle)) break;
        // The scan keeps its block size to itself: a running stream uses the
        // open drive's.
        int32_t blockSize = link::GetDevBlockSize(handle);
        State().drive.blockSizeCache[static_cast<std::size_t>(n)] = blockSize;
        char volume[33];
        if (FindSTANAGDirectory(handle, blockSize, volume) >= 0) {
            platform::AppendFormat(driveList, "%d ", n);
            volumeList += volume;
            volumeList += ' ';
            ++count;
        }
        link::CloseDev(handle);
    }
    if (drives) std::memcpy(drives, driveList.c_str(), driveList.size() + 1);
    if (volumes) std::memcpy(volumes, volumeList.c_str(), volumeList.size() + 1);
    return count;
}

// -1 when the drive could not be read: a listing cut short, or none at all,
// is not the drive's content.
int ListFiles(const char* drive, char* names, int64_t* sizes) {
    if (names) names[0] = '\0';
    int count = 0;
    bool unreadable = false;
    if (OpenSTANAGDrive(drive, &unreadable) == kOpened) {
        const DriveState& d = State().drive;
        std::string list;
        for (int i = 0; i < d.fileCount; ++i) {
            list += d.files[static_cast<std::size_t>(i)].name;
            list += ',';
            if (sizes) sizes[i] = static_cast<int64_t>(d.files[static_cast<std::size_t>(i)].size);
        }
        if (names) std::memcpy(names, list.c_str(), list.size() + 1);
        count = d.fileCount;
    }
    CloseSTANAGDrive();
    return unreadable ? -1 : count;
}

}  // namespace
}  // namespace quillon

using namespace quillon;

QUILLON_API int GetSTANAGDrives(char* driveList) { return ScanSTANAGDrives(driveList, nullptr); }

QUILLON_API int GetSTANAGDrivesVolumeNames(char* driveList, char* volumeList) {
    return ScanSTANAGDrives(driveList, volumeList);
}

QUILLON_API int GetSTANAGFiles(const char* drive, char* fileList) { return ListFiles(drive, fileList, nullptr); }

QUILLON_API int GetSTANAGFilesSizes(const char* drive, char* fileList, int64_t* sizes) {
    return ListFiles(drive, fileList, sizes);
}
