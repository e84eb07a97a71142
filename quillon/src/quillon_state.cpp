#include "quillon_state.h"

#include "quillon.h"

namespace quillon {

QuillonState::~QuillonState() { CloseSTANAGDrive(); }

QuillonState& State() {
    static QuillonState state;
    return state;
}

void ResetStateForTests() {
    CloseSTANAGDrive();
    QuillonState& s = State();
    {
        std::lock_guard lock(s.link.exchange);
        s.link.socket.Close();
        s.link.fd = -1;
        s.link.request.fill(0);
        s.link.reply.fill(0);
    }
    s.drive = DriveState{};
    {
        std::lock_guard lock(s.stream.handover);
        s.stream.request = HandOver{};
    }
    s.stream.cancel = false;
    s.stream.operation = kIdle;
    s.stream.filesStreamed = 0;
}

}  // namespace quillon
