#pragma once
// Filling fixed record fields from TMATS values; shared by the packet
// validation and the TMATS services.
#include <cstddef>
#include <cstdint>

namespace tessin {

// Decimal value narrowed to the field as C assignment does.
int32_t DecimalValue(const char* value);
// Copies at most size - 1 characters of `source` into a zero-filled field.
void CopyField(char* field, std::size_t size, const char* source);
// Subchannel counts bounded to the 256 items a record holds.
int32_t ClampSubchannels(int32_t count);

}  // namespace tessin
