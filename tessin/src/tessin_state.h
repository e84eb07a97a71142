#pragma once
// tessin keeps one open recording per process, as its callers expect; all
// of that state lives here, with a reset for the tests.
#include <array>
#include <bitset>
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

#include "chan_info_record.h"
#include "platform/text_file.h"
#include "services_state.h"
#include "tessin.h"

namespace tessin {

constexpr int kSegmentSetSlots = 16;
constexpr int kSegmentSetHandleBase = 1000;
constexpr int kMaxSegments = 1000;
constexpr int kPlainDescriptorLimit = 1000;  // 1000 and above name segment sets

struct SegmentSet {
    int32_t current = 0;
    int32_t count = 0;
    std::array<int, 1024> descriptors{};
    std::array<int64_t, 1024> sizes{};
    int64_t position = 0;
};

constexpr int32_t kRecorderChunk = 0xFC000;  // what every position request asks for

// A recorder file arrives in whole chunks; reads of any size are served
// from this copy of the last one.
struct RecorderInput {
    std::unique_ptr<uint8_t[]> staging;  // kRecorderChunk bytes, made at the first refill
    int32_t stagedBegin = 0;             // next byte to serve
    int32_t stagedEnd = 0;               // bytes held
    int64_t position = 0;                // last position sent plus the bytes fetched since
    bool repositionDue = false;          // a refill went unanswered: the drive may stand elsewhere
};

struct InputState {
    int32_t selector = -1;    // -1 closed; 0-100 file or set; above 100 recorder drive + 100
    int64_t cachedSize = -1;  // one cache for the whole library
    std::array<std::unique_ptr<SegmentSet>, kSegmentSetSlots> sets;
    std::bitset<kPlainDescriptorLimit> ownDescriptors;  // plain files tessin opened
    RecorderInput recorder;
};

// Holds a T that is never destroyed: records handed to callers must outlive
// every other static object, and stay reachable for the leak checker.
template <class T>
class Immortal {
public:
    Immortal() { new (storage_) T(); }
    T& Get() { return *std::launder(reinterpret_cast<T*>(storage_)); }

private:
    alignas(T) unsigned char storage_[sizeof(T)];
};

struct TmatsGroup {
    int32_t start = 0;
    int32_t count = 0;  // 0: the group is absent
};

// The group letters that have an index, in this order.
constexpr char kTmatsGroupLetters[] = {'B', 'G', 'M', 'P', 'R', 'V'};

struct TmatsState {
    // The packet copy and the attribute array; valid until the next split.
    std::unique_ptr<char[]> packet;
    int32_t packetLength = 0;        // bytes of TMATS text in the copy
    bool arrayAllocated = false;
    std::vector<const char*> attributes;  // into `packet`; sorted after a split
    TmatsGroup groups[6];
    // The record of the call in progress (or of the last call).
    CHAN_INFO* current = nullptr;
    // Every record ever made; callers keep pointers into them.
    Immortal<std::vector<std::unique_ptr<ChanInfoOwner>>> records;
    // The validation log, open only while a call runs.
    platform::TextFile log;
};

struct TessinState {
    InputState input;
    TmatsState tmats;
    ServicesState services;
};

TessinState& State();
// Closes what the input layer holds and returns every field to its start
// value. TMATS records already made are kept: callers may still hold them.
// The services' buffers, results and utilities log are released.
void ResetStateForTests();
// Releases every TMATS record made so far, for long runs in one process
// (fuzzing) whose callers hold none of them any more.
void ReleaseTmatsRecordsForTests();

}  // namespace tessin
