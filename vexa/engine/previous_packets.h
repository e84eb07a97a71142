#pragma once
// What each channel slot's previous packet left behind, per record family,
// and each channel group's last time packet. Written at the end of every
// packet that completes, read by the time, header and differs checks of the
// next one.
#include <array>
#include <cstdint>

#include "vexa/engine/error_accounting.h"
#include "ch10/packet_header.h"
#include "vexa/engine/record_family.h"

namespace vexa {

constexpr int kTimeGroups = 256;

struct PreviousRecord {
    ch10::PacketHeader header{};  // all zero until a packet of the record completes
    uint32_t csdw = 0;      // kept for every family but "Other"
};

struct TimeRecord {
    PreviousRecord packet;
    uint32_t word0 = 0;  // the two time words; bytes outside the packet read 0
    uint32_t word1 = 0;
};

struct PreviousPacketStore {
    PerSlot<std::array<PreviousRecord, kRecordFamilyCount>> records{};
    std::array<TimeRecord, kTimeGroups> timeRecords{};

    // The record a packet compares with: its group's time record for a time
    // packet, else its slot's record of the packet's family.
    const PreviousRecord& Select(int slot, int group, uint8_t dataType) const;
    const TimeRecord& TimeRecordOf(int group) const { return timeRecords[Index(group)]; }

    // A time packet replaces its group's record, time words included; any
    // other packet its slot's record of its family.
    void Store(int slot, int group, const ch10::PacketHeader& header, uint32_t csdw, uint32_t word0 = 0,
               uint32_t word1 = 0);
    void Reset();

    static std::size_t Index(int i) { return static_cast<std::size_t>(i & 0xFF); }
};

// The previous-packet section: the records and the one the packet being
// validated compares with.
struct PreviousPacketState {
    PreviousPacketStore store;
    const PreviousRecord* selected = nullptr;  // set by the look-up of every packet

    // The packet's record; a zero one before any look-up.
    const PreviousRecord& Selected() const { return selected ? *selected : kNone; }
    void Reset() {
        store.Reset();
        selected = nullptr;
    }

private:
    static constexpr PreviousRecord kNone{};
};

}  // namespace vexa
