#pragma once
// One GetPCMFormatInfo result under one owner: every array the records point
// to, the shared conversion tables once. Records' pointers and counts are
// published from here, and releases go through here, never through record
// pointers a caller may have changed.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tessin.h"

namespace tessin {

// Words zeroed by the allocator itself: a large array's pages stay
// untouched, and so cost nothing, until a word on them is written.
class ZeroedWords {
public:
    // False when refused; the previous words are released either way.
    bool Assign(std::size_t count) {
        words_.reset(count > 0 ? static_cast<uint16_t*>(std::calloc(count, sizeof(uint16_t))) : nullptr);
        count_ = words_ ? count : 0;
        return words_ || count == 0;
    }
    uint16_t* data() { return words_.get(); }
    std::size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    uint16_t& operator[](std::size_t i) { return words_.get()[i]; }

private:
    struct Free {
        void operator()(uint16_t* p) const { std::free(p); }
    };
    std::unique_ptr<uint16_t, Free> words_;
    std::size_t count_ = 0;
};

struct FormatArrays {
    std::vector<uint16_t> wordLengths;
    std::vector<IDCounterInfo> idCounters;
    ZeroedWords frameWordMasks;
    std::vector<MAINFRAME_INFO> mainframe;
    std::vector<SUBCOM_INFO> subcoms;
    std::vector<SUBCOM_DETAIL_INFO> details;
    std::vector<DB_SAMPLES_INFO> samples;
    std::vector<DB_MEASRU_INFO> measru;
    // Sizes the word-indexed arrays were made with (at MF2): every use is
    // bounded by them, never by a later NumWords/NumFrames.
    int32_t allocWords = 0;
    int32_t allocFrames = 0;
    int32_t detailsPerSubcom = 0;
    // Subcoms per ID counter, in arrival order: (counter, count).
    std::vector<std::pair<int32_t, int32_t>> subcomBlocks;
    std::string idCounterName;  // ISF1 of counter 1, 15 characters
};

struct BusArrays {
    std::vector<MSG1553_INFO> messages1553;
    std::vector<MSGLABEL_INFO> messagesLabelled;
    std::vector<DB_SAMPLES_INFO> samples;  // SampleCapacity entries
    std::vector<DB_MEASRU_INFO> measru;
};

struct SharedTables {
    std::vector<MEASURAND_INFO> measurands;
    std::vector<EUCM_HISTORY_INFO> history;
    std::vector<EUCM_INFO> eucm;
    std::vector<POLYNOMIAL_INFO> polynomials;
    std::vector<DISCRETE_INFO> discretes;
    std::vector<PAIR_SET_INFO> pairSets;
    std::vector<PAIR_INFO> pairs;
    int16_t numMeasurands = 0;
    int16_t numDiscretes = 0;
    int16_t numPairSets = 0;
    int16_t numPairs = 0;
};

struct PcmResult {
    std::vector<PCM_FORMAT_INFO> formats;
    std::vector<FormatArrays> formatArrays;
    std::vector<BUS_INFO> buses;
    std::vector<BusArrays> busArrays;
    SharedTables shared;
    bool failed = false;

    // Sets every record's pointers (NULL for an empty array) and the shared
    // counts; call after any array changed size.
    void Publish();
    bool Empty() const { return formats.empty() && buses.empty(); }
};

constexpr uint16_t kFirstGuard = 0xAAAA;
constexpr uint16_t kLastGuard = 0xBBBB;

}  // namespace tessin
