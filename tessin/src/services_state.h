#pragma once
// What the TMATS services keep between calls.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "measurand_tables.h"
#include "pcm_result.h"
#include "platform/text_file.h"
#include "tessin.h"
#include "tmats_reader.h"

namespace tessin {

constexpr std::size_t kLastErrorSize = 512;

// One D or B data link of the parameter list and the measurement names it
// carries (15 characters each).
struct DataLinkEntry {
    char name[64] = {};
    char kind = 0;  // 'P' for a D-group link, 'B' for a B-group link
    int32_t capacity = 0;
    std::vector<std::string> names;
};

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
    // The lists' record and data-link table, released by free_tmats_buffer.
    CHAN_INFO* listRecord = nullptr;
    std::vector<DataLinkEntry> dataLinks;
    char typeName[32] = {};
    char wordMask[65] = {};  // 64 mask characters
    // The last ProcessTMATS call's tables.
    std::unique_ptr<MeasurandTables> tables;

    // Releases everything; the log is closed.
    void Reset();
};

}  // namespace tessin
