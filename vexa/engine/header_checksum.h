#pragma once
// The header checksum test every sync candidate passes before the frame
// accepts it; the header checks rely on it and do not test it again.
#include <cstdint>
#include <string>

#include "vexa/engine/error_accounting.h"

namespace vexa {

// 0 when the sum of the header's words 0-10 equals the word at bytes 22-23,
// else -1. `text` is emptied first; on a mismatch Error 4 is counted under
// `slot` and, when that allows it, its line goes into `text` with the
// candidate's channel ID and `packetOffset`. `header` holds 24 bytes.
int CheckHeaderChecksum(const uint8_t* header, std::string& text, int slot, uint64_t packetOffset,
                        ErrorAccounting& errors);

}  // namespace vexa
