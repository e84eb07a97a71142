#pragma once
// The frame of the validator: the work area where the processor joins the
// carried-over tail of one buffer to the next, sync search and packet
// acceptance, the channel table and groups, the offset of the packet in the
// recording, and the walk over the check sections' rows.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "ch10/packet_header.h"
#include "tessin.h"
#include "vexa/engine/check_sections.h"
#include "vexa/engine/run_context.h"

namespace vexa {

constexpr int kChannelTableSize = 256;

class Frame {
public:
    explicit Frame(RunContext& run);
    Frame(const Frame&) = delete;
    Frame& operator=(const Frame&) = delete;

    // Validates the packet at the work position: 0 when the work area holds
    // more, 1 when it needs data (a partial packet is carried over), -1 when
    // a write of the validation output failed.
    int ValidateNextPacket();

    // Channel 0 at slot 0, then the TMATS channels in record order (at most
    // 255), enabled or not; also the TMATS channel list the checks read.
    void PrefillChannelTable(const CHAN_INFO* info);
    // The run reset: offsets, channel table, and every section's reset.
    void Reset();
    // Back to an empty work area at the start of a file.
    void EmptyWorkArea();

    // Takes a filled read buffer: false when `count` bytes behind the
    // carried-over tail would not fit the work area. Packets that lie wholly
    // in the buffer are validated where they are; only the packet that
    // straddles from the carried-over tail is joined in the work area, so
    // the buffer is held until validation asks for more data (or the buffer
    // is let go).
    bool Load(const uint8_t* buffer, uint32_t count);
    // Stops using the held buffer, which the reader may then refill.
    void LetGoOfBuffer();
    // Drops the carried-over tail (a run that ends or fails).
    void DropCarryOver();
    void SetWorkPending(bool pending) { workPending_ = pending; }

    bool OfInterest(uint16_t channelId, uint8_t dataType) const;
    uint64_t PacketOffset() const { return packetOffset_; }
    uint32_t CarryOver() const { return carryOver_; }
    int ChannelSlot() const { return channelSlot_; }
    int ChannelGroup() const { return channelGroup_; }
    int ChannelTableCount() const { return channelTableCount_; }
    uint32_t ChannelAt(int slot) const { return channelTable_[static_cast<std::size_t>(slot)]; }
    bool ChannelSeen(int slot) const { return channelSeen_[static_cast<std::size_t>(slot)]; }
    int SecondaryHeaderLength() const { return secondaryHeaderLength_; }
    SectionStates& Sections() { return states_; }

private:
    struct SyncOutcome {
        int status = 0;  // -1: a write failed
        uint32_t at = 0;
        bool accepted = false;
    };
    SyncOutcome FindSync(uint32_t pos);
    // The sync search's acceptance of a header, without its findings.
    static bool HeaderAccepted(const uint8_t* header);
    // The channel slot of an accepted packet; false when the table is full
    // (the packet is consumed unchecked).
    bool TakeSlot(const ch10::PacketHeader& header);
    int WalkSections(uint32_t at, const ch10::PacketHeader& header);
    SectionResult RunStage(SectionStage stage, PacketContext& ctx);
    int CarryFrom(uint32_t pos);
    // While the tail is joined: appends enough of the held buffer that the
    // next step sees what it would with the whole buffer appended.
    void JoinEnough();
    void JoinUpTo(uint32_t bytes);
    uint8_t* WorkArea() const { return run_.streamState.workArea; }
    int ConsumeAndReturn(uint32_t pos, uint32_t packetLength);
    void ClearChannelTable();

    RunContext& run_;
    SectionStates states_;

    // The bytes validated (processor thread): the work area, or the held
    // read buffer once the straddling packet is behind. `workBytes_` bytes
    // can be read at `data_`; `endBytes_` ends the stretch of the tail and
    // the held buffer. While joining, the work area starts with
    // `joinedTail_` carried-over bytes followed by the buffer's first bytes.
    const uint8_t* data_ = nullptr;
    const uint8_t* held_ = nullptr;
    uint32_t heldBytes_ = 0;
    uint32_t joinedTail_ = 0;
    uint32_t endBytes_ = 0;
    uint32_t workBytes_ = 0;
    uint32_t workPos_ = 0;
    uint32_t carryOver_ = 0;
    bool workPending_ = false;

    uint64_t packetOffset_ = 0;
    std::array<uint32_t, kChannelTableSize> channelTable_{};
    std::vector<int16_t> slotOfChannel_;  // 65536 entries, -1 when not in the table
    int channelTableCount_ = 0;
    int channelSlot_ = 0;
    int channelGroup_ = 0;
    int secondaryHeaderLength_ = 0;
    std::array<bool, kChannelTableSize> channelSeen_{};
    std::string packetFindings_;
    std::string checksumText_;
};

}  // namespace vexa
