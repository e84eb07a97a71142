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

// The work area and both read buffers in one page-aligned block, offered to
// the kernel for huge pages, so a run's reads and checks take few TLB misses.
class RunBuffers {
public:
    RunBuffers();
    ~RunBuffers();
    RunBuffers(const RunBuffers&) = delete;
    RunBuffers& operator=(const RunBuffers&) = delete;
    uint8_t* WorkArea() const { return block_; }
    uint8_t* ReadBuffer(int i) const { return block_ + kWorkAreaSize + static_cast<std::size_t>(i) * kReadBufferSize; }

private:
    uint8_t* block_ = nullptr;
};

class CStreamState {
public:
    CStreamState()
        : workArea(buffers_.WorkArea()), readBuffers{buffers_.ReadBuffer(0), buffers_.ReadBuffer(1)} {
        ResetStreamState();  // touches every page once, before any run
    }

private:
    RunBuffers buffers_;

public:
    uint8_t* const workArea;
    std::atomic<bool> filesOpen{false};
    std::atomic<int> playState{kIdle};
    std::atomic<bool> listingOn{false};
    uint8_t* const readBuffers[2];

    // Only while no thread of the run touches the buffers.
    int ResetStreamState() {
        filesOpen = false;
        listingOn = false;
        playState = kIdle;
        std::memset(readBuffers[0], 0, kReadBufferSize);
        std::memset(readBuffers[1], 0, kReadBufferSize);
        std::memset(workArea, 0, kWorkAreaSize);
        return 0;
    }
};

}  // namespace vexa
