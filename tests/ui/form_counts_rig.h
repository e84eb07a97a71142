#pragma once
// The main form's error boxes as a run's log counts them: every numbered
// finding through the catalogue to its form counter.
#include <array>
#include <cstddef>
#include <regex>
#include <string>

#include "vexa/engine/error_catalogue.h"

namespace uitest {

// The form's boxes in form-counter order.
inline constexpr int kFormBoxes[vexa::kFormCounters] = {1047, 1048, 1049, 1050, 1051, 1052, 1053,
                                                        1061, 1062, 1025, 1041, 1065, 1066};

struct FormCounts {
    std::array<int, vexa::kFormCounters> boxes{};
    int numbered = 0;    // findings that raise a box
    bool valid = true;   // false when a number is outside the catalogue
};

inline FormCounts FormCountsFromLog(const std::string& log) {
    FormCounts counts;
    const std::regex finding("Error ([0-9]+):");
    for (std::sregex_iterator it(log.begin(), log.end(), finding), end; it != end; ++it) {
        const int number = std::stoi((*it)[1]);
        if (number < 1 || number > vexa::kErrorNumbers) {
            counts.valid = false;
            continue;
        }
        // The resynchronisation that ends an Error 39 line counts as a header
        // checksum error on the form, without a number of its own.
        if (number == 39) ++counts.boxes[static_cast<std::size_t>(vexa::FormCounter::hdrChecksumErrors)];
        const vexa::FormCounter counter = vexa::kErrorCatalogue[static_cast<std::size_t>(number - 1)].counter;
        if (counter == vexa::FormCounter::None) continue;
        ++counts.boxes[static_cast<std::size_t>(counter)];
        ++counts.numbered;
    }
    return counts;
}

}  // namespace uitest
