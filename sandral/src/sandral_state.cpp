#include "sandral_state.h"

namespace sandral {

uint8_t* Slot::Data() {
    if (!bytes) bytes = std::make_unique<uint8_t[]>(static_cast<std::size_t>(kMaxPacketLength) + kSlotSize);
    return bytes.get() + kMaxPacketLength;
}

SandralState& State() {
    static SandralState state;
    return state;
}

void JoinReadAhead() {
    PlayerState& p = State().player;
    if (p.readAhead && p.readAhead->Started()) p.readAhead->Join();
}

void ResetStateForTests() {
    JoinReadAhead();
    SandralState& s = State();
    if (s.player.handle != 0) s.input->Close(s.player.handle);
    s.input = &LibraryInput();
    BrowseState& b = s.browse;
    b.outputStream.Close();
    b.recordingPath.clear();
    b.outputFileName.clear();
    b.fileSize = b.startOffset = b.currentOffset = b.firstPrintedOffset = b.lastPrintedOffset = 0;
    b.channelFilter = b.skipCount = b.packetCount = 0;
    b.requestMode = b.lastSkip = b.lastCount = b.lastChannel = 0;
    b.offsetHistory.fill(0);
    b.historyCursor = 0;
    b.averagePacketSize = 0;
    b.reopenPending = b.atEndOfData = false;
    b.lastRequestMode = -1;
    b.lastRequestSkip = 0;
    b.seekPath.clear();
    s.time = TimeState{};
    s.stepping = SteppingState{};
    s.player = PlayerState{};
    s.player.status = &s.player.own;
    s.tmats.record = nullptr;
}

}  // namespace sandral
