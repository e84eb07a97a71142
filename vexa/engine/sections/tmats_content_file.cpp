// The TMATS content file of a setup record. Filled in with its own issue.
#include "check_sections.h"

namespace vexa {
SectionResult WriteTmatsContentFile(ValidationEngine&, PacketContext&) { return SectionResult::Continue; }
void ResetTmatsContentSection(ValidationEngine&) {}
}  // namespace vexa
