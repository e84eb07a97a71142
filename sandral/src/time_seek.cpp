#include "time_seek.h"

#include <cerrno>
#include <cstdio>
#include <memory>

#include "ch10/data_type.h"
#include "ch10/packet_view.h"
#include "header_test.h"
#include "platform/output_file.h"
#include "sandral_state.h"
#include "time_convert.h"
#include "time_reference.h"
#include "window_reader.h"

namespace sandral {

namespace {

constexpr double kCloseEnough = 2000000;
int64_t g_windowsRead = 0;

void Complain(const char* text) {
    const int e = errno;
    std::fprintf(stderr, "%s: %s\n", text, platform::SystemErrorText(e).c_str());
}

int64_t RoundUp4(int64_t v) {
    const int64_t r = v % 4;
    return r > 0 ? v + (4 - r) : v;
}

double TimePacketTime(const uint8_t* p, const ch10::PacketHeader& h) {
    const std::size_t at = ch10::ChannelSpecificWordOffset(h);
    const ch10::PacketView view(p, at + 10);
    return irig_time_to_usec(*view.U32(at), BcdTime{*view.U16(at + 4), *view.U16(at + 6), *view.U16(at + 8)});
}

// The seek's own handle, buffer and window; the browse position and the
// printer's last time are put back however it ends.
class Seek {
public:
    explicit Seek(const std::string& path) : path_(path) {
        BrowseState& b = State().browse;
        if (!b.seekBuffer) b.seekBuffer = std::make_unique<uint8_t[]>(kSeekRead);
        buf_ = b.seekBuffer.get();
        savedOffset_ = b.currentOffset;
        savedTime_ = State().time.packetIrigTime;
        savedSeekPath_ = b.seekPath;
        b.seekPath = path;
        handle_ = OpenForScan(path.c_str());
    }
    ~Seek() {
        CloseScan(handle_);
        BrowseState& b = State().browse;
        b.currentOffset = savedOffset_;
        b.seekPath = savedSeekPath_;
        State().time.packetIrigTime = savedTime_;
    }
    Seek(const Seek&) = delete;
    Seek& operator=(const Seek&) = delete;

    bool opened() const { return handle_ >= 0; }
    int64_t size = 0;
    int64_t windowOffset = 0;
    int held = 0;

