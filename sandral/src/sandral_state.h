#pragma once
// sandral keeps one recording, one output, one position and one player per
// process, as its callers expect; all of that state lives here, with a
// reset for the tests.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "output_sink.h"
#include "platform/thread.h"
#include "sandral.h"
#include "tessin/recording_input.h"

namespace sandral {

// The player and the loader read through tessin's input seam.
using tessin::LibraryInput;
using tessin::RecordingInput;

constexpr int32_t kSlotSize = 0x80000;     // one read
constexpr int32_t kMaxPacketLength = 0x80000;
constexpr int32_t kTmatsReadSize = 0xFC000;
constexpr int kGroupCount = 256;
constexpr int kHistorySize = 1000;

// The browse fields the stepping and the printers read. The browse calls
// set them; until they exist, the tests and sandral-list do.
struct BrowseState {
    std::string recordingPath;
    std::string outputFileName;  // empty: standard output
    OutputSink outputStream;
    int64_t fileSize = 0;
    int64_t startOffset = 0;
    int64_t currentOffset = 0;
    int64_t firstPrintedOffset = 0;
    int64_t lastPrintedOffset = 0;
    int32_t channelFilter = 0;
    int32_t skipCount = 0;
    int32_t packetCount = 0;
    int32_t requestMode = 0;  // 0 forward, 1 PREV, 2 ABS, 3 EOF, 4 BOF
    int32_t lastSkip = 0;
    int32_t lastCount = 0;
    int32_t lastChannel = 0;
    std::array<int64_t, kHistorySize> offsetHistory{};
    int32_t historyCursor = 0;
    int32_t averagePacketSize = 0;
    bool reopenPending = false;
    bool atEndOfData = false;
    // The last packet request's mode and skip argument, for the average's limit.
    int32_t lastRequestMode = -1;
    int32_t lastRequestSkip = 0;
    // The time seek's recording: its final scan times packets through
    // walks over it, not over recordingPath. Empty outside a seek.
    std::string seekPath;
    // Scan buffers, made on first use and kept.
    std::unique_ptr<uint8_t[]> walkBuffer;
    std::unique_ptr<uint8_t[]> averageBuffer;
    std::unique_ptr<uint8_t[]> seekBuffer;
};

// Time references per channel group and the header printer's packet-time
// memory.
struct TimeState {
    uint16_t groupMask = 0;
    int groupShift = 16;
    std::array<int32_t, kGroupCount> timeRefValid{};
    std::array<double, kGroupCount> timeRefIrig{};
    std::array<double, kGroupCount> timeRefRtc{};
    std::array<uint32_t, kGroupCount> timeRefCsdw{};
    uint16_t currentGroup = 0;
    double packetIrigTime = 0;
    double previousPacketTime = 0;
    double deltaTimeMs = 0;
    bool printedBefore = false;
    bool showDeltaTime = false;
    bool lastHadReference = false;  // the last computed time came from a reference
};

// One read slot. Each holds room for a carried packet in front of its data,
// so that a packet cut by a slot's end is stepped over in one piece.
struct Slot {
    std::unique_ptr<uint8_t[]> bytes;  // kMaxPacketLength + kSlotSize, made on first use
    int32_t state = 0;                 // 0 empty, 1 data, 2 end of data
    int32_t count = 0;                 // a failed read keeps its negative count
    uint8_t* Data();                   // where reads land
};

struct SteppingState {
    std::array<Slot, 2> slots;
    int fillIndex = 0;
    int consumeIndex = 0;
    int32_t readSize = kSlotSize;
    uint8_t* packetPointer = nullptr;
    uint8_t* slotEnd = nullptr;
    uint8_t* nextPointer = nullptr;
    std::unique_ptr<uint8_t[]> carryBuffer;  // kMaxPacketLength, made on first use
    int32_t carryCount = 0;
    int32_t carryLength = 0;   // 0 while the carried bytes hold no tested header
    bool slotInProgress = false;
    bool continueSlot = false;
    bool notPrinted = true;
    // Stepping over bytes carried to an early end of the data: the
    // recording counts as ended whatever fileSize says.
    bool atDataEnd = false;
    int32_t buffersTaken = 0;
};

struct PlayerState {
    int handle = 0;  // 0: none
    bool open = false;
    bool ready = false;
    int deviceFlag = 0;
    PlayerStatus own{};
    PlayerStatus* status = &own;
    bool readAheadStarted = false;
    int readAheadStarts = 0;  // threads started (tests)
    std::unique_ptr<platform::Thread> readAhead;
};

struct TmatsState {
    std::unique_ptr<uint8_t[]> buffer;  // kTmatsReadSize, made on first use
    CHAN_INFO* record = nullptr;
};

struct SandralState {
    RecordingInput* input = &LibraryInput();
    BrowseState browse;
    TimeState time;
    SteppingState stepping;
    PlayerState player;
    TmatsState tmats;
};

SandralState& State();
// Joins a read-ahead, closes the player's input and returns every field to
// its start value. TMATS records are tessin's and are kept.
void ResetStateForTests();

// Every entry that touches the slots, the stepping or the handle calls this
// first: the read-ahead thread shares them.
void JoinReadAhead();

}  // namespace sandral
