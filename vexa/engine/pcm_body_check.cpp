#include "vexa/engine/pcm_body_check.h"

#include <cmath>
#include <optional>

#include "ch10/data_type.h"
#include "platform/format.h"
#include "platform/numbers.h"
#include "vexa/engine/time_units.h"

namespace vexa {

namespace {

// Shifts and masks of TMATS-sized widths: 32 or more bits shift everything
// out and mask nothing out.
uint64_t Shr(uint64_t v, int64_t n) { return n >= 64 || n < 0 ? 0 : v >> n; }
uint64_t LowMask(int64_t bits) { return bits >= 32 ? 0xFFFFFFFFull : bits <= 0 ? 0 : (1ull << bits) - 1; }

bool InRange16(int v) { return v >= 1 && v <= 16; }

// The frame's 16-bit words in transmission order (halves of 32-bit words
// exchanged), read only before the data end.
struct FrameWords {
    const ch10::PacketView& view;
    std::size_t start = 0;
    std::size_t end = 0;
    bool exchange = false;

    std::optional<uint16_t> Word(int64_t i) const {
        if (i < 0) return std::nullopt;
        const uint64_t at = start + 2 * static_cast<uint64_t>(exchange ? (i ^ 1) : i);
        if (at + 2 > end) return std::nullopt;
        return view.U16(static_cast<std::size_t>(at));
    }
    // Byte k of the stream: each word's upper byte first.
    std::optional<uint8_t> Byte(int64_t k) const {
        const auto w = Word(k / 2);
        if (!w) return std::nullopt;
        return static_cast<uint8_t>((k % 2 == 0) ? (*w >> 8) : (*w & 0xFF));
    }
};

struct SyncParts {
    uint64_t high = 0;
    uint64_t low = 0;
};

int64_t HighShift(const PCM_CHAN_INFO& r, bool packed) {
    const int64_t l = r.SyncPatternLength;
    if (l == 32) return 16;
    if (l == 24) return packed ? 8 : 12;
    if (l <= 16) return 64;  // no high part
    return l / 2;
}

SyncParts ExpectedSync(const PCM_CHAN_INFO& r, bool packed) {
    const uint64_t p = static_cast<uint64_t>(r.SyncPattern & r.SyncMask);
    const int64_t l = r.SyncPatternLength;
    if (l <= 16) return {0, p};
    const int64_t shift = HighShift(r, packed);
    const int64_t lowBits = l == 24 ? (packed ? 8 : 12) : (l == 32 ? 16 : l - l / 2);
    return {Shr(p, shift) & (l == 24 && !packed ? 0xFFF : 0xFFFFFFFFull), p & LowMask(lowBits)};
}

struct Layout {
    std::size_t firstData = 0;
    std::size_t dataEnd = 0;
    int64_t step = 0;
    int64_t frameBytes = 0;  // BitsInMinorFrame / 8
    bool packed = false;
    bool align32 = false;
    // The same for every frame of the packet: worked out once.
    SyncParts expectedSync;
    double framePeriod = 0;  // 10ths of a microsecond
    double timeTolerance = 0;
};

int64_t RoundUp(int64_t v, int64_t m) { return (v + m - 1) / m * m; }

std::optional<Layout> FrameLayout(const PcmBodyInput& in) {
    const PCM_CHAN_INFO& r = in.record;
    const uint32_t mode = (in.csdw >> 18) & 7;
    if (mode != 1 && mode != 2) return std::nullopt;  // no layout for throughput or no mode
    Layout l;
    l.packed = mode == 2;
    l.align32 = (in.csdw & (1u << 21)) != 0;
    const std::size_t csdwAt = ch10::ChannelSpecificWordOffset(in.header);
    l.firstData = csdwAt + 4 + (l.align32 ? 12 : 10);
    const uint64_t end = static_cast<uint64_t>(csdwAt) + in.header.dataLength;
    l.dataEnd = static_cast<std::size_t>(std::min<uint64_t>(end, in.view.size()));
    const int64_t spl = r.SyncPatternLength, words = r.NumWords, bimf = r.BitsInMinorFrame;
    if (!l.packed) {
        if (!l.align32) {
            l.step = words * 2 + (spl > 16 ? 2 : 0) + (spl > 32 ? 2 : 0) + 10;
        } else {
            l.step = r.WordLength <= 16 ? words * 2 + (spl > 16 ? 2 : 0) + (spl > 32 ? 2 : 0) + 12
                                        : words * 4 + (spl > 32 ? 4 : 0) + 12;
            l.step = RoundUp(l.step, 4);
        }
    } else {
        l.step = l.align32 ? RoundUp((bimf + 96) / 8, 4) : RoundUp((bimf + 80) / 8, 2);
    }
    l.frameBytes = bimf / 8;
    // Non-positive layouts would walk backwards or for ever.
    if (l.step <= 0 || bimf <= 0 || words <= 0) return std::nullopt;
    l.expectedSync = ExpectedSync(r, l.packed);
    l.framePeriod = static_cast<double>(r.BitsInMinorFrame) * 10000000.0 / r.BitRate;
    l.timeTolerance = static_cast<double>(in.intraPacketTolerance) * 10.0;
    return l;
}

std::optional<SyncParts> RecordedSync(const PCM_CHAN_INFO& r, bool packed, const FrameWords& fw) {
    const int64_t l = r.SyncPatternLength;
    SyncParts s;
    if (l > 16) {
        const auto w0 = fw.Word(0), w1 = fw.Word(1);
        if (!w0 || !w1) return std::nullopt;
        s.high = *w0;
        s.low = *w1;
        if (l == 24) {
            s.high = packed ? *w0 : (*w0 & 0xFFF);
            s.low = packed ? (*w1 >> 8) : (*w1 & 0xFFF);
        }
    } else {
        const auto w0 = fw.Word(0);
        if (!w0) return std::nullopt;
        s.low = l == 8 ? (*w0 >> 8) : *w0;
    }
    s.high &= Shr(r.SyncMask, HighShift(r, packed));
    s.low &= (r.SyncMask & 0xFFFFu);
    return s;
}

// The frame ID counter, 16 bits; none when not wholly before the data end.
std::optional<uint16_t> ReadFrameId(const PCM_CHAN_INFO& r, const Layout& l, const FrameWords& fw) {
    int64_t base = r.SyncPatternLength / 8;
    if (base % 2 != 0) base -= 1;
    const int64_t pos = r.FrameIDPosition;
    if (pos < 1) return std::nullopt;
    if (r.WordLength == 16 || !l.packed) {
        const auto w = fw.Word(base / 2 + pos - 1);
        if (!w) return std::nullopt;
        return *w;
    }
    if (r.WordLength == 8) {
        const auto b = fw.Byte(base + pos - 1);
        if (!b) return std::nullopt;
        if (InRange16(r.IDCStartBit) && InRange16(r.IDCLength) && r.IDCLength < 8)
            return static_cast<uint16_t>(*b & (0xFF << (8 - r.IDCLength)) & 0xFF);
        return *b;
    }
    int64_t len = 0;
    for (int v : {static_cast<int>(r.IDCLength), static_cast<int>(r.IDCWordLength), static_cast<int>(r.WordLength)})
        if (InRange16(v)) {
            len = v;
            break;
        }
    if (len == 0) return std::nullopt;
    const int64_t first = (pos - 1) * r.WordLength + (InRange16(r.IDCStartBit) ? r.IDCStartBit : 1);
    const int64_t last = first + len - 1;
    if (first < 1) return std::nullopt;
    // Gather the bytes the bits need, in transmission order.
    const int64_t lastByte = (last - 1) / 8;
    std::vector<uint8_t> bytes;
    for (int64_t k = 0; k <= lastByte; ++k) {
        const auto b = fw.Byte(base + k);
        if (!b) return std::nullopt;
        bytes.push_back(*b);
    }
    return static_cast<uint16_t>(GetBits(bytes, first, last));
}

struct FrameContext {
    const PcmBodyInput& in;
    const Layout& layout;
    const FrameWords& fw;
    int frame = 0;
    int fid = -1;  // printed when unreadable
    uint16_t status = 0;
    std::vector<PcmFinding>& out;

