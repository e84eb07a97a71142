#pragma once
// Recordings made with the fixture writer for the README, the tests and the
// benchmark.
#include <cstdint>
#include <string>

#include "tests/support/ch10_fixture.h"

namespace ch10gen {

// The README's sample: a setup record declaring a time, a PCM and a 1553
// channel, then time, PCM and 1553 packets, one stretch of garbage and a
// channel the TMATS does not declare.
ch10fix::Bytes SampleRecording();

// A stream of about `targetBytes`: the setup record, a time packet every
// second of relative time, and 1553 and PCM packets of 4-64 KiB with
// correct checksums. Written in pieces, so gigabytes need no memory.
bool WriteStream(const std::string& path, uint64_t targetBytes, uint32_t seed = 1);

struct StreamOptions {
    bool busOnly = false;      // no PCM packets
    // 1553 bodies of whole messages (1-36 words, a quarter RT to RT, half
    // with status bits) instead of filler bytes.
    bool busMessages = false;
    // Packets of about this many bytes in place of the 4-64 KiB mix (at
    // least 64); 0 keeps the mix.
    uint32_t packetBytes = 0;
};
bool WriteStream(const std::string& path, uint64_t targetBytes, uint32_t seed, const StreamOptions& options);

}  // namespace ch10gen
