#pragma once
// The media images the recorder tests share.
#include <cstdint>
#include <string>

#include "tools/stanag_image.h"

namespace qtest {

constexpr uint64_t kChunk = 0xFC000;
constexpr uint64_t kBetaSize = 2 * kChunk + 1000;
constexpr uint64_t kBigSize = 0x140000123ull;  // above 4 GiB; only the entry says so
inline const std::string kLongName(56, 'N');
inline const std::string kFullVolume = "VOLUME-NAME-OF-32-CHARACTERS-XYZ";  // 32, no NUL

// LE, 512-byte blocks, h 1, one self-linked block of volume "TESTVOL":
// "Beta.CH10" (2 chunks + 1,000 pattern bytes), "alpha.ch10" (100), then
// one chunk of filler.
stanag_image::ImageSpec Basic();
// 512-byte blocks, h 5: block 1 (n 4, L 1,024) -> 3 (n 0) -> 4 (n 1, self-
// linked); a 56-character name, a 32-character volume, a size above 4 GiB.
stanag_image::ImageSpec Chain(stanag_image::ByteOrder order);
// `zeroBlocks` zero blocks and no directory, or a one-entry directory after
// them.
stanag_image::ImageSpec NoDirectory(uint64_t zeroBlocks = 3);
stanag_image::ImageSpec DirectoryAfter(uint64_t zeroBlocks);
// One block of `n` small entries "F000", "F001", ...
stanag_image::ImageSpec Many(std::size_t n);
// Blocks 1 -> 2 -> 1, one entry each.
stanag_image::ImageSpec Loop();

}  // namespace qtest
