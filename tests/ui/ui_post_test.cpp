// Posting to the UI thread from other threads, and what never runs.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/ui/post_queue.h"
#include "tests/ui/ui_fixture.h"

namespace {
using namespace uitest;

TEST(UiLayer, PostsFromFourThreadsRunOnceEachInPerThreadOrder) {
    HeadlessUi ui;
    TestApp app;
    constexpr int kThreads = 4;
    constexpr int kPosts = 1000;
    std::vector<std::vector<int>> seen(kThreads);  // touched only on this thread, by the posts
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < kPosts; ++i) ui::PostToUi(nullptr, [&seen, t, i] { seen[t].push_back(i); });
        });
    // Pump while the threads post; a lost post ends the wait at the deadline.
    int ran = 0;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (ran < kThreads * kPosts && std::chrono::steady_clock::now() < deadline)
        ran += ui.driver.PumpWait(std::chrono::milliseconds(100));
    for (auto& th : threads) th.join();
    ran += ui.driver.Pump();
    EXPECT_EQ(ran, kThreads * kPosts);
    for (int t = 0; t < kThreads; ++t) {
        SCOPED_TRACE(t);
        ASSERT_EQ(seen[t].size(), static_cast<size_t>(kPosts));
        for (int i = 0; i < kPosts; ++i) ASSERT_EQ(seen[t][i], i);
    }
}

TEST(UiLayer, PostsToDestroyedWindowsAndKilledTimersNeverRun) {
    HeadlessUi ui;
    TestApp app;
    int userMessages = 0;
    int timers = 0;
    {
        auto w = std::make_unique<ui::Window>();
        w->CreateControls(*TestResources().Dialog(kTestTemplate));
        w->OnUser(100, [&](intptr_t v) { userMessages += static_cast<int>(v); });
        w->OnTimer([&](int) { ++timers; });
        w->PostMessage(100, 1);
        EXPECT_EQ(ui.driver.Pump(), 1);
        EXPECT_EQ(userMessages, 1);

        EXPECT_EQ(w->SetTimer(995, 500), 995);
        EXPECT_TRUE(ui.driver.FireTimer(*w, 995));
        EXPECT_TRUE(w->KillTimer(995));
        EXPECT_FALSE(ui.driver.FireTimer(*w, 995));
        EXPECT_EQ(timers, 1);

        std::thread poster([&] { w->PostMessage(100, 10); });
        poster.join();
        w->Destroy();
    }
    EXPECT_EQ(ui.driver.Pump(), 0) << "the post to the destroyed window is dropped";
    EXPECT_EQ(userMessages, 1);
}

TEST(UiLayer, PostsAfterTheLoopAreDropped) {
    HeadlessUi ui;
    int ran = 0;
    {
        TestApp app;
        ui::PostToUi(nullptr, [&] { ++ran; });
        EXPECT_EQ(ui.driver.Pump(), 1);
        app.Run();  // no main window: the loop ends at once
        std::thread poster([&] { ui::PostToUi(nullptr, [&] { ++ran; }); });
        poster.join();
        EXPECT_EQ(ui.driver.Pump(), 0);
    }
    EXPECT_EQ(ran, 1);
}

}  // namespace
