// Recording-index rules. Filled in with their own issue.
#include "check_sections.h"

namespace vexa {
SectionResult CheckRecordingIndex(ValidationEngine&, PacketContext&) { return SectionResult::Continue; }
void CheckIndexSetup(ValidationEngine&) {}
void CheckIndexAtEnd(ValidationEngine&) {}
void ResetRecordingIndexSection(ValidationEngine&) {}
}  // namespace vexa
