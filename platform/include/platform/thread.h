#pragma once
// A thread that starts behind a gate (the Win32 "created suspended") and
// runs once Resume opens it. A running thread is never suspended.
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace platform {

class Thread {
public:
    Thread() = default;
    ~Thread();  // opens the gate and joins
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // Starts the thread; it runs `body` once Resume is called (at once when
    // `suspended` is false). False when a thread is already started.
    bool Start(std::function<void()> body, bool suspended);
    // Opens the gate; harmless when already open.
    void Resume();
    bool Started() const { return thread_.joinable(); }
    bool Finished() const;
    // True while the started thread waits at its closed gate: a test's sign
    // that the body has not run and will not run before Resume.
    bool AtGate() const;
    // True while a Join or JoinFor waits for the body: a test's sign that
    // the joiner has reached its wait.
    bool Joining() const;
    // Joins when the body has returned within `timeout`; false otherwise
    // (the thread is then still running).
    bool JoinFor(std::chrono::milliseconds timeout);
    void Join();

private:
    struct Shared {
        std::mutex mutex;
        std::condition_variable cv;
        bool open = false;
        bool done = false;
        bool atGate = false;
        int joiners = 0;
    };
    std::shared_ptr<Shared> shared_;
    std::thread thread_;
};

}  // namespace platform
