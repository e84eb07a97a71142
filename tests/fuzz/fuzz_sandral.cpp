// sandral's browse calls and stepping over an arbitrary recording served
// from memory: the channel list, every packet with "ALL", single steps on a
// channel, the page modes, the time seek and the slider. The last bytes of
// the input choose the channel, the "ABS" offset, the slider percent and the
// time sought; the whole input is the recording.
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "sandral.h"
#include "sandral_state.h"
#include "tessin_state.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

// sandral's input calls on the recording in memory.
class MemoryRecording final : public sandral::RecordingInput {
public:
    MemoryRecording(const uint8_t* data, std::size_t size) { file_.Load(data, size); }
    int Open(const char*, int) override { return file_.Open(); }
    int Read(int handle, void* buffer, int count) override { return file_.Read(handle, buffer, count); }
    int64_t Goto(int handle, uint32_t low, int32_t high, int origin) override {
        return file_.Goto(handle, low, high, origin);
    }
    int Close(int handle) override { return file_.Close(handle); }
    int64_t Size(const char*, int) override { return file_.Size(); }

private:
    fuzz::MemoryFile file_;
};

struct Choices {
    std::string channel = "ALL";
    std::string absOffset = "0";
    std::string percent = "50";
    std::string time = "001:00:00:00:000000";
};

Choices Choose(const uint8_t* data, std::size_t size) {
    Choices c;
    if (size < 8) return c;
    const uint8_t* t = data + size - 8;
    char text[32];
    if (t[0] & 1) c.channel = std::to_string(t[1]);
    std::snprintf(text, sizeof text, "%x", static_cast<unsigned>((t[2] | t[3] << 8) * 8u % (size + 64)));
    c.absOffset = text;
    c.percent = std::to_string(t[4] % 101);
    std::snprintf(text, sizeof text, "%03d:%02d:%02d:%02d:%06d", t[5] % 367, t[6] % 24, t[7] % 60, t[0] % 60,
                  t[1] * 3907 % 1000000);
    c.time = text;
    return c;
}

void Browse(const Choices& c, const char* path, const char* out) {
    static char list[SANDRAL_CHANNEL_LIST_SIZE];
    char text[64] = "";
    char message[80] = "";
    IRIG107_get_contents(0, path, message);
    Ch10GetChannelList(path, list);
    Ch10AveragePacketSize("ALL");
    Ch10PositionOffset(path, "0");
    Ch10GetNextPacket("ALL", out, "100000");
    Ch10AveragePacketSize(c.channel.c_str());
    Ch10PositionOffset(path, "0");
    for (int i = 0; i < 3; ++i) Ch10GetNextPacket(c.channel.c_str(), out, "1");
    Ch10GetPacket(c.channel.c_str(), "EOF", "0", out, "10");
    Ch10GetPacket(c.channel.c_str(), "PREV", "1", out, "10");
    Ch10GetPacket(c.channel.c_str(), "ABS", c.absOffset.c_str(), out, "5");
    Ch10GetPacket(c.channel.c_str(), "PREV", "1", out, "5");
    Ch10GetPacket(c.channel.c_str(), "BOF", "0", out, "3");
    Ch10GetPacket(c.channel.c_str(), "NEXT", "2", out, "3");
    Ch10GetSliderValue(text);
    Ch10GetSliderOffset(c.percent.c_str(), text);
    Ch10GoToTime(path, c.time.c_str(), text);
}

// sandral's read slots and carry buffer, kept over the reset and zeroed as
// a new process has them: made afresh for every input, their megabytes
// would cost more than the input's run.
class KeptBuffers {
public:
    void Take() {
        sandral::SteppingState& st = sandral::State().stepping;
        for (std::size_t i = 0; i < slots_.size(); ++i) slots_[i] = std::move(st.slots[i].bytes);
        carry_ = std::move(st.carryBuffer);
    }
    void Return() {
        sandral::SteppingState& st = sandral::State().stepping;
        for (std::size_t i = 0; i < slots_.size(); ++i) {
            if (slots_[i]) std::memset(slots_[i].get(), 0, sandral::kMaxPacketLength + sandral::kSlotSize);
            st.slots[i].bytes = std::move(slots_[i]);
        }
        if (carry_) std::memset(carry_.get(), 0, sandral::kMaxPacketLength);
        st.carryBuffer = std::move(carry_);
    }

private:
    std::array<std::unique_ptr<uint8_t[]>, 2> slots_;
    std::unique_ptr<uint8_t[]> carry_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const std::string out = fuzz::ScratchFile("browse.txt");
    MemoryRecording recording(data, size);
    sandral::State().input = &recording;
    Browse(Choose(data, size), "fuzz.ch10", out.c_str());
    static KeptBuffers kept;
    kept.Take();
    sandral::ResetStateForTests();
    kept.Return();
    tessin::ResetStateForTests();
    tessin::ReleaseTmatsRecordsForTests();
    return 0;
}
