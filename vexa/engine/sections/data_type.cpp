// Data type against the data-type table and the TMATS. Filled in with its own issue.
#include "check_sections.h"

namespace vexa {
SectionResult CheckDataType(ValidationEngine&, PacketContext&) { return SectionResult::Continue; }
void ResetDataTypeSection(ValidationEngine&) {}
}  // namespace vexa
