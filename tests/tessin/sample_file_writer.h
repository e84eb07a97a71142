#pragma once
// Per-parameter sample files as the export reads them: a 152-byte header
// (value kind at 16, time base at 136), then 16-byte samples, little-endian.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/ch10_fixture.h"

namespace exporttest {

struct Sample {
    int64_t offset;  // microseconds after the time base
    double value;    // stored as an i32 for value kinds 0 and 1
};

struct SampleFile {
    int16_t kind = 0;
    int64_t timeBase = 0;
    std::vector<Sample> samples;
    int headerBytes = 152;  // fewer: a cut header
    int tailBytes = 0;      // a partial sample after the last
};

inline void PutLe(std::vector<uint8_t>& out, uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

inline std::vector<uint8_t> SampleFileBytes(const SampleFile& f) {
    std::vector<uint8_t> out(152, 0);
    out[16] = static_cast<uint8_t>(f.kind), out[17] = static_cast<uint8_t>(static_cast<uint16_t>(f.kind) >> 8);
    for (int i = 0; i < 8; ++i) out[136 + i] = static_cast<uint8_t>(static_cast<uint64_t>(f.timeBase) >> (8 * i));
    out.resize(static_cast<std::size_t>(f.headerBytes));
    if (f.headerBytes < 152) return out;
    for (const Sample& s : f.samples) {
        PutLe(out, static_cast<uint64_t>(s.offset), 8);
        if (f.kind == 0 || f.kind == 1) {
            PutLe(out, static_cast<uint32_t>(static_cast<int32_t>(s.value)), 4);
            PutLe(out, 0, 4);
        } else {
            uint64_t bits;
            std::memcpy(&bits, &s.value, sizeof bits);
            PutLe(out, bits, 8);
        }
    }
    out.insert(out.end(), static_cast<std::size_t>(f.tailBytes), 0x77);
    return out;
}

inline bool WriteSampleFile(const std::string& path, const SampleFile& f) {
    return ch10fix::WriteFile(path, SampleFileBytes(f));
}

}  // namespace exporttest
