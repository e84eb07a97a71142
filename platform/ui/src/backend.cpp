#include "platform/ui/backend.h"

#include "ui_state.h"

namespace ui {

UiState& State() {
    static UiState state;
    return state;
}

void ResetUiState() {
    UiState& s = State();
    std::lock_guard<std::mutex> lock(s.postsLock);
    s.backend = nullptr;
    s.app = nullptr;
    s.uiThread = {};
    s.posts.clear();
    s.postsAccepted = true;
}

void SetBackend(Backend* backend) { State().backend = backend; }
Backend* CurrentBackend() { return State().backend; }

Rect DialogToPixels(int x, int y, int cx, int cy) {
    Size base{8, 16};
    if (Backend* b = CurrentBackend()) base = b->DialogBaseUnits();
    auto h = [&](int v) { return v * base.cx / 4; };
    auto v = [&](int w) { return w * base.cy / 8; };
    return Rect{h(x), v(y), h(cx), v(cy)};
}

}  // namespace ui
