// The frame's walk over an accepted, complete packet: its channel slot and
// group, the check sections' rows stage by stage, the listing step and the
// end-of-packet stores.
#include "ch10/packet_view.h"
#include "vexa/engine/frame.h"

namespace vexa {

bool Frame::TakeSlot(const ch10::PacketHeader& header) {
    const int16_t known = slotOfChannel_[header.channelId];
    if (known >= 0) {
        channelSlot_ = known;
    } else if (channelTableCount_ >= kChannelTableSize) {
        run_.host.PostBox(
            "Error: Program unable to process more than 256 different channel IDs, this channel is ignored.", "",
            BoxIcon::None);
        return false;
    } else {
        const int slot = channelTableCount_++;
        channelTable_[static_cast<std::size_t>(slot)] = header.channelId;
        slotOfChannel_[header.channelId] = static_cast<int16_t>(slot);
        channelSlot_ = slot;
        if (run_.errors.RaiseFinding(slot, 174)) packetFindings_ += "Error 174: Channel ID not defined in TMATS\r\n";
    }

    int sourceBits = run_.tmatsInfo ? run_.tmatsInfo->SourceBits : 0;
    if (sourceBits < 0 || sourceBits > 8) sourceBits = 0;  // one group
    channelGroup_ = static_cast<int>(static_cast<uint32_t>(header.channelId) >> (16 - sourceBits));
    secondaryHeaderLength_ = static_cast<int>(header.SecondaryHeaderLength());
    // The rules' "first packet of the run" reads this count, not the form's.
    ++run_.runPacketCount;
    run_.lastPacketSlot = channelSlot_;
    run_.display.packetCountAll.fetch_add(1, std::memory_order_relaxed);
    return true;
}

SectionResult Frame::RunStage(SectionStage stage, PacketContext& ctx) {
    for (const SectionRow& row : SectionRows()) {
        if (row.stage != stage || !row.check) continue;
        const SectionResult r = row.check(run_, ctx, states_);
        if (r != SectionResult::Continue) return r;
    }
    return SectionResult::Continue;
}

int Frame::WalkSections(uint32_t at, const ch10::PacketHeader& header) {
    const uint8_t* area = data_;
    PacketContext ctx;
    ctx.header = header;
    ctx.view = ch10::PacketView::Of(area + at, workBytes_ - at, header.packetLength);
    ctx.packetOffset = packetOffset_;
    ctx.slot = channelSlot_;
    ctx.group = channelGroup_;
    ctx.ofInterest = OfInterest(header.channelId, header.dataType);
    ctx.channelSeen = channelSeen_[static_cast<std::size_t>(channelSlot_)];
    ctx.findings = &packetFindings_;

    PacketListingInput& listing = run_.listingInput;
    listing = PacketListingInput{};
    listing.header = header;
    listing.view = ctx.view;
    listing.packetOffset = packetOffset_;
    listing.csdw = ch10::ChannelSpecificWord(ctx.view, header);
    listing.slot = channelSlot_;
    listing.firstOfSlot = !ctx.channelSeen;

    // A stage's SkipRest consumes the packet without its remaining steps.
    auto stageEnds = [&](SectionStage stage, int& result) {
        const SectionResult r = RunStage(stage, ctx);
        if (r == SectionResult::Continue) return false;
        result = r == SectionResult::Fail ? -1 : ConsumeAndReturn(at, header.packetLength);
        return true;
    };
    int result = 0;
    if (stageEnds(SectionStage::BeforeScanExit, result)) return result;
    if (run_.streamState.playState != kScanning) {
        if (stageEnds(SectionStage::BeforeInterestExit, result)) return result;
        if (ctx.ofInterest) {
            if (stageEnds(SectionStage::OfInterest, result)) return result;
            listing.findingText = packetFindings_;
            ListingOptions options;
            options.listAllPackets = run_.runConfig.listAllPackets != 0;
            options.validateBodies = run_.runConfig.validateBodies != 0;
            options.listingOn = run_.streamState.listingOn;
            options.spaceDelimited = run_.SpaceDelimited();
            if (ListPacket(listing, options, run_.outputs, run_.errors, run_.listing, run_.host) < 0) return -1;
        }
    }

    channelSeen_[static_cast<std::size_t>(channelSlot_)] = true;
    for (const SectionRow& row : SectionRows())
        if (row.endOfPacket) row.endOfPacket(run_, ctx, states_);
    // The form's Reset clears the summary's data-length totals with the statistics.
    if (run_.errors.HonourResetRequest()) {
        run_.streamRules.ClearSummaryTotals();
        if (run_.listing.bodyChecks) run_.listing.bodyChecks->ClearStatistics();
    }
    return ConsumeAndReturn(at, header.packetLength);
}

}  // namespace vexa
