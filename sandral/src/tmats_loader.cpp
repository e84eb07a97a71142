// IRIG107_get_contents: the TMATS record from a recording's first packet.
#include <cstdio>
#include <cstring>

#include "sandral.h"
#include "sandral_state.h"

namespace sandral {

namespace {

// The first read of the recording when its first packet is a setup record;
// -1 otherwise.
int ReadFirstPacket(int deviceFlag, const char* path, uint8_t* buffer) {
    RecordingInput& in = *State().input;
    const int handle = in.Open(path, 0);
    if (handle == -1) return -1;
    std::memset(buffer, 0, kTmatsReadSize);
    if (deviceFlag == 1) {
        in.Close(handle);
        return -1;
    }
    in.Goto(handle, 0, 0, 0);
    const int count = in.Read(handle, buffer, kTmatsReadSize);
    in.Close(handle);
    if (count < 0 || buffer[15] != 1) return -1;
    return count;
}

}  // namespace

CHAN_INFO* LoadTmatsRecord(int deviceFlag, const char* path, char* message) {
    TmatsState& t = State().tmats;
    t.record = nullptr;
    if (!t.buffer) t.buffer = std::make_unique<uint8_t[]>(kTmatsReadSize);
    const char* name = path ? path : "";
    const int count = ReadFirstPacket(deviceFlag, name, t.buffer.get());
    if (count < 0) {
        if (message)
            std::snprintf(message, 80, "Error reading the TMATS Packet from the specified input file/device %s\n",
                          name);
        return nullptr;
    }
    t.record = process_tmats_packet(reinterpret_cast<const char*>(t.buffer.get()), count, message, nullptr);
    return t.record;
}

}  // namespace sandral

SANDRAL_API CHAN_INFO* IRIG107_get_contents(int deviceFlag, const char* path, char* message) {
    sandral::JoinReadAhead();
    return sandral::LoadTmatsRecord(deviceFlag, path, message);
}
