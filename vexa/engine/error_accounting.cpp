#include "vexa/engine/error_accounting.h"

namespace vexa {
namespace {

using SlotArray = PerSlot<int32_t> ErrorAccounting::*;

constexpr std::array<SlotArray, kCategories> kCategoryArrays = {
    &ErrorAccounting::chanHdrChecksumErrors, &ErrorAccounting::chanRtcErrors,
    &ErrorAccounting::chanOverflowErrors,    &ErrorAccounting::chanPacketDataErrors,
    &ErrorAccounting::chanDataLenErrors,     &ErrorAccounting::chanPacketLenErrors,
    &ErrorAccounting::chanSimDataErrors,     &ErrorAccounting::chanSequenceErrors,
    &ErrorAccounting::chanSyncErrors,        &ErrorAccounting::chanTimeErrors,
    &ErrorAccounting::chanDataChecksumErrors, &ErrorAccounting::chanConsistencyErrors,
};

constexpr std::array<SlotArray, kDetails> kDetailArrays = {
    &ErrorAccounting::chanPcmSyncErrors,   &ErrorAccounting::chanPcmMinorSyncBitErrors,
    &ErrorAccounting::chanPcmMajorSyncBitErrors, &ErrorAccounting::chanMajorLockErrors,
    &ErrorAccounting::chanMinorLockErrors, &ErrorAccounting::chanFrameIdErrors,
    &ErrorAccounting::chanTimeStampErrors, &ErrorAccounting::chanGapTimeErrors,
    &ErrorAccounting::chanByteCountErrors, &ErrorAccounting::chanBlockStatusErrors,
    &ErrorAccounting::chanMsgCountErrors,
};

bool ValidSlot(int slot) { return slot >= 0 && slot < kChannelSlots; }

}  // namespace

ErrorAccounting::ErrorAccounting() { ResetForTests(); }

PerSlot<int32_t>& ErrorAccounting::Chan(Category c) { return this->*kCategoryArrays[static_cast<std::size_t>(c)]; }
const PerSlot<int32_t>& ErrorAccounting::Chan(Category c) const {
    return this->*kCategoryArrays[static_cast<std::size_t>(c)];
}
PerSlot<int32_t>& ErrorAccounting::Chan(Detail d) { return this->*kDetailArrays[static_cast<std::size_t>(d)]; }
const PerSlot<int32_t>& ErrorAccounting::Chan(Detail d) const {
    return this->*kDetailArrays[static_cast<std::size_t>(d)];
}

int ErrorAccounting::CountError(int slot, uint32_t code) {
    const uint32_t number = code & 0xFFFF;
    uint32_t n = 1;
    if (ValidSlot(slot) && number < errorTable[0].size()) n = ++errorTable[static_cast<std::size_t>(slot)][number];
    if (packetCodeCount < kMaxPacketCodes) packetCodes[static_cast<std::size_t>(packetCodeCount++)] = number;
    const auto limit = static_cast<uint32_t>(maxSameErrorPerChannel.load(std::memory_order_relaxed));
    if (limit == 0) return 1;
    return n <= limit ? 1 : 0;
}

int ErrorAccounting::RaiseFinding(int slot, uint32_t number) {
    const ErrorInfo* info = FindError(number);
    // Texts of uncounted numbers are always written and leave no count.
    if (info && info->status != ErrorStatus::Counted) return 1;
    TallyFinding(slot, number);
    return CountError(slot, number);
}

void ErrorAccounting::TallyFinding(int slot, uint32_t number) {
    const ErrorInfo* info = FindError(number);
    if (info && info->status == ErrorStatus::Counted && ValidSlot(slot)) {
        const auto s = static_cast<std::size_t>(slot);
        if (info->feed == CounterFeed::Direct) Bump(info->counter);
        if (info->detail != Detail::None) {
            ++Chan(info->detail)[s];
            detailOutsideBody[s] = true;
        } else if (info->busIndex >= 0) {
            ++bus1553ErrorCounts[s][static_cast<std::size_t>(info->busIndex)];
        } else if (info->category != Category::None && info->category != Category::chanPacketDataErrors) {
            ++Chan(info->category)[s];
        }
    }
}

void ErrorAccounting::NoteErrorLimit(int32_t& packetCount, int32_t& channelCount, std::string& text) const {
    if (packetCount == maxErrorsPerPacket.load(std::memory_order_relaxed)) {
        ++channelCount;
        text += "   *** The occurrence of this error type met the limit in this packet, message output is "
                "suppressed for remaining of packet data...\r\n";
    }
    ++packetCount;
    if (channelCount == maxErrorsPerChannel.load(std::memory_order_relaxed)) {
        ++channelCount;
        text += "****** The occurrence of this error type met the limit on this channel, message output is "
                "suppressed for remaining of channel data ...\r\n";
    }
}

void ErrorAccounting::RecomputePacketDataTotals(int slot, bool with1553) {
    if (ValidSlot(slot)) {
        const auto s = static_cast<std::size_t>(slot);
        // Summed unsigned: a wrap is defined, as the counters' own.
        uint32_t sum = 0;
        for (SlotArray a : kDetailArrays) sum += static_cast<uint32_t>((this->*a)[s]);
        if (with1553)
            for (uint32_t c : bus1553ErrorCounts[s]) sum += c;
        chanPacketDataErrors[s] = static_cast<int32_t>(sum);
        detailOutsideBody[s] = false;
    }
    uint32_t data = 0, sim = 0;
    for (std::size_t i = 0; i < kChannelSlots; ++i) {
        data += static_cast<uint32_t>(chanPacketDataErrors[i]);
        sim += static_cast<uint32_t>(chanSimDataErrors[i]);
    }
    Counter(FormCounter::dataErrors).store(data, std::memory_order_relaxed);
    Counter(FormCounter::simDataErrors).store(sim, std::memory_order_relaxed);
}

void ErrorAccounting::BeginPacket() {
    packetCodes.fill(0);
    packetCodeCount = 0;
}

void ErrorAccounting::ClearStatistics() {
    for (SlotArray a : kCategoryArrays) (this->*a).fill(0);
    for (SlotArray a : kDetailArrays) (this->*a).fill(0);
    detailOutsideBody.fill(false);
    resetRequest.store(false, std::memory_order_release);
}

void ErrorAccounting::RunReset() {
    for (auto& row : errorTable) row.fill(0);
    for (auto& counts : bus1553ErrorCounts) counts.fill(0);
    ClearStatistics();
    BeginPacket();
}

void ErrorAccounting::ZeroFormCounters() {
    for (auto& c : formCounters) c.store(0, std::memory_order_relaxed);
}

void ErrorAccounting::RequestReset() {
    ZeroFormCounters();
    resetRequest.store(true, std::memory_order_release);
}

bool ErrorAccounting::HonourResetRequest() {
    if (!resetRequest.exchange(false, std::memory_order_acq_rel)) return false;
    ZeroFormCounters();
    ClearStatistics();
    return true;
}

void ErrorAccounting::DiscardResetRequest() { resetRequest.store(false, std::memory_order_release); }

void ErrorAccounting::ResetForTests() {
    maxSameErrorPerChannel.store(0);
    maxErrorsPerPacket.store(5);
    maxErrorsPerChannel.store(5);
    ZeroFormCounters();
    RunReset();
}

}  // namespace vexa
