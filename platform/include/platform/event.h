#pragma once
// Auto-reset event in the Win32 sense: Set leaves it signalled until one
// waiter takes the signal; a second Set before that is a no-op. Cancel wakes
// every waiter, now and later, with Cancelled.
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace platform {

class AutoResetEvent {
public:
    enum class WaitResult { Signalled, TimedOut, Cancelled };

    explicit AutoResetEvent(bool initiallySignalled = false) : signalled_(initiallySignalled) {}
    AutoResetEvent(const AutoResetEvent&) = delete;
    AutoResetEvent& operator=(const AutoResetEvent&) = delete;

    void Set();
    void Reset();
    void Cancel();
    bool IsCancelled() const;
    // Threads in Wait or WaitFor now: a test's sign that its waiters have
    // reached their wait.
    int Waiters() const;
    WaitResult Wait();
    WaitResult WaitFor(std::chrono::milliseconds timeout);

private:
    mutable std::mutex mutex_;
    std::condition_variable cv_;
    bool signalled_;
    bool cancelled_ = false;
    int waiters_ = 0;
};

}  // namespace platform
