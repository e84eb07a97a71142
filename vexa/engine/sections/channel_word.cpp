// Channel-specific data word checks. Filled in with their own issue.
#include "check_sections.h"

namespace vexa {
SectionResult CheckChannelWord(ValidationEngine&, PacketContext&) { return SectionResult::Continue; }
void ResetChannelWordSection(ValidationEngine&) {}
}  // namespace vexa
