#include "ch10/checksums.h"

#include <bit>
#include <cstring>

#include "ch10/secondary_header.h"

namespace ch10 {

namespace {

constexpr std::size_t kSumStart = kPacketHeaderSize;

ChecksumValues Compare(uint32_t recorded, uint32_t computed) {
    return {recorded == computed ? ChecksumOutcome::Passed : ChecksumOutcome::Failed, recorded, computed};
}

// One little-endian word. On a little-endian host a plain copy is the same
// read, and lets the compiler add several words with one instruction.
template <typename Word>
Word LoadLe(const uint8_t* p) {
    if constexpr (sizeof(Word) == 1 || std::endian::native == std::endian::little) {
        Word w;
        std::memcpy(&w, p, sizeof w);
        return w;
    } else if constexpr (sizeof(Word) == 2) {
        return ReadLe16(p);
    } else {
        return ReadLe32(p);
    }
}

// Sums whole little-endian words of 1, 2 or 4 bytes over [from, to); the caller
// has checked the range lies in the view and is a whole number of words.
template <typename Word>
Word SumWords(const uint8_t* p, std::size_t from, std::size_t to) {
    // Sixteen sums side by side: the sum wraps, so its order does not matter,
    // and every byte of every packet passes here.
    constexpr std::size_t kLanes = 16, kStep = kLanes * sizeof(Word);
    Word lane[kLanes] = {};
    const std::size_t blocks = to > from ? (to - from) / kStep : 0;
    const uint8_t* q = p + from;
    for (std::size_t b = 0; b < blocks; ++b, q += kStep)
        for (std::size_t k = 0; k < kLanes; ++k)
            lane[k] = static_cast<Word>(lane[k] + LoadLe<Word>(q + k * sizeof(Word)));
    std::size_t at = from + blocks * kStep;
    Word sum = 0;
    for (const Word w : lane) sum = static_cast<Word>(sum + w);
    for (; at < to; at += sizeof(Word)) sum = static_cast<Word>(sum + LoadLe<Word>(p + at));
    return sum;
}

}  // namespace

ChecksumValues ComputeSecondaryHeaderChecksum(const PacketView& view) {
    constexpr std::size_t kEnd = kSecondaryChecksumOffset + 2;
    if (view.size() < kEnd) return {};
    const auto recorded = *view.U16(kSecondaryChecksumOffset);
    return Compare(recorded, SumWords<uint16_t>(view.data(), kSecondaryHeaderStart, kSecondaryChecksumOffset));
}

ChecksumValues ComputeDataChecksum(const PacketView& view, const PacketHeader& header) {
    switch (header.DataChecksumType()) {
        case 0:
            return {ChecksumOutcome::Passed, 0, 0};
        case 1: {
            const uint64_t at = kSumStart + static_cast<uint64_t>(header.dataLength);
            if (at >= view.size()) return {};
            const uint8_t* p = view.data();
            return Compare(p[at], SumWords<uint8_t>(p, kSumStart, static_cast<std::size_t>(at)));
        }
        case 2: {
            const int64_t at = static_cast<int64_t>(header.packetLength & ~uint32_t{1}) - 2;
            if (at < static_cast<int64_t>(kSumStart) || !view.Has(static_cast<std::size_t>(at), 2)) return {};
            const auto end = static_cast<std::size_t>(at);
            return Compare(*view.U16(end), SumWords<uint16_t>(view.data(), kSumStart, end));
        }
        default: {
            const int64_t at = static_cast<int64_t>(header.packetLength & ~uint32_t{3}) - 4;
            if (at < static_cast<int64_t>(kSumStart) || !view.Has(static_cast<std::size_t>(at), 4)) return {};
            const auto end = static_cast<std::size_t>(at);
            return Compare(*view.U32(end), SumWords<uint32_t>(view.data(), kSumStart, end));
        }
    }
}

}  // namespace ch10
