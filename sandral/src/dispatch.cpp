#include "dispatch.h"

namespace sandral {

// Every data type prints its word with its body in layout 0 until its
// decoders join the table.
const std::array<DecoderRow, 256>& DecoderTable() {
    static const std::array<DecoderRow, 256> table{};
    return table;
}

}  // namespace sandral
