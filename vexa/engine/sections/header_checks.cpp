// Header checks and the selected channel's data type text. Filled in with
// their own issue.
#include "check_sections.h"

namespace vexa {
SectionResult ShowSelectedDataType(ValidationEngine&, PacketContext&) { return SectionResult::Continue; }
SectionResult CheckHeader(ValidationEngine&, PacketContext&) { return SectionResult::Continue; }
void ResetHeaderSection(ValidationEngine&) {}
}  // namespace vexa
