// Previous-packet records and the differs-from-previous checks: not built
// yet, so the hooks pass every packet on.
#include "vexa/engine/check_sections.h"

namespace vexa {
SectionResult LookUpPreviousPacket(ValidationEngine&, PacketContext&) { return SectionResult::Continue; }
SectionResult CheckDiffersFromPrevious(ValidationEngine&, PacketContext&) { return SectionResult::Continue; }
void StorePreviousPacket(ValidationEngine&, const PacketContext&) {}
void ResetPreviousPacketSection(ValidationEngine&) {}
}  // namespace vexa
