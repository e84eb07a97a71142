#pragma once
// Builds STANAG 4575 media images: h zero blocks, a chain of directory
// blocks, the file payloads and filler. The defaults give a valid
// directory; every field can be overridden to build broken media.
//
// Block number b lies at device block b + h - 1 (the first directory block
// is number 1). Directory block: 0 "FORTYtwo", 10 n (16 bits), 16 volume
// (32 bytes, NUL-padded), 48 forward link, 56 reverse link, 64 n entries of
// 112 bytes: 0 name (56), 56 start block, 64 block count, 72 size,
// 80 date (8), 88 time (8). Counts, links and sizes are stored in the
// image's byte order; texts as they are.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace stanag_image {

inline constexpr std::size_t kHeaderBytes = 64;
inline constexpr std::size_t kEntryBytes = 112;

enum class ByteOrder { kLittle, kBig };

// The bytes of a position-dependent pattern: byte i of a pattern with
// `seed` is PatternByte(seed, i). Every byte value occurs, '*' included.
uint8_t PatternByte(uint32_t seed, uint64_t i);
std::vector<uint8_t> PatternBytes(uint32_t seed, uint64_t offset, std::size_t count);

// A file's payload.
struct Content {
    enum class Kind { kNone, kPattern, kFile, kBytes };
    Kind kind = Kind::kNone;
    uint64_t size = 0;  // pattern length
    uint32_t seed = 0;
    std::string path;            // kFile
    std::vector<uint8_t> bytes;  // kBytes

    static Content None() { return {}; }
    static Content Pattern(uint64_t size, uint32_t seed);
    static Content File(const std::string& path);
    static Content Bytes(std::vector<uint8_t> bytes);
};

struct Entry {
    std::string name;  // the 56-byte field: cut at 56, NUL-padded below
    Content content;
    // Defaults: the payload's first block, its block count rounded up, and
    // its length.
    std::optional<uint64_t> start_block;
    std::optional<uint64_t> block_count;
    std::optional<uint64_t> size;
    std::string date = "20261210";  // 8-byte fields: cut at 8, NUL-padded
    std::string time = "12000000";
};

struct DirBlock {
    std::vector<Entry> entries;
    // Defaults: right after the previous directory block (the first at 1),
    // each taking block size * ((n * 112 + 64) / block size + 1) bytes;
    // forward: the next block's number, the last block its own; reverse:
    // h for the first block, the previous block's number after it.
    std::optional<uint64_t> number;
    std::optional<uint64_t> forward;
    std::optional<uint64_t> reverse;
    std::optional<uint16_t> n;              // default entries.size()
    std::optional<std::string> volume;      // default ImageSpec::volume
    std::optional<std::string> identifier;  // default "FORTYtwo" (8 bytes)
};

// Raw bytes written over the image last, at a byte offset from its start.
struct Patch {
    uint64_t offset = 0;
    std::vector<uint8_t> bytes;
};

struct ImageSpec {
    ByteOrder order = ByteOrder::kLittle;
    uint32_t block_size = 512;
    uint64_t h = 0;          // zero blocks before the first directory block
    std::string volume;      // 32-byte field: cut at 32, NUL-padded below
    std::vector<DirBlock> chain;  // empty: no directory (only h zero blocks, payloads, filler)
    // Bytes after the last payload (pattern with `filler_seed`).
    uint64_t filler = 0;
    uint32_t filler_seed = 0xF111E5;
    std::vector<Patch> patches;
};

// Where everything landed, as byte offsets from the image's start.
struct Layout {
    struct Block {
        uint64_t number = 0;
        uint64_t offset = 0;  // (number + h - 1) * block size
        uint64_t length = 0;  // L
    };
    struct File {
        std::size_t block = 0;  // index into the chain
        std::size_t entry = 0;  // index in its block
        uint64_t start_block = 0;
        uint64_t offset = 0;  // payload's byte offset (from the entry's start block)
        uint64_t length = 0;  // payload length
    };
    std::vector<Block> blocks;
    std::vector<File> files;  // walk order
    uint64_t filler_offset = 0;
    uint64_t image_size = 0;
};

// Directory blocks holding `entries` in walk order, `per_block` to a
// block (0: all in one block; at least one block is made).
std::vector<DirBlock> SpreadEntries(std::vector<Entry> entries, std::size_t per_block);

// Payloads follow the last directory block, each at a block boundary.
// A payload that cannot be read, or a block number below 1 or past 63 bits
// of bytes, gives false with a message.
bool ComputeLayout(const ImageSpec& spec, Layout& layout, std::string* error = nullptr);
bool BuildImage(const ImageSpec& spec, std::vector<uint8_t>& image, std::string* error = nullptr);
bool WriteImage(const ImageSpec& spec, const std::string& path, std::string* error = nullptr);

}  // namespace stanag_image
