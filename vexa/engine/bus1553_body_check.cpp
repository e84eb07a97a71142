#include "vexa/engine/bus1553_body_check.h"

#include <algorithm>
#include <utility>
#include <optional>

#include "ch10/little_endian.h"
#include "platform/format.h"
#include "platform/numbers.h"
#include "vexa/engine/channel_word_checks.h"
#include "vexa/engine/time_units.h"

namespace vexa {

namespace {

constexpr uint16_t kBusB = 1u << 13, kMe = 1u << 12, kRtRt = 1u << 11, kFe = 1u << 10, kTm = 1u << 9;
constexpr uint16_t kLe = 1u << 5, kSe = 1u << 4, kWe = 1u << 3;

struct StatusBit {
    uint16_t mask;
    uint32_t number;
    const char* line;
};
constexpr StatusBit kStatusBits[] = {
    {kMe, 119, "Error 119: ME - Message Error \r\n"},   {kFe, 120, "Error 120: FE - Format \r\n"},
    {kTm, 121, "Error 121: TM - Response Timeout \r\n"}, {kLe, 122, "Error 122: LE - Word Count \r\n"},
    {kSe, 123, "Error 123: SE - Incorrect Sync Type \r\n"}, {kWe, 124, "Error 124: WE - Invalid Word \r\n"},
};

// One message's words, read only inside the message: `count` words from
// `start` lie inside the view.
struct MessageWords {
    const ch10::PacketView& view;
    std::size_t start = 0;
    std::size_t count = 0;
    uint16_t At(std::size_t i) const { return i < count ? ch10::ReadLe16(view.data() + start + 2 * i) : 0; }
};

void AddGapFindings(std::vector<Bus1553Finding>& out, int msg, const BusMessageHeader& h) {
    const int gap1 = h.gapTimes & 0xFF, gap2 = h.gapTimes >> 8;
    if (gap1 < 35 || gap1 > 125)
        out.push_back({125, Bus1553Family::Gap,
                       platform::Format("Error 125: at message %d, Message Gap Time 1 of %d 10th of microsec is out "
                                        "of bus 1553B spec limits (4-12 microsec) \r\n", msg, gap1)});
    if ((h.blockStatus & kRtRt) && (gap2 < 35 || gap2 > 125))
        out.push_back({126, Bus1553Family::Gap,
                       platform::Format("Error 126: at message %d, Message Gap Time 2 of %d 10th of microsec is out "
                                        "of bus 1553B spec limits (4-12 microsec) \r\n", msg, gap2)});
}

void AddByteCount(std::vector<Bus1553Finding>& out, int msg, int words, const BusMessageHeader& h) {
    if (h.blockStatus & kMe) return;
    const int expected = 2 * words, recorded = h.length;
    if (recorded < expected)
        out.push_back({127, Bus1553Family::ByteCount,
                       platform::Format("Error 127: at message %d, expected byte count of %d is greater than "
                                        "recorded byte count of %d \r\n", msg, expected, recorded)});
    else if (recorded > expected)
        out.push_back({128, Bus1553Family::ByteCount,
                       platform::Format("Error 128: at message %d, expected byte count of %d is less than recorded "
                                        "byte count of %d \r\n", msg, expected, recorded)});
}

constexpr uint16_t kStatusErrors = kMe | kFe | kTm | kLe | kSe | kWe;

// The set bits are counted before any other finding of the message, so a
// packet's first counted numbers start with them; their listing comes later.
void CountBlockStatus(std::vector<Bus1553Finding>& out, uint16_t status) {
    if ((status & kStatusErrors) == 0) return;  // the common case, every message
    for (const StatusBit& b : kStatusBits)
        if (status & b.mask) out.push_back({b.number, Bus1553Family::StatusBit, ""});
}

void ListBlockStatus(std::vector<Bus1553Finding>& out, int msg, uint16_t status) {
    if ((status & kStatusErrors) == 0) return;
    std::string text = platform::Format("Error: at message %d, following Block Status Word error bit(s) is/are "
                                        "set: \r\n", msg);
    for (const StatusBit& b : kStatusBits)
        if (status & b.mask) text += b.line;
    out.push_back({0, Bus1553Family::BlockStatus, std::move(text)});
}

std::string Dump(int msg, const TransferType& t, const MessageWords& w) {
    std::string text = platform::Format("  Message %d (%s): \r\n  ", msg, t.name);
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(t.words), w.count);
    for (std::size_t i = 0; i < n; ++i) {
        platform::AppendFormat(text, "%04x ", w.At(i));
        if (i == 20) text += "\r\n  ";
    }
    text += "\r\n";
    return text;
}

void AddSimulated(std::vector<Bus1553Finding>& out, int msg, const TransferType& t, const MessageWords& w,
                  int32_t& prev) {
    for (int k = 0; k < t.dataWords; ++k) {
        const auto pos = static_cast<std::size_t>(t.firstData + k);
        if (pos >= w.count) break;
        const uint16_t word = w.At(pos);
        if (prev == -1) prev = static_cast<int32_t>(word) - 1;
        if (prev == 95) prev = -1;
        if (word != prev + 1)
            out.push_back({131, Bus1553Family::SimData,
                           platform::Format("Error 131: at message %d, Simulated value is out of order, recorded is "
                                            "%x, computed is %x \r\n", msg, static_cast<unsigned>(word),
                                            static_cast<unsigned>(prev + 1)) + Dump(msg, t, w)});
        prev = word;
    }
}

// The start (first message) or end (last message) of the packet's data.
double SpanPoint(double t, int tt, int words, uint16_t gapTimes, bool start) {
    const double gap1 = gapTimes & 0xFF, gap2 = gapTimes >> 8;
    if (start) {
        if (tt == 0) return t - (gap2 + 200.0 * words + gap1);
        if (tt == 2) return t - (gap2 + 200.0 + gap1);
        return t;
    }
    if (tt == 1) return t + gap1 + gap2 + 200.0 * words;
    if (tt == 2) return t + gap1 + gap2 - 200.0 + 200.0 * words;
    return t;
}

}  // namespace

