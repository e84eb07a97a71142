#pragma once
// The listing step of one checked packet: the Verbose block or the compact
// row, the dispatch of the body checks and the compact row's tail.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "vexa/engine/bus1553_body_check.h"
#include "vexa/engine/engine_host.h"
#include "vexa/engine/error_accounting.h"
#include "vexa/engine/listing_columns.h"
#include "ch10/packet_header.h"
#include "ch10/packet_view.h"
#include "vexa/engine/run_outputs.h"

namespace vexa {

// What the checks of one packet leave for its listing.
struct PacketListingInput {
    ch10::PacketHeader header;
    ch10::PacketView view;            // the packet's bytes, for the body checks
    uint64_t packetOffset = 0;
    uint32_t csdw = 0;          // ch10::ChannelSpecificWord(view, header)
    int slot = 0;
    uint32_t slotPacketCount = 0;
    bool firstOfSlot = false;   // the slot's channelSeen is not yet set
    std::string_view dataTypeName;
    std::string_view relTimeText;
    std::string_view irigTimeText;        // computed IRIG time
    std::string_view timePacketText;      // a time packet's own time
    bool hdrChecksumFailed = false;
    bool dataChecksumFailed = false;
    uint32_t recordedDataChecksum = 0;    // 0 when the packet has none
    std::optional<double> rtcDelta;       // CheckRtcStep's difference, 100-ns units
    std::optional<double> timeDeviation;  // the time-packet spacing check's deviation
    std::string_view findingText;
    // Fills relTimeText and irigTimeText when the packet's line is made:
    // formatting them for every packet would cost more than most checks.
    // None when the texts are given.
    std::function<void(PacketListingInput&)> makeTimeTexts;
    // The 1553 body walk the channel word's pass carried, for the body check
    // to take instead of walking the messages again.
    std::optional<Bus1553BodyPass> bus1553Pass;
};
// Runs makeTimeTexts once, before a line of the packet is made.
void MakeTimeTexts(PacketListingInput& in);

struct ListingOptions {
    bool listAllPackets = false;
    bool validateBodies = false;
    bool listingOn = false;
    bool spaceDelimited = false;
};

// Opaque to the listing: the body checks' view of a channel's PCM record.
struct PcmChannel;

// What a body check gets for one packet.
struct BodyCheckCall {
    const PacketListingInput& packet;
    // Heading, header lines, row and finding text in the Verbose format, to
    // repeat before the body check's own text; none in Space Delimited. Built
    // only when asked for: most packets have nothing to say.
    std::function<std::string_view()> verboseBlock;
    bool spaceDelimited;
    bool& findingsFlag;  // set when the body check produced findings
    RunOutputs& outputs;  // Verbose text goes out through outputs.WriteOutput
};

// The PCM, MIL-STD-1553 and video body checks, installed by their modules.
// Results below 0 mean a failed write: the run ends.
class BodyChecks {
public:
    virtual ~BodyChecks() = default;
    virtual bool HasPcmChannels() const = 0;
    // The channel's PCM record; nullptr when it has none.
    virtual const PcmChannel* PcmRecord(uint32_t channelId) const = 0;
    // 0 when usable; -1 with the warning line in `text` otherwise.
    virtual int CheckPcmTmatsAttributes(const PcmChannel& record, uint8_t dataType, int slot, std::string& text) = 0;
    virtual int ValidatePcmBody(const PcmChannel& record, BodyCheckCall& call) = 0;
    virtual int Validate1553Body(BodyCheckCall& call) = 0;
    // The packet's 1553 body walk, opened for the channel word's pass over
    // the messages; none when the packet gets no 1553 body check.
    virtual std::optional<Bus1553BodyPass> Open1553Pass(const PacketListingInput&) const { return std::nullopt; }
    virtual int ValidateVideoBody(BodyCheckCall& call) = 0;
    // The form's Reset: previous values and limit counts.
    virtual void ClearStatistics() {}
    // Between runs: everything the checks keep per channel.
    virtual void RunReset() {}
};

// The dispatch's own state for a run.
struct ListingState {
    PerSlot<bool> pcmChecksOff{};  // set when the channel's TMATS attributes are unusable
    BodyChecks* bodyChecks = nullptr;  // none installed: no body check runs

    void RunReset() { pcmChecksOff.fill(false); }
    void ResetForTests() {
        RunReset();
        bodyChecks = nullptr;
    }
};

// The Verbose row with its CR LF.
std::string VerboseRow(const PacketListingInput& in);
// Heading, column headers and row, without the finding text.
std::string VerboseBlock(const PacketListingInput& in);
// The compact row (with the three header lines before a slot's first row).
std::string CompactRow(const PacketListingInput& in);
// The compact tail for the packet's numbers.
std::string CompactTail(const PacketListingInput& in, bool findingsFlag, const ErrorAccounting& errors);

// Writes the packet's listing, runs the body checks and writes the compact
// tail. 0, or -1 when a write failed or a body check failed.
int ListPacket(PacketListingInput& in, const ListingOptions& options, RunOutputs& outputs,
               ErrorAccounting& errors, ListingState& listing, EngineHost& host);

}  // namespace vexa
