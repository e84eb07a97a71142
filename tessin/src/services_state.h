#pragma once
// What the TMATS services keep between calls.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "pcm_result.h"
#include "platform/text_file.h"
#include "tmats_reader.h"

namespace tessin {

constexpr std::size_t kLastErrorSize = 512;

struct ServicesState {
    std::unique_ptr<char[]> text;  // the source's bytes and 1024 zero bytes
    int32_t textLength = 0;
    std::vector<TmatsEntry> entries;
    int32_t rangeStart[6] = {};  // per ServiceGroup
    int32_t rangeCount[6] = {};
    std::string filter;  // group letters kept; "BCDGPR" when empty at the first parse
    platform::TextFile log;
    char lastError[kLastErrorSize] = {};
    // The result the Free calls release; successful results not freed before
    // the next call stay reachable (callers may hold them) until the reset.
    std::unique_ptr<PcmResult> current;
    std::vector<std::unique_ptr<PcmResult>> superseded;

    // Releases everything; the log is closed.
    void Reset();
};

}  // namespace tessin
