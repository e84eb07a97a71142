#pragma once
// The Verbose listing's column headers and data-type columns, as data.
#include <cstdint>
#include <string>

namespace vexa {

// Appends the data-type columns of the Verbose row (values from the
// channel-specific data word); nothing for a type without columns.
void AppendDataTypeColumns(std::string& row, uint8_t dataType, uint32_t csdw);

// The three column-header lines of the Verbose block for a packet, each
// ending CR LF; empty for a secondary header in a time form other than
// the Chapter 4 one.
std::string VerboseColumnHeaders(uint8_t dataType, uint8_t flags, uint32_t csdw);

}  // namespace vexa
