#include "vexa/engine/previous_packets.h"

#include "ch10/data_type.h"

namespace vexa {

namespace {
constexpr uint8_t kTimePacketType = ch10::Code(ch10::DataType::TimeF1);
}  // namespace

const PreviousRecord& PreviousPacketStore::Select(int slot, int group, uint8_t dataType) const {
    if (dataType == kTimePacketType) return timeRecords[Index(group)].packet;
    return records[Index(slot)][static_cast<std::size_t>(RecordFamilyOf(dataType))];
}

void PreviousPacketStore::Store(int slot, int group, const ch10::PacketHeader& header, uint32_t csdw, uint32_t word0,
                                uint32_t word1) {
    if (header.dataType == kTimePacketType) {
        timeRecords[Index(group)] = TimeRecord{PreviousRecord{header, csdw}, word0, word1};
        return;
    }
    const int family = RecordFamilyOf(header.dataType);
    records[Index(slot)][static_cast<std::size_t>(family)] =
        PreviousRecord{header, family == kOtherRecord ? 0u : csdw};
}

void PreviousPacketStore::Reset() {
    for (auto& slot : records) slot.fill(PreviousRecord{});
    timeRecords.fill(TimeRecord{});
}

}  // namespace vexa
