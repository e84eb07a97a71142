// Previous-packet records and the differs-from-previous checks: not built
// yet, so the hooks pass every packet on.
#include "vexa/engine/check_sections.h"

namespace vexa {
SectionResult LookUpPreviousPacket(RunContext&, PacketContext&, NoState&) { return SectionResult::Continue; }
SectionResult CheckDiffersFromPrevious(RunContext&, PacketContext&, NoState&) { return SectionResult::Continue; }
void StorePreviousPacket(RunContext&, const PacketContext&, NoState&) {}
void ResetPreviousPacketSection(RunContext&, NoState&) {}
}  // namespace vexa
