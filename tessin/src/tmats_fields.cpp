#include "tmats_fields.h"

#include <algorithm>
#include <cstring>

#include "platform/numbers.h"

namespace tessin {

int32_t DecimalValue(const char* value) { return platform::DecimalToInt(value); }

void CopyField(char* field, std::size_t size, const char* source) {
    std::size_t n = strnlen(source, size - 1);
    std::memcpy(field, source, n);
    field[n] = '\0';
}

int32_t ClampSubchannels(int32_t count) { return std::clamp(count, 0, 256); }

}  // namespace tessin
