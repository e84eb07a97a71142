#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include "platform/event.h"
#include "platform/thread.h"

namespace {

using namespace std::chrono_literals;
using R = platform::AutoResetEvent::WaitResult;

TEST(AutoResetEvent, SignalRules) {
    platform::AutoResetEvent e;
    EXPECT_EQ(e.WaitFor(1ms), R::TimedOut);
    e.Set();
    e.Set();  // not counted
    EXPECT_EQ(e.WaitFor(1ms), R::Signalled);
    EXPECT_EQ(e.WaitFor(1ms), R::TimedOut);

    platform::AutoResetEvent initially(true);
    EXPECT_EQ(initially.Wait(), R::Signalled);
    initially.Set();
    initially.Reset();
    EXPECT_EQ(initially.WaitFor(1ms), R::TimedOut);
}

TEST(AutoResetEvent, CancelWakesEveryWaiter) {
    platform::AutoResetEvent e;
    std::atomic<int> cancelled{0};
    platform::Thread a, b;
    a.Start([&] { if (e.Wait() == R::Cancelled) ++cancelled; }, false);
    b.Start([&] { if (e.WaitFor(10s) == R::Cancelled) ++cancelled; }, false);
    std::this_thread::sleep_for(20ms);
    e.Cancel();
    ASSERT_TRUE(a.JoinFor(5s));
    ASSERT_TRUE(b.JoinFor(5s));
    EXPECT_EQ(cancelled.load(), 2);
    e.Set();
    EXPECT_EQ(e.Wait(), R::Cancelled);  // later waits too
}

TEST(Thread, GateAndJoin) {
    std::atomic<bool> ran{false};
    platform::Thread t;
    ASSERT_TRUE(t.Start([&] { ran = true; }, true));
    EXPECT_FALSE(t.Start([] {}, false));
    std::this_thread::sleep_for(20ms);
    EXPECT_FALSE(ran.load());
    EXPECT_FALSE(t.JoinFor(10ms));
    t.Resume();
    t.Resume();  // harmless
    EXPECT_TRUE(t.JoinFor(5s));
    EXPECT_TRUE(ran.load());
    EXPECT_TRUE(t.JoinFor(1ms));  // already joined
}

}  // namespace
