// Time correlation and time-packet checks: not built yet, so the hooks pass every packet on.
#include "vexa/engine/check_sections.h"

namespace vexa {
SectionResult CorrelateTime(RunContext&, PacketContext&, NoState&) { return SectionResult::Continue; }
SectionResult CheckTimePacket(RunContext&, PacketContext&, NoState&) { return SectionResult::Continue; }
void StoreLastTimeTexts(RunContext&, const PacketContext&, NoState&) {}
void ResetTimeSection(RunContext&, NoState&) {}
}  // namespace vexa
