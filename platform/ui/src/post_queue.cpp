#include "platform/ui/post_queue.h"

#include "platform/ui/window.h"
#include "ui_state.h"

namespace ui {

void PostToUi(Window* target, std::function<void()> fn) {
    UiState& s = State();
    Backend* wake = nullptr;
    {
        std::lock_guard<std::mutex> lock(s.postsLock);
        if (!s.postsAccepted) return;
        Post p;
        p.targeted = target != nullptr;
        if (target != nullptr) p.target = target->Life();
        p.fn = std::move(fn);
        s.posts.push_back(std::move(p));
        wake = s.backend;
    }
    s.postsReady.notify_all();
    if (wake != nullptr) wake->WakeForPosts();
}

int PumpPosts() {
    UiState& s = State();
    std::deque<Post> batch;
    {
        std::lock_guard<std::mutex> lock(s.postsLock);
        batch.swap(s.posts);
    }
    int ran = 0;
    for (Post& p : batch) {
        if (p.targeted) {
            auto life = p.target.lock();
            if (!life || !life->alive) continue;
        }
        p.fn();
        ++ran;
    }
    return ran;
}

int PumpPostsWait(std::chrono::milliseconds timeout) {
    UiState& s = State();
    {
        std::unique_lock<std::mutex> lock(s.postsLock);
        s.postsReady.wait_for(lock, timeout, [&] { return !s.posts.empty(); });
    }
    return PumpPosts();
}

void SetPostsAccepted(bool accepted) {
    UiState& s = State();
    std::lock_guard<std::mutex> lock(s.postsLock);
    s.postsAccepted = accepted;
    if (!accepted) s.posts.clear();
}

}  // namespace ui
