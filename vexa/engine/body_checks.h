#pragma once
// The engine's PCM, MIL-STD-1553 and video body checks behind the listing's
// dispatch, with the per-slot state that links a channel's packets.
// Processor thread only; resets and the summary run after it stopped.
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "tessin.h"
#include "vexa/engine/bus1553_body_check.h"
#include "vexa/engine/error_accounting.h"
#include "vexa/engine/packet_listing.h"
#include "vexa/engine/pcm_body_check.h"
#include "vexa/engine/run_config.h"

namespace vexa {

class EngineBodyChecks final : public BodyChecks {
public:
    EngineBodyChecks(std::function<const CHAN_INFO*()> tmatsInfo, const CRunConfig& runConfig,
                     const std::atomic<int>& intraPacketTolerance, ErrorAccounting& errors);

    bool HasPcmChannels() const override;
    const PcmChannel* PcmRecord(uint32_t channelId) const override;
    int CheckPcmTmatsAttributes(const PcmChannel& record, uint8_t dataType, int slot, std::string& text) override;
    int ValidatePcmBody(const PcmChannel& record, BodyCheckCall& call) override;
    int Validate1553Body(BodyCheckCall& call) override;
    std::optional<Bus1553BodyPass> Open1553Pass(const PacketListingInput& p) const override;
    int ValidateVideoBody(BodyCheckCall& call) override;
    void ClearStatistics() override;
    void RunReset() override;

    const PerSlot<PcmSlotState>& Pcm() const { return pcm_; }
    const PerSlot<Bus1553SlotState>& Bus() const { return bus_; }

private:
    // Whether the packet's channel gets the 1553 check, and with simulated data.
    bool Checks1553(const PacketListingInput& p, bool& simulated) const;

    std::function<const CHAN_INFO*()> tmatsInfo_;
    const CRunConfig& runConfig_;
    const std::atomic<int>& intraPacketTolerance_;
    ErrorAccounting& errors_;
    mutable PcmChannel record_;  // the record PcmRecord last found
    // prevSimValue of this table serves the 1553 check too.
    PerSlot<PcmSlotState> pcm_{};
    PerSlot<Bus1553SlotState> bus_{};
};

// The body text of one check to the output (Verbose) or the row's flag
// (Space Delimited). 0, or -1 for a failed write.
int WriteBodyText(BodyCheckCall& call, const std::string& text);

}  // namespace vexa
