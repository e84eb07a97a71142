#pragma once
// Findings as the pure checks return them: numbers with their full texts,
// in the order found. The section raising them decides what is counted and
// written.
#include <cstdint>
#include <string>
#include <vector>

#include "vexa/engine/error_accounting.h"

namespace vexa {

struct Finding {
    uint32_t number = 0;
    std::string text;  // complete, with its CR LF
};
using FindingList = std::vector<Finding>;

// Raises each finding in order through the catalogue's counting and appends
// the texts that "MaxLog" still allows. Returns how many were raised.
int RaiseFindings(ErrorAccounting& errors, int slot, const FindingList& findings, std::string& out);

}  // namespace vexa
