#include "platform/ui/window.h"

#include "platform/ui/backend.h"
#include "platform/ui/post_queue.h"

namespace ui {

Window::Window() : life_(std::make_shared<WindowLife>()) {}

Window::~Window() {
    // A derived window's members are gone by now: its hooks ran at Destroy().
    destroyHandlers_.clear();
    Destroy();
}

void Window::CreateControls(const DialogTemplate& tmpl) {
    if (destroyed_) {
        // A dialog object may be shown again after it ended.
        destroyed_ = false;
        life_ = std::make_shared<WindowLife>();
    }
    controls_.clear();
    focus_ = 0;
    for (const ControlTemplate& t : tmpl.controls) {
        Control c;
        c.kind = t.kind;
        c.id = t.id >= 0 ? t.id : nextFixedId_--;
        c.style = t.style;
        Rect r = DialogToPixels(t.x, t.y, t.cx, t.cy);
        c.x = r.x, c.y = r.y, c.cx = r.cx, c.cy = r.cy;
        if (t.kind == ControlKind::BitmapStatic || t.kind == ControlKind::IconStatic ||
            t.kind == ControlKind::IconButton)
            c.icon = t.image;
        else
            c.text = std::string(t.text);
        c.visible = !c.Has(kHidden);
        c.enabled = !c.Has(kDisabled);
        for (std::string_view col : t.columns) {
            c.columns.emplace_back(col);
            c.columnAlign.push_back(ColumnAlign::Left);
            c.columnWidth.push_back(0);
        }
        controls_[c.id] = std::move(c);
    }
    SetTitle(tmpl.title);
    Rect r = DialogToPixels(0, 0, tmpl.cx, tmpl.cy);
    bounds_.cx = r.cx;
    bounds_.cy = r.cy;
    MarkCreated();
}

void Window::MarkCreated() {
    if (created_) return;
    created_ = true;
    if (Backend* b = CurrentBackend()) b->Created(*this);
}

void Window::Destroy() {
    if (destroyed_) return;
    destroyed_ = true;
    life_->alive = false;
    auto handlers = std::move(destroyHandlers_);
    for (auto& fn : handlers) fn();
    auto timers = std::move(timers_);
    timers_.clear();
    if (Backend* b = CurrentBackend())
        for (const auto& [id, period] : timers) b->TimerKilled(*this, id);
    for (auto& [id, c] : controls_)
        if (c.kind == ControlKind::Tree) TreeClear(c);
    if (created_) {
        created_ = false;
        if (Backend* b = CurrentBackend()) b->Destroyed(*this);
    }
}

Control* Window::Find(int id) {
    auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : &it->second;
}

const Control* Window::Find(int id) const {
    auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : &it->second;
}

void Window::Changed(int id) {
    if (Backend* b = CurrentBackend()) b->Changed(*this, id);
}

bool Window::SetText(int id, std::string_view text) {
    Control* c = Find(id);
    if (c == nullptr) return false;
    c->text = std::string(text);
    Changed(id);
    return true;
}

std::optional<std::string> Window::GetText(int id) const {
    const Control* c = Find(id);
    if (c == nullptr) return std::nullopt;
    return c->text;
}

bool Window::Enable(int id, bool on) {
    Control* c = Find(id);
    if (c == nullptr) return false;
    c->enabled = on;
    if (!on && focus_ == id) focus_ = 0;
    Changed(id);
    return true;
}

bool Window::IsEnabled(int id) const {
    const Control* c = Find(id);
    return c != nullptr && c->enabled;
}

bool Window::Show(int id, bool on) {
    Control* c = Find(id);
    if (c == nullptr) return false;
    c->visible = on;
    if (!on && focus_ == id) focus_ = 0;
    Changed(id);
    return true;
}

bool Window::IsVisible(int id) const {
    const Control* c = Find(id);
    return c != nullptr && c->visible;
}

bool Window::SetCheck(int id, bool on) {
    Control* c = Find(id);
    if (c == nullptr) return false;
    c->checked = on;
    Changed(id);
    return true;
}

bool Window::GetCheck(int id) const {
    const Control* c = Find(id);
    return c != nullptr && c->checked;
}

bool Window::SetBold(int id) {
    Control* c = Find(id);
    if (c == nullptr) return false;
    c->bold = true;
    Changed(id);
    return true;
}

bool Window::SetIcon(int id, int icon) {
    Control* c = Find(id);
    if (c == nullptr) return false;
    c->icon = icon;
    Changed(id);
    return true;
}

bool Window::SetFocus(int id) {
    Control* c = Find(id);
    if (c == nullptr || !c->Usable()) return false;
    focus_ = id;
    Changed(id);
    return true;
}

int Window::SetTimer(int id, unsigned periodMs) {
    if (destroyed_) return 0;
    timers_[id] = periodMs;
    if (Backend* b = CurrentBackend()) b->TimerSet(*this, id, periodMs);
    return id;
}

bool Window::KillTimer(int id) {
    if (timers_.erase(id) == 0) return false;
    if (Backend* b = CurrentBackend()) b->TimerKilled(*this, id);
    return true;
}

void Window::PostMessage(int n, intptr_t value) {
    Window* self = this;
    PostToUi(this, [self, n, value] { self->RaiseUser(n, value); });
}

void Window::SetWindowIcon(int icon) {
    icon_ = icon;
    Changed(0);
}

void Window::SetTitle(std::string_view title) {
    title_ = std::string(title);
    Changed(0);
}

void Window::CenterWindow() {
    Size screen{1024, 768};
    if (Backend* b = CurrentBackend()) screen = b->ScreenSize();
    bounds_.x = (screen.cx - bounds_.cx) / 2;
    bounds_.y = (screen.cy - bounds_.cy) / 2;
    Changed(0);
}

void Window::OnNotify(Notify code, int id, std::function<void()> fn) { notifies_[{code, id}] = std::move(fn); }

void Window::OnTreeExpanding(int id, std::function<bool(TreeHandle)> fn) { expanding_[id] = std::move(fn); }

bool Window::RaiseNotify(Notify code, int id) {
    auto it = notifies_.find({code, id});
    if (it == notifies_.end()) return false;
    auto fn = it->second;
    fn();
    return true;
}

bool Window::RaiseTreeExpanding(int id, TreeHandle item) {
    auto it = expanding_.find(id);
    if (it == expanding_.end()) return true;
    auto fn = it->second;
    return fn(item);
}

void Window::RaiseTimer(int id) {
    if (timers_.count(id) == 0 || !timerHandler_) return;
    auto fn = timerHandler_;
    fn(id);
}

void Window::RaiseUser(int n, intptr_t value) {
    auto it = userHandlers_.find(n);
    if (it == userHandlers_.end()) return;
    auto fn = it->second;
    fn(value);
}

}  // namespace ui
