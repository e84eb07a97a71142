#pragma once
// tessin keeps one open recording per process, as its callers expect; all
// of that state lives here, with a reset for the tests.
#include <array>
#include <bitset>
#include <cstdint>
#include <memory>

namespace tessin {

constexpr int kSegmentSetSlots = 16;
constexpr int kSegmentSetHandleBase = 1000;
constexpr int kMaxSegments = 1000;
constexpr int kPlainDescriptorLimit = 1000;  // 1000 and above name segment sets

struct SegmentSet {
    int32_t current = 0;
    int32_t count = 0;
    std::array<int, 1024> descriptors{};
    std::array<int64_t, 1024> sizes{};
    int64_t position = 0;
};

struct InputState {
    int32_t selector = -1;    // -1 closed; 0-100 file or set; above 100 recorder drive + 100
    int64_t cachedSize = -1;  // one cache for the whole library
    std::array<std::unique_ptr<SegmentSet>, kSegmentSetSlots> sets;
    std::bitset<kPlainDescriptorLimit> ownDescriptors;  // plain files tessin opened
};

struct TessinState {
    InputState input;
};

TessinState& State();
// Closes what the input layer holds and returns every field to its start value.
void ResetStateForTests();

}  // namespace tessin
