#include "platform/event.h"

namespace platform {

void AutoResetEvent::Set() {
    {
        std::lock_guard lock(mutex_);
        signalled_ = true;
    }
    cv_.notify_one();
}

void AutoResetEvent::Reset() {
    std::lock_guard lock(mutex_);
    signalled_ = false;
}

void AutoResetEvent::Cancel() {
    {
        std::lock_guard lock(mutex_);
        cancelled_ = true;
    }
    cv_.notify_all();
}

bool AutoResetEvent::IsCancelled() const {
    std::lock_guard lock(mutex_);
    return cancelled_;
}

int AutoResetEvent::Waiters() const {
    std::lock_guard lock(mutex_);
    return waiters_;
}

AutoResetEvent::WaitResult AutoResetEvent::Wait() {
    std::unique_lock lock(mutex_);
    ++waiters_;
    cv_.wait(lock, [this] { return signalled_ || cancelled_; });
    --waiters_;
    if (cancelled_) return WaitResult::Cancelled;
    signalled_ = false;
    return WaitResult::Signalled;
}

AutoResetEvent::WaitResult AutoResetEvent::WaitFor(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    ++waiters_;
    const bool woken = cv_.wait_for(lock, timeout, [this] { return signalled_ || cancelled_; });
    --waiters_;
    if (!woken) return WaitResult::TimedOut;
    if (cancelled_) return WaitResult::Cancelled;
    signalled_ = false;
    return WaitResult::Signalled;
}

}  // namespace platform
