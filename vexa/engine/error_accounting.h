#pragma once
// Counting of findings: the table by channel slot and error number, the
// form's thirteen counters, the twelve per-channel categories with their
// detail counts, the "MaxLog" rule, the packet's first error numbers and
// the body checks' suppression notices.
//
// Threads: the form counters, the limits and the reset request are atomics
// (the form's timer reads the counters, the dialog sets the limits, Reset
// requests a clear). Everything else is touched only by the processor while
// a run's processor exists, and by resets and the summary after it stopped.
#include <array>
#include <atomic>
#include <cstdint>
#include <string>

#include "vexa/engine/error_catalogue.h"

namespace vexa {

constexpr int kChannelSlots = 256;
constexpr int kMaxPacketCodes = 5;

template <typename T>
using PerSlot = std::array<T, kChannelSlots>;

struct ErrorAccounting {
    ErrorAccounting();

    // --- settings ---------------------------------------------------------
    std::atomic<int32_t> maxSameErrorPerChannel{0};  // "MaxLog"; 0 = no limit
    std::atomic<int32_t> maxErrorsPerPacket{5};
    std::atomic<int32_t> maxErrorsPerChannel{5};

    // --- shared with the form ---------------------------------------------
    std::array<std::atomic<uint32_t>, kFormCounters> formCounters{};
    std::atomic<bool> resetRequest{false};

    // --- processor only ---------------------------------------------------
    std::array<std::array<uint32_t, 256>, kChannelSlots> errorTable{};  // [slot][number]
    std::array<uint32_t, kMaxPacketCodes> packetCodes{};
    int packetCodeCount = 0;

    PerSlot<int32_t> chanHdrChecksumErrors{};
    PerSlot<int32_t> chanRtcErrors{};
    PerSlot<int32_t> chanOverflowErrors{};
    PerSlot<int32_t> chanPacketDataErrors{};
    PerSlot<int32_t> chanDataLenErrors{};
    PerSlot<int32_t> chanPacketLenErrors{};
    PerSlot<int32_t> chanSimDataErrors{};
    PerSlot<int32_t> chanSequenceErrors{};
    PerSlot<int32_t> chanSyncErrors{};
    PerSlot<int32_t> chanTimeErrors{};
    PerSlot<int32_t> chanDataChecksumErrors{};
    PerSlot<int32_t> chanConsistencyErrors{};

    PerSlot<int32_t> chanPcmSyncErrors{};
    PerSlot<int32_t> chanPcmMinorSyncBitErrors{};
    PerSlot<int32_t> chanPcmMajorSyncBitErrors{};
    PerSlot<int32_t> chanMajorLockErrors{};
    PerSlot<int32_t> chanMinorLockErrors{};
    PerSlot<int32_t> chanFrameIdErrors{};
    PerSlot<int32_t> chanTimeStampErrors{};
    PerSlot<int32_t> chanGapTimeErrors{};
    PerSlot<int32_t> chanByteCountErrors{};
    PerSlot<int32_t> chanBlockStatusErrors{};
    PerSlot<int32_t> chanMsgCountErrors{};

    // WE, SE, LE, TM, FE, ME: Errors 124 to 119.
    PerSlot<std::array<uint32_t, kBus1553Counts>> bus1553ErrorCounts{};

    // A detail count rose outside a body check since the slot's totals were
    // last recomputed.
    PerSlot<bool> detailOutsideBody{};

    // --- access by name ---------------------------------------------------
    std::atomic<uint32_t>& Counter(FormCounter c) { return formCounters[static_cast<std::size_t>(c)]; }
    uint32_t CounterValue(FormCounter c) const {
        return formCounters[static_cast<std::size_t>(c)].load(std::memory_order_relaxed);
    }
    void Bump(FormCounter c, uint32_t n = 1) { Counter(c).fetch_add(n, std::memory_order_relaxed); }
    PerSlot<int32_t>& Chan(Category c);
    const PerSlot<int32_t>& Chan(Category c) const;
    PerSlot<int32_t>& Chan(Detail d);
    const PerSlot<int32_t>& Chan(Detail d) const;

    // --- operations -------------------------------------------------------
    // Counts one finding; 1 when its text may be written, 0 when "MaxLog"
    // suppresses it. Only the low 16 bits of `code` are used; a slot or
    // number outside the table leaves the table alone (result 1).
    int CountError(int slot, uint32_t code);

    // Raises a catalogued finding the common way: form counter (when fed
    // directly) and category or detail count first, then CountError.
    // Returns CountError's result; a number written without CountError
    // (159, 172) counts nothing and gives 1.
    int RaiseFinding(int slot, uint32_t number);
    // RaiseFinding's counts without CountError, for a finding whose number
    // is counted at another step than its form counters.
    void TallyFinding(int slot, uint32_t number);

    // Bookkeeping of one written body-check message against the two limits;
    // appends the suppression notices to `text`.
    void NoteErrorLimit(int32_t& packetCount, int32_t& channelCount, std::string& text) const;

    // A slot's packet data errors from its detail counts (and bus counts),
    // then the stored sums over all slots.
    void RecomputePacketDataTotals(int slot, bool with1553);

    // Start of a packet: no error numbers yet.
    void BeginPacket();

    // Clears the per-channel categories and details and the reset request.
    void ClearStatistics();

    // Reset of the validator state between runs: the table, statistics, bus
    // counts, packet codes and reset request. Not the form counters or limits.
    void RunReset();

    // The form's Reset (user-interface thread): the counters show zero at
    // once; the processor clears the rest at its next packet end.
    void RequestReset();
    // End of a packet (processor): acts on a pending request. True when it did.
    bool HonourResetRequest();
    // Start of a file's processing: a request from before the run is dropped.
    void DiscardResetRequest();

    void ZeroFormCounters();

    // Everything back to the first initialisation (tests).
    void ResetForTests();
};

}  // namespace vexa
