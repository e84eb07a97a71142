// Channel-specific data word checks: not built yet, so the hooks pass every packet on.
#include "vexa/engine/check_sections.h"

namespace vexa {
SectionResult CheckChannelWord(ValidationEngine&, PacketContext&) { return SectionResult::Continue; }
void ResetChannelWordSection(ValidationEngine&) {}
}  // namespace vexa
