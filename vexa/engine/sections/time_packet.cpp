// Time correlation and the time checks: the counter step inside the data
// type section, the correlation of every packet with its group's last time
// packet, and the checks of time packets and of every other packet's counter.
#include "ch10/data_type.h"
#include "vexa/engine/check_sections.h"
#include "vexa/engine/finding_list.h"
#include "vexa/engine/run_context.h"

namespace vexa {

namespace {

bool IsTimePacket(const PacketContext& ctx) { return ctx.header.dataType == ch10::Code(ch10::DataType::TimeF1); }

}  // namespace

void StepRelativeTime(RunContext& run, PacketContext& ctx, TimeSectionState& s) {
    RtcStepResult r = CheckRtcStep(
        s, {.header = ctx.header, .group = ctx.group, .timeChannelSlot = run.streamRules.timeChannelSlot});
    run.listingInput.rtcDelta = r.rtcDelta;
    RaiseFindings(run.errors, ctx.slot, r.findings, *ctx.findings);
}

SectionResult CorrelateTime(RunContext& run, PacketContext& ctx, TimeSectionState& s,
                            const PreviousPacketState& previous) {
    const bool timePacket = IsTimePacket(ctx);
    const TimeWords words = timePacket ? ReadTimeWords(ctx.view, ctx.header) : TimeWords{};
    CorrelatePacketTime(s, {.header = ctx.header,
                            .words = words,
                            .groupRecord = previous.store.TimeRecordOf(ctx.group),
                            .timeChannelSlot = run.streamRules.timeChannelSlot});
    PacketListingInput& listing = run.listingInput;
    listing.makeTimeTexts = [&s](PacketListingInput& in) {
        in.relTimeText = s.RelTimeText();
        in.irigTimeText = s.ComputedTimeText();
    };
    listing.timePacketText = s.timePacketText;
    run.display.SetRelTime(static_cast<int64_t>(ctx.header.relativeTime));
    if (timePacket) run.display.SetText(DisplayText::irigTime, s.timePacketText);
    const int selected = run.runConfig.selectedChannel;
    if (selected != 0 && selected == ctx.header.channelId) {
        run.display.packetCountSelected.fetch_add(1, std::memory_order_relaxed);
        run.display.packetSeqSelected.store(ctx.header.sequence, std::memory_order_relaxed);
    }
    return SectionResult::Continue;
}

SectionResult CheckTimePacket(RunContext& run, PacketContext& ctx, TimeSectionState& s,
                              const PreviousPacketState& previous) {
    if (!IsTimePacket(ctx)) {
        RaiseFindings(run.errors, ctx.slot, CheckRtcReversed(ctx.header, previous.Selected(), ctx.channelSeen),
                      *ctx.findings);
        return SectionResult::Continue;
    }
    const TimeWords words = ReadTimeWords(ctx.view, ctx.header);
    const TimeRecord& record = previous.store.TimeRecordOf(ctx.group);
    RaiseFindings(run.errors, ctx.slot,
                  CheckTimePacket({.words = words, .groupRecord = record, .channelSeen = ctx.channelSeen}),
                  *ctx.findings);
    TimePacketRtcResult r = CheckTimePacketRtc(s, {.header = ctx.header,
                                                   .words = words,
                                                   .groupRecord = record,
                                                   .channelSeen = ctx.channelSeen,
                                                   .tolerance = run.TimePacketTolerance()});
    run.listingInput.timeDeviation = r.drift;
    RaiseFindings(run.errors, ctx.slot, r.findings, *ctx.findings);
    return SectionResult::Continue;
}

// The summary prints only the run's time texts and the slots' counter texts,
// which the stream rules keep: a slot has no last time texts of its own.
void StoreLastTimeTexts(RunContext&, const PacketContext&, NoState&) {}

void ResetTimeSection(RunContext&, TimeSectionState& s) { s.Reset(); }

}  // namespace vexa
