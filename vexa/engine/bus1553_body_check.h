#pragma once
// Message-by-message checks of MIL-STD-1553 format 1 packets: block status,
// gap times, byte counts against the transfer type, stamp high bits,
// simulated data and the packet's time span. The walk is pure (findings
// tagged by family); RaiseBus1553Findings applies the limits and counts.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "ch10/packet_header.h"
#include "ch10/packet_view.h"
#include "vexa/engine/error_accounting.h"

namespace vexa {

enum class Bus1553Family : uint8_t { Gap, ByteCount, BlockStatus, TimeStamp, SimData, StatusBit, Span };
constexpr int kBus1553Families = 5;  // the families with limit counts

struct Bus1553Finding {
    uint32_t number = 0;  // 0: the block status listing
    Bus1553Family family = Bus1553Family::Gap;
    std::string text;
};

// What a 1553 channel carries across packets besides the shared previous
// simulated value.
struct Bus1553SlotState {
    std::array<int32_t, kBus1553Families> channelCounts{};
    uint32_t busA = 0;
    uint32_t busB = 0;
};

struct Bus1553Input {
    const ch10::PacketHeader& header;
    const ch10::PacketView& view;
    uint32_t csdw = 0;
    bool checkSimulated = false;  // option on, selected channel
};

// The transfer type of a message: its name and expected word count.
struct TransferType {
    const char* name = "";
    int words = 0;
    bool modeCode = false;
    int firstData = 0;  // position of the first data word among the words
    int dataWords = 0;
};
TransferType DecodeTransfer(uint16_t command, bool rtToRt);

// Walks the messages; counts them per bus and updates `prevSimValue`.
std::vector<Bus1553Finding> Walk1553Messages(const Bus1553Input& in, Bus1553SlotState& state,
                                             int32_t& prevSimValue);

// Counts each finding and appends what the limits allow to `text`.
void RaiseBus1553Findings(ErrorAccounting& errors, int slot, const std::vector<Bus1553Finding>& findings,
                          Bus1553SlotState& state, std::string& text);

}  // namespace vexa
