#include "stanag_image.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>

namespace stanag_image {

namespace {

constexpr uint64_t kMaxOffset = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());

uint64_t Mix(uint64_t z) {
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

void Put(std::vector<uint8_t>& image, uint64_t at, uint64_t value, int bytes, ByteOrder order) {
    for (int i = 0; i < bytes; ++i) {
        const int shift = order == ByteOrder::kLittle ? 8 * i : 8 * (bytes - 1 - i);
        image[at + static_cast<uint64_t>(i)] = static_cast<uint8_t>(value >> shift);
    }
}

// Copies a text into a fixed field: cut at `room`, NUL-padded below.
void PutText(std::vector<uint8_t>& image, uint64_t at, const std::string& text, std::size_t room) {
    std::memcpy(image.data() + at, text.data(), std::min(text.size(), room));
}

bool Fail(std::string* error, const std::string& message) {
    if (error) *error = message;
    return false;
}

// Byte offset of block number `number`, when it lies within 63 bits.
bool BlockOffset(const ImageSpec& spec, uint64_t number, uint64_t& offset) {
    const unsigned __int128 block = static_cast<unsigned __int128>(number) + spec.h;
    if (block < 1) return false;
    const unsigned __int128 bytes = (block - 1) * spec.block_size;
    if (bytes > kMaxOffset) return false;
    offset = static_cast<uint64_t>(bytes);
    return true;
}

bool ContentLength(const Content& c, uint64_t& length, std::string* error) {
    switch (c.kind) {
        case Content::Kind::kNone: length = 0; return true;
        case Content::Kind::kPattern: length = c.size; return true;
        case Content::Kind::kBytes: length = c.bytes.size(); return true;
        case Content::Kind::kFile: {
            struct stat st{};
            if (::stat(c.path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
                return Fail(error, "cannot read " + c.path + ": " + std::strerror(errno ? errno : EINVAL));
            length = static_cast<uint64_t>(st.st_size);
            return true;
        }
    }
    return false;
}

bool PutContent(std::vector<uint8_t>& image, uint64_t at, const Content& c, uint64_t length, std::string* error) {
    switch (c.kind) {
        case Content::Kind::kNone: return true;
        case Content::Kind::kPattern: {
            const auto bytes = PatternBytes(c.seed, 0, static_cast<std::size_t>(length));
            std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(at));
            return true;
        }
        case Content::Kind::kBytes:
            std::copy(c.bytes.begin(), c.bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(at));
            return true;
        case Content::Kind::kFile: {
            FILE* f = std::fopen(c.path.c_str(), "rb");
            if (!f) return Fail(error, "cannot open " + c.path + ": " + std::strerror(errno));
            const std::size_t got = std::fread(image.data() + at, 1, static_cast<std::size_t>(length), f);
            std::fclose(f);
            if (got != length) return Fail(error, "short read of " + c.path);
            return true;
        }
    }
    return false;
}

uint64_t RoundUpBlocks(uint64_t bytes, uint32_t block_size) {
    return bytes / block_size + (bytes % block_size != 0);
}

uint64_t DirLength(std::size_t entries, uint32_t block_size) {
    return static_cast<uint64_t>(block_size) * ((entries * kEntryBytes + kHeaderBytes) / block_size + 1);
}

// Resolved numbers of one directory block.
struct Resolved {
    uint64_t forward = 0;
    uint64_t reverse = 0;
    std::vector<uint64_t> starts;
    std::vector<uint64_t> lengths;
};

bool Resolve(const ImageSpec& spec, Layout& layout, std::vector<Resolved>& resolved, std::string* error) {
    layout = Layout{};
    resolved.assign(spec.chain.size(), Resolved{});
    if (spec.block_size == 0) return Fail(error, "block size 0");
    uint64_t next = 1;
    uint64_t end = spec.h * static_cast<uint64_t>(spec.block_size);  // image bytes in use
    if (spec.h > kMaxOffset / spec.block_size) return Fail(error, "h too large");
    for (std::size_t i = 0; i < spec.chain.size(); ++i) {
        const DirBlock& d = spec.chain[i];
        Layout::Block b;
        b.number = d.number ? *d.number : next;
        const std::size_t n = d.n ? *d.n : d.entries.size();
        b.length = DirLength(std::max(n, d.entries.size()), spec.block_size);
        if (!BlockOffset(spec, b.number, b.offset) || b.offset > kMaxOffset - b.length)
            return Fail(error, "directory block " + std::to_string(b.number) + " lies outside the image");
        next = b.number + b.length / spec.block_size;
        end = std::max(end, b.offset + b.length);
        layout.blocks.push_back(b);
    }
    // Payloads start after the last directory block in block numbers.
    uint64_t data = 1;
    for (const auto& b : layout.blocks) data = std::max(data, b.number + b.length / spec.block_size);
    for (std::size_t i = 0; i < spec.chain.size(); ++i) {
        const DirBlock& d = spec.chain[i];
        Resolved& r = resolved[i];
        r.forward = d.forward ? *d.forward : i + 1 < spec.chain.size() ? layout.blocks[i + 1].number
                                                                       : layout.blocks[i].number;
        r.reverse = d.reverse ? *d.reverse : i == 0 ? spec.h : layout.blocks[i - 1].number;
        for (std::size_t k = 0; k < d.entries.size(); ++k) {
            const Entry& e = d.entries[k];
            Layout::File f;
            f.block = i;
            f.entry = k;
            if (!ContentLength(e.content, f.length, error)) return false;
            f.start_block = e.start_block ? *e.start_block : data;
            if (!BlockOffset(spec, f.start_block, f.offset) || (f.length > 0 && f.offset > kMaxOffset - f.length))
                return Fail(error, "payload of " + e.name + " lies outside the image");
            if (!e.start_block) data += RoundUpBlocks(f.length, spec.block_size);
            if (f.length > 0) end = std::max(end, f.offset + RoundUpBlocks(f.length, spec.block_size) * spec.block_size);
            r.starts.push_back(f.start_block);
            r.lengths.push_back(f.length);
            layout.files.push_back(f);
        }
    }
    layout.filler_offset = end;
    if (spec.filler > kMaxOffset - end) return Fail(error, "filler too large");
    layout.image_size = end + spec.filler;
    for (const Patch& p : spec.patches) {
        if (p.offset > kMaxOffset - p.bytes.size()) return Fail(error, "patch outside the image");
        layout.image_size = std::max(layout.image_size, p.offset + p.bytes.size());
    }
    return true;
}

}  // namespace

uint8_t PatternByte(uint32_t seed, uint64_t i) {
    return static_cast<uint8_t>(Mix((i >> 3) * 0x9E3779B97F4A7C15ull + seed) >> (8 * (i & 7)));
}

std::vector<uint8_t> PatternBytes(uint32_t seed, uint64_t offset, std::size_t count) {
    std::vector<uint8_t> out(count);
    std::size_t k = 0;
    while (k < count) {
        const uint64_t i = offset + k;
        const uint64_t word = Mix((i >> 3) * 0x9E3779B97F4A7C15ull + seed);
        for (uint64_t b = i & 7; b < 8 && k < count; ++b, ++k) out[k] = static_cast<uint8_t>(word >> (8 * b));
    }
    return out;
}

Content Content::Pattern(uint64_t size, uint32_t seed) {
    Content c;
    c.kind = Kind::kPattern;
    c.size = size;
    c.seed = seed;
    return c;
}

Content Content::File(const std::string& path) {
    Content c;
    c.kind = Kind::kFile;
    c.path = path;
    return c;
}

Content Content::Bytes(std::vector<uint8_t> bytes) {
    Content c;
    c.kind = Kind::kBytes;
    c.bytes = std::move(bytes);
    return c;
}

std::vector<DirBlock> SpreadEntries(std::vector<Entry> entries, std::size_t per_block) {
    std::vector<DirBlock> chain;
    if (per_block == 0) per_block = std::max<std::size_t>(entries.size(), 1);
    for (std::size_t i = 0; i < entries.size(); i += per_block) {
        DirBlock& d = chain.emplace_back();
        const std::size_t stop = std::min(entries.size(), i + per_block);
        for (std::size_t k = i; k < stop; ++k) d.entries.push_back(std::move(entries[k]));
    }
    if (chain.empty()) chain.emplace_back();
    return chain;
}

bool ComputeLayout(const ImageSpec& spec, Layout& layout, std::string* error) {
    std::vector<Resolved> resolved;
    return Resolve(spec, layout, resolved, error);
}

bool BuildImage(const ImageSpec& spec, std::vector<uint8_t>& image, std::string* error) {
    Layout layout;
    std::vector<Resolved> resolved;
    if (!Resolve(spec, layout, resolved, error)) return false;
    if (layout.image_size > (uint64_t{1} << 40)) return Fail(error, "image too large to build in memory");
    image.assign(static_cast<std::size_t>(layout.image_size), 0);
    const ByteOrder o = spec.order;
    std::size_t file = 0;
    for (std::size_t i = 0; i < spec.chain.size(); ++i) {
        const DirBlock& d = spec.chain[i];
        const Resolved& r = resolved[i];
        const uint64_t at = layout.blocks[i].offset;
        PutText(image, at, d.identifier ? *d.identifier : std::string("FORTYtwo"), 8);
        Put(image, at + 10, d.n ? *d.n : static_cast<uint16_t>(d.entries.size()), 2, o);
        PutText(image, at + 16, d.volume ? *d.volume : spec.volume, 32);
        Put(image, at + 48, r.forward, 8, o);
        Put(image, at + 56, r.reverse, 8, o);
        for (std::size_t k = 0; k < d.entries.size(); ++k, ++file) {
            const Entry& e = d.entries[k];
            const uint64_t p = at + kHeaderBytes + k * kEntryBytes;
            PutText(image, p, e.name, 56);
            Put(image, p + 56, r.starts[k], 8, o);
            Put(image, p + 64, e.block_count ? *e.block_count : RoundUpBlocks(r.lengths[k], spec.block_size), 8, o);
            Put(image, p + 72, e.size ? *e.size : r.lengths[k], 8, o);
            PutText(image, p + 80, e.date, 8);
            PutText(image, p + 88, e.time, 8);
            if (!PutContent(image, layout.files[file].offset, e.content, r.lengths[k], error)) return false;
        }
    }
    if (spec.filler > 0) {
        const auto bytes = PatternBytes(spec.filler_seed, 0, static_cast<std::size_t>(spec.filler));
        std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(layout.filler_offset));
    }
    for (const Patch& p : spec.patches)
        std::copy(p.bytes.begin(), p.bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(p.offset));
    return true;
}

bool WriteImage(const ImageSpec& spec, const std::string& path, std::string* error) {
    std::vector<uint8_t> image;
    if (!BuildImage(spec, image, error)) return false;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return Fail(error, "cannot create " + path + ": " + std::strerror(errno));
    const bool ok = std::fwrite(image.data(), 1, image.size(), f) == image.size();
    const bool closed = std::fclose(f) == 0;
    if (!ok || !closed) return Fail(error, "cannot write " + path);
    return true;
}

}  // namespace stanag_image
