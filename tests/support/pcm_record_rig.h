#pragma once
#include <cstdint>

#include "tessin.h"

namespace ch10fix {

// The tests' PCM format: unpacked 16-bit words, a 16-bit sync, four words a
// frame (sync, FID, two data words), four minor frames with the FID counting
// 0..3 up, at 64,000 bit/s (one frame every 10,000 ticks).
constexpr uint16_t kTestPcmSync = 0xFE6B;
constexpr uint64_t kTestPcmPeriod = 10000;
inline PCM_CHAN_INFO TestPcmRecord(int channelId) {
    PCM_CHAN_INFO r{};
    r.ChannelID = channelId;
    r.BitRate = 64000;
    r.WordLength = 16;
    r.NumFrames = 4;
    r.NumWords = 4;
    r.BitsInMinorFrame = 64;
    r.SyncPatternLength = 16;
    r.SyncPattern = kTestPcmSync;
    r.SyncMask = 0xFFFF;
    r.FrameIDPosition = 1;
    r.IDCWordLength = 16;
    r.IDCStartBit = 1;
    r.IDCLength = 16;
    r.IDCEndValue = 3;
    return r;
}

}  // namespace ch10fix
