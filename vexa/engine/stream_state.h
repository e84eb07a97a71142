#pragma once
// The run's buffers and its play state: two read buffers that the reader
// fills alternately and the work area where the processor joins the
// carried-over tail of one buffer to the next.
#include <atomic>
#include <cstdint>
#include <cstring>
#include <memory>

namespace vexa {

constexpr uint32_t kReadBufferSize = 0xFC000;
constexpr uint32_t kWorkAreaSize = 0x1F8000;

enum PlayState : int { kValidating = 1, kScanning = 2, kStopping = 3, kIdle = 4 };

class CStreamState {
public:
    CStreamState()
        : workArea(std::make_unique_for_overwrite<uint8_t[]>(kWorkAreaSize)),
          readBuffers{std::make_unique_for_overwrite<uint8_t[]>(kReadBufferSize),
                      std::make_unique_for_overwrite<uint8_t[]>(kReadBufferSize)} {
        ResetStreamState();  // one memset, not a byte-wise value initialisation
    }

    std::unique_ptr<uint8_t[]> workArea;
    std::atomic<bool> filesOpen{false};
    std::atomic<int> playState{kIdle};
    std::atomic<bool> listingOn{false};
    std::unique_ptr<uint8_t[]> readBuffers[2];

    // Only while no thread of the run touches the buffers.
    int ResetStreamState() {
        filesOpen = false;
        listingOn = false;
        playState = kIdle;
        std::memset(readBuffers[0].get(), 0, kReadBufferSize);
        std::memset(readBuffers[1].get(), 0, kReadBufferSize);
        std::memset(workArea.get(), 0, kWorkAreaSize);
        return 0;
    }
};

}  // namespace vexa
