#pragma once
// One CHAN_INFO and everything it points to, under one owner, so that a
// record can be released whole by whoever obtained it.
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

#include "tessin.h"

namespace tessin {

struct ChanInfoOwner {
    CHAN_INFO info{};
    std::vector<CHAN_ENTRY> channels;
    std::vector<PCM_CHAN_INFO> pcm;
    std::vector<std::unique_ptr<uint16_t[]>> wordLengths;
    std::vector<TIME_CHAN_INFO> time;
    std::vector<BUS1553_CHAN_INFO> bus1553;
    std::vector<ANALOG_CHAN_INFO> analog;
    std::vector<DISCRETE_CHAN_INFO> discrete;
    std::vector<CHAN_REF> message;
    std::vector<SUBCHAN_CHAN_INFO> a429;
    std::vector<VIDEO_CHAN_INFO> video;
    std::vector<CHAN_REF> image;
    std::vector<SUBCHAN_CHAN_INFO> uart;
    std::vector<CHAN_REF> other;
    std::vector<CHAN_REF> ieee1394;
    std::vector<SUBCHAN_CHAN_INFO> ethernet;
    std::vector<FIBRE_CHAN_INFO> fibre;
};

// Appends a zero-filled record to `records` and republishes the array and
// its count; NULL (nothing changed) when the array cannot grow. The returned
// pointer is valid until the next append to the same array.
template <class T>
T* AppendRecord(std::vector<T>& records, T*& published, int16_t& count) {
    if (records.size() >= INT16_MAX) return nullptr;
    try {
        records.push_back(T{});
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    published = records.data();
    count = static_cast<int16_t>(records.size());
    return &records.back();
}

}  // namespace tessin
