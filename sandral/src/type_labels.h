#pragma once
// The library's own names of data types: the header block's labels, the
// three-column labels of the index listings and the channel-list words.
#include <cstdint>
#include <string>

namespace sandral {

// "25 1553", "4 UNK"...
std::string HeaderTypeLabel(uint8_t dataType);
// Nine columns wide ("  9 PCM  "), as the index listings print them.
std::string ThreeColumnTypeLabel(uint8_t dataType);
// "PCM", "1553", "UNDEFINED"... for a channel table's data type.
const char* ChannelTypeWord(int dataType);

}  // namespace sandral
