// Channel-specific data word checks: not built yet, so the hooks pass every packet on.
#include "vexa/engine/check_sections.h"

namespace vexa {
SectionResult CheckChannelWord(RunContext&, PacketContext&, NoState&) { return SectionResult::Continue; }
void ResetChannelWordSection(RunContext&, NoState&) {}
}  // namespace vexa