    // Reads the window at the handle's position; false below 52 bytes.
    bool Read() {
        held = ReadWindow(handle_, buf_, kSeekRead);
        ++g_windowsRead;
        return held >= kSeekOverlap;
    }
    bool Goto(int64_t offset, const char* complaint) {
        if (GotoOffset(handle_, offset) < 0) {
            Complain(complaint);
            return false;
        }
        windowOffset = offset;
        return true;
    }
    // The next window, while its offset lies below size - 52.
    bool HasNext() const { return windowOffset + kSeekStep < size - kSeekOverlap; }
    bool Next(const char* complaint) { return Goto(windowOffset + kSeekStep, complaint) && Read(); }
    bool SizeFromEnd() {
        size = State().input->Goto(handle_, 0, 0, 2);
        if (size < 0) {
            Complain("get_ch10_time_offset: iGoto to end failed 0");
            return false;
        }
        return true;
    }
    // The first time packet of the window.
    bool FindTimePacket(int64_t* offset, double* time) const {
        for (int i = 0; held - i > kSeekOverlap; i += 4) {
            const uint8_t* p = buf_ + i;
            if (p[0] != 0x25 || p[1] != 0xEB || p[15] != 0x11) continue;
            if (!check_packet_header(p, static_cast<std::size_t>(held - i))) continue;
            *offset = windowOffset + i;
            *time = TimePacketTime(p, ch10::PacketHeader::DecodeUnchecked(p));
            return true;
        }
        return false;
    }
    // Scans this window and the next ones for a time packet.
    int FindTimePacketOnwards(int64_t* offset, double* time, const char* complaint) {
        for (;;) {
            if (FindTimePacket(offset, time)) return 1;
            if (!HasNext()) return 0;
            if (!Next(complaint)) return -1;
        }
    }
    const uint8_t* buffer() const { return buf_; }

private:
    std::string path_;
    uint8_t* buf_ = nullptr;
    int handle_ = -1;
    int64_t savedOffset_ = 0;
    double savedTime_ = 0;
    std::string savedSeekPath_;
};

// The bisection: where the final scan starts, or -1 on failure.
int64_t Bisect(Seek& s, double target) {
    int64_t low = 0, high = s.size, mid = RoundUp4(s.size / 2);
    double previous = -1;
    for (int k = 0;; ++k) {
        if (!s.Goto(mid, k == 0 ? "get_ch10_time_offset: iGoto to midpoint failed"
                                : "get_ch10_time_offset: iGoto to end failed 4") ||
            !s.Read())
            return -1;
        int64_t found = 0;
        double time = previous;
        const int r = s.FindTimePacketOnwards(&found, &time, "get_ch10_time_offset: iGoto to end failed 3");
        if (r < 0) return -1;
        if (r == 0) time = previous;
        if (time == previous) return low;
        previous = time;
        const double ahead = target - time;
        if (ahead >= 0 && ahead <= kCloseEnough) return found;
        if (ahead > kCloseEnough) {
            low = mid;
            mid = mid + (high - mid) / 2;
        } else {
            if (mid < low) low = 0;
            high = mid;
            mid = mid - (mid - low) / 2;
        }
        mid = RoundUp4(mid);
    }
}

// The final scan from `start`: 1 found, 0 not found, -1 failed.
int FinalScan(Seek& s, int64_t start, double target, int64_t* result) {
    if (!s.Goto(start, "get_ch10_time_offset: iGoto to end failed 5") || !s.Read()) return -1;
    TimeState& t = State().time;
    double current = 0;
    for (;;) {
        for (int i = 0; s.held - i > kSeekOverlap; i += 4) {
            const uint8_t* p = s.buffer() + i;
            const auto heldHere = static_cast<std::size_t>(s.held - i);
            if (!check_packet_header(p, heldHere)) continue;
            const auto h = ch10::PacketHeader::DecodeUnchecked(p);
            if (h.dataType == ch10::Code(ch10::DataType::TimeF1)) {
                update_time_reference(ch10::PacketView(p, std::min<std::size_t>(heldHere, h.packetLength)), h,
                                      TimeScan::Walk);
                current = TimePacketTime(p, h);
            } else if (h.dataType == ch10::Code(ch10::DataType::ComputerF1)) {
                current = 0;
            } else {
                State().browse.currentOffset = s.windowOffset + i;
                compute_packet_irig_time(h);
                current = t.packetIrigTime;
            }
            if (target <= current) {
                *result = s.windowOffset + i;
                return 1;
            }
        }
        if (!s.HasNext()) return 0;
        if (!s.Goto(s.windowOffset + kSeekStep, "get_ch10_time_offset: iGoto to end failed 6")) return -1;
        if (!s.Read()) return -1;
        if (s.held == kSeekOverlap) {
            Complain("failed");
            return -1;
        }
    }
}

}  // namespace

int get_ch10_time_offset(const std::string& path, int64_t target, int64_t* result) {
    Seek s(path);
    if (!s.opened()) return -1;
    *result = 0;
    if (!s.Read() || !s.SizeFromEnd()) return -1;
    const double goal = static_cast<double>(target);
    int64_t firstOffset = 0;
    double firstTime = 0;
    if (s.FindTimePacketOnwards(&firstOffset, &firstTime, "get_ch10_time_offset: iGoto to end failed 1") != 1)
        return -1;
    if (goal < firstTime) return 0;
    const int64_t start = Bisect(s, goal);
    if (start < 0) return -1;
    return FinalScan(s, start, goal, result) == 1 ? 0 : -1;
}

int64_t SeekWindowsRead() { return g_windowsRead; }

}  // namespace sandral
