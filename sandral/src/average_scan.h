#pragma once
// The bytes per packet that large steps jump by: the mean gap between the
// first packets of a channel, from a scan of the recording's start.
#include <cstdint>
#include <string>
#include <vector>

namespace sandral {

constexpr int kAverageMaxOffsets = 1000;
constexpr int kAverageMaxWindows = 100;
constexpr uint32_t kAverageBase = 4196;

// Offsets of up to `limit` packets of `channel` (-1: all) from offset 0,
// setup packet left out; empty when the recording cannot be opened.
std::vector<int64_t> CollectPacketOffsets(const std::string& path, int channel, int limit);

// Low-half gaps summed in 32 bits, plus 4196, over n - 1; 4196 below two offsets.
uint32_t AverageFromOffsets(const std::vector<int64_t>& offsets);

// The limit: skip + 1 after a forward request with skip above 1, else 10
// for one channel and 100 for all.
int AverageLimit(int channel, int lastRequestMode, int lastRequestSkip);

// averagePacketSize's value for `channel` over recordingPath.
int average_packet_size(int channel);

}  // namespace sandral
