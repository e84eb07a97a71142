#pragma once
// A file-backed stand-in for the Windows registry: a per-user hive and a
// machine-wide hive of keys (backslash-separated, case-insensitive paths) and
// values whose exact bytes and type are kept.
//
// Nothing is cached between opens: a key handle holds the hive as it was
// read when the key was opened, and every write re-reads the hive under its
// lock, applies the one change and replaces the file atomically.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

enum class Hive { CurrentUser, LocalMachine };

// Value types, with their Windows numbers.
inline constexpr uint32_t kRegSz = 1;
inline constexpr uint32_t kRegBinary = 3;

enum class RegStatus {
    Ok,
    NotFound,      // key or value absent
    TooLong,       // the value's data does not fit the caller's buffer
    AccessDenied,  // the hive is not writable
    BadName,       // empty segment or control character in a key path
    TooLarge,      // the hive would grow past its size limit
    IoError,       // the file could not be written
    NotOpen,       // the handle holds no key
};

// Whether a hive may be written: as the file system allows (the default),
// always, or never (tests run as root, which may write any file).
enum class HiveAccess { ByAccess, Always, Never };

struct HiveSource {
    std::string file;       // the hive's file
    bool inMemory = false;  // held by the Registry object instead; no file is touched
    HiveAccess access = HiveAccess::ByAccess;
};

struct RegistryConfig {
    HiveSource user;
    HiveSource machine;

    // $ORVANE_REGISTRY_DIR/{user,machine}.reg when set; otherwise
    // $XDG_CONFIG_HOME/orvane/user.reg (default ~/.config/orvane/user.reg)
    // and /etc/orvane/machine.reg.
    static RegistryConfig FromEnvironment();
    // Both hives in memory and writable.
    static RegistryConfig InMemory();
};

// A hive larger than this reads as damaged; a write that would pass it fails.
inline constexpr std::size_t kHiveSizeLimit = 4u * 1024 * 1024;

class HiveStore;

struct RegValueData {
    uint32_t type = 0;
    std::string data;
};

class RegistryKey {
public:
    RegistryKey() = default;
    bool IsOpen() const { return store_ != nullptr; }
    // The value's type and data when its data is at most `bufferSize` bytes;
    // TooLong (with the size in `neededSize`) when it is longer.
    RegStatus Query(std::string_view name, std::size_t bufferSize, RegValueData& out,
                    std::size_t* neededSize = nullptr) const;
    RegStatus Set(std::string_view name, uint32_t type, std::string_view data);
    // Several values in one atomic write.
    RegStatus SetMany(const std::vector<std::pair<std::string, RegValueData>>& values);
    void Close();

private:
    friend class Registry;
    std::shared_ptr<HiveStore> store_;
    std::string path_;
    bool writable_ = false;
    std::vector<std::pair<std::string, RegValueData>> values_;  // as read at open
};

class Registry {
public:
    explicit Registry(const RegistryConfig& config);
    ~Registry();
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    // Opens an existing key; NotFound when it is absent.
    RegStatus Open(Hive hive, std::string_view path, RegistryKey& key);
    // Opens the key, creating it and its missing parents where the hive is
    // writable; AccessDenied when it is absent and the hive is not writable.
    RegStatus Create(Hive hive, std::string_view path, RegistryKey& key);

private:
    std::shared_ptr<HiveStore> user_;
    std::shared_ptr<HiveStore> machine_;
    std::shared_ptr<HiveStore>& Store(Hive hive) { return hive == Hive::CurrentUser ? user_ : machine_; }
};

// Texts are read through a buffer of this size: up to 4,095 bytes and the NUL.
inline constexpr std::size_t kTextBufferSize = 4096;

// A value read as text: its data up to the first NUL. nullopt when the value
// is absent or its data or text does not fit `bufferSize` with the NUL, as a
// cut text would name something else.
std::optional<std::string> QueryText(const RegistryKey& key, std::string_view name,
                                     std::size_t bufferSize = kTextBufferSize);

}  // namespace platform
