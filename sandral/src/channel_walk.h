#pragma once
// Walking a recording packet by packet from a base offset, in 2 MiB
// windows, in 4-byte steps: the small steps of the browse calls and the
// search for a group's last time packet.
#include <cstdint>
#include <functional>
#include <string>

#include "ch10/packet_header.h"

namespace sandral {

constexpr int kWalkWindow = 2 * 1024 * 1024;

// Decides whether a found packet counts towards the walk.
using WalkCounts = std::function<bool(const ch10::PacketHeader&)>;

// Forward from `base` (4: the start, whose first counted packet is the
// start page's own and is passed over), in 4-byte steps from where the
// packet before ends, another phase where the rest of a window holds none
// at it: the offset of the `packets`-th counted packet; `endOffset` when
// the recording ends first or a window holds no packet; -1 when the
// recording cannot be opened.
int64_t WalkForward(const std::string& path, int64_t base, int packets, const WalkCounts& counts,
                    int64_t endOffset);

// Backward from 24 bytes below `base`, in 4-byte steps at the phase of the
// packets found so far (at first the base's), another phase where a window
// holds none: the offset of the `packets`-th counted packet; 0 at the start
// or when a window holds no packet; -1 when the recording cannot be opened.
int64_t WalkBackward(const std::string& path, int64_t base, int packets, const WalkCounts& counts);

// The browse calls' walk over `channel` (-1: all).
int64_t channel_walk(int64_t base, int packets, int channel, bool backward);

}  // namespace sandral
