#include "channel_walk.h"

#include <algorithm>
#include <memory>

#include "ch10/packet_view.h"
#include "header_test.h"
#include "sandral_state.h"
#include "time_convert.h"
#include "time_reference.h"
#include "window_reader.h"

namespace sandral {

namespace {

// A time packet's word and time data lie within this many bytes past its
// header, secondary header included.
constexpr int kTimeTail = 32;

uint8_t* WalkBuffer() {
    BrowseState& b = State().browse;
    if (!b.walkBuffer) b.walkBuffer = std::make_unique<uint8_t[]>(kWalkWindow + kTimeTail);
    return b.walkBuffer.get();
}

// Time packets refresh their group's reference and the player's digits.
void PassTimePacket(const uint8_t* p, std::size_t held, const ch10::PacketHeader& h) {
    if (h.dataType != 0x11) return;
    const ch10::PacketView view(p, std::min<std::size_t>(held, h.packetLength));
    update_time_reference(view, h, TimeScan::Walk);
    const std::size_t at = ch10::ChannelSpecificWordOffset(h);
    if (!view.Has(at, 10)) return;
    const uint32_t csdw = *view.U32(at);
    split_bcd_time(BcdTime{*view.U16(at + 4), *view.U16(at + 6), *view.U16(at + 8)}, (csdw & 0x200) != 0,
                   State().player.status);
}

struct ScanHandle {
    int handle;
    explicit ScanHandle(const std::string& path) : handle(OpenForScan(path.c_str())) {}
    ~ScanHandle() { CloseScan(handle); }
    ScanHandle(const ScanHandle&) = delete;
    ScanHandle& operator=(const ScanHandle&) = delete;
};

}  // namespace

int64_t WalkForward(const std::string& path, int64_t base, int packets, const WalkCounts& counts,
                    int64_t endOffset) {
    ScanHandle in(path);
    if (in.handle < 0) return -1;
    uint8_t* buf = WalkBuffer();
    const bool fromStart = base == 4;
    bool passStartPacket = fromStart;
    int64_t pos = fromStart ? 0 : base + 4;
    int counted = 0;
    for (;;) {
        if (GotoOffset(in.handle, pos) < 0) return endOffset;
        const int held = ReadWindow(in.handle, buf, kWalkWindow);
        if (held < static_cast<int>(ch10::kPacketHeaderSize)) return endOffset;
        bool found = false;
        int64_t i = 0;
        while (i + 24 <= held) {
            const uint8_t* p = buf + i;
            if (!check_packet_header(p, static_cast<std::size_t>(held - i))) {
                i += 4;
                continue;
            }
            found = true;
            const auto h = ch10::PacketHeader::DecodeUnchecked(p);
            PassTimePacket(p, static_cast<std::size_t>(held - i), h);
            if (counts(h)) {
                if (passStartPacket) passStartPacket = false;
                else if (++counted >= packets) return pos + i;
            }
            i += h.packetLength;  // past the window too: the next window starts at its end
        }
        if (!found) return endOffset;
        pos += i;
    }
}

int64_t WalkBackward(const std::string& path, int64_t base, int packets, const WalkCounts& counts) {
    ScanHandle in(path);
    if (in.handle < 0) return -1;
    uint8_t* buf = WalkBuffer();
    int counted = 0;
    // Packets start at multiples of 4; from a base that is not one (the size
    // of a recording ending in a cut packet) plain 4-byte steps would miss
    // every packet.
    int64_t candidate = (base - 24) & ~int64_t{3};  // the next offset to test
    while (candidate >= 0) {
        const int64_t end = candidate + 24;
        const int64_t start = std::max<int64_t>(0, end - kWalkWindow);
        if (GotoOffset(in.handle, start) < 0) return 0;
        const int want = static_cast<int>(end - start) + kTimeTail;
        const int held = ReadWindow(in.handle, buf, want);
        if (held < static_cast<int>(end - start)) return 0;
        bool found = false;
        for (; candidate >= start; candidate -= 4) {
            const uint8_t* p = buf + (candidate - start);
            const auto avail = static_cast<std::size_t>(held - (candidate - start));
            if (!check_packet_header(p, avail)) continue;
            found = true;
            const auto h = ch10::PacketHeader::DecodeUnchecked(p);
            PassTimePacket(p, avail, h);
            if (counts(h) && ++counted >= packets) return candidate;
        }
        if (!found) return 0;
    }
    return 0;
}

int64_t channel_walk(int64_t base, int packets, int channel, bool backward) {
    const BrowseState& b = State().browse;
    const WalkCounts counts = [channel](const ch10::PacketHeader& h) {
        return channel < 0 || channel == static_cast<int>(h.channelId);
    };
    if (backward) return WalkBackward(b.recordingPath, base, packets, counts);
    return WalkForward(b.recordingPath, base, packets, counts, b.fileSize);
}

}  // namespace sandral
