#include "average_scan.h"

#include <algorithm>
#include <memory>

#include "ch10/data_type.h"
#include "ch10/packet_header.h"
#include "channel_walk.h"
#include "header_test.h"
#include "sandral_state.h"
#include "window_reader.h"

namespace sandral {

namespace {

uint8_t* AverageBuffer() {
    BrowseState& b = State().browse;
    if (!b.averageBuffer) b.averageBuffer = std::make_unique<uint8_t[]>(kWalkWindow);
    return b.averageBuffer.get();
}

}  // namespace

std::vector<int64_t> CollectPacketOffsets(const std::string& path, int channel, int limit) {
    std::vector<int64_t> offsets;
    const int handle = OpenForScan(path.c_str());
    if (handle < 0) return offsets;
    uint8_t* buf = AverageBuffer();
    const auto wanted = static_cast<std::size_t>(std::clamp(limit, 0, kAverageMaxOffsets));
    int64_t pos = 0;
    for (int window = 0; window < kAverageMaxWindows && offsets.size() < wanted; ++window) {
        if (GotoOffset(handle, pos) < 0) break;
        const int held = ReadWindow(handle, buf, kWalkWindow);
        if (held < 24) break;
        int64_t i = 0;
        while (i + 24 <= held && offsets.size() < wanted) {
            const uint8_t* p = buf + i;
            if (!check_packet_header(p, static_cast<std::size_t>(held - i))) {
                i += 4;
                continue;
            }
            const auto h = ch10::PacketHeader::DecodeUnchecked(p);
            const bool setup = h.channelId == 0 && h.dataType == ch10::Code(ch10::DataType::ComputerF1);
            if (!setup && (channel < 0 || channel == static_cast<int>(h.channelId))) offsets.push_back(pos + i);
            i += h.packetLength;
        }
        pos += i;
    }
    CloseScan(handle);
    return offsets;
}

uint32_t AverageFromOffsets(const std::vector<int64_t>& offsets) {
    if (offsets.size() < 2) return kAverageBase;
    uint32_t sum = 0;
    for (std::size_t k = 1; k < offsets.size(); ++k)
        sum += static_cast<uint32_t>(offsets[k]) - static_cast<uint32_t>(offsets[k - 1]);
    sum += kAverageBase;
    return sum / static_cast<uint32_t>(offsets.size() - 1);
}

int AverageLimit(int channel, int lastRequestMode, int lastRequestSkip) {
    if (lastRequestMode == 0 && lastRequestSkip > 1) return lastRequestSkip == INT32_MAX ? INT32_MAX : lastRequestSkip + 1;
    return channel < 0 ? 100 : 10;
}

int average_packet_size(int channel) {
    const BrowseState& b = State().browse;
    const int limit = AverageLimit(channel, b.lastRequestMode, b.lastRequestSkip);
    return static_cast<int>(AverageFromOffsets(CollectPacketOffsets(b.recordingPath, channel, limit)));
}

}  // namespace sandral
