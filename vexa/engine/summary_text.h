#pragma once
// The text of a run's summary file: per channel what was seen and how many
// findings of each category and error number the run produced. Pure: the
// caller gathers the engine's state into the input.
#include <array>
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

#include "vexa/engine/bus1553_body_check.h"
#include "vexa/engine/error_accounting.h"
#include "vexa/engine/stream_rules.h"

namespace vexa {

struct SummaryInput {
    std::string_view sourcePath;
    std::time_t now = 0;
    int selectedChannel = 0;  // 0: every channel
    int timeChannelSlot = -1;
    const std::array<uint32_t, kChannelSlots>& channelIds;  // the channel table by slot
    const PerSlot<SlotStreamStats>& slots;
    const PerSlot<Bus1553SlotState>* bus = nullptr;  // none: no bus lines
    std::string_view startTime;  // the run's first and last time-packet texts
    std::string_view endTime;
    uint64_t totalDataLength = 0;
    uint64_t totalPacketLength = 0;
    const ErrorAccounting& errors;
};

std::string BuildSummaryText(const SummaryInput& in);

}  // namespace vexa