Bus1553BodyPass Open1553Body(const Bus1553Input& in, int32_t prevSimValue) {
    Bus1553BodyPass pass;
    pass.checkSimulated = in.checkSimulated;
    pass.prevSimValue = prevSimValue;
    const std::size_t csdwAt = ch10::ChannelSpecificWordOffset(in.header);
    pass.dataEnd = std::min<uint64_t>(static_cast<uint64_t>(csdwAt) + in.header.dataLength, in.view.size());
    return pass;
}

namespace {

bool GapOutOfLimits(int gap) { return gap < 35 || gap > 125; }

// Whether the message has anything to say: the checks below in one test,
// so that the common clean message makes no finding machinery run.
bool MessageMayFind(const BusMessageHeader& h, int words, bool timed) {
    const bool gaps = GapOutOfLimits(h.gapTimes & 0xFF) || ((h.blockStatus & kRtRt) && GapOutOfLimits(h.gapTimes >> 8));
    const bool bytes = !(h.blockStatus & kMe) && h.length != 2 * words;
    const bool high = timed && (h.stamp >> 48) != 0;
    return (h.blockStatus & kStatusErrors) != 0 || gaps || bytes || high;
}

[[gnu::noinline]] void AddMessageFindings(Bus1553BodyPass& pass, int msg, const BusMessageHeader& h,
                                          const TransferType& type, const MessageWords& words, bool timed) {
    std::vector<Bus1553Finding>& out = pass.findings;
    CountBlockStatus(out, h.blockStatus);
    AddGapFindings(out, msg, h);
    AddByteCount(out, msg, type.words, h);
    ListBlockStatus(out, msg, h.blockStatus);
    if (timed && ((h.stamp >> 48) & 0xFFFF) != 0)
        out.push_back({129, Bus1553Family::TimeStamp,
                       platform::Format("Error 129: at message %d, Bits 31-16 of MSLW IntraPacket TimeStamp are "
                                        "not zero filled = 0x%04x \r\n", msg,
                                        static_cast<unsigned>((h.stamp >> 48) & 0xFFFF))});
    // A mode-code message or a simulated stop carries no simulated data.
    if (pass.checkSimulated && words.count >= 1 && !type.modeCode && words.At(0) != 0x26A2)
        AddSimulated(out, msg, type, words, pass.prevSimValue);
}

}  // namespace

