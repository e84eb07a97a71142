// Stream start and setup-record rules. Filled in with their own issue.
#include "check_sections.h"

namespace vexa {
SectionResult CheckStreamAndSetup(ValidationEngine&, PacketContext&) { return SectionResult::Continue; }
void ResetStreamSetupSection(ValidationEngine&) {}
}  // namespace vexa
