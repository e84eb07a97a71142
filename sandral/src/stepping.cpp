#include "stepping.h"

#include <climits>
#include <cstring>

#include "ch10/data_type.h"
#include "ch10/packet_view.h"
#include "header_printer.h"
#include "header_test.h"
#include "dumps.h"
#include "sandral_state.h"
#include "time_reference.h"

namespace sandral {

namespace {

SteppingState& Steps() { return State().stepping; }
BrowseState& Browse() { return State().browse; }
PlayerStatus& Status() { return *State().player.status; }

bool RecordingGoesOn(int64_t remaining) {
    return !Steps().atDataEnd && Browse().currentOffset + remaining < Browse().fileSize;
}

// Keeps the r bytes at p for the next slot; `length` is the packet length
// of a tested header at p, 0 when the bytes still have to be searched.
int Carry(const uint8_t* p, int64_t r, uint32_t length) {
    SteppingState& s = Steps();
    if (!s.carryBuffer) s.carryBuffer = std::make_unique<uint8_t[]>(kMaxPacketLength);
    std::memcpy(s.carryBuffer.get(), p, static_cast<std::size_t>(r));
    s.carryCount = static_cast<int32_t>(r);
    s.carryLength = static_cast<int32_t>(length);
    return 1;
}

// The packet-time memory moves for every stepped packet, printed or not.
void StartPacketTime() {
    TimeState& t = State().time;
    if (t.printedBefore) t.showDeltaTime = true;
    t.previousPacketTime = t.packetIrigTime;
}

// A packet cut by the end of the recording: r bytes at p, a tested header
// in front when `withHeader`. Never counted, printed while skipCount < 2.
int PartialPacket(const uint8_t* p, int64_t r, bool withHeader) {
    BrowseState& b = Browse();
    StartPacketTime();
    OutputSink& out = b.outputStream;
    if (b.skipCount < 2) {
        if (!withHeader) {
            if (b.channelFilter == -1) {
                print_partial_banner(out);
                dump_words(out, p, static_cast<std::size_t>(r), 2);
            }
        } else {
            const auto h = ch10::PacketHeader::DecodeUnchecked(p);
            if (b.channelFilter == -1 || b.channelFilter == h.channelId) {
                print_partial_banner(out);
                print_packet_header(out, h);
                dump_words(out, p + 24, static_cast<std::size_t>(r - 24), 2);
            }
        }
    }
    b.currentOffset += r;
    Steps().carryCount = 0;
    return 1;
}

// Fewer than 24 bytes at the very end: from the first 25 EB on they are a
// partial packet; without one they are passed over silently.
int SubHeaderTail(const uint8_t* p, int64_t r) {
    for (int64_t i = 0; i + 1 < r; ++i) {
        if (p[i] == 0x25 && p[i + 1] == 0xEB) {
            Browse().currentOffset += i;
            return PartialPacket(p + i, r - i, false);
        }
    }
    Browse().currentOffset += r;
    Steps().carryCount = 0;
    return 1;
}

// Finds the next valid header from p; returns it, or the first position
// with fewer than 24 bytes behind it. currentOffset follows.
uint8_t* Resynchronise(uint8_t* p, const uint8_t* end) {
    const uint8_t* start = p;
    while (end - p >= 24) {
        if (check_packet_header(p, static_cast<std::size_t>(end - p))) break;
        uint8_t* limit = p + (end - p) - 23;  // positions before it hold a whole header
        void* next = std::memchr(p + 1, 0x25, static_cast<std::size_t>(limit - (p + 1)));
        p = next ? static_cast<uint8_t*>(next) : limit;
    }
    Browse().currentOffset += p - start;
    return p;
}

void WholePacket(const uint8_t* p, const ch10::PacketHeader& h) {
    BrowseState& b = Browse();
    TimeState& t = State().time;
    if (h.channelId != 0) t.currentGroup = GroupOf(h.channelId);
    if (h.dataType == ch10::Code(ch10::DataType::TimeF1))
        update_time_reference(ch10::PacketView(p, h.packetLength), h, TimeScan::DecodeStep);
    if (b.currentOffset < b.startOffset) return;
    if (b.channelFilter != -1 && b.channelFilter != h.channelId) return;
    const int32_t before = b.skipCount;
    if (b.skipCount > INT_MIN) --b.skipCount;
    if (before >= 2) return;
    print_packet_header(b.outputStream, h);
    if (h.dataType != ch10::Code(ch10::DataType::ComputerF1)) t.printedBefore = true;
    // A header was tested there, so 24 bytes are held even when the length says fewer.
    print_packet_body(b.outputStream, p, h.packetLength < 24 ? 24 : h.packetLength, h);
    Steps().notPrinted = false;
}

}  // namespace

int decode_packet_step() {
    SteppingState& s = Steps();
    BrowseState& b = Browse();
    s.notPrinted = true;
    uint8_t* p = Resynchronise(s.packetPointer, s.slotEnd);
    s.packetPointer = p;
    const int64_t r = s.slotEnd - p;
    if (r < 24) {
        if (r == 0) {
            s.carryCount = 0;
            return 1;
        }
        return RecordingGoesOn(r) ? Carry(p, r, 0) : SubHeaderTail(p, r);
    }
    const auto h = ch10::PacketHeader::DecodeUnchecked(p);
    if (h.packetLength > r) return RecordingGoesOn(r) ? Carry(p, r, h.packetLength) : PartialPacket(p, r, true);
    s.nextPointer = s.packetPointer + h.packetLength;
    StartPacketTime();
    WholePacket(p, h);
    b.currentOffset += h.packetLength;
    if (s.nextPointer != s.slotEnd) {
        s.packetPointer = s.nextPointer;
        return 0;
    }
    s.carryCount = 0;
    return 1;
}

void read_next_slot() {
    SteppingState& s = Steps();
    Slot& slot = s.slots[static_cast<std::size_t>(s.fillIndex)];
    slot.state = 0;
    slot.count = 0;
    const int handle = State().player.handle;
    // Descriptor 0 would be the host's standard input.
    if (handle == 0) {
        slot.state = 2;
    } else {
        const int size = s.readSize > 0 && s.readSize <= kSlotSize ? s.readSize : kSlotSize;
        const int n = State().input->Read(handle, slot.Data(), size);
        slot.state = n == 0 ? 2 : 1;
        slot.count = n;
    }
    s.fillIndex ^= 1;
}

namespace {

void ReleaseConsumedSlot() {
    SteppingState& s = Steps();
    Slot& slot = s.slots[static_cast<std::size_t>(s.consumeIndex)];
    slot.state = 0;
    slot.count = 0;
    s.consumeIndex ^= 1;
}

// Bytes carried when the data ended before fileSize said: stepped over as
// the recording's end, so a cut packet shows as partial.
void StepCarryAtDataEnd(Slot& slot) {
    SteppingState& s = Steps();
    uint8_t* data = slot.Data();
    std::memcpy(data - s.carryCount, s.carryBuffer.get(), static_cast<std::size_t>(s.carryCount));
    s.packetPointer = data - s.carryCount;
    s.slotEnd = data;
    s.carryCount = 0;
    s.atDataEnd = true;
    while (decode_packet_step() == 0) {
    }
    s.atDataEnd = false;
}

// Takes the next slot, carried bytes in front of its data. False when the
// request ends here (end of data or a failed read).
bool TakeSlot() {
    SteppingState& s = Steps();
    PlayerStatus& st = Status();
    read_next_slot();
    Slot& slot = s.slots[static_cast<std::size_t>(s.consumeIndex)];
    if (slot.state != 1) {
        if (s.carryCount > 0) StepCarryAtDataEnd(slot);
        s.carryCount = 0;
        st.reading = 0;
        st.endOfData = 1;
        ReleaseConsumedSlot();
        return false;
    }
    if (slot.count < 0) {
        s.carryCount = 0;
        st.endOfData = 0;
        ReleaseConsumedSlot();
        return false;
    }
    s.slotInProgress = true;
    uint8_t* data = slot.Data();
    if (s.carryCount > 0) std::memcpy(data - s.carryCount, s.carryBuffer.get(), static_cast<std::size_t>(s.carryCount));
    s.packetPointer = data - s.carryCount;
    s.slotEnd = data + slot.count;
    s.carryCount = 0;
    s.carryLength = 0;
    ++s.buffersTaken;
    if (slot.count > 0) st.buffersRead = s.buffersTaken;
    st.reading = 0;
    return true;
}

}  // namespace

namespace {

// Steps slot after slot; returns when packetCount is reached, the data end
// or a read fails.
void StepUntilDone() {
    SteppingState& s = Steps();
    BrowseState& b = Browse();
    for (;;) {
        if (!s.continueSlot && !TakeSlot()) return;
        bool printed = false;
        int result = 0;
        do {
            result = decode_packet_step();
            printed = !s.notPrinted;
            if (result == 0) {
                s.continueSlot = true;
                if (printed && --b.packetCount < 1) return;
            }
        } while (result == 0);
        if (result < 0) {
            s.carryCount = 0;
            s.slotInProgress = false;
            return;
        }
        s.continueSlot = false;
        s.slotInProgress = false;
        ReleaseConsumedSlot();
        if (printed && --b.packetCount < 1) return;
    }
}

}  // namespace

void run_decode_loop() {
    JoinReadAhead();
    StepUntilDone();
    Status().state = 4;
    // Standard output shows each request whole; files are written in blocks.
    OutputSink& out = Browse().outputStream;
    if (out.kind() == OutputSink::Kind::Stdout) out.Flush();
}

void reset_stepping() {
    SteppingState& s = Steps();
    for (Slot& slot : s.slots) {
        slot.state = 0;
        slot.count = 0;
    }
    s.fillIndex = s.consumeIndex = 0;
    s.packetPointer = s.slotEnd = s.nextPointer = nullptr;
    s.carryCount = 0;
    s.carryLength = 0;
    s.slotInProgress = false;
    s.continueSlot = false;
}

void reset_request_state() {
    JoinReadAhead();
    Browse().startOffset = 0;
    reset_stepping();
    Status().endOfData = 0;
}

}  // namespace sandral
