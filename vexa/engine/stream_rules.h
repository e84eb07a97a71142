#pragma once
// Rules on the stream as a whole: its start and setup record with the
// recording's data file version, the recording index, each packet's data
// type against the data-type table and the TMATS channels, the per-channel
// statistics, and the TMATS content file.
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "ch10/data_type.h"
#include "vexa/engine/display_state.h"
#include "vexa/engine/engine_host.h"
#include "vexa/engine/error_accounting.h"
#include "vexa/engine/index_rules.h"
#include "vexa/engine/packet_context.h"
#include "vexa/engine/run_outputs.h"

namespace vexa {

constexpr uint32_t kMaxSetupRecordLength = 0x8000000;

// The channels the run's TMATS describes, as the checks read them.
struct TmatsChannelEntry {
    int16_t dataType = 0;  // -1: a type word the TMATS reader does not map
    uint16_t channelId = 0;
    int16_t enable = 0;
};
struct TmatsChannels {
    bool eventsEnabled = false;
    bool indexEnabled = false;
    std::vector<TmatsChannelEntry> entries;

    // The first entry with this channel ID; nullptr when none has it.
    const TmatsChannelEntry* Find(uint16_t channelId) const;
};

struct SlotStreamStats {
    uint32_t packetCount = 0;
    uint64_t summaryDataLength = 0;  // cleared by the form's Reset
    uint64_t packetLengthSum = 0;
    uint64_t dataLengthSum = 0;
    float efficiency = 0;  // percent
    std::string firstSeenText;
    std::string firstRtcText;
    std::string lastRtcText;
};

struct StreamRulesState {
    // Kept across runs: a recording's setup record or the TMATS acquisition
    // sets them.
    int fileDataVersion = 5;
    int tmatsRevision = 0;
    int dataTypeRowCount = 33;

    std::string currentDataTypeName;
    int timeChannelSlot = -1;  // -1: no time packet seen yet
    PerSlot<SlotStreamStats> slots;
    uint64_t totalPacketLength = 0;
    uint64_t totalDataLength = 0;

    // Reset at the start of each file's processing, not between runs.
    RecordingIndexState index;

    // Run reset (between runs and files): everything but the kept values and
    // the index chain.
    void ResetRun();
    // The form's Reset: the summary's per-channel data-length totals.
    void ClearSummaryTotals();
    void ResetForTests();
};

// What the rules need from the run around them.
struct StreamEnv {
    StreamEnv(ErrorAccounting& errors_, const TmatsChannels& tmats_, EngineHost& host_)
        : errors(errors_), tmats(tmats_), host(host_) {}
    ErrorAccounting& errors;
    const TmatsChannels& tmats;
    EngineHost& host;
    RunOutputs* outputs = nullptr;  // where lines written at once go; none: dropped
    std::mutex* listingNamesLock = nullptr;  // guards outputs->listingNames
    bool spaceDelimited = false;
    int selectedChannel = 0;       // 0: every channel
    uint64_t runPacketCount = 0;   // the file's packets so far, this one included
    std::string_view tmatsTextPath;  // the ".TMATS.tmt" file; outlives the call
    // What the form shows (sequence number, efficiencies, version and data
    // type texts); none: nothing is shown.
    DisplayState* display = nullptr;
    // Told of every content file written.
    std::function<void(const std::string&)> noteWritten;
    // The counter step against the group's highest counter (Error 5); none
    // leaves it out.
    std::function<void(PacketContext&)> rtcStep;
};

// Per packet, in this order.
SectionResult CheckStreamStart(StreamRulesState& s, StreamEnv& env, PacketContext& ctx);
SectionResult CheckRecordingIndexPacket(StreamRulesState& s, StreamEnv& env, PacketContext& ctx);
SectionResult CheckDataTypeAndTmats(StreamRulesState& s, StreamEnv& env, PacketContext& ctx);
SectionResult WriteTmatsContent(StreamRulesState& s, StreamEnv& env, PacketContext& ctx);
// The selected channel's data type text, before the slot's first packet
// has completed.
void ShowDataTypeText(StreamRulesState& s, const StreamEnv& env, const PacketContext& ctx, bool channelSeen);

// Run start: a fresh index chain; Error 159 written at once, uncounted.
// False when its line could not be written.
bool IndexSetup(StreamRulesState& s, StreamEnv& env);
// End of data: Errors 157, 160, 166 against the last packet's slot. False
// at the first line that could not be written.
bool IndexAtEnd(StreamRulesState& s, StreamEnv& env, int lastSlot);

// "Data Type: ..." for a packet's header and channel-specific word.
std::string DataTypeTextFor(uint8_t dataType, uint32_t csdw, int rowCount);

}  // namespace vexa
