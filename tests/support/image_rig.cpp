#include "tests/support/image_rig.h"

#include <cstdio>

namespace qtest {

using namespace stanag_image;

namespace {
Entry Pattern(const std::string& name, uint64_t size, uint32_t seed) {
    Entry e;
    e.name = name;
    e.content = Content::Pattern(size, seed);
    return e;
}
}  // namespace

ImageSpec Basic() {
    ImageSpec s;
    s.order = ByteOrder::kLittle;
    s.block_size = 512;
    s.h = 1;
    s.volume = "TESTVOL";
    DirBlock b;
    b.entries = {Pattern("Beta.CH10", kBetaSize, 11), Pattern("alpha.ch10", 100, 12)};
    s.chain = {b};
    s.filler = kChunk;
    return s;
}

ImageSpec Chain(ByteOrder order) {
    ImageSpec s;
    s.order = order;
    s.block_size = 512;
    s.h = 5;
    s.volume = kFullVolume;
    DirBlock b1, b3, b4;
    Entry big = Pattern("big.ch10", 600, 23);
    big.size = kBigSize;
    b1.entries = {Pattern(kLongName, 700, 21), Pattern("second.ch10", 1500, 22), big, Pattern("fourth", 10, 24)};
    b4.entries = {Pattern("last.ch10", 3000, 25)};
    s.chain = {b1, b3, b4};
    s.filler = 4096;
    return s;
}

ImageSpec NoDirectory(uint64_t zeroBlocks) {
    ImageSpec s;
    s.h = zeroBlocks;
    return s;
}

ImageSpec DirectoryAfter(uint64_t zeroBlocks) {
    ImageSpec s;
    s.h = zeroBlocks;
    s.volume = "LATE";
    DirBlock b;
    b.entries = {Pattern("late.ch10", 100, 31)};
    s.chain = {b};
    return s;
}

ImageSpec Many(std::size_t n) {
    ImageSpec s;
    s.h = 0;
    DirBlock b;
    for (std::size_t i = 0; i < n; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "F%03u", static_cast<unsigned>(i % 1000));
        b.entries.push_back(Pattern(name, 10, static_cast<uint32_t>(i)));
    }
    s.chain = {b};
    return s;
}

ImageSpec Loop() {
    ImageSpec s;
    s.h = 2;
    DirBlock b1, b2;
    b1.entries = {Pattern("one", 10, 41)};
    b2.entries = {Pattern("two", 10, 42)};
    b2.forward = 1;
    s.chain = {b1, b2};
    return s;
}

}  // namespace qtest
