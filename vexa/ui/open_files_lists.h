#pragma once
// The texts of the Open Files dialog's lists, from the channel record and
// from the recorder drives' answers.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "tessin.h"

namespace vexa {

inline constexpr const char* kAllChannelsEntry = " All channels";

// " All channels", then each enabled channel whose type is above 1 and has
// a data-type row: two blanks below 10, the ID, ") " and the type's name.
std::vector<std::string> ChannelEntries(const CHAN_INFO* info);

struct RecorderDriveEntry {
    int number = 0;
    std::string text;  // "%d:  %s"
};

// Drives of a blank-separated number list with the volume names at the
// same places; drive 0 is a file type, not a recorder, and is not offered.
std::vector<RecorderDriveEntry> RecorderDriveEntries(std::string_view drives, std::string_view volumes);

// The names of a file list where every name ends in ",", at most `maxFiles`.
std::vector<std::string> RecorderFileNames(std::string_view list, std::size_t maxFiles);

}  // namespace vexa
