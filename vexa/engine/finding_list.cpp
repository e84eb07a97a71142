#include "vexa/engine/finding_list.h"

namespace vexa {

int RaiseFindings(ErrorAccounting& errors, int slot, const FindingList& findings, std::string& out) {
    for (const Finding& f : findings)
        if (errors.RaiseFinding(slot, f.number)) out += f.text;
    return static_cast<int>(findings.size());
}

}  // namespace vexa
