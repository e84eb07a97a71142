#include "time_reference.h"

#include "ch10/data_type.h"
#include "channel_walk.h"
#include "sandral_state.h"
#include "time_convert.h"

namespace sandral {

namespace {

TimeState& Time() { return State().time; }

// Ticks that do not fit int64 wrap as the 32-bit Windows build converted them.
int64_t AsSigned(uint64_t v) { return static_cast<int64_t>(v); }

char* PutRelativeToIrig(char* o, double usec) {
    const TimeState& t = Time();
    double time = usec - t.timeRefRtc[t.currentGroup] + t.timeRefIrig[t.currentGroup];
    if (time < 0) time = 0;
    return put_usec_time(o, time);
}

}  // namespace

void SetGroupBits(const CHAN_INFO* record) {
    TimeState& t = Time();
    int bits = record ? record->SourceBits : 0;
    if (bits < 0 || bits > 8) bits = 0;
    t.groupMask = bits == 0 ? 0 : static_cast<uint16_t>(0xFFFFu << (16 - bits));
    t.groupShift = 16 - bits;
}

uint16_t GroupOf(uint16_t channelId) {
    const TimeState& t = Time();
    return static_cast<uint16_t>((channelId & t.groupMask) >> t.groupShift);
}

void update_time_reference(const ch10::PacketView& view, const ch10::PacketHeader& header, TimeScan scan) {
    TimeState& t = Time();
    if (header.channelId != 0) t.currentGroup = GroupOf(header.channelId);
    else if (scan == TimeScan::Walk) t.currentGroup = 0;
    const std::size_t at = ch10::ChannelSpecificWordOffset(header);
    if (!view.Has(at, 10)) return;
    const uint32_t csdw = *view.U32(at);
    const BcdTime data{*view.U16(at + 4), *view.U16(at + 6), *view.U16(at + 8)};
    const uint16_t g = t.currentGroup;
    t.timeRefCsdw[g] = csdw;
    t.timeRefIrig[g] = irig_time_to_usec(csdw, data);
    t.timeRefValid[g] = 1;
    t.timeRefRtc[g] = packet_rtc_to_usec(header);
}

ComputedTime compute_packet_irig_time(const ch10::PacketHeader& header) {
    TimeState& t = Time();
    if (header.channelId != 0) t.currentGroup = GroupOf(header.channelId);
    const uint16_t g = t.currentGroup;
    const double rtc = packet_rtc_to_usec(header);
    if (!t.timeRefValid[g]) FindReferenceBackward(g, header.channelId == 0);
    double time = 0;
    t.deltaTimeMs = 0;
    const bool had = t.timeRefValid[g] != 0;
    if (had) {
        time = (rtc - t.timeRefRtc[g]) + t.timeRefIrig[g];
        if (t.showDeltaTime) t.deltaTimeMs = (time - t.previousPacketTime) / 1000;
    }
    t.packetIrigTime = time;
    t.lastHadReference = had;
    return {format_usec_time(time), had};
}

void FindReferenceBackward(uint16_t group, bool anyGroup) {
    TimeState& t = Time();
    const BrowseState& b = State().browse;
    // Time packets passed move currentGroup; the packet being timed keeps its own.
    const uint16_t keep = t.currentGroup;
    const WalkCounts isReference = [group, anyGroup](const ch10::PacketHeader& h) {
        if (h.dataType != ch10::Code(ch10::DataType::TimeF1)) return false;
        return anyGroup || (h.channelId == 0 ? 0 : GroupOf(h.channelId)) == group;
    };
    WalkBackward(b.seekPath.empty() ? b.recordingPath : b.seekPath, b.currentOffset, 1, isReference);
    t.currentGroup = keep;
}

char* put_ipts_time(char* o, uint64_t stamp) { return PutRelativeToIrig(o, rtc_ticks_to_usec(AsSigned(stamp))); }

std::string ipts_to_irig_text(uint64_t stamp) {
    char text[kUsecTimeRoom];
    return std::string(text, put_ipts_time(text, stamp));
}

char* put_1553_message_time(char* o, uint64_t stamp, int wordCount, int timeTagMode, uint16_t gapWord, bool rtToRt) {
    double usec;
    if (timeTagMode == 3) {
        usec = static_cast<double>(AsSigned(stamp));
    } else {
        usec = rtc_ticks_to_usec(AsSigned(stamp));
        if (timeTagMode == 0) {
            const int gap1 = (gapWord & 0xFF) / 10;
            const int gap2 = rtToRt ? (gapWord >> 8) / 10 : 0;
            usec -= static_cast<double>(static_cast<int64_t>(wordCount) * 20 + gap1 + gap2);
        } else if (timeTagMode == 2) {
            usec -= 20;
        }
    }
    return PutRelativeToIrig(o, usec);
}

std::string time_1553_message(uint64_t stamp, int wordCount, int timeTagMode, uint16_t gapWord, bool rtToRt) {
    char text[kUsecTimeRoom];
    return std::string(text, put_1553_message_time(text, stamp, wordCount, timeTagMode, gapWord, rtToRt));
}

void ClearTimeReferenceFlags() { Time().timeRefValid.fill(0); }

void ResetTimeReferences() {
    TimeState& t = Time();
    t.timeRefValid.fill(0);
    t.timeRefCsdw.fill(0);
    t.timeRefIrig.fill(0);
    t.timeRefRtc.fill(-1.0);
    t.printedBefore = false;
    t.showDeltaTime = false;
    t.packetIrigTime = 0;
    t.previousPacketTime = 0;
}

void ClearPacketTimeMemory() {
    Time().printedBefore = false;
    Time().showDeltaTime = false;
}

}  // namespace sandral
