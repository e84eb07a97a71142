#pragma once
// A one-way gate: closed until Open, then open for good. Waiting threads are
// woken by Open; a time-out leaves them free to give up.
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace platform {

class Latch {
public:
    void Open() {
        {
            std::lock_guard lock(mutex_);
            open_ = true;
        }
        cv_.notify_all();
    }
    bool IsOpen() const {
        std::lock_guard lock(mutex_);
        return open_;
    }
    void Wait() {
        std::unique_lock lock(mutex_);
        cv_.wait(lock, [this] { return open_; });
    }
    bool WaitFor(std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        return cv_.wait_for(lock, timeout, [this] { return open_; });
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable cv_;
    bool open_ = false;
};

}  // namespace platform
