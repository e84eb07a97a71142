#include "vexa/engine/frame.h"

#include <algorithm>
#include <cstring>

#include "ch10/data_type.h"

namespace vexa {

Frame::Frame(RunContext& run) : run_(run), slotOfChannel_(65536, -1) { data_ = WorkArea(); }

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
    LetGoOfBuffer();
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
    LetGoOfBuffer();
}

bool Frame::Load(const uint8_t* buffer, uint32_t count) {
    if (count > kReadBufferSize || carryOver_ + count > kWorkAreaSize) return false;
    workPending_ = true;
    held_ = buffer;
    heldBytes_ = count;
    endBytes_ = carryOver_ + count;
    if (carryOver_ == 0) {
        data_ = buffer;
        joinedTail_ = 0;
        workBytes_ = count;
    } else {
        data_ = WorkArea();
        joinedTail_ = carryOver_;
        workBytes_ = carryOver_;  // the buffer's bytes are joined as the frame needs them
    }
    carryOver_ = 0;
    workPos_ = 0;
    return true;
}

void Frame::LetGoOfBuffer() {
    if (!held_ && data_) return;
    held_ = nullptr;
    heldBytes_ = joinedTail_ = 0;
    data_ = WorkArea();
    workBytes_ = endBytes_ = workPos_ = 0;
}

void Frame::DropCarryOver() {
    carryOver_ = 0;
    workPending_ = false;
    LetGoOfBuffer();
}

void Frame::JoinUpTo(uint32_t bytes) {
    const uint32_t from = workBytes_ - joinedTail_;
    std::memcpy(WorkArea() + workBytes_, held_ + from, bytes - workBytes_);
    workBytes_ = bytes;
}

void Frame::JoinEnough() {
    const uint8_t* area = WorkArea();
    uint32_t from = workPos_;
    while (workBytes_ < endBytes_) {
        // The first header the sync search would accept, from where the
        // last look ended.
        uint32_t p = from;
        while (static_cast<uint64_t>(p) + ch10::kPacketHeaderSize <= workBytes_ && !HeaderAccepted(area + p)) ++p;
        uint64_t want;
        if (static_cast<uint64_t>(p) + ch10::kPacketHeaderSize <= workBytes_) {
            want = static_cast<uint64_t>(p) + ch10::ReadLe32(area + p + 4);
            if (want <= workBytes_) return;
        } else {
            // Nothing acceptable yet: join more, growing the step.
            want = static_cast<uint64_t>(workBytes_) + std::max<uint32_t>(workBytes_ - joinedTail_, 0x10000);
        }
        from = p;
        JoinUpTo(static_cast<uint32_t>(std::min<uint64_t>(want, endBytes_)));
    }
}

int Frame::CarryFrom(uint32_t pos) {
    uint8_t* area = WorkArea();
    const uint32_t tail = workBytes_ - pos;
    if (data_ == area) {
        if (tail && pos) std::memmove(area, area + pos, tail);
    } else if (tail) {
        std::memcpy(area, data_ + pos, tail);
    }
    LetGoOfBuffer();
    carryOver_ = workBytes_ = endBytes_ = tail;
    return 1;
}

// The packet [pos, pos + length) is consumed: 1 when it ends the data, else 0.
int Frame::ConsumeAndReturn(uint32_t pos, uint32_t packetLength) {
    packetOffset_ += packetLength;
    const uint64_t packetEnd = static_cast<uint64_t>(pos) + packetLength;
    if (packetEnd >= endBytes_) {
        carryOver_ = 0;
        LetGoOfBuffer();
        return 1;
    }
    workPos_ = static_cast<uint32_t>(packetEnd);
    return 0;
}

int Frame::ValidateNextPacket() {
    if (held_ && data_ != held_) {
        if (workPos_ >= joinedTail_) {
            // The straddling packet is behind: on in the buffer itself.
            data_ = held_;
            workPos_ -= joinedTail_;
            workBytes_ = endBytes_ = heldBytes_;
            joinedTail_ = 0;
        } else {
            JoinEnough();
        }
    }
    const uint32_t pos = workPos_;
    if (workBytes_ - pos < ch10::kPacketHeaderSize) return CarryFrom(pos);

    const SyncOutcome sync = FindSync(pos);
    if (sync.status < 0) return -1;
    const uint32_t p = sync.at;
    workPos_ = p;
    if (!sync.accepted) return CarryFrom(p);
    const uint8_t* area = data_;
    const ch10::PacketHeader header = ch10::PacketHeader::DecodeUnchecked(area + p);
    if (static_cast<uint64_t>(p) + header.packetLength > workBytes_) return CarryFrom(p);

    // The packet is accepted and complete: its own error numbers start here.
    run_.errors.BeginPacket();
    packetFindings_.clear();
    if (!TakeSlot(header)) return ConsumeAndReturn(p, header.packetLength);
    return WalkSections(p, header);
}

}  // namespace vexa
