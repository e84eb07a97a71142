#pragma once
// The time section's own state and its pure steps: the counter step between
// packets (Error 5), the correlation of every packet with its group's last
// time packet, the content and spacing of time packets and the reversed
// counter of a channel (Error 133).
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "vexa/engine/finding_list.h"
#include "ch10/packet_header.h"
#include "ch10/packet_view.h"
#include "vexa/engine/previous_packets.h"
#include "vexa/engine/time_units.h"

namespace vexa {

// A time packet's data word and two time words. Bytes outside the view read
// as 0; `wordsHeld` says whether all twelve bytes were there.
struct TimeWords {
    uint32_t csdw = 0;
    uint32_t word0 = 0;
    uint32_t word1 = 0;
    bool wordsHeld = false;
};
TimeWords ReadTimeWords(const ch10::PacketView& view, const ch10::PacketHeader& header);

struct TimeSectionState {
    std::array<double, kTimeGroups> highestRtc{};  // 0: none yet
    IntraStampTimes stamps;                        // last intra-packet stamp per slot
    double expectedCounter = 0;                    // one for the run, not per group
    double drift = 0;
    double timeStep = 0;
    std::string timePacketText;    // the latest time packet's own time, the run's last
    std::string firstTimePacketText;

    // This packet's counter and the IRIG time of the last packet correlated,
    // as listing texts. Made on first use: most packets are never listed.
    std::string_view RelTimeText();
    std::string_view ComputedTimeText();
    void SetRelTime(uint64_t ticks);
    void SetComputedUsec(double usec);

    void Reset();

private:
    uint64_t relTime_ = 0;
    double computedUsec_ = 0;
    bool relTextMade_ = true;  // the texts follow the values
    bool computedTextMade_ = true;
    std::string relTimeText_;
    std::string computedTimeText_;
};

// --- counter step (Error 5) -------------------------------------------------
struct RtcStepInput {
    const ch10::PacketHeader& header;
    int group = 0;
    int timeChannelSlot = -1;
};
struct RtcStepResult {
    FindingList findings;
    std::optional<double> rtcDelta;  // only when a time channel exists
};
RtcStepResult CheckRtcStep(TimeSectionState& s, const RtcStepInput& in);

// --- correlation ------------------------------------------------------------
struct CorrelationInput {
    const ch10::PacketHeader& header;
    const TimeWords& words;          // read for time packets only
    const TimeRecord& groupRecord;   // the group's previous time packet
    int timeChannelSlot = -1;
};
// The relative time text, a time packet's text and the time step, and the
// computed IRIG time of any other packet.
void CorrelatePacketTime(TimeSectionState& s, const CorrelationInput& in);

// --- time packets -----------------------------------------------------------
struct TimePacketInput {
    const TimeWords& words;
    const TimeRecord& groupRecord;
    bool channelSeen = false;
};
FindingList CheckTimePacket(const TimePacketInput& in);

struct TimePacketRtcInput {
    const ch10::PacketHeader& header;
    const TimeWords& words;
    const TimeRecord& groupRecord;
    bool channelSeen = false;
    int32_t tolerance = 5;  // in microseconds: x 10 ticks
};
struct TimePacketRtcResult {
    FindingList findings;
    std::optional<double> drift;  // only when the expected counter advanced
};
TimePacketRtcResult CheckTimePacketRtc(TimeSectionState& s, const TimePacketRtcInput& in);

// --- any other packet ---------------------------------------------------------
// `previous` is the slot's record of the packet's family.
FindingList CheckRtcReversed(const ch10::PacketHeader& header, const PreviousRecord& previous, bool channelSeen);

}  // namespace vexa
