// Previous-packet records: the look-up of the packet's record, the
// differs-from-previous checks against it, and the store at the end of
// every packet that completes.
#include "ch10/data_type.h"
#include "vexa/engine/check_sections.h"
#include "vexa/engine/differs_checks.h"
#include "vexa/engine/finding_list.h"
#include "vexa/engine/run_context.h"

namespace vexa {

SectionResult LookUpPreviousPacket(RunContext&, PacketContext& ctx, PreviousPacketState& s) {
    s.selected = &s.store.Select(ctx.slot, ctx.group, ctx.header.dataType);
    return SectionResult::Continue;
}

SectionResult CheckDiffersFromPrevious(RunContext& run, PacketContext& ctx, PreviousPacketState& s) {
    const std::size_t at = ch10::ChannelSpecificWordOffset(ctx.header);
    const FindingList f = CheckDiffersFromPrevious({.header = ctx.header,
                                                    .csdw = ctx.view.U32OrZeros(at),
                                                    .csdwHeld = ctx.view.Has(at, 4),
                                                    .previous = s.Selected(),
                                                    .channelSeen = ctx.channelSeen});
    RaiseFindings(run.errors, ctx.slot, f, *ctx.findings);
    return SectionResult::Continue;
}

// Every packet that reaches the end, checked or not, becomes the previous
// one of its record; bytes outside the packet are stored as 0.
void StorePreviousPacket(RunContext&, const PacketContext& ctx, PreviousPacketState& s) {
    if (ctx.header.dataType == ch10::Code(ch10::DataType::TimeF1)) {
        const TimeWords w = ReadTimeWords(ctx.view, ctx.header);
        s.store.Store(ctx.slot, ctx.group, ctx.header, w.csdw, w.word0, w.word1);
    } else {
        s.store.Store(ctx.slot, ctx.group, ctx.header, ch10::ChannelSpecificWord(ctx.view, ctx.header));
    }
    s.selected = nullptr;
}

void ResetPreviousPacketSection(RunContext&, PreviousPacketState& s) { s.Reset(); }

}  // namespace vexa
