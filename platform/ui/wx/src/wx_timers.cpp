// The layer's timers on the toolkit's clock: each fires into its window on
// the UI thread, modal loops too, until killed or its window goes.
#include <climits>

#include "wx_impl.h"

namespace ui {
namespace {
// The shortest period a timer gets, as a desktop's timers have one.
constexpr unsigned kShortestPeriodMs = 10;
}  // namespace

void LayerTimer::Notify() {
    auto life = life_.lock();
    if (!life || !life->alive) return impl_.KillTimer(model_, id_, this);
    ++firing_;
    impl_.FireTimer(*model_, id_);
    if (--firing_ == 0 && !IsRunning()) impl_.ScheduleRetiredTimers();
}

void WxBackendImpl::SetTimer(Window& w, int id, unsigned periodMs) {
    unsigned period = periodMs < kShortestPeriodMs ? kShortestPeriodMs : periodMs;
    if (period > static_cast<unsigned>(INT_MAX)) period = INT_MAX;
    // Set again, or left by an earlier window at the same address: replaced.
    KillTimer(&w, id);
    auto timer = std::make_unique<LayerTimer>(*this, w, id);
    timer->Start(static_cast<int>(period));
    timers_[{&w, id}] = std::move(timer);
}

void WxBackendImpl::KillTimer(Window* w, int id, const LayerTimer* only) {
    auto it = timers_.find({w, id});
    if (it == timers_.end() || (only != nullptr && it->second.get() != only)) return;
    it->second->Stop();
    retiredTimers_.push_back(std::move(it->second));
    timers_.erase(it);
    ScheduleRetiredTimers();
}

void WxBackendImpl::ScheduleRetiredTimers() {
    if (retireScheduled_) return;
    retireScheduled_ = true;
    CallAfter([this] {
        retireScheduled_ = false;
        // One still inside its Notify (its handler opened a box) waits for
        // that Notify to end.
        std::erase_if(retiredTimers_, [](const auto& t) { return !t->Firing(); });
    });
}

void WxBackendImpl::FireTimer(Window& w, int id) {
    std::weak_ptr<WindowLife> life = w.Life();
    w.RaiseTimer(id);
    auto alive = life.lock();
    if (!alive || !alive->alive) return;
    // A handler may have ended its dialog.
    if (auto* d = dynamic_cast<Dialog*>(&w)) EndModalIfEnded(*d);
}

bool WxBackendImpl::TimerRunning(Window* w, int id) const {
    auto it = timers_.find({w, id});
    return it != timers_.end() && it->second->IsRunning();
}

}  // namespace ui
