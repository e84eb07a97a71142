#pragma once
// Checks of the primary header, the secondary header and the data checksum
// of one packet of interest, and the header checksum the sync search tests.
#include <cstdint>
#include <optional>
#include <string>

#include "checksums.h"
#include "error_accounting.h"
#include "packet_header.h"
#include "packet_view.h"

namespace vexa {

constexpr uint32_t kMaxPacketLength = 0x80000;

// 0 when the header's checksum is right, else -1. `text` is emptied first; a
// mismatch counts Error 4 (CountError only: the frame decides its counters
// and whether the line is written) and, when allowed, fills `text`.
// `offset` is the candidate's own offset in the recording.
int CheckHeaderChecksum(ErrorAccounting& errors, const uint8_t* header, uint64_t offset, std::string& text,
                        int slot);

// Flag bits 6 and 7 set: the secondary header's checksum. A mismatch raises
// Error 6 into `text`; a secondary header not wholly held is NotChecked.
ChecksumOutcome CheckSecondaryHeaderChecksum(ErrorAccounting& errors, const PacketView& view, std::string& text,
                                             int slot);

// The data checksum by type; Errors 1-3 into `text`. `recorded` gets the
// value stored in the packet (0 without a checksum or when NotChecked).
ChecksumOutcome CheckDataChecksum(ErrorAccounting& errors, const PacketView& view, const PacketHeader& header,
                                  std::string& text, int slot, uint32_t& recorded);

struct HeaderCheckInput {
    const PacketHeader& header;
    const PacketView& view;
    int slot = 0;
    // The sequence number of the previous packet of the same record, when
    // the slot has completed a packet before.
    std::optional<uint8_t> previousSequence;
    int fileDataVersion = 5;
};

struct HeaderCheckMarks {
    const char* headerMark = " - ";  // secondary-header checksum
    const char* dataMark = " - ";    // data checksum
    uint32_t recordedChecksum = 0;
};

inline constexpr const char* kMarkPassed = " - ";
inline constexpr const char* kMarkFailed = " X ";

// The header-check step: sequence, lengths, versions, flags, both
// checksums, findings appended to `findings` in that order.
HeaderCheckMarks RunHeaderChecks(ErrorAccounting& errors, const HeaderCheckInput& in, std::string& findings);

}  // namespace vexa
