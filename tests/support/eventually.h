#pragma once
// Polls `done` until it holds or `timeout` passes: the way a test waits for
// a moment that another thread reaches, with no guess at how long it takes.
#include <chrono>
#include <thread>

namespace testwait {

template <typename Pred>
bool Eventually(Pred done, std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

}  // namespace testwait
