// The processor raises findings and honours resets while the form's timer
// reads the counters and Reset requests clears.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

#include "vexa/engine/error_accounting.h"

namespace vexa {
namespace {

TEST(ErrorAccountingThreads, CountersReadAndResetWhileTheProcessorCounts) {
    auto acc = std::make_unique<ErrorAccounting>();
    constexpr int kPackets = 20000;
    const uint32_t numbers[] = {4, 42, 46, 49, 52, 151};
    std::atomic<bool> done{false};

    std::thread form([&] {
        uint64_t seen = 0;
        int n = 0;
        while (!done.load(std::memory_order_acquire)) {
            for (int i = 0; i < kFormCounters; ++i) seen += acc->formCounters[i].load(std::memory_order_relaxed);
            if (++n % 16 == 0) acc->RequestReset();
            std::this_thread::yield();
        }
        (void)seen;
    });

    uint64_t raised = 0;
    int honoured = 0;
    // At least kPackets packets, and on until a few requests were honoured.
    for (int p = 0; p < kPackets || honoured < 3; ++p) {
        acc->BeginPacket();
        const int slot = p % 7;
        for (uint32_t n : numbers) {
            acc->RaiseFinding(slot, n);
            ++raised;
        }
        honoured += acc->HonourResetRequest();
    }
    done.store(true, std::memory_order_release);
    form.join();
    acc->HonourResetRequest();

    uint64_t total = 0;
    for (const auto& row : acc->errorTable)
        for (uint32_t v : row) total += v;
    EXPECT_EQ(total, raised);
    EXPECT_GE(honoured, 3);
}

}  // namespace
}  // namespace vexa
