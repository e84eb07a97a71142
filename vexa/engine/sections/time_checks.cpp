// Time correlation and time-packet checks: not built yet, so the hooks pass every packet on.
#include "vexa/engine/check_sections.h"

namespace vexa {
SectionResult CorrelateTime(ValidationEngine&, PacketContext&) { return SectionResult::Continue; }
SectionResult CheckTimePacket(ValidationEngine&, PacketContext&) { return SectionResult::Continue; }
void StoreLastTimeTexts(ValidationEngine&, const PacketContext&) {}
void ResetTimeSection(ValidationEngine&) {}
}  // namespace vexa
