#pragma once
// A host whose user-interface thread is whoever pumps it: posts wait in a
// locked queue until Pump runs them. Message boxes are kept as texts. Used
// by the headless run and by the tests.
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "vexa/engine/engine_host.h"

namespace vexa {

class QueueHost : public EngineHost {
public:
    struct Box {
        std::string text;
        std::string caption;
        BoxIcon icon = BoxIcon::None;
    };

    void PostMessageBox(std::string text) override { PostBox(std::move(text), "", BoxIcon::None); }
    void PostBox(std::string text, std::string caption, BoxIcon icon) override {
        Post([this, box = Box{std::move(text), std::move(caption), icon}] { boxes.push_back(box); });
    }
    void Post(std::function<void()> fn) override {
        {
            std::lock_guard lock(mutex_);
            queue_.push_back(std::move(fn));
        }
        cv_.notify_all();
    }
    std::string WindowTitle() const override { return title; }
    void RunEnded(const RunEnd& end) override {
        runEnds.push_back(end);
    }

    // Runs what is queued now and what those posts queue; the number run.
    int Pump() {
        int n = 0;
        for (;;) {
            std::function<void()> fn;
            {
                std::lock_guard lock(mutex_);
                if (queue_.empty()) return n;
                fn = std::move(queue_.front());
                queue_.pop_front();
            }
            fn();
            ++n;
        }
    }
    // Pumps until `done` holds; false after `timeout` without it.
    template <typename Pred>
    bool PumpUntil(Pred done, std::chrono::milliseconds timeout) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            Pump();
            if (done()) return true;
            std::unique_lock lock(mutex_);
            if (!cv_.wait_until(lock, deadline, [this] { return !queue_.empty(); })) {
                lock.unlock();
                Pump();
                return done();
            }
        }
    }
    bool PumpUntilRunEnded(std::chrono::milliseconds timeout) {
        return PumpUntil([this] { return !runEnds.empty(); }, timeout);
    }

    // Written and read on the pumping thread only.
    std::vector<Box> boxes;
    std::vector<RunEnd> runEnds;
    std::string title = "Kelvane";

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<std::function<void()>> queue_;
};

}  // namespace vexa
