#include "vexa/engine/frame.h"

#include <cstring>

#include "ch10/data_type.h"

namespace vexa {

Frame::Frame(RunContext& run) : run_(run), slotOfChannel_(65536, -1) {}

bool Frame::OfInterest(uint16_t channelId, uint8_t dataType) const {
    const int selected = run_.runConfig.selectedChannel;
    return dataType == ch10::Code(ch10::DataType::TimeF1) || selected == 0 || selected == channelId;
}

void Frame::ClearChannelTable() {
    for (int s = 0; s < channelTableCount_; ++s) slotOfChannel_[channelTable_[static_cast<std::size_t>(s)]] = -1;
    channelTable_.fill(0);
    channelTableCount_ = 0;
}

void Frame::PrefillChannelTable(const CHAN_INFO* info) {
    ClearChannelTable();
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
    run_.SetTmatsChannels(info);
}

void Frame::Reset() {
    packetOffset_ = 0;
    workBytes_ = workPos_ = carryOver_ = 0;
    workPending_ = false;
    ClearChannelTable();
    channelSlot_ = 0;
    channelGroup_ = 0;
    channelSeen_.fill(false);
    run_.runPacketCount = 0;
    run_.lastPacketSlot = 0;
    run_.errors.RunReset();  // the error table, statistics, packet codes and the reset request
    run_.listing.RunReset();
    for (const SectionRow& row : SectionRows())
        if (row.reset) row.reset(run_, states_);
}

void Frame::EmptyWorkArea() {
    workBytes_ = workPos_ = carryOver_ = 0;
    workPending_ = false;
}

bool Frame::Load(const uint8_t* buffer, uint32_t count) {
    if (count > kReadBufferSize || carryOver_ + count > kWorkAreaSize) return false;
    workPending_ = true;
    std::memcpy(run_.streamState.workArea.get() + carryOver_, buffer, count);
    workBytes_ = count + carryOver_;
    carryOver_ = 0;
    workPos_ = 0;
    return true;
}

void Frame::DropCarryOver() {
    carryOver_ = 0;
    workPending_ = false;
}

int Frame::CarryFrom(uint32_t pos) {
    uint8_t* area = run_.streamState.workArea.get();
    const uint32_t tail = workBytes_ - pos;
    if (tail && pos) std::memmove(area, area + pos, tail);
    carryOver_ = tail;
    workPos_ = 0;
    return 1;
}

// The packet [pos, pos + length) is consumed: 1 when it ends the data, else 0.
int Frame::ConsumeAndReturn(uint32_t pos, uint32_t packetLength) {
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

int Frame::ValidateNextPacket() {
    const uint32_t pos = workPos_;
    if (workBytes_ - pos < ch10::kPacketHeaderSize) return CarryFrom(pos);

    const SyncOutcome sync = FindSync(pos);
    if (sync.status < 0) return -1;
    const uint32_t p = sync.at;
    workPos_ = p;
    if (!sync.accepted) return CarryFrom(p);
    const uint8_t* area = run_.streamState.workArea.get();
    const ch10::PacketHeader header = ch10::PacketHeader::DecodeUnchecked(area + p);
    if (static_cast<uint64_t>(p) + header.packetLength > workBytes_) return CarryFrom(p);

    // The packet is accepted and complete: its own error numbers start here.
    run_.errors.BeginPacket();
    packetFindings_.clear();
    if (!TakeSlot(header)) return ConsumeAndReturn(p, header.packetLength);
    return WalkSections(p, header);
}

}  // namespace vexa
