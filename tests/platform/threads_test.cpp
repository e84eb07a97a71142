#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/event.h"
#include "platform/thread.h"
#include "tests/support/eventually.h"

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
    // Both wait before the cancel, so it is the cancel that wakes them.
    ASSERT_TRUE(testwait::Eventually([&] { return e.Waiters() == 2; }));
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
    // A thread that ignored its gate would have run by the time it could
    // be seen waiting at it.
    ASSERT_TRUE(testwait::Eventually([&] { return t.AtGate() || ran.load(); }));
    EXPECT_FALSE(ran.load());
    EXPECT_FALSE(t.JoinFor(10ms));
    t.Resume();
    t.Resume();  // harmless
    EXPECT_TRUE(t.JoinFor(5s));
    EXPECT_TRUE(ran.load());
    EXPECT_TRUE(t.JoinFor(1ms));  // already joined
}

// The sign a test waits for before it checks that a join has not returned.
TEST(Thread, JoiningWhileAJoinWaits) {
    platform::Thread t;
    ASSERT_TRUE(t.Start([] {}, true));
    EXPECT_FALSE(t.Joining());
    std::atomic<bool> joined{false};
    std::thread joiner([&] {
        t.Join();
        joined = true;
    });
    ASSERT_TRUE(testwait::Eventually([&] { return t.Joining(); }));
    EXPECT_FALSE(joined.load());
    t.Resume();
    joiner.join();
    EXPECT_TRUE(joined.load());
    EXPECT_FALSE(t.Joining());
}

}  // namespace
