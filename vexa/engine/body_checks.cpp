#include "vexa/engine/body_checks.h"

namespace vexa {

EngineBodyChecks::EngineBodyChecks(std::function<const CHAN_INFO*()> tmatsInfo, const CRunConfig& runConfig,
                                   const std::atomic<int>& intraPacketTolerance, ErrorAccounting& errors)
    : tmatsInfo_(std::move(tmatsInfo)), runConfig_(runConfig), intraPacketTolerance_(intraPacketTolerance),
      errors_(errors) {
    // No run reset comes before the first run.
    RunReset();
}

bool EngineBodyChecks::HasPcmChannels() const {
    const CHAN_INFO* info = tmatsInfo_();
    return info && info->PcmCount > 0 && info->PcmChannels;
}

const PcmChannel* EngineBodyChecks::PcmRecord(uint32_t channelId) const {
    const CHAN_INFO* info = tmatsInfo_();
    if (!info || !info->PcmChannels) return nullptr;
    for (int i = 0; i < info->PcmCount; ++i)
        if (info->PcmChannels[i].ChannelID == channelId) {
            record_.info = info->PcmChannels[i];
            return &record_;
        }
    return nullptr;
}

int EngineBodyChecks::CheckPcmTmatsAttributes(const PcmChannel& record, uint8_t dataType, int, std::string& text) {
    return vexa::CheckPcmTmatsAttributes(record.info, dataType, text);
}

int EngineBodyChecks::ValidatePcmBody(const PcmChannel& record, BodyCheckCall& call) {
    const PacketListingInput& p = call.packet;
    if (p.slot < 0 || p.slot >= kChannelSlots) return 0;
    PcmSlotState& state = pcm_[static_cast<std::size_t>(p.slot)];
    const bool simulated = runConfig_.validateSimPcm != 0 && p.header.channelId == runConfig_.selectedChannel;
    const auto findings = WalkPcmFrames({.record = record.info, .header = p.header, .view = p.view, .csdw = p.csdw,
                                         .checkSimulated = simulated,
                                         .intraPacketTolerance = intraPacketTolerance_.load()},
                                        state);
    std::string text;
    RaisePcmFindings(errors_, p.slot, findings, state, text);
    return WriteBodyText(call, text);
}

bool EngineBodyChecks::Checks1553(const PacketListingInput& p, bool& simulated) const {
    const CHAN_INFO* info = tmatsInfo_();
    if (!info || !info->Bus1553Channels || p.slot < 0 || p.slot >= kChannelSlots) return false;
    bool declared = false;
    for (int i = 0; i < info->Bus1553Count && !declared; ++i)
        declared = info->Bus1553Channels[i].ChannelID == p.header.channelId;
    simulated = runConfig_.validateSim1553 != 0 && p.header.channelId == runConfig_.selectedChannel;
    return declared;
}

std::optional<Bus1553BodyPass> EngineBodyChecks::Open1553Pass(const PacketListingInput& p) const {
    bool simulated = false;
    if (!Checks1553(p, simulated)) return std::nullopt;
    return Open1553Body({.header = p.header, .view = p.view, .csdw = p.csdw, .checkSimulated = simulated},
                        pcm_[static_cast<std::size_t>(p.slot)].prevSimValue);
}

int EngineBodyChecks::Validate1553Body(BodyCheckCall& call) {
    const PacketListingInput& p = call.packet;
    bool simulated = false;
    if (!Checks1553(p, simulated)) return 0;
    const auto s = static_cast<std::size_t>(p.slot);
    std::vector<Bus1553Finding> walked;
    const std::vector<Bus1553Finding>* findings = &walked;
    // Nothing touches the slot between the pass and this check, so the
    // carried walk is the one this check would make.
    if (p.bus1553Pass && p.bus1553Pass->complete) {
        Apply1553Pass(*p.bus1553Pass, bus_[s], pcm_[s].prevSimValue);
        findings = &p.bus1553Pass->findings;
    } else {
        walked = Walk1553Messages({.header = p.header, .view = p.view, .csdw = p.csdw, .checkSimulated = simulated},
                                  bus_[s], pcm_[s].prevSimValue);
    }
    std::string text;
    RaiseBus1553Findings(errors_, p.slot, *findings, bus_[s], text);
    return WriteBodyText(call, text);
}

int EngineBodyChecks::ValidateVideoBody(BodyCheckCall&) { return 0; }

void EngineBodyChecks::ClearStatistics() {
    for (PcmSlotState& s : pcm_) {
        s = PcmSlotState{};
    }
    for (Bus1553SlotState& b : bus_) b.channelCounts.fill(0);
}

void EngineBodyChecks::RunReset() {
    ClearStatistics();
    // A directory run's next summary must not inherit this file's bus counts.
    for (Bus1553SlotState& b : bus_) b.busA = b.busB = 0;
}

int WriteBodyText(BodyCheckCall& call, const std::string& text) {
    if (text.empty()) return 0;
    if (call.spaceDelimited) {
        call.findingsFlag = true;
        return 0;
    }
    std::string out(call.verboseBlock ? call.verboseBlock() : std::string_view());
    out += text;
    return call.outputs.WriteOutput(out) ? 0 : -1;
}

}  // namespace vexa
