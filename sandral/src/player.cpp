#include "player.h"

#include <sys/resource.h>
#include <unistd.h>

#include "sandral.h"
#include "sandral_state.h"
#include "stepping.h"
#include "time_reference.h"

namespace sandral {

namespace {

constexpr const char* kOpenFailure = "Unable to open input file";
constexpr int64_t kLeadIn = 10485760;  // time references are known before printing starts

PlayerState& Player() { return State().player; }

void ReadAhead() {
    // Lowest priority; a refusal leaves the thread as it is.
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 19);
    read_next_slot();
}

}  // namespace

void reset_play_state() {
    JoinReadAhead();
    PlayerStatus& st = *Player().status;
    st.state = 4;
    st.buffersRead = 0;
    st.reading = 1;
    st.endOfData = 0;
    reset_stepping();
    SteppingState& s = State().stepping;
    s.buffersTaken = 0;
    s.readSize = kSlotSize;
    ResetTimeReferences();
}

void close_input() {
    JoinReadAhead();
    PlayerState& p = Player();
    if (p.handle != 0) {
        State().input->Close(p.handle);
        p.handle = 0;
    }
    p.open = false;
}

int seek_input(int64_t offset) {
    JoinReadAhead();
    const int handle = Player().handle;
    if (handle == 0) return -1;
    const auto u = static_cast<uint64_t>(offset);
    const int64_t r = State().input->Goto(handle, static_cast<uint32_t>(u), static_cast<int32_t>(u >> 32), 0);
    return r == -1 ? -1 : 0;
}

}  // namespace sandral

using namespace sandral;

SANDRAL_API int ZADODOD_Open(const char* path, int deviceFlag, PlayerStatus* status) {
    JoinReadAhead();
    PlayerState& p = Player();
    if (p.open) return 0;
    p.deviceFlag = deviceFlag;
    p.status = status ? status : &p.own;
    if (p.handle == 0) {
        const int h = path ? State().input->Open(path, 0) : -1;
        if (h < 0) {
            p.status->errorText = kOpenFailure;
            p.status->error = 1;
        } else {
            p.handle = h;
        }
    }
    reset_play_state();
    p.ready = true;
    p.status->state = 4;
    p.status->reading = 1;
    p.status->endOfData = 0;
    BrowseState& b = State().browse;
    b.currentOffset = b.startOffset;
    if (b.startOffset != 0) {
        b.currentOffset = b.startOffset <= kLeadIn ? 0 : b.startOffset - kLeadIn;
        if (p.handle != 0) seek_input(b.currentOffset);
    }
    p.open = true;
    return 0;
}

SANDRAL_API int ZADODOD_Play(void) {
    PlayerState& p = Player();
    if (!p.ready || p.status->state != 4) return 0;
    p.status->state = 5;
    if (!p.readAheadStarted) {
        p.readAheadStarted = true;
        ++p.readAheadStarts;
        p.readAhead = std::make_unique<platform::Thread>();
        p.readAhead->Start(ReadAhead, false);
    }
    return 0;
}

SANDRAL_API int ZADODOD_Close(void) {
    close_input();
    return 0;
}
