#include "platform/thread.h"

namespace platform {

Thread::~Thread() {
    if (thread_.joinable()) {
        Resume();
        thread_.join();
    }
}

bool Thread::Start(std::function<void()> body, bool suspended) {
    if (thread_.joinable()) return false;
    shared_ = std::make_shared<Shared>();
    shared_->open = !suspended;
    auto shared = shared_;
    thread_ = std::thread([shared, body = std::move(body)] {
        {
            std::unique_lock lock(shared->mutex);
            shared->atGate = !shared->open;
            shared->cv.wait(lock, [&] { return shared->open; });
            shared->atGate = false;
        }
        body();
        {
            std::lock_guard lock(shared->mutex);
            shared->done = true;
        }
        shared->cv.notify_all();
    });
    return true;
}

void Thread::Resume() {
    if (!shared_) return;
    {
        std::lock_guard lock(shared_->mutex);
        shared_->open = true;
    }
    shared_->cv.notify_all();
}

bool Thread::Finished() const {
    if (!shared_) return true;
    std::lock_guard lock(shared_->mutex);
    return shared_->done;
}

bool Thread::AtGate() const {
    if (!shared_) return false;
    std::lock_guard lock(shared_->mutex);
    return shared_->atGate;
}

bool Thread::Joining() const {
    if (!shared_) return false;
    std::lock_guard lock(shared_->mutex);
    return shared_->joiners > 0;
}

bool Thread::JoinFor(std::chrono::milliseconds timeout) {
    if (!thread_.joinable()) return true;
    {
        std::unique_lock lock(shared_->mutex);
        ++shared_->joiners;
        const bool done = shared_->cv.wait_for(lock, timeout, [this] { return shared_->done; });
        --shared_->joiners;
        if (!done) return false;
    }
    thread_.join();
    return true;
}

void Thread::Join() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard lock(shared_->mutex);
        ++shared_->joiners;
    }
    thread_.join();
    std::lock_guard lock(shared_->mutex);
    --shared_->joiners;
}

}  // namespace platform
