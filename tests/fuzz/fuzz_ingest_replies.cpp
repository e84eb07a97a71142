// The ingest link's exchanges over arbitrary reply bytes arriving in pieces.
// Each input byte either picks the next device call (open, close, read with
// a count, block size, seek) or, when the link receives, how the next piece
// arrives: cut off, failed, a run of input bytes, or zeros to the block's end.
#include <cstdint>
#include <cstring>
#include <memory>

#include "ingest_link.h"
#include "quillon_state.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using namespace quillon;

class Replies final : public link::Transport {
public:
    explicit Replies(fuzz::Input& in) : in_(in) {}
    ssize_t Send(const uint8_t*, std::size_t size) override { return size > 40000 ? 40000 : size; }
    ssize_t Recv(uint8_t* data, std::size_t size) override {
        if (in_.Size() == 0) return 0;
        const uint8_t how = in_.Byte();
        if (how == 0) return 0;
        if (how == 1) return -1;
        if (how >= 0xF0) {
            std::memset(data, 0, size);
            return static_cast<ssize_t>(size);
        }
        std::string piece = in_.Text(how < size ? how : size);
        std::memcpy(data, piece.data(), piece.size());
        return static_cast<ssize_t>(piece.size());
    }

private:
    fuzz::Input& in_;
};

void Call(fuzz::Input& in) {
    const uint8_t op = in.Byte();
    const int32_t handle = static_cast<int8_t>(in.Byte());
    switch (op % 5) {
    case 0: {
        int32_t opened = -1;
        link::OpenDev(op & 8 ? "//./PHYSICALDRIVE0" : nullptr, &opened);
        break;
    }
    case 1: link::CloseDev(handle); break;
    case 2: {
        // Exactly the room asked for, so a copy past it is seen.
        const int32_t count = static_cast<int32_t>(in.U32() % 70000) - 1000;
        std::unique_ptr<uint8_t[]> room(new uint8_t[count > 0 ? count : 1]);
        link::ReadDev(handle, room.get(), count);
        break;
    }
    case 3: link::GetDevBlockSize(handle); break;
    default: link::SeekDev(handle, static_cast<int64_t>(in.U32()) << (op & 31)); break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzz::Scratch();
    fuzz::Input in(data, size);
    Replies replies(in);
    link::SetTransportForTests(&replies);
    for (int calls = 0; calls < 32 && in.Size() > 0; ++calls) Call(in);
    ResetStateForTests();
    link::SetTransportForTests(nullptr);
    return 0;
}
