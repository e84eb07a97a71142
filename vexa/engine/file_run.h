#pragma once
// One file's worker threads and the events of their buffer hand-over,
// shared by the run control and the worker loops.
#include <atomic>
#include <cstdint>

#include "platform/event.h"
#include "platform/latch.h"
#include "platform/thread.h"
#include "vexa/engine/validation_engine.h"

namespace vexa {

// Made anew for every file; the user-interface thread joins and drops it.
struct ValidationEngine::FileRun {
    explicit FileRun(uint64_t gen) : generation(gen) {}
    const uint64_t generation;
    // Read events start unsignalled, free events signalled.
    platform::AutoResetEvent readEvents[2] = {platform::AutoResetEvent(false), platform::AutoResetEvent(false)};
    platform::AutoResetEvent procEvents[2] = {platform::AutoResetEvent(true), platform::AutoResetEvent(true)};
    platform::Thread processor;
    platform::Thread reader;
    platform::Latch readerLeftLoop;
    platform::Latch processorLeftValidator;
    platform::Latch processorEnded;  // after the processor's end-of-processing call
    std::atomic<bool> finishBegun{false};
    platform::Latch firstPassDone;

    void CancelEvents() {
        for (auto& e : readEvents) e.Cancel();
        for (auto& e : procEvents) e.Cancel();
    }
    // Whether the calling thread is this run's processor: the finish path
    // it calls must not wait for itself.
    bool OnProcessorThread() const;
};

}  // namespace vexa
