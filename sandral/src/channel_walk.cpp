#include "channel_walk.h"

#include <algorithm>
#include <memory>

#include "ch10/data_type.h"
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
    if (h.dataType != ch10::Code(ch10::DataType::TimeF1)) return;
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

int PhaseOf(int64_t offset) { return static_cast<int>(offset & 3); }

// One window of a walk: `bytes` holds the recording from `start` on, `held`
// bytes; the backward walk searches headers that end at or before `end`
// (it holds a time packet's tail past it).
struct WalkWindow {
    const uint8_t* bytes;
    int64_t start;
    int64_t end;
    int held;

    const uint8_t* At(int64_t offset) const { return bytes + (offset - start); }
    std::size_t HeldFrom(int64_t offset) const { return static_cast<std::size_t>(held - (offset - start)); }
    bool HeaderAt(int64_t offset) const { return check_packet_header(At(offset), HeldFrom(offset)); }
};

// Packets counted so far by a backward walk, and the one that completed it.
struct BackwardCount {
    const WalkCounts& counts;
    int packets;
    int counted = 0;
    int64_t hit = -1;
};

// Headers at `phase` from the window's top downwards, each passed and
// counted: the offset of the lowest one found (-1: none). Stops at the
// packet that completes the count.
int64_t ScanPhaseDown(const WalkWindow& w, int phase, BackwardCount& walk) {
    int64_t lowest = -1;
    int64_t c = w.end - 24;
    c -= PhaseOf(c - phase);
    for (; c >= w.start; c -= 4) {
        if (!w.HeaderAt(c)) continue;
        lowest = c;
        const auto h = ch10::PacketHeader::DecodeUnchecked(w.At(c));
        PassTimePacket(w.At(c), w.HeldFrom(c), h);
        if (walk.counts(h) && ++walk.counted >= walk.packets) {
            walk.hit = c;
            break;
        }
    }
    return lowest;
}

// The phase of the nearest header below the window's top that is not at
// `tried`, or -1 when there is none.
int NearestOtherPhase(const WalkWindow& w, int tried) {
    for (int64_t c = w.end - 24; c >= w.start; --c)
        if (PhaseOf(c) != tried && w.HeaderAt(c)) return PhaseOf(c);
    return -1;
}

// Upwards from `from`: the first header at `phase`, else the nearest at
// another phase; -1 when the window holds neither.
int64_t NextHeaderUp(const WalkWindow& w, int64_t from, int phase) {
    const int64_t last = w.start + w.held - 24;  // the last whole header held
    for (int64_t c = from + PhaseOf(phase - from); c <= last; c += 4)
        if (w.HeaderAt(c)) return c;
    for (int64_t c = from; c <= last; ++c)
        if (PhaseOf(c) != phase && w.HeaderAt(c)) return c;
    return -1;
}

}  // namespace

int64_t WalkForward(const std::string& path, int64_t base, int packets, const WalkCounts& counts,
                    int64_t endOffset) {
    ScanHandle in(path);
    if (in.handle < 0) return -1;
    uint8_t* buf = WalkBuffer();
    const bool fromStart = base == 4;
    bool passStartPacket = fromStart;
    int64_t pos = fromStart ? 0 : base + 4;
    int phase = PhaseOf(pos);
    int counted = 0;
    for (;;) {
        if (GotoOffset(in.handle, pos) < 0) return endOffset;
        const int held = ReadWindow(in.handle, buf, kWalkWindow);
        if (held < static_cast<int>(ch10::kPacketHeaderSize)) return endOffset;
        const WalkWindow w{buf, pos, pos + held, held};
        bool found = false;
        int64_t next = pos;  // where the search goes on
        for (int64_t at; (at = NextHeaderUp(w, next, phase)) >= 0;) {
            found = true;
            const auto h = ch10::PacketHeader::DecodeUnchecked(w.At(at));
            PassTimePacket(w.At(at), w.HeldFrom(at), h);
            if (counts(h)) {
                if (passStartPacket) passStartPacket = false;
                else if (++counted >= packets) return at;
            }
            next = at + h.packetLength;  // past the window too: the next window starts at its end
            phase = PhaseOf(next);
        }
        if (!found) return endOffset;
        // Every offset up to the last whole header held has been tried.
        pos = std::max<int64_t>(next, pos + held - 23);
    }
}

int64_t WalkBackward(const std::string& path, int64_t base, int packets, const WalkCounts& counts) {
    ScanHandle in(path);
    if (in.handle < 0) return -1;
    uint8_t* buf = WalkBuffer();
    BackwardCount walk{counts, packets};
    // Packets keep the phase of the base (a packet's offset) until a
    // resynchronisation moves them; a base that is the size of a recording
    // ending in a cut packet has none, and the nearest header decides.
    int phase = PhaseOf(base);
    int64_t end = base;  // headers end at or before it
    while (end >= 24) {
        const int64_t start = std::max<int64_t>(0, end - kWalkWindow);
        if (GotoOffset(in.handle, start) < 0) return 0;
        const int span = static_cast<int>(end - start);
        const int held = ReadWindow(in.handle, buf, span + kTimeTail);
        if (held < span) return 0;
        const WalkWindow w{buf, start, end, held};
        int64_t lowest = ScanPhaseDown(w, phase, walk);
        if (lowest < 0) {
            phase = NearestOtherPhase(w, phase);
            if (phase < 0) return 0;
            lowest = ScanPhaseDown(w, phase, walk);
        }
        if (walk.hit >= 0) return walk.hit;
        // Below the lowest packet another phase may take over: the next
        // window ends there and tries this phase first.
        end = lowest;
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
