#pragma once
// PCM format and bus records: the passes of GetPCMFormatInfo over the
// sorted attribute groups, and the sync-mask reader they share.
#include <cstdint>

#include "pcm_result.h"
#include "tmats_reader.h"

namespace tessin {

// Result of a pass: go on, or fail the call (the last-error text, when one
// is set, is already written).
enum class PassResult { Ok, Fail };

// Sets FBit/LBit of `entry` from a binary mask right-aligned in a word of
// `width` bits; nothing for a mask of 0, one with other characters, or a
// fragment above 1.
void parse_sync_mask(const char* mask, int width, DB_MEASRU_INFO* entry, int fragment);

// 2^WordLength - 1, 0 outside 1..16.
uint16_t DefaultWordMask(int wordLength);

// Distinct group numbers in a sorted range.
int32_t CountGroups(EntryRange range);

struct GeneralInfo {
    const char* programName = "";
    const char* originationDate = "";
};

PassResult BuildBuses(PcmResult& result, EntryRange b);
PassResult BuildFormats(PcmResult& result, EntryRange p, const GeneralInfo& general);
void MarkIdCounters(PcmResult& result);
PassResult LocateMeasurements(PcmResult& result, EntryRange d);
void LinkRecorderChannels(PcmResult& result, EntryRange r);
PassResult BuildConversions(PcmResult& result, EntryRange c);

// Writes the last-error text (cut to its 512 bytes).
void SetLastError(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace tessin