bool Step1553Body(Bus1553BodyPass& pass, const Bus1553Input& in, uint32_t index, uint64_t at,
                  const BusMessageHeader& h) {
    if (!pass.open || at + kBusMessageHeaderSize > pass.dataEnd) {
        pass.open = false;
        return false;
    }
    const uint64_t dataAt = at + kBusMessageHeaderSize;
    const uint64_t msgEnd = std::min<uint64_t>(dataAt + h.length, pass.dataEnd);
    const MessageWords words{in.view, static_cast<std::size_t>(dataAt), static_cast<std::size_t>((msgEnd - dataAt) / 2)};
    (h.blockStatus & kBusB) ? ++pass.busB : ++pass.busA;
    const bool hasCommand = words.count >= 1;
    const TransferType type = hasCommand ? DecodeTransfer(words.At(0), (h.blockStatus & kRtRt) != 0)
                                         : TransferType{"", 1, false, 0, 0};
    const std::optional<double> t = IntraTimeTicks(in.header, h.stamp);
    if (pass.checkSimulated || MessageMayFind(h, type.words, t.has_value()))
        AddMessageFindings(pass, static_cast<int>(index + 1), h, type, words, t.has_value());
    if (t) {
        // The span needs the first and the last message only.
        pass.last = Bus1553BodyPass::SpanMessage{*t, hasCommand ? type.words : 0, h.gapTimes};
        if (!pass.spanned) pass.first = pass.last;
        pass.spanned = true;
    } else {
        pass.timed = false;
    }
    return true;
}

void Finish1553Body(Bus1553BodyPass& pass, const Bus1553Input& in) {
    const int tt = static_cast<int>(in.csdw >> 30);
    if (pass.timed && pass.spanned) {
        const double start = SpanPoint(pass.first.t, tt, pass.first.words, pass.first.gapTimes, true);
        const double end = SpanPoint(pass.last.t, tt, pass.last.words, pass.last.gapTimes, false);
        if (end - start > 1000000.0)
            pass.findings.push_back(
                {11, Bus1553Family::Span,
                 platform::Format("Error 11: Packet contains more than 100 milliseconds worth of data "
                                  "(%20d milsec) \r\n", platform::TruncateToInt32((end - start) * 0.0001))});
    }
    pass.complete = true;
}

void Apply1553Pass(const Bus1553BodyPass& pass, Bus1553SlotState& state, int32_t& prevSimValue) {
    state.busA += pass.busA;
    state.busB += pass.busB;
    prevSimValue = pass.prevSimValue;
}

std::vector<Bus1553Finding> Walk1553Messages(const Bus1553Input& in, Bus1553SlotState& state,
                                             int32_t& prevSimValue) {
    Bus1553BodyPass pass = Open1553Body(in, prevSimValue);
    const uint32_t count = in.csdw & 0xFFFFFF;
    uint64_t at = ch10::ChannelSpecificWordOffset(in.header) + 4;
    for (uint32_t i = 0; i < count; ++i) {
        const auto h = ReadBusMessageHeader(in.view, static_cast<std::size_t>(at));
        if (!h || !Step1553Body(pass, in, i, at, *h)) break;
        at += kBusMessageHeaderSize + h->length;
    }
    Finish1553Body(pass, in);
    Apply1553Pass(pass, state, prevSimValue);
    return std::move(pass.findings);
}

void RaiseBus1553Findings(ErrorAccounting& errors, int slot, const std::vector<Bus1553Finding>& findings,
                          Bus1553SlotState& state, std::string& text) {
    if (slot < 0 || slot >= kChannelSlots) return;
    const auto s = static_cast<std::size_t>(slot);
    std::array<int32_t, kBus1553Families> packetCounts{};
    const int32_t maxP = errors.maxErrorsPerPacket.load(std::memory_order_relaxed);
    const int32_t maxC = errors.maxErrorsPerChannel.load(std::memory_order_relaxed);
    for (const Bus1553Finding& f : findings) {
        if (f.family == Bus1553Family::StatusBit) {
            errors.RaiseFinding(slot, f.number);  // counted whatever the limits
            continue;
        }
        if (f.family == Bus1553Family::Span) {
            ++errors.chanTimeErrors[s];
            if (errors.CountError(slot, f.number)) text += f.text;
            continue;
        }
        const auto i = static_cast<std::size_t>(f.family);
        int32_t& pc = packetCounts[i];
        int32_t& cc = state.channelCounts[i];
        bool allowed = true;
        if (f.family == Bus1553Family::BlockStatus)
            ++errors.Chan(Detail::chanBlockStatusErrors)[s];
        else
            allowed = errors.RaiseFinding(slot, f.number) != 0;
        ++pc;
        if (!allowed || cc >= maxC || pc > maxP) continue;
        text += f.text;
        if (pc == maxP) {
            ++cc;
            text += "   *** The occurrence of this error type met the limit in this packet, message output is "
                    "suppressed for remaining of packet data...\r\n";
        }
        if (cc == maxC) {
            ++cc;
            text += "****** The occurrence of this error type met the limit on this channel, message output is "
                    "suppressed for remaining of channel data ...\r\n";
        }
        if (f.family == Bus1553Family::ByteCount)
            text += "Error 172: Block Status is not indicating an error in the message \r\n";
    }
}

}  // namespace vexa
