#pragma once
// Checks of the primary header, the secondary header and the data checksum
// of one packet of interest. The header checksum every sync candidate passes
// first is in header_checksum.h.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "ch10/checksums.h"
#include "vexa/engine/error_accounting.h"
#include "vexa/engine/header_checksum.h"
#include "ch10/packet_header.h"
#include "ch10/packet_view.h"
#include "vexa/engine/record_family.h"

namespace vexa {

constexpr uint32_t kMaxPacketLength = 0x80000;

// Flag bits 6 and 7 set: the secondary header's checksum. A mismatch raises
// Error 6 into `text`; a secondary header not wholly held is NotChecked.
ch10::ChecksumOutcome CheckSecondaryHeaderChecksum(ErrorAccounting& errors, const ch10::PacketView& view, std::string& text,
                                             int slot);

// The data checksum by type; Errors 1-3 into `text`. `recorded` gets the
// value stored in the packet (0 without a checksum or when NotChecked).
ch10::ChecksumOutcome CheckDataChecksum(ErrorAccounting& errors, const ch10::PacketView& view, const ch10::PacketHeader& header,
                                  std::string& text, int slot, uint32_t& recorded);

struct HeaderCheckInput {
    const ch10::PacketHeader& header;
    const ch10::PacketView& view;
    int slot = 0;
    // The sequence number of the previous packet of the same record, when
    // the slot has completed a packet before.
    std::optional<uint8_t> previousSequence;
    int fileDataVersion = 5;
};

// The listing's two marks (" X " when set) and the recorded data checksum.
// A checksum that could not be checked has not passed.
struct HeaderCheckMarks {
    bool headerChecksumFailed = false;  // the secondary header's; only with flag bits 6 and 7
    bool dataChecksumFailed = false;    // never set without a data checksum
    uint32_t recordedChecksum = 0;
};

// The header-check step: sequence, lengths, versions, flags, both
// checksums, findings appended to `findings` in that order.
HeaderCheckMarks RunHeaderChecks(ErrorAccounting& errors, const HeaderCheckInput& in, std::string& findings);

constexpr int kChannelGroups = 256;

// What the header-check step keeps between packets.
struct HeaderSectionState {
    // The sequence number last stored in each of a slot's previous-packet
    // records; zero until a packet of that record completes.
    PerSlot<std::array<uint8_t, kRecordFamilyCount>> previousSequence{};
    // Time packets: per channel group.
    std::array<uint8_t, kChannelGroups> timeGroupSequence{};
    // Each slot's last checked packet's recorded data checksum.
    PerSlot<uint32_t> recordedDataChecksum{};

    // The stored sequence number this packet is compared with and replaces.
    uint8_t& SequenceRecord(int slot, int group, uint8_t dataType);
    void Reset();
};

}  // namespace vexa
