#pragma once
// What a check section may use, built once per engine and refilled per run:
// error accounting, the outputs and log writes, the TMATS record and its
// channel list, the run's options, the display state, the host's posts, the
// list of files written and the packet's listing input. Sections never see
// the run controller.
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "tessin.h"
#include "vexa/engine/display_state.h"
#include "vexa/engine/engine_host.h"
#include "vexa/engine/error_accounting.h"
#include "vexa/engine/packet_listing.h"
#include "vexa/engine/run_config.h"
#include "vexa/engine/run_outputs.h"
#include "vexa/engine/stream_rules.h"
#include "vexa/engine/stream_state.h"

namespace vexa {

struct RunContext {
    RunContext(EngineHost& host_, ErrorAccounting& errors_, ListingState& listing_,
               const std::atomic<bool>& spaceDelimited_, RunOutputs& outputs_, DisplayState& display_,
               const CRunConfig& runConfig_, CStreamState& streamState_,
               std::function<void(const std::string&)> noteWritten_)
        : host(host_), errors(errors_), listing(listing_), spaceDelimited(spaceDelimited_), outputs(outputs_),
          display(display_), runConfig(runConfig_), streamState(streamState_), noteWritten(std::move(noteWritten_)),
          env_(errors_, tmatsChannels, host_) {
        env_.outputs = &outputs;
        env_.listingNamesLock = &outputs.namesLock;
        env_.display = &display;
        env_.noteWritten = noteWritten;
    }
    RunContext(const RunContext&) = delete;
    RunContext& operator=(const RunContext&) = delete;

    EngineHost& host;
    ErrorAccounting& errors;
    ListingState& listing;
    const std::atomic<bool>& spaceDelimited;
    RunOutputs& outputs;
    DisplayState& display;
    const CRunConfig& runConfig;
    CStreamState& streamState;
    // The run's TMATS record, and its channels as the checks read them
    // (none, with events and index off, without a channel record).
    const CHAN_INFO* tmatsInfo = nullptr;
    TmatsChannels tmatsChannels;
    // Stream, setup-record, index and data-type rules (processor thread).
    StreamRulesState streamRules;
    // Filled by the frame for every packet, completed by the sections, read
    // by the listing step.
    PacketListingInput listingInput;
    // Packets of the file accepted so far, the current one included.
    uint64_t runPacketCount = 0;
    // Slot of the last packet accepted.
    int lastPacketSlot = 0;
    // The "Time Packet Relative" tolerance the form sets; none: 5.
    const std::atomic<int>* timePacketTolerance = nullptr;
    int TimePacketTolerance() const {
        return timePacketTolerance ? timePacketTolerance->load(std::memory_order_relaxed) : 5;
    }

    bool SpaceDelimited() const { return spaceDelimited.load(std::memory_order_relaxed); }
    bool WriteLogLine(std::string_view text) { return outputs.WriteLogLine(text, SpaceDelimited()); }
    // Sections that write a file of their own (summary, TMATS content file)
    // note it here.
    void NoteWritten(const std::string& path) { noteWritten(path); }
    // What the stream rules need of the run, for the packet being validated:
    // one record kept with the run and brought up to date, not built anew
    // for every section of every packet. A counter step set on it is cleared
    // by the next call.
    StreamEnv& StreamEnvironment();
    // The channels the checks read, from the run's TMATS record.
    void SetTmatsChannels(const CHAN_INFO* info);

private:
    std::function<void(const std::string&)> noteWritten;
    StreamEnv env_;
};

}  // namespace vexa
