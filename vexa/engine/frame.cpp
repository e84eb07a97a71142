// The frame of the validator: sync search and resynchronisation, packet
// acceptance, carry-over of a partial packet, the channel table, the check
// sections in their fixed order and the end-of-packet bookkeeping.
#include <cinttypes>
#include <cstring>

#include "ch10/data_type.h"
#include "vexa/engine/check_sections.h"
#include "vexa/engine/header_checksum.h"
#include "platform/format.h"
#include "vexa/engine/validation_engine.h"

namespace vexa {

namespace {
constexpr uint32_t kLargestPacket = kReadBufferSize;  // a longer one could never be completed
}

bool ValidationEngine::OfInterest(uint16_t channelId, uint8_t dataType) const {
    const int selected = runConfig.selectedChannel;
    return dataType == ch10::Code(ch10::DataType::TimeF1) || selected == 0 || selected == channelId;
}

void ValidationEngine::PrefillChannelTable(const CHAN_INFO* info) {
    for (int s = 0; s < channelTableCount_; ++s) slotOfChannel_[channelTable_[static_cast<std::size_t>(s)]] = -1;
    channelTable_.fill(0);
    channelTable_[0] = 0;
    slotOfChannel_[0] = 0;
    int count = 1;
    if (info && info->Channels) {
        const int declared = info->ChannelCount < 0 ? 0 : info->ChannelCount;
        for (int i = 0; i < declared && count < kChannelTableSize; ++i, ++count) {
            const uint16_t id = info->Channels[i].ChannelID;
            channelTable_[static_cast<std::size_t>(count)] = id;
            if (slotOfChannel_[id] < 0) slotOfChannel_[id] = static_cast<int16_t>(count);
        }
    }
    channelTableCount_ = count;

    // Every channel entry counts for the TMATS checks, also past the table's room.
    tmatsChannels_ = TmatsChannels{};
    if (!info) return;
    tmatsChannels_.eventsEnabled = info->EventsEnabled != 0;
    tmatsChannels_.indexEnabled = info->IndexEnabled != 0;
    if (!info->Channels || info->ChannelCount <= 0) return;
    tmatsChannels_.entries.reserve(static_cast<std::size_t>(info->ChannelCount));
    for (int i = 0; i < info->ChannelCount; ++i)
        tmatsChannels_.entries.push_back(
            {info->Channels[i].DataType, info->Channels[i].ChannelID, info->Channels[i].Enable});
}

StreamEnv ValidationEngine::StreamEnvironment() {
    StreamEnv env{Errors(), tmatsChannels_, host_};
    env.outputs = &outputs_;
    env.listingNamesLock = &outputs_.namesLock;
    env.spaceDelimited = SpaceDelimited();
    env.selectedChannel = runConfig.selectedChannel;
    env.runPacketCount = runPacketCount_;
    env.tmatsTextPath = runConfig.tmatsTextPath;
    env.display = &display;
    env.noteWritten = [this](const std::string& path) { NoteWritten(path); };
    return env;
}

void ValidationEngine::ResetValidationState() {
    packetOffset_ = 0;
    readSize_ = static_cast<int>(kReadBufferSize);
    workBytes_ = workPos_ = carryOver_ = 0;
    workPending_ = false;
    for (int i = 0; i < 2; ++i) {
        bufferStatus_[i] = 0;
        bufferBytes_[i] = 0;
    }
    readerIndex_ = processorIndex_ = 0;
    for (int s = 0; s < channelTableCount_; ++s) slotOfChannel_[channelTable_[static_cast<std::size_t>(s)]] = -1;
    channelTable_.fill(0);
    channelTableCount_ = 0;
    channelSlot_ = 0;
    channelGroup_ = 0;
    channelSeen_.fill(false);
    runPacketCount_ = 0;
    lastPacketSlot_ = 0;
    Errors().RunReset();  // the error table, statistics, packet codes and the reset request
    shared_.listing.RunReset();
    for (ResetHook reset : SectionResets()) reset(*this);
}

int ValidationEngine::CarryFrom(uint32_t pos) {
    uint8_t* area = streamState.workArea.get();
    const uint32_t tail = workBytes_ - pos;
    if (tail && pos) std::memmove(area, area + pos, tail);
    carryOver_ = tail;
    workPos_ = 0;
    return 1;
}

// The packet [pos, pos + length) is consumed: 1 when it ends the data, else 0.
int ValidationEngine::ConsumeAndReturn(uint32_t pos, uint32_t packetLength) {
    packetOffset_ += packetLength;
    const uint64_t packetEnd = static_cast<uint64_t>(pos) + packetLength;
    if (packetEnd >= workBytes_) {
        carryOver_ = 0;
        workPos_ = 0;
        return 1;
    }
    workPos_ = static_cast<uint32_t>(packetEnd);
    return 0;
}

int ValidationEngine::ValidateNextPacket() {
    ErrorAccounting& errors = Errors();
    const uint8_t* area = streamState.workArea.get();
    const uint32_t end = workBytes_;
    uint32_t pos = workPos_;

    if (end - pos < ch10::kPacketHeaderSize) return CarryFrom(pos);

    // Findings of the sync search count against the channel of the bytes at
    // the expected position, or the previous packet's.
    {
        const int provisional = slotOfChannel_[ch10::ReadLe16(area + pos + 2)];
        if (provisional >= 0) channelSlot_ = provisional;
    }
    const int searchSlot = channelSlot_;

    bool continuationOwed = false;
    if (ch10::ReadLe16(area + pos) != ch10::kPacketSync) {
        errors.Bump(FormCounter::syncErrors);
        errors.chanSyncErrors[static_cast<std::size_t>(searchSlot)] += 1;
        if (errors.CountError(searchSlot, 39)) {
            std::string text = platform::Format(
                "Error 39: Expected start of packet sync pattern not found at offset 0x%x, ",
                static_cast<unsigned>(packetOffset_ & 0xFFFFFFFFu));
            if (!WriteLogLine(text)) return -1;
            continuationOwed = true;
        }
    }

    bool accepted = false;
    uint32_t p = pos;
    for (; static_cast<uint64_t>(p) + ch10::kPacketHeaderSize <= end; ++p) {
        const uint8_t* h = area + p;
        const bool sync = ch10::ReadLe16(h) == ch10::kPacketSync;
        if (!sync) {
            // Skip straight to the next byte that could start a sync word.
            const void* next = std::memchr(h + 1, 0x25, end - p - 1);
            uint32_t skipTo = next ? static_cast<uint32_t>(static_cast<const uint8_t*>(next) - area) : end;
            if (static_cast<uint64_t>(skipTo) + ch10::kPacketHeaderSize > end) skipTo = end - ch10::kPacketHeaderSize + 1;
            if (skipTo <= p) skipTo = p + 1;
            packetOffset_ += skipTo - p;
            p = skipTo - 1;
            continue;
        }
        const uint32_t packetLength = ch10::ReadLe32(h + 4);
        const uint32_t dataLength = ch10::ReadLe32(h + 8);
        bool checksumMessage = false;
        bool oversized = false;
        if (packetLength > ch10::kPacketHeaderSize) {
            if (CheckHeaderChecksum(h, checksumText_, searchSlot, packetOffset_, errors) == 0) {
                if (packetLength <= kLargestPacket) {
                    accepted = true;
                    break;
                }
                oversized = true;
            } else {
                checksumMessage = !checksumText_.empty();
            }
        }
        packetOffset_ += 1;
        const uint16_t id = ch10::ReadLe16(h + 2);
        if (OfInterest(id, h[15])) {
            if (oversized || static_cast<uint64_t>(packetLength) < static_cast<uint64_t>(dataLength) + 24) {
                errors.Bump(FormCounter::packetLenErrors);
                errors.chanPacketLenErrors[static_cast<std::size_t>(searchSlot)] += 1;
                if (errors.CountError(searchSlot, 43)) {
                    std::string text = platform::Format(
                        "Error 43: Found packet with channel ID of %d, at offset 0x%" PRIx64
                        ", with invalid Packet Length of %d, packet is skipped.\r\n",
                        static_cast<int>(id), packetOffset_ - 1, static_cast<int>(packetLength));
                    if (!WriteLogLine(text)) return -1;
                }
            } else if (checksumMessage) {
                if (!WriteLogLine(checksumText_)) return -1;
                errors.Bump(FormCounter::hdrChecksumErrors);
                errors.chanHdrChecksumErrors[static_cast<std::size_t>(searchSlot)] += 1;
            }
        }
    }

    if (accepted && continuationOwed) {
        errors.Bump(FormCounter::hdrChecksumErrors);
        errors.chanHdrChecksumErrors[static_cast<std::size_t>(searchSlot)] += 1;
        std::string text =
            platform::Format("found next sync pattern at offset 0x%x%s",
                             static_cast<unsigned>(packetOffset_ & 0xFFFFFFFFu),
                             packetOffset_ % 4 != 0 ? ", not a 4 byte boundary!\r\n" : "\r\n");
        if (!WriteLogLine(text)) return -1;
    }

    workPos_ = p;
    if (!accepted) return CarryFrom(p);
    const ch10::PacketHeader header = ch10::PacketHeader::DecodeUnchecked(area + p);
    if (static_cast<uint64_t>(p) + header.packetLength > end) return CarryFrom(p);

    // The packet is accepted and complete: its own error numbers start here.
    errors.BeginPacket();
    packetFindings_.clear();

    const int16_t known = slotOfChannel_[header.channelId];
    if (known >= 0) {
        channelSlot_ = known;
    } else if (channelTableCount_ >= kChannelTableSize) {
        PostBox("Error: Program unable to process more than 256 different channel IDs, this channel is ignored.",
                "", BoxIcon::None);
        return ConsumeAndReturn(p, header.packetLength);
    } else {
        const int slot = channelTableCount_++;
        channelTable_[static_cast<std::size_t>(slot)] = header.channelId;
        slotOfChannel_[header.channelId] = static_cast<int16_t>(slot);
        channelSlot_ = slot;
        errors.Bump(FormCounter::consistencyErrors);
        errors.chanConsistencyErrors[static_cast<std::size_t>(slot)] += 1;
        if (errors.CountError(slot, 174)) packetFindings_ += "Error 174: Channel ID not defined in TMATS\r\n";
    }

    int sourceBits = tmatsInfo_ ? tmatsInfo_->SourceBits : 0;
    if (sourceBits < 0 || sourceBits > 8) sourceBits = 0;  // one group
    channelGroup_ = static_cast<int>(static_cast<uint32_t>(header.channelId) >> (16 - sourceBits));
    secondaryHeaderLength_ = header.HasSecondaryHeader() ? static_cast<int>(ch10::kSecondaryHeaderSize) : 0;
    // The rules' "first packet of the run" reads this count, not the form's.
    ++runPacketCount_;
    lastPacketSlot_ = channelSlot_;
    display.packetCountAll.fetch_add(1, std::memory_order_relaxed);

    PacketContext ctx;
    ctx.header = header;
    ctx.view = ch10::PacketView::Of(area + p, end - p, header.packetLength);
    ctx.packetOffset = packetOffset_;
    ctx.slot = channelSlot_;
    ctx.group = channelGroup_;
    ctx.ofInterest = OfInterest(header.channelId, header.dataType);
    ctx.findings = &packetFindings_;

    listingInput = PacketListingInput{};
    listingInput.header = header;
    listingInput.view = ctx.view;
    listingInput.packetOffset = packetOffset_;
    listingInput.csdw = ch10::ChannelSpecificWord(ctx.view, header);
    listingInput.slot = channelSlot_;
    listingInput.firstOfSlot = !channelSeen_[static_cast<std::size_t>(channelSlot_)];

    auto runHooks = [&](std::span<const PacketHook> hooks) -> SectionResult {
        for (PacketHook hook : hooks) {
            SectionResult r = hook(*this, ctx);
            if (r != SectionResult::Continue) return r;
        }
        return SectionResult::Continue;
    };

    SectionResult r = runHooks(SectionsBeforeScanExit());
    if (r == SectionResult::Fail) return -1;
    if (r == SectionResult::SkipRest) return ConsumeAndReturn(p, header.packetLength);

    if (streamState.playState != kScanning) {
        r = runHooks(SectionsBeforeInterestExit());
        if (r == SectionResult::Fail) return -1;
        if (r == SectionResult::SkipRest) return ConsumeAndReturn(p, header.packetLength);
        if (ctx.ofInterest) {
            r = runHooks(SectionsOfInterest());
            if (r == SectionResult::Fail) return -1;
            if (r == SectionResult::SkipRest) return ConsumeAndReturn(p, header.packetLength);
            listingInput.findingText = packetFindings_;
            ListingOptions options;
            options.listAllPackets = runConfig.listAllPackets != 0;
            options.validateBodies = runConfig.validateBodies != 0;
            options.listingOn = streamState.listingOn;
            options.spaceDelimited = SpaceDelimited();
            if (ListPacket(listingInput, options, outputs_, errors, shared_.listing, host_) < 0) return -1;
        }
    }

    channelSeen_[static_cast<std::size_t>(channelSlot_)] = true;
    for (EndOfPacketHook store : EndOfPacketStore()) store(*this, ctx);
    // The form's Reset clears the summary's data-length totals with the statistics.
    if (errors.HonourResetRequest()) streamRules.ClearSummaryTotals();
    return ConsumeAndReturn(p, header.packetLength);
}

}  // namespace vexa
