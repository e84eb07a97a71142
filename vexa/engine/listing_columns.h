#pragma once
// The Verbose listing's column headers and data-type columns, as data.
#include <cstdint>
#include <string>

namespace vexa {

// Appends the data-type columns of the Verbose row (values from the
// channel-specific data word); nothing for a type without columns.
void AppendDataTypeColumns(std::string& row, uint8_t dataType, uint32_t csdw);

// The three header lines of the Verbose block (see packet_listing.h).
std::string VerboseColumnHeaders(uint8_t dataType, uint8_t flags, uint32_t csdw);

}  // namespace vexa
