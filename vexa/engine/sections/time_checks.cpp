// Time correlation and time-packet checks. Filled in with their own issue.
#include "check_sections.h"

namespace vexa {
SectionResult CorrelateTime(ValidationEngine&, PacketContext&) { return SectionResult::Continue; }
SectionResult CheckTimePacket(ValidationEngine&, PacketContext&) { return SectionResult::Continue; }
void StoreLastTimeTexts(ValidationEngine&, const PacketContext&) {}
void ResetTimeSection(ValidationEngine&) {}
}  // namespace vexa
