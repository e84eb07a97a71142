#include "ch10/checksums.h"

#include "ch10/secondary_header.h"

namespace ch10 {

namespace {

constexpr std::size_t kSumStart = kPacketHeaderSize;

ChecksumValues Compare(uint32_t recorded, uint32_t computed) {
    return {recorded == computed ? ChecksumOutcome::Passed : ChecksumOutcome::Failed, recorded, computed};
}

// Sums whole little-endian words of `width` bytes over [from, to); the caller
// has checked the range lies in the view and is a whole number of words.
template <typename Word>
Word SumWords(const uint8_t* p, std::size_t from, std::size_t to) {
    Word sum = 0;
    for (std::size_t at = from; at < to; at += sizeof(Word)) {
        if constexpr (sizeof(Word) == 2) sum = static_cast<Word>(sum + ReadLe16(p + at));
        else sum = static_cast<Word>(sum + ReadLe32(p + at));
    }
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
            uint8_t sum = 0;
            const uint8_t* p = view.data();
            for (std::size_t i = kSumStart; i < at; ++i) sum = static_cast<uint8_t>(sum + p[i]);
            return Compare(p[at], sum);
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
