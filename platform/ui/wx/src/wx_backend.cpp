// The back end's windows and loops: layer windows mirrored as wx windows,
// the main loop, modal loops and the wake-up for posted work.
#include "platform/ui/wx.h"

#include <algorithm>

#include "platform/ui/app.h"
#include "platform/ui/post_queue.h"
#include "platform/ui/services.h"
#include "wx_impl.h"
#include "wx_state.h"

namespace ui {

WxBackend::WxBackend() : impl_(std::make_unique<WxBackendImpl>(*this)) {
    SetBackend(this);
    SetUiThread();
    impl_->Bind(wxEVT_THREAD, &WxBackendImpl::OnPostsWaiting, impl_.get());
}

WxBackend::~WxBackend() {
    // The module's state serves this back end: a script would outlive it.
    ResetWxState();
    if (CurrentBackend() == this) SetBackend(nullptr);
    // Queued wake-ups must not reach a handler that is gone.
    if (wxTheApp != nullptr) wxTheApp->ProcessPendingEvents();
    impl_->DeletePendingEvents();
}

WxWindow* WxBackendImpl::Find(Window* w) {
    auto it = windows_.find(w);
    return it == windows_.end() ? nullptr : &it->second;
}

int WxBackendImpl::LayerId(Window* model, int wxId) {
    WxWindow* mine = Find(model);
    if (mine == nullptr) return 0;
    auto it = mine->toLayer.find(wxId);
    return it == mine->toLayer.end() ? 0 : it->second;
}

WxWindow* WxBackendImpl::FindByTop(wxWindow* top) {
    for (auto& [model, w] : windows_)
        if (w.top == top) return &w;
    return nullptr;
}

WxWindow* WxBackendImpl::TopModalWx() { return modal_.empty() ? nullptr : Find(modal_.back()); }

void WxBackendImpl::TrackPaint(WxWindow& w) {
    Window* model = w.model;
    // Seen through the paint of the window's own area, which its default
    // handler still draws.
    w.top->Bind(wxEVT_ERASE_BACKGROUND, [this, model](wxEraseEvent& e) {
        e.Skip();
        if (WxWindow* mine = Find(model)) mine->painted = true;
    });
    w.top->Bind(wxEVT_IDLE, [this, model](wxIdleEvent& e) {
        e.Skip();
        if (WxWindow* mine = Find(model); mine != nullptr && mine->painted) mine->idleAfterPaint = true;
    });
}

void WxBackendImpl::CreateView(FormView& view) {
    if (wxFrame_ == nullptr || view.ParentFrame() != frame_) return;
    auto* panel = new wxPanel(wxFrame_, wxID_ANY);
    WxWindow& w = windows_[&view];
    w.model = &view;
    w.top = panel;
    CreateControls(w);
    // The frame holds the form as laid out, larger than its template's.
    Size form = view.FormSize();
    formGrowth_ = Size{std::max(0, w.laidOut.cx - form.cx), std::max(0, w.laidOut.cy - form.cy)};
    placed_ = false;
    SyncFrame(*frame_);
}

void WxBackendImpl::CreateDialog(Dialog& dialog) {
    wxWindow* parent = wxFrame_;
    if (Window* owner = dialog.Owner())
        if (WxWindow* o = Find(owner)) parent = o->top;
    const Rect& b = dialog.Bounds();
    auto* d = new wxDialog(parent, wxID_ANY, Wx(dialog.Title()), wxDefaultPosition, wxDefaultSize,
                           wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX);
    d->SetClientSize(b.cx, b.cy);
    WxWindow& w = windows_[&dialog];
    w.model = &dialog;
    w.top = d;
    TrackPaint(w);
    CreateControls(w);
    // Escape, Enter and the close box go through the model, never wx's own
    // OK and Cancel handling.
    d->Bind(wxEVT_CHAR_HOOK, [this, &dialog](wxKeyEvent& e) {
        if (e.GetKeyCode() == WXK_ESCAPE)
            dialog.PressEscape();
        else if (e.GetKeyCode() == WXK_RETURN || e.GetKeyCode() == WXK_NUMPAD_ENTER)
            dialog.PressEnter();
        else
            return e.Skip();
        EndModalIfEnded(dialog);
    });
    d->Bind(wxEVT_CLOSE_WINDOW, [this, &dialog](wxCloseEvent& e) {
        if (e.CanVeto()) e.Veto();
        dialog.PressEscape();
        EndModalIfEnded(dialog);
    });
}

void WxBackendImpl::DestroyWindow(Window& window) {
    if (&window == frame_) return DestroyFrame();
    auto it = windows_.find(&window);
    if (it == windows_.end()) return;
    wxWindow* top = it->second.top;
    windows_.erase(it);
    if (auto* d = dynamic_cast<wxDialog*>(top); d != nullptr && d->IsModal()) d->EndModal(kIdCancel);
    top->Destroy();
}

void WxBackendImpl::EndModalIfEnded(Dialog& dialog) {
    WxWindow* w = Find(&dialog);
    if (w == nullptr || !dialog.Ended()) return;
    auto* d = static_cast<wxDialog*>(w->top);
    if (d->IsModal()) d->EndModal(dialog.EndCode());
}

int WxBackendImpl::RunModal(Dialog& dialog) {
    WxWindow* w = Find(&dialog);
    if (w == nullptr) {
        dialog.EndDialog(kIdCancel);
        return kIdCancel;
    }
    auto* d = static_cast<wxDialog*>(w->top);
    // Placed where the model put it, about the same centre once grown.
    const Rect& b = dialog.Bounds();
    d->Move(b.x - std::max(0, w->laidOut.cx - b.cx) / 2, b.y - std::max(0, w->laidOut.cy - b.cy) / 2);
    modal_.push_back(&dialog);
    if (!dialog.Ended()) d->ShowModal();
    modal_.pop_back();
    if (!dialog.Ended()) dialog.EndDialog(kIdCancel);
    return dialog.EndCode();
}

void WxBackendImpl::OnPostsWaiting(wxThreadEvent&) {
    PumpPosts();
    // Posted work may end a dialog or change the model.
    if (Dialog* d = TopModal()) EndModalIfEnded(*d);
}

void WxBackend::Created(Window& window) {
    if (auto* frame = dynamic_cast<Frame*>(&window))
        impl_->CreateFrame(*frame);
    else if (auto* view = dynamic_cast<FormView*>(&window))
        impl_->CreateView(*view);
    else if (auto* dialog = dynamic_cast<Dialog*>(&window))
        impl_->CreateDialog(*dialog);
}

void WxBackend::Changed(Window& window, int controlId) {
    WxWindow* w = impl_->Find(&window);
    if (w == nullptr) return;
    if (controlId != 0) return impl_->SyncControl(*w, controlId);
    if (auto* frame = dynamic_cast<Frame*>(&window)) return impl_->SyncFrame(*frame);
    Quiet q(impl_->quiet);
    if (Utf8(w->top->GetLabel()) != window.Title() && dynamic_cast<wxDialog*>(w->top) != nullptr)
        w->top->SetLabel(Wx(window.Title()));
}

void WxBackend::Destroyed(Window& window) { impl_->DestroyWindow(window); }

bool WxBackend::CreateBar(Frame& frame, BarKind kind) { return impl_->CreateBar(frame, kind); }

int WxBackend::RunLoop(App& app) {
    Frame* frame = app.MainFrame();
    wxFrame* f = impl_->MainWxFrame();
    if (frame == nullptr || f == nullptr || wxTheApp == nullptr) return 1;
    impl_->SyncFrame(*frame);
    f->Show();
    wxTheApp->SetTopWindow(f);
    wxTheApp->MainLoop();
    return app.MainFrame() == nullptr ? 0 : 1;
}

int WxBackend::RunModal(Dialog& dialog) { return impl_->RunModal(dialog); }

void WxBackend::TimerSet(Window& window, int id, unsigned periodMs) { impl_->SetTimer(window, id, periodMs); }

void WxBackend::TimerKilled(Window& window, int id) { impl_->KillTimer(&window, id); }

void WxBackend::WakeForPosts() { wxQueueEvent(impl_.get(), new wxThreadEvent()); }

}  // namespace ui
