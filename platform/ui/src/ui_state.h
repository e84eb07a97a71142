#pragma once
// The layer's module-wide state.
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/ui/backend.h"

namespace ui {

struct Post {
    bool targeted = false;
    std::weak_ptr<WindowLife> target;
    std::function<void()> fn;
};

struct UiState {
    Backend* backend = nullptr;
    App* app = nullptr;
    std::thread::id uiThread{};
    std::mutex postsLock;
    std::condition_variable postsReady;
    std::deque<Post> posts;
    bool postsAccepted = true;
};

UiState& State();
// Forgets the back end, the application and every queued post.
void ResetUiState();

}  // namespace ui