    bool MinorInLock() const { return ((status >> 14) & 3) == 3; }
    void Add(uint32_t n, PcmFamily f, std::string text) const { out.push_back({n, f, std::move(text)}); }
};

void CheckSync(const FrameContext& c) {
    const PCM_CHAN_INFO& r = c.in.record;
    const auto rec = RecordedSync(r, c.layout.packed, c.fw);
    if (!rec) return;
    const SyncParts& exp = c.layout.expectedSync;
    const bool first = c.frame == 1;
    const bool mi = (c.in.csdw & (1u << 28)) != 0, ma = (c.in.csdw & (1u << 29)) != 0;
    if (rec->high == exp.high && rec->low == exp.low) {
        if (first && !mi)
            c.Add(95, PcmFamily::MiBit,
                  platform::Format("Error 95: at frame %d: Sync pattern found at begin of packet data but Channel "
                                   "Spec's MI bit is not set \r\n", c.frame));
        return;
    }
    const auto tmats = static_cast<unsigned>(r.SyncPattern & r.SyncMask);
    const bool unpacked24 = r.SyncPatternLength == 24 && !c.layout.packed;
    std::string text;
    if (r.SyncPatternLength == 24 && c.layout.packed) {
        text = platform::Format("Error 90: at frame %d: Sync pattern does not match, recorded is %04x%02x, TMATS "
                                "info is %x \r\n", c.frame, static_cast<unsigned>(rec->high),
                                static_cast<unsigned>(rec->low), tmats);
    } else if (!c.layout.packed || unpacked24) {
        const uint64_t v = (rec->high << std::min<int64_t>(r.SyncPatternLength / 2, 63)) | rec->low;
        const uint64_t shown = r.SyncPatternLength / 2 >= 32 ? rec->low : v;
        text = platform::Format("Error 90: at frame %d: Sync pattern does not match, recorded is %x, TMATS info "
                                "is %x \r\n", c.frame, static_cast<unsigned>(shown & 0xFFFFFFFFu), tmats);
    } else {
        text = platform::Format("Error 90: at frame %d: Sync pattern does not match, recorded is %04x%04x, TMATS "
                                "info is %x \r\n", c.frame, static_cast<unsigned>(rec->high),
                                static_cast<unsigned>(rec->low), tmats);
    }
    c.Add(90, PcmFamily::Sync, std::move(text));
    if (first && mi)
        c.Add(91, PcmFamily::MiBit, platform::Format("Error 91: at frame %d: Sync pattern does not match but "
                                                     "Channel Spec's MI bit is set \r\n", c.frame));
    if (first && ma)
        c.Add(92, PcmFamily::MaBit, platform::Format("Error 92: at frame %d: Sync pattern does not match but "
                                                     "Channel Spec's MA bit is set \r\n", c.frame));
    if (((c.status >> 12) & 3) == 3)
        c.Add(93, PcmFamily::MajorLock, platform::Format("Error 93: at frame %d: Sync pattern does not match but "
                                                         "IPH's Major Lock Status is InLock \r\n", c.frame));
    if (c.MinorInLock())
        c.Add(94, PcmFamily::MinorLock, platform::Format("Error 94: at frame %d: Sync pattern does not match but "
                                                         "IPH's Minor Lock Status is InLock \r\n", c.frame));
}

void CheckLockStatus(const FrameContext& c) {
    if (((c.status >> 12) & 3) == 1)
        c.Add(99, PcmFamily::MajorLock,
              platform::Format("Error 99: at frame %d: IPH's Major Lock Status is Reserved \r\n", c.frame));
    if (((c.status >> 14) & 3) <= 1)
        c.Add(100, PcmFamily::MinorLock,
              platform::Format("Error 100: at frame %d: IPH's Minor Lock Status is Reserved \r\n", c.frame));
}

void SequenceFinding(const FrameContext& c, uint32_t first, bool inSequence) {
    const bool inLock = c.MinorInLock();
    if (!inSequence) {
        c.Add(first, PcmFamily::FrameId,
              platform::Format("Error %u: at frame %d: FID = %d, FID is out of sequence \r\n", first, c.frame, c.fid));
        if (inLock)
            c.Add(first + 1, PcmFamily::MinorLock,
                  platform::Format("Error %u: at frame %d: FID = %d, FID is out of sequence but Minor Lock Status "
                                   "is InLock \r\n", first + 1, c.frame, c.fid));
    } else if (!inLock) {
        c.Add(first + 2, PcmFamily::MinorLock,
              platform::Format("Error %u: at frame %d, FID = %d: FID is in sequence but Minor Lock Status is not "
                               "InLock \r\n", first + 2, c.frame, c.fid));
    }
}

void CheckFrameId(const FrameContext& c, PcmSlotState& state) {
    const PCM_CHAN_INFO& r = c.in.record;
    const int fid = c.fid;
    const int init = static_cast<uint16_t>(r.IDCInitialValue), end = static_cast<uint16_t>(r.IDCEndValue);
    const bool down = r.IDCDirection == 1;
    const bool out = down ? (fid < end || fid > init) : (fid > end || fid < init);
    if (out) {
        c.Add(101, PcmFamily::FrameId,
              platform::Format("Error 101: at frame %d: FID = %d, FID is out of bound \r\n", c.frame, fid));
        if (c.MinorInLock())
            c.Add(102, PcmFamily::MinorLock,
                  platform::Format("Error 102: at frame %d: FID = %d, FID is out of bound but IPH's Minor Lock "
                                   "Status is InLock \r\n", c.frame, fid));
    }
    if (state.prevFrameId != -1) {
        if (state.prevFrameId == end)
            SequenceFinding(c, down ? 109 : 103, fid == init);
        else
            SequenceFinding(c, down ? 112 : 106, fid == state.prevFrameId + (down ? -1 : 1));
    }
    state.prevFrameId = fid;
}

void CheckFrameTime(const FrameContext& c, std::optional<double> t, uint64_t stamp, PcmSlotState& state) {
    const PCM_CHAN_INFO& r = c.in.record;
    const bool withFid = r.NumFrames >= 2;
    if (t && state.prevFrameTime != -1.0) {
        const double period = c.layout.framePeriod;
        const double tol = c.layout.timeTolerance;
        const double delta = std::fabs(*t - state.prevFrameTime);
        if (delta < period - tol || delta > period + tol) {
            const double expect = state.prevFrameTime + period;
            const double off = std::fabs(expect - *t);
            c.Add(withFid ? 115 : 96, PcmFamily::FrameTime,
                  withFid ? platform::Format("Error 115: at frame position %d: Frame ID = %d, Frame Relative Time "
                                             "Count recorded (%.0f), \r\n  differs from time computed (based on "
                                             "TMATS info) (%.0f), delta = (%.0f) (all expressed in 10th of "
                                             "microsecond) \r\n", c.frame, c.fid, *t, expect, off)
                          : platform::Format("Error 96: at frame position %d: Frame Relative Time Count recorded "
                                             "(%.0f), \r\n  differs from time computed (based on TMATS info) (%.0f) "
                                             ", delta = (%.0f) (all expressed in 10th of microsecond) \r\n",
                                             c.frame, *t, expect, off));
        }
    }
    state.prevFrameTime = t ? *t : -1.0;
    if (t) {
        const unsigned high = static_cast<unsigned>((stamp >> 48) & 0xFFFF);
        if (high != 0)
            c.Add(withFid ? 116 : 97, PcmFamily::FrameTime,
                  withFid ? platform::Format("Error 116: at frame %d: FID = %d, Bits 31-16 of MSLW IntraPacket "
                                             "TimeStamp are not zero filled = 0x%04x \r\n", c.frame, c.fid, high)
                          : platform::Format("Error 97: at frame %d: Bits 31-16 of MSLW IntraPacket TimeStamp are "
                                             "not zero filled = 0x%04x \r\n", c.frame, high));
    }
}

void CheckSimulated(const FrameContext& c, PcmSlotState& state) {
    const PCM_CHAN_INFO& r = c.in.record;
    int64_t base = r.SyncPatternLength / 8;
    if (base % 2 != 0) base -= 1;
    const int64_t first = base / 2;
    const bool hasFid = r.NumFrames > 1;
    if (state.prevSimValue == -1 && hasFid && r.FrameIDPosition == 1) {
        if (const auto w = c.fw.Word(first + 1)) state.prevSimValue = static_cast<int32_t>(*w) - 1;
    }
    for (int64_t k = 0; k < static_cast<int64_t>(r.NumWords) - 1; ++k) {
        const auto w = c.fw.Word(first + k);
        if (!w) break;
        if (state.prevSimValue == 0xFFFF) state.prevSimValue = -1;
        if (hasFid && k == r.FrameIDPosition - 1) continue;
        const int32_t expect = state.prevSimValue + 1;
        if (*w != expect)
            c.Add(hasFid ? 117 : 98, PcmFamily::SimData,
                  hasFid ? platform::Format("Error 117: at frame %d: FID = %d, Simulated value is out of order, "
                                            "recorded is %x, computed is %x \r\n", c.frame, c.fid,
                                            static_cast<unsigned>(*w), static_cast<unsigned>(expect))
                         : platform::Format("Error 98: at frame %d: Simulated value is out of order, recorded is "
                                            "%x, computed is %x \r\n", c.frame, static_cast<unsigned>(*w),
                                            static_cast<unsigned>(expect)));
        state.prevSimValue = *w;
    }
}

}  // namespace

uint32_t GetBits(std::span<const uint8_t> bytes, int64_t first, int64_t last) {
    if (first < 1 || last < first || last - first >= 32) return 0;
    if (static_cast<uint64_t>(last) > static_cast<uint64_t>(bytes.size()) * 8) return 0;
    uint32_t v = 0;
    for (int64_t bit = first; bit <= last; ++bit) {
        const uint8_t b = bytes[static_cast<std::size_t>((bit - 1) / 8)];
        v = (v << 1) | ((b >> (7 - (bit - 1) % 8)) & 1u);
    }
    return v;
}

int CheckPcmTmatsAttributes(const PCM_CHAN_INFO& r, uint8_t dataType, std::string& text) {
    if (dataType != ch10::Code(ch10::DataType::PcmF1)) return 0;
    const char* head = "Warning: TMATS info indicates that ";
    auto bad = [&](const char* name, const char* form, long long value) {
        text = head;
        text += name;
        text += " = ";
        text += platform::Format(form, value);
        text += " is invalid, packet's data validation is suppressed for this channel\r\n";
        return -1;
    };
    if (r.BitRate <= 0) return bad("BitRate", "%lld", r.BitRate);
    if (r.BitsInMinorFrame <= 0) return bad("BitsInMinorFrame", "%lld", r.BitsInMinorFrame);
    if (r.NumFrames <= 0) return bad("NumFrames", "%lld", r.NumFrames);
    if (r.NumWords <= 0) return bad("NumWords", "%lld", r.NumWords);
    if (r.SyncMask == 0) return bad("SyncMask", "%llX", r.SyncMask);
    if (r.SyncPattern == 0) return bad("SyncPattern", "%llX", r.SyncPattern);
    if (r.SyncPatternLength <= 0) return bad("SyncPatternLength", "%lld", r.SyncPatternLength);
    if (r.WordLength <= 0) return bad("WordLength", "%lld", r.WordLength);
    if (r.NumFrames == 1) return 0;
    if (r.FrameIDPosition <= 0 || r.FrameIDPosition > r.NumWords)
        return bad("FrameIDPosition", "%lld", r.FrameIDPosition);
    if (r.IDCLength <= 0) return bad("IDCLength", "%lld", r.IDCLength);
    if (r.IDCStartBit <= 0) return bad("IDCStartBit", "%lld", r.IDCStartBit);
    if (r.IDCWordLength <= 0) return bad("IDCWordLength", "%lld", r.IDCWordLength);
    return 0;
}

std::vector<PcmFinding> WalkPcmFrames(const PcmBodyInput& in, PcmSlotState& state) {
    std::vector<PcmFinding> out;
    const auto layout = FrameLayout(in);
    if (!layout) return out;
    const PCM_CHAN_INFO& r = in.record;
    const std::size_t iphSize = layout->align32 ? 12 : 10;
    std::optional<double> firstT, lastT;
    bool allTimed = true;
    int frame = 0;
    for (uint64_t data = layout->firstData;
         data + static_cast<uint64_t>(layout->frameBytes) <= layout->dataEnd;
         data += static_cast<uint64_t>(layout->step)) {
        ++frame;
        const std::size_t iph = static_cast<std::size_t>(data) - iphSize;
        const uint64_t stamp = in.view.U64(iph).value_or(0);
        const FrameWords fw{in.view, static_cast<std::size_t>(data), layout->dataEnd, layout->align32};
        FrameContext c{in, *layout, fw, frame, -1, in.view.U16(iph + 8).value_or(0), out};
        const std::optional<uint16_t> fid = r.NumFrames > 1 ? ReadFrameId(r, *layout, fw) : std::nullopt;
        if (fid) c.fid = *fid;
        CheckSync(c);
        CheckLockStatus(c);
        if (fid) CheckFrameId(c, state);
        const std::optional<double> t = IntraTimeTicks(in.header, stamp);
        CheckFrameTime(c, t, stamp, state);
        if (!t) allTimed = false;
        if (!firstT) firstT = t;
        lastT = t;
        if (in.checkSimulated && r.FrameVariant == 0) CheckSimulated(c, state);
    }
    if (frame > 1 && allTimed && firstT && lastT) {
        const double d = *lastT - *firstT;
        const double span = d / (frame - 1) + d;
        if (span > 1000000.0)
            out.push_back({118, PcmFamily::Span,
                           platform::Format("Error 118: Packet contains more than 100 milliseconds worth of data "
                                            "(%20d milsec) \r\n", platform::TruncateToInt32(span * 0.0001))});
    }
    return out;
}

void RaisePcmFindings(ErrorAccounting& errors, int slot, const std::vector<PcmFinding>& findings,
                      PcmSlotState& state, std::string& text) {
    std::array<int32_t, kPcmFamilies> packetCounts{};
    const int32_t maxP = errors.maxErrorsPerPacket.load(std::memory_order_relaxed);
    const int32_t maxC = errors.maxErrorsPerChannel.load(std::memory_order_relaxed);
    for (const PcmFinding& f : findings) {
        if (f.family == PcmFamily::Span) {
            if (errors.RaiseFinding(slot, f.number)) text += f.text;
            continue;
        }
        const auto i = static_cast<std::size_t>(f.family);
        int32_t& pc = packetCounts[i];
        int32_t& cc = state.channelCounts[i];
        switch (f.family) {
            case PcmFamily::MiBit:
            case PcmFamily::MaBit:
                // The detail count must not stop at the limit while other families count on.
                errors.TallyFinding(slot, f.number);
                if (cc < maxC && errors.CountError(slot, f.number) && pc <= maxP) {
                    text += f.text;
                    pc = maxP;
                    errors.NoteErrorLimit(pc, cc, text);
                }
                break;
            case PcmFamily::FrameTime:
            case PcmFamily::SimData:
                errors.TallyFinding(slot, f.number);
                ++pc;
                if (cc < maxC && pc <= maxP && errors.CountError(slot, f.number)) {
                    text += f.text;
                    if (pc == maxP) {
                        ++cc;
                        text += "   *** The occurrence of this error type met the limit in this packet, message "
                                "output is suppressed for remaining of packet data...\r\n";
                    }
                    if (cc == maxC) {
                        ++cc;
                        text += "****** The occurrence of this error type met the limit on this channel, message "
                                "output is suppressed for remaining of channel data ...\r\n";
                    }
                }
                break;
            default:
                if (errors.RaiseFinding(slot, f.number) && cc < maxC && pc <= maxP) {
                    text += f.text;
                    errors.NoteErrorLimit(pc, cc, text);
                }
                break;
        }
    }
}

}  // namespace vexa
