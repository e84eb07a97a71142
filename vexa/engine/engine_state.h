#pragma once
// The validation engine's module-wide state: one struct, with a reset for tests.
#include <atomic>

#include "vexa/engine/error_accounting.h"
#include "vexa/engine/packet_listing.h"

namespace vexa {

class EngineTestAccess;

struct EngineState {
    ErrorAccounting errors;
    ListingState listing;
    std::atomic<bool> spaceDelimited{false};  // set by the Open Files dialog, read by the processor

private:
    friend class EngineTestAccess;  // defined by the tests
    void ResetForTests() {
        errors.ResetForTests();
        listing.ResetForTests();
        spaceDelimited.store(false);
    }
};

EngineState& Engine();

}  // namespace vexa
