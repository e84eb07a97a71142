#include "tests/support/ch10_fixture.h"
#include "tools/stanag_image.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace {

using namespace stanag_image;
using Bytes = std::vector<uint8_t>;

// Readers written apart from the builder, so that a mistake in its encoder
// is not repeated here.
uint64_t Read(const Bytes& image, uint64_t at, int bytes, bool big) {
    uint64_t v = 0;
    for (int i = 0; i < bytes; ++i) {
        const uint8_t b = image.at(at + static_cast<uint64_t>(big ? i : bytes - 1 - i));
        v = v << 8 | b;
    }
    return v;
}

std::string Text(const Bytes& image, uint64_t at, std::size_t room) {
    std::string s;
    for (std::size_t i = 0; i < room && image.at(at + i) != 0; ++i) s += static_cast<char>(image[at + i]);
    return s;
}

Bytes Build(const ImageSpec& spec) {
    Bytes image;
    std::string error;
    EXPECT_TRUE(BuildImage(spec, image, &error)) << error;
    return image;
}

Bytes FileBytes(const std::string& path) { return ch10fix::ReadFile(path); }

// One entry, h 1, 512-byte blocks: block 0 zero, block 1 the directory
// (L 512), block 2 the payload's only block.
ImageSpec OneEntry(ByteOrder order) {
    ImageSpec spec;
    spec.order = order;
    spec.h = 1;
    spec.volume = "VOL";
    Entry e;
    e.name = "A.ch10";
    e.content = Content::Bytes({0x10, 0x20, 0x30});
    e.date = "01022026";
    e.time = "10203040";
    spec.chain = SpreadEntries({e}, 0);
    return spec;
}

// The same image written out by hand.
Bytes HandWritten(bool big) {
    Bytes b(3 * 512, 0);
    auto put = [&](std::size_t at, std::initializer_list<uint8_t> bytes) {
        for (uint8_t v : bytes) b[at++] = v;
    };
    const std::size_t d = 512;
    put(d + 0, {'F', 'O', 'R', 'T', 'Y', 't', 'w', 'o'});
    if (big) {
        put(d + 10, {0, 1});                          // n
        put(d + 48, {0, 0, 0, 0, 0, 0, 0, 1});        // forward: itself
        put(d + 56, {0, 0, 0, 0, 0, 0, 0, 1});        // reverse: h
        put(d + 64 + 56, {0, 0, 0, 0, 0, 0, 0, 2});   // start block
        put(d + 64 + 64, {0, 0, 0, 0, 0, 0, 0, 1});   // block count
        put(d + 64 + 72, {0, 0, 0, 0, 0, 0, 0, 3});   // size
    } else {
        put(d + 10, {1, 0});
        put(d + 48, {1, 0, 0, 0, 0, 0, 0, 0});
        put(d + 56, {1, 0, 0, 0, 0, 0, 0, 0});
        put(d + 64 + 56, {2, 0, 0, 0, 0, 0, 0, 0});
        put(d + 64 + 64, {1, 0, 0, 0, 0, 0, 0, 0});
        put(d + 64 + 72, {3, 0, 0, 0, 0, 0, 0, 0});
    }
    put(d + 16, {'V', 'O', 'L'});
    put(d + 64, {'A', '.', 'c', 'h', '1', '0'});
    put(d + 64 + 80, {'0', '1', '0', '2', '2', '0', '2', '6'});
    put(d + 64 + 88, {'1', '0', '2', '0', '3', '0', '4', '0'});
    put(2 * 512, {0x10, 0x20, 0x30});
    return b;
}

TEST(StanagImage, OneEntryBytesInBothOrders) {
    for (bool big : {false, true}) {
        SCOPED_TRACE(big ? "big-endian" : "little-endian");
        const Bytes image = Build(OneEntry(big ? ByteOrder::kBig : ByteOrder::kLittle));
        const Bytes expected = HandWritten(big);
        ASSERT_EQ(image.size(), expected.size());
        for (std::size_t i = 0; i < image.size(); ++i) ASSERT_EQ(image[i], expected[i]) << "byte " << i;
    }
}

