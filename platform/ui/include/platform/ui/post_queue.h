#pragma once
// Work posted to the UI thread from any thread: one locked FIFO queue.
#include <chrono>
#include <functional>

namespace ui {

class Window;

// Queues `fn` for the UI thread; with a window, it is dropped if the window
// is destroyed first. Dropped after the loop has ended.
void PostToUi(Window* target, std::function<void()> fn);
// Runs what is queued now; the number run.
int PumpPosts();
// Waits up to `timeout` for a post, then pumps; the number run.
int PumpPostsWait(std::chrono::milliseconds timeout);
// Stops or resumes accepting posts (the loop's end, a new start).
void SetPostsAccepted(bool accepted);

}  // namespace ui
