#include "browse_request.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "browse_text.h"
#include "channel_walk.h"
#include "header_test.h"
#include "platform/numbers.h"
#include "player.h"
#include "sandral_state.h"
#include "stepping.h"
#include "time_reference.h"
#include "tmats_text.h"

namespace sandral {

namespace {

constexpr int kSmallStepLimit = 300;
constexpr int kHistoryMiddle = 500;
constexpr int64_t kStartMarker = 4;

BrowseState& B() { return State().browse; }
int32_t Decimal(const char* text) { return platform::DecimalToInt(text ? text : ""); }

// Where the request starts: a target offset, or a continuation.
struct Position {
    int64_t target = 0;
    bool atStart = false;
    bool reposition = false;
};

// A parsed offset that is negative as a signed value lies past any end.
bool BelowSize(uint64_t offset) { return offset < static_cast<uint64_t>(B().fileSize) && B().fileSize > 0; }

// Step 3: forward and PREV choose their target from the history.
int64_t HistoryTarget(int32_t skip, int32_t count, int32_t channel, bool previous) {
    BrowseState& b = B();
    if (skip == b.lastSkip && count == b.lastCount && channel == b.lastChannel) {
        if (b.offsetHistory[static_cast<std::size_t>(b.historyCursor)] != 0) {
            b.historyCursor += previous ? -1 : 1;
            if (b.historyCursor < 0 || b.historyCursor >= kHistorySize) ClearHistory();
        }
        return b.offsetHistory[static_cast<std::size_t>(b.historyCursor)];
    }
    ClearHistory();
    b.lastSkip = skip;
    b.lastCount = count;
    b.lastChannel = channel;
    return 0;
}

// Step 4 for target 0: a relative step; 3 when there is no base to step from.
int RelativeStep(Position& pos) {
    BrowseState& b = B();
    const bool previous = b.requestMode == 1;
    int64_t jump = 0;
    if (b.skipCount <= kSmallStepLimit) {
        const int64_t base = b.atEndOfData ? b.fileSize : b.firstPrintedOffset;
        if (base == 0) return 3;
        const int64_t packets = previous ? int64_t{b.skipCount} - 1 + b.packetCount : b.skipCount;
        b.currentOffset = channel_walk(base, static_cast<int>(std::min<int64_t>(packets, INT32_MAX)),
                                       b.channelFilter, previous);
    } else {
        const int64_t n = previous ? static_cast<int64_t>(b.skipCount) + 1 : static_cast<int64_t>(b.skipCount) - 1;
        jump = static_cast<int64_t>(static_cast<uint64_t>(n * b.averagePacketSize) & ~uint64_t{3});
    }
    if (!previous) {
        b.currentOffset += jump;
    } else if (jump < b.currentOffset) {
        b.currentOffset -= jump;
    } else {
        b.currentOffset = 0;
        b.reopenPending = true;
        pos.atStart = true;
    }
    pos.reposition = true;
    return 0;
}

// Step 2 for ABS, EOF and BOF.
Position FixedTarget(const PacketRequest& r) {
    BrowseState& b = B();
    Position pos;
    if (std::strcmp(r.mode, "ABS") == 0) {
        b.packetCount = Decimal(r.count);
        const uint64_t offset = parse_hex_offset(r.skip);
        b.startOffset = static_cast<int64_t>(offset);
        if (BelowSize(offset)) {
            pos.target = static_cast<int64_t>(offset & ~uint64_t{7});
            if (pos.target == 0) pos.target = kStartMarker;
            b.requestMode = 2;
        } else {
            pos.target = b.fileSize;
            b.requestMode = 3;
        }
        ClearTimeReferenceFlags();
        ClearHistory();
    } else if (std::strcmp(r.mode, "EOF") == 0) {
        b.requestMode = 3;
        ClearPacketTimeMemory();
        pos.target = b.fileSize;
    } else {
        b.requestMode = 4;
        ClearPacketTimeMemory();
        b.packetCount = Decimal(r.count);
        pos.target = kStartMarker;
    }
    return pos;
}

// Step 4 for a non-zero target.
void TargetStep(Position& pos) {
    BrowseState& b = B();
    if (pos.target == kStartMarker) {
        b.reopenPending = true;
        pos.atStart = true;
        ClearPacketTimeMemory();
        b.currentOffset = 0;
    } else {
        b.currentOffset = pos.target;
    }
    pos.reposition = true;
}

// Step 5. A closed player is opened first: its open would set
// currentOffset back to startOffset.
void Reposition() {
    BrowseState& b = B();
    if (!State().player.open) {
        const int64_t target = b.currentOffset;
        ZADODOD_Open(b.recordingPath.c_str(), 0, &State().player.own);
        b.currentOffset = target;
    }
    seek_input(b.currentOffset);
    b.skipCount = 1;
    reset_request_state();
}

// Step 9: the page joins the history.
void RecordPage(bool atStart) {
    BrowseState& b = B();
    const auto at = static_cast<std::size_t>(b.historyCursor);
    if (b.offsetHistory[at] != 0) return;
    if (atStart) b.firstPrintedOffset = kStartMarker;
    else if (b.firstPrintedOffset == 0) return;
    if (b.historyCursor > 0 && b.offsetHistory[at - 1] == b.firstPrintedOffset) --b.historyCursor;
    else if (b.historyCursor < kHistorySize - 1 && b.offsetHistory[at + 1] == b.firstPrintedOffset) ++b.historyCursor;
    else b.offsetHistory[at] = b.firstPrintedOffset;
    b.atEndOfData = false;
}

}  // namespace

void ClearHistory() {
    B().offsetHistory.fill(0);
    B().historyCursor = kHistoryMiddle;
}

bool OpenBrowseOutput(const char* name) {
    BrowseState& b = B();
    b.outputFileName = name ? name : "";
    if (b.outputFileName.empty()) {
        b.outputStream.UseStdout();
        return true;
    }
    if (b.outputStream.OpenFile(b.outputFileName)) return true;
    std::fprintf(stderr, "$ERROR: Error creating the output file '%s'.\n", b.outputFileName.c_str());
    return false;
}

void CloseBrowseOutput() { B().outputStream.Close(); }

int RunDecode() {
    BrowseState& b = B();
    b.firstPrintedOffset = b.lastPrintedOffset = 0;
    if (b.reopenPending) {
        b.reopenPending = false;
        if (State().tmats.record && b.startOffset == 0)
            print_tmats_table(b.outputStream, b.recordingPath, State().tmats.record);
        ZADODOD_Open(b.recordingPath.c_str(), 0, &State().player.own);
    }
    run_decode_loop();
    return State().player.status->endOfData ? 2 : 0;
}

int GetPacket(const PacketRequest& r) {
    BrowseState& b = B();
    b.channelFilter = ChannelArgument(r.channel);
    b.lastRequestMode = -1;
    Position pos;
    const bool relative = std::strcmp(r.mode, "ABS") != 0 && std::strcmp(r.mode, "EOF") != 0 &&
                          std::strcmp(r.mode, "BOF") != 0;
    if (relative) {
        b.requestMode = std::strcmp(r.mode, "PREV") == 0 ? 1 : 0;
        b.skipCount = Decimal(r.skip);
        b.packetCount = Decimal(r.count);
        b.lastRequestMode = b.requestMode;
        b.lastRequestSkip = b.skipCount;
        pos.target = HistoryTarget(b.skipCount, b.packetCount, b.channelFilter, b.requestMode == 1);
    } else {
        pos = FixedTarget(r);
    }
    if (pos.target != 0) {
        TargetStep(pos);
    } else if (b.skipCount > 1 || (b.requestMode == 1 && b.skipCount > 0)) {
        if (relative && RelativeStep(pos) == 3) return 3;
    }
    if (pos.reposition) Reposition();
    if (!OpenBrowseOutput(r.outName)) return 1;
    const int decoded = RunDecode();
    if (!b.outputFileName.empty()) CloseBrowseOutput();
    else b.outputStream.Flush();
    b.atEndOfData = decoded == 2;
    int result = b.requestMode == 1 ? 0 : decoded;
    if (pos.atStart) result = 2;
    if (result == 2) ClearHistory();
    RecordPage(pos.atStart);
    return result;
}

}  // namespace sandral
