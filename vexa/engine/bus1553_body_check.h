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
// Inline: it runs for every message, and most callers need only the counts.
inline TransferType DecodeTransfer(uint16_t command, bool rtToRt) {
    const int rt = command >> 11, tr = (command >> 10) & 1, sa = (command >> 5) & 31, code = command & 31;
    const int n = code == 0 ? 32 : code;
    const bool modeSa = sa == 0 || sa == 31;
    if (rtToRt) return rt == 31 ? TransferType{"broadcast RT-RT", n + 3, false, 3, n}
                                : TransferType{"RT-RT", n + 4, false, 3, n};
    if (rt == 31) {
        if (!modeSa) return {"broadcast BC-RT", n + 1, false, 1, n};
        return code < 16 ? TransferType{"broadcast Mode w/o data", 1, true, 0, 0}
                         : TransferType{"broadcast Mode with data", 2, true, 1, 1};
    }
    if (modeSa) {
        if (code < 16) return {"Mode w/o data", 2, true, 0, 0};
        return tr == 0 ? TransferType{"Mode with data-Rx", 3, true, 1, 1}
                       : TransferType{"Mode with data-Tx", 3, true, 2, 1};
    }
    return tr == 0 ? TransferType{"BC-RT", n + 2, false, 1, n} : TransferType{"RT-BC", n + 2, false, 2, n};
}

struct BusMessageHeader;

// One packet's walk, fed message by message, so that another pass over the
// messages (the channel word's) can carry it. Its bus counts and simulated
// value reach the slot only when Apply1553Pass takes them.
struct Bus1553BodyPass {
    bool checkSimulated = false;
    int32_t prevSimValue = -1;  // the slot's on opening, the packet's last after it
    uint32_t busA = 0;          // this packet's messages per bus
    uint32_t busB = 0;
    std::vector<Bus1553Finding> findings;
    bool complete = false;  // Finish1553Body ran: every message was fed
    // Internal to the walk.
    struct SpanMessage {
        double t = 0;
        int words = 0;
        uint16_t gapTimes = 0;
    };
    SpanMessage first, last;  // of the timed messages, once `spanned`
    bool spanned = false;
    bool timed = true;
    bool open = true;  // no message has reached past the data yet
    uint64_t dataEnd = 0;
};
Bus1553BodyPass Open1553Body(const Bus1553Input& in, int32_t prevSimValue);
// Message `index` (from 0) with its header at `at`; false, and no later
// message taken, once a header reaches past the packet's data.
bool Step1553Body(Bus1553BodyPass& pass, const Bus1553Input& in, uint32_t index, uint64_t at,
                  const BusMessageHeader& h);
// The packet's span, once every message was fed.
void Finish1553Body(Bus1553BodyPass& pass, const Bus1553Input& in);
void Apply1553Pass(const Bus1553BodyPass& pass, Bus1553SlotState& state, int32_t& prevSimValue);

// Walks the messages; counts them per bus and updates `prevSimValue`.
std::vector<Bus1553Finding> Walk1553Messages(const Bus1553Input& in, Bus1553SlotState& state,
                                             int32_t& prevSimValue);

// Counts each finding and appends what the limits allow to `text`.
void RaiseBus1553Findings(ErrorAccounting& errors, int slot, const std::vector<Bus1553Finding>& findings,
                          Bus1553SlotState& state, std::string& text);

}  // namespace vexa
