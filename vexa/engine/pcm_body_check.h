#pragma once
// Frame-by-frame checks of PCM format 1 packets against the channel's TMATS
// description: sync pattern, lock status, frame ID counter, frame time
// spacing and simulated data. The walk is pure (findings tagged by family);
// RaisePcmFindings applies the family limits and counts.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "ch10/packet_header.h"
#include "ch10/packet_view.h"
#include "tessin.h"
#include "vexa/engine/error_accounting.h"

namespace vexa {

// The body checks' copy of a channel's PCM record.
struct PcmChannel {
    PCM_CHAN_INFO info{};
};

// Message families, each with its own per-packet and per-channel limit count.
enum class PcmFamily : uint8_t { Sync, MiBit, MaBit, MajorLock, MinorLock, FrameId, FrameTime, SimData, Span };
constexpr int kPcmFamilies = 8;  // Span has no limit count

struct PcmFinding {
    uint32_t number = 0;
    PcmFamily family = PcmFamily::Sync;
    std::string text;
};

// What a channel carries from packet to packet.
struct PcmSlotState {
    int32_t prevFrameId = -1;
    int32_t prevSimValue = -1;
    double prevFrameTime = -1.0;
    std::array<int32_t, kPcmFamilies> channelCounts{};
};

struct PcmBodyInput {
    const PCM_CHAN_INFO& record;
    const ch10::PacketHeader& header;
    const ch10::PacketView& view;
    uint32_t csdw = 0;
    bool checkSimulated = false;  // option on, selected channel
    int32_t intraPacketTolerance = 0;  // microseconds
};

// Bits first..last (from 1 at the most significant bit of bytes[0]); 0 when
// any of them lies outside `bytes` or the range is empty or above 32 bits.
uint32_t GetBits(std::span<const uint8_t> bytes, int64_t first, int64_t last);

// 0 when the record is usable or the data type is not PCM format 1; -1 with
// the warning line in `text` otherwise.
int CheckPcmTmatsAttributes(const PCM_CHAN_INFO& record, uint8_t dataType, std::string& text);

// Walks the packet's frames; updates the previous values of `state`.
std::vector<PcmFinding> WalkPcmFrames(const PcmBodyInput& in, PcmSlotState& state);

// Counts each finding and appends the messages the limits allow, with their
// notices, to `text`.
void RaisePcmFindings(ErrorAccounting& errors, int slot, const std::vector<PcmFinding>& findings,
                      PcmSlotState& state, std::string& text);

}  // namespace vexa