// h 5; block 1 (n 4, L 1,024) -> 3 (n 0) -> 4 (n 1, itself): the defaults
// place each block behind the previous one's L and link them so.
TEST(StanagImage, ChainDefaultsInBothOrders) {
    for (ByteOrder order : {ByteOrder::kLittle, ByteOrder::kBig}) {
        const bool big = order == ByteOrder::kBig;
        SCOPED_TRACE(big ? "big-endian" : "little-endian");
        ImageSpec spec;
        spec.order = order;
        spec.h = 5;
        spec.volume = std::string(32, 'V');
        spec.chain.resize(3);
        for (int i = 0; i < 4; ++i) {
            Entry e;
            e.name = i == 0 ? std::string(56, 'N') : "f" + std::to_string(i);
            e.content = Content::Pattern(100 + 600 * static_cast<uint64_t>(i), 7 + static_cast<uint32_t>(i));
            spec.chain[0].entries.push_back(e);
        }
        Entry big_file;
        big_file.name = "big";
        big_file.size = 0x1'2345'6789ull;  // no payload behind it
        spec.chain[2].entries.push_back(big_file);
        spec.filler = 1000;

        Layout layout;
        ASSERT_TRUE(ComputeLayout(spec, layout));
        ASSERT_EQ(layout.blocks.size(), 3u);
        const uint64_t numbers[] = {1, 3, 4}, lengths[] = {1024, 512, 512};
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(layout.blocks[i].number, numbers[i]);
            EXPECT_EQ(layout.blocks[i].offset, (numbers[i] + 5 - 1) * 512);
            EXPECT_EQ(layout.blocks[i].length, lengths[i]);
        }

        const Bytes image = Build(spec);
        ASSERT_EQ(image.size(), layout.image_size);
        const uint64_t forward[] = {3, 4, 4}, reverse[] = {5, 1, 3}, n[] = {4, 0, 1};
        for (int i = 0; i < 3; ++i) {
            const uint64_t at = layout.blocks[i].offset;
            EXPECT_EQ(Text(image, at, 8), "FORTYtwo");
            EXPECT_EQ(Read(image, at + 10, 2, big), n[i]);
            EXPECT_EQ(Read(image, at + 48, 8, big), forward[i]);
            EXPECT_EQ(Read(image, at + 56, 8, big), reverse[i]);
            EXPECT_EQ(Text(image, at + 16, 32), std::string(32, 'V'));  // no NUL
        }
        // Only the first block's reverse link equals h read little-endian.
        EXPECT_EQ(Read(image, layout.blocks[0].offset + 56, 8, false) == 5, !big);

        // Payloads start after block 4, each at a block boundary, in walk order.
        ASSERT_EQ(layout.files.size(), 5u);
        uint64_t next = 5;
        for (int i = 0; i < 4; ++i) {
            const auto& f = layout.files[i];
            const uint64_t entry = layout.blocks[0].offset + 64 + 112 * static_cast<uint64_t>(i);
            const uint64_t size = 100 + 600 * static_cast<uint64_t>(i);
            EXPECT_EQ(f.start_block, next);
            EXPECT_EQ(Read(image, entry + 56, 8, big), next);
            EXPECT_EQ(Read(image, entry + 64, 8, big), (size + 511) / 512);
            EXPECT_EQ(Read(image, entry + 72, 8, big), size);
            EXPECT_EQ(f.offset, (next + 5 - 1) * 512);
            const Bytes want = PatternBytes(7 + static_cast<uint32_t>(i), 0, size);
            EXPECT_TRUE(std::equal(want.begin(), want.end(), image.begin() + static_cast<std::ptrdiff_t>(f.offset)));
            next += (size + 511) / 512;
        }
        EXPECT_EQ(Text(image, layout.blocks[0].offset + 64, 56), std::string(56, 'N'));
        EXPECT_EQ(Read(image, layout.blocks[2].offset + 64 + 72, 8, big), 0x1'2345'6789ull);
        EXPECT_EQ(Text(image, layout.blocks[2].offset + 64, 56), "big");
        // The filler follows the last payload block.
        EXPECT_EQ(layout.filler_offset, (next + 5 - 1) * 512);
        EXPECT_EQ(layout.image_size, layout.filler_offset + 1000);
        EXPECT_EQ(image[layout.filler_offset + 999], PatternByte(spec.filler_seed, 999));
    }
}

TEST(StanagImage, OverridesBuildBrokenMedia) {
    ImageSpec spec;
    spec.h = 2;
    spec.chain.resize(2);
    spec.chain[1].forward = 1;  // 1 -> 2 -> 1
    spec.chain[0].n = 300;      // claims more entries than it has
    spec.chain[0].volume = "OTHER";
    spec.chain[1].identifier = "FORTYtw0";
    spec.chain[1].reverse = 99;
    Entry e;
    e.name = "x";
    e.content = Content::Bytes({1, 2, 3, 4});
    e.start_block = 40;
    e.block_count = 9;
    e.size = 2;
    spec.chain[1].entries.push_back(e);
    spec.patches.push_back({3, {0xAB, 0xCD}});

    Layout layout;
    ASSERT_TRUE(ComputeLayout(spec, layout));
    // n 300 makes the first block L = 512 * ((300*112+64)/512 + 1).
    EXPECT_EQ(layout.blocks[0].length, 512u * ((300 * 112 + 64) / 512 + 1));
    EXPECT_EQ(layout.blocks[1].number, 1 + layout.blocks[0].length / 512);
    const Bytes image = Build(spec);
    const uint64_t b0 = layout.blocks[0].offset, b1 = layout.blocks[1].offset;
    EXPECT_EQ(Read(image, b0 + 10, 2, false), 300u);
    EXPECT_EQ(Text(image, b0 + 16, 32), "OTHER");
    EXPECT_EQ(Read(image, b0 + 48, 8, false), layout.blocks[1].number);
    EXPECT_EQ(Read(image, b1 + 48, 8, false), 1u);
    EXPECT_EQ(Read(image, b1 + 56, 8, false), 99u);
    EXPECT_EQ(Text(image, b1, 8), "FORTYtw0");
    EXPECT_EQ(Read(image, b1 + 64 + 56, 8, false), 40u);
    EXPECT_EQ(Read(image, b1 + 64 + 64, 8, false), 9u);
    EXPECT_EQ(Read(image, b1 + 64 + 72, 8, false), 2u);
    EXPECT_EQ(image.at((40 + 2 - 1) * 512 + 3), 4);  // the payload sits at its start block
    EXPECT_EQ(image[3], 0xAB);
    EXPECT_EQ(image[4], 0xCD);
}

TEST(StanagImage, NoDirectoryAndSpreading) {
    ImageSpec nodir;
    nodir.h = 3;
    const Bytes image = Build(nodir);
    EXPECT_EQ(image, Bytes(3 * 512, 0));

    std::vector<Entry> entries(5);
    for (std::size_t i = 0; i < entries.size(); ++i) entries[i].name = "e" + std::to_string(i);
    const auto chain = SpreadEntries(entries, 2);
    ASSERT_EQ(chain.size(), 3u);
    EXPECT_EQ(chain[0].entries.size(), 2u);
    EXPECT_EQ(chain[2].entries.size(), 1u);
    EXPECT_EQ(chain[2].entries[0].name, "e4");
    EXPECT_EQ(SpreadEntries({}, 3).size(), 1u);  // an empty directory still has a block
}

TEST(StanagImage, PatternIsPositionDependent) {
    const Bytes whole = PatternBytes(5, 0, 4096);
    const Bytes tail = PatternBytes(5, 1003, 100);
    for (std::size_t i = 0; i < tail.size(); ++i) ASSERT_EQ(tail[i], whole[1003 + i]);
    for (std::size_t i = 0; i < whole.size(); i += 97) ASSERT_EQ(whole[i], PatternByte(5, i));
    EXPECT_NE(PatternBytes(6, 0, 64), Bytes(whole.begin(), whole.begin() + 64));
    EXPECT_NE(std::find(whole.begin(), whole.end(), '*'), whole.end());
}

TEST(StanagImage, Errors) {
    struct Case {
        const char* what;
        ImageSpec spec;
    };
    std::vector<Case> cases;
    {
        ImageSpec s;
        s.block_size = 0;
        cases.push_back({"block size 0", s});
    }
    {
        ImageSpec s;
        s.chain.resize(1);
        s.chain[0].number = 0;  // with h 0 it would lie before the image
        cases.push_back({"block number 0", s});
    }
    {
        ImageSpec s;
        s.chain.resize(1);
        s.chain[0].number = uint64_t{1} << 60;
        cases.push_back({"offset past 63 bits", s});
    }
    {
        ImageSpec s;
        Entry e;
        e.content = Content::File("/nonexistent/stanag-image-input");
        s.chain = SpreadEntries({e}, 0);
        cases.push_back({"missing payload file", s});
    }
    for (const Case& c : cases) {
        Bytes image;
        std::string error;
        EXPECT_FALSE(BuildImage(c.spec, image, &error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
    }
}

// The program writes what the library builds from the same options.
TEST(StanagImage, ProgramMatchesLibrary) {
    ch10fix::TempDir dir;
    const std::string payload = dir.File("rec.ch10");
    {
        const Bytes bytes = PatternBytes(3, 0, 5000);
        std::ofstream(payload, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                       static_cast<std::streamsize>(bytes.size()));
    }
    const std::string out = dir.File("img.bin");
    const std::string command = std::string(STANAG_IMAGE_PROGRAM) + " --out " + out +
                                " --order be --dir-at 5 --volume TV --file T1.ch10=" + payload +
                                " --pattern p2=700:9 --entries-per-block 1 --filler 300";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    ImageSpec spec;
    spec.order = ByteOrder::kBig;
    spec.h = 5;
    spec.volume = "TV";
    Entry a, b;
    a.name = "T1.ch10";
    a.content = Content::File(payload);
    b.name = "p2";
    b.content = Content::Pattern(700, 9);
    spec.chain = SpreadEntries({a, b}, 1);
    spec.filler = 300;
    const Bytes written = FileBytes(out);
    EXPECT_EQ(written, Build(spec));

    const std::string bad = std::string(STANAG_IMAGE_PROGRAM) + " --out " + out + " --order xx 2>/dev/null";
    const int status = std::system(bad.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
}

}  // namespace
