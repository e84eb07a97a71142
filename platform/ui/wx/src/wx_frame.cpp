// The main frame: menu bar, toolbar and status bar mirrored from the model,
// commands routed back to it.
#include <wx/toolbar.h>
#include <wx/utils.h>

#include "platform/ui/app.h"
#include "wx_impl.h"

namespace ui {
namespace {

long WxFrameStyle(uint32_t s) {
    long style = wxCLIP_CHILDREN;
    if (s & kCaption) style |= wxCAPTION;
    if (s & kSysMenu) style |= wxSYSTEM_MENU | wxCLOSE_BOX;
    if (s & kMinimizeBox) style |= wxMINIMIZE_BOX;
    if (s & kMaximizeBox) style |= wxMAXIMIZE_BOX;
    if (s & kThickFrame) style |= wxRESIZE_BORDER;
    return style;
}

}  // namespace

wxString MenuText(std::string_view text) { return Wx(text); }

void WxBackendImpl::CreateFrame(Frame& frame) {
    const Rect& b = frame.Bounds();
    auto* f = new wxFrame(nullptr, wxID_ANY, Wx(frame.Title()), wxDefaultPosition, wxSize(b.cx, b.cy),
                          WxFrameStyle(frame.Style()));
    frame_ = &frame;
    wxFrame_ = f;
    WxWindow& w = windows_[&frame];
    w.model = &frame;
    w.top = f;
    TrackPaint(w);
    const MenuTemplate* menu = CurrentResources().Menu(frame.MenuId());
    if (menu != nullptr) {
        auto* bar = new wxMenuBar;
        for (const MenuItem& top : menu->bar) {
            auto* popup = new wxMenu;
            for (const MenuItem& item : top.popup) {
                if (item.id == 0) {
                    popup->AppendSeparator();
                    continue;
                }
                int wxId = wxWindow::NewControlId();
                menuToLayer_[wxId] = item.id;
                menuToWx_[item.id] = wxId;
                // The framework's bar commands show their bar's state.
                bool bar = item.id == kIdViewToolbar || item.id == kIdViewStatusBar;
                popup->Append(wxId, MenuText(item.text), wxString(), bar ? wxITEM_CHECK : wxITEM_NORMAL);
            }
            bar->Append(popup, MenuText(top.text));
        }
        f->SetMenuBar(bar);
    }
    f->Bind(wxEVT_MENU, [this](wxCommandEvent& e) {
        auto it = menuToLayer_.find(e.GetId());
        if (it != menuToLayer_.end() && frame_ != nullptr) frame_->DispatchCommand(it->second);
    });
    // Menus show their update handlers' state when opened.
    f->Bind(wxEVT_MENU_OPEN, [this](wxMenuEvent& e) {
        e.Skip();
        if (frame_ == nullptr || wxFrame_->GetMenuBar() == nullptr) return;
        for (auto [wxId, id] : menuToLayer_) {
            wxMenuItem* item = wxFrame_->GetMenuBar()->FindItem(wxId);
            if (item == nullptr) continue;
            CmdUi ui = frame_->UpdateCommand(id);
            item->Enable(ui.enabled);
            if (item->IsCheckable()) item->Check(ui.checked);
        }
    });
    f->Bind(wxEVT_MENU_HIGHLIGHT, [this](wxMenuEvent& e) {
        auto it = menuToLayer_.find(e.GetMenuId());
        if (it != menuToLayer_.end() && frame_ != nullptr) frame_->ShowPrompt(it->second);
    });
    f->Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& e) {
        // The model decides; it destroys the real window when it closes.
        if (e.CanVeto()) e.Veto();
        if (frame_ != nullptr) frame_->Close();
    });
    f->Bind(wxEVT_IDLE, [this](wxIdleEvent& e) {
        e.Skip();
        if (frame_ == nullptr) return;
        frame_->OnIdle();
        if (WxWindow* fw = Find(frame_); fw != nullptr && fw->painted) fw->idleAfterPaint = true;
    });
}

bool WxBackendImpl::CreateBar(Frame& frame, BarKind kind) {
    if (&frame != frame_ || wxFrame_ == nullptr) return false;
    if (kind == BarKind::StatusBar) {
        wxStatusBar* sb = wxFrame_->CreateStatusBar(4);
        int widths[4] = {-1, 60, 60, 60};
        sb->SetStatusWidths(4, widths);
        return sb != nullptr;
    }
    // Its tools are added once the model has its buttons (SyncBars).
    return wxFrame_->CreateToolBar(wxTB_HORIZONTAL | wxTB_FLAT) != nullptr;
}

namespace {

const ToolbarTemplate* MatchingToolbar(const Toolbar& bar) {
    for (const ToolbarTemplate* t : CurrentResources().toolbars) {
        if (t->buttons.size() != bar.buttons.size()) continue;
        bool same = true;
        for (size_t i = 0; i < bar.buttons.size(); ++i) same = same && t->buttons[i] == bar.buttons[i].id;
        if (same) return t;
    }
    return nullptr;
}

// The tooltip (after "\n") and the prompt (before it) of a command's string.
std::pair<std::string_view, std::string_view> CommandTexts(int id) {
    std::string_view s = CurrentResources().String(id);
    size_t nl = s.find('\n');
    if (nl == std::string_view::npos) return {s, {}};
    return {s.substr(0, nl), s.substr(nl + 1)};
}

void FillToolbar(wxToolBar* tb, const Toolbar& bar, std::map<int, int>& toLayer, std::map<int, int>& toWx) {
    const ToolbarTemplate* tmpl = MatchingToolbar(bar);
    int image = tmpl != nullptr ? tmpl->firstImage : 0;
    for (const BarButton& b : bar.buttons) {
        if (b.id == 0) {
            tb->AddSeparator();
            continue;
        }
        int wxId = toWx.count(b.id) ? toWx[b.id] : wxWindow::NewControlId();
        toLayer[wxId] = b.id;
        toWx[b.id] = wxId;
        auto [prompt, tip] = CommandTexts(b.id);
        wxBitmap bmp = ImageBitmap(image++);
        if (!bmp.IsOk()) bmp = wxBitmap(16, 15);
        tb->AddTool(wxId, wxString(), bmp, Wx(tip), wxITEM_NORMAL);
        tb->SetToolLongHelp(wxId, Wx(prompt));
    }
    tb->Realize();
}

}  // namespace

void WxBackendImpl::SyncBars(Frame& frame) {
    if (wxFrame_ == nullptr) return;
    Quiet q(quiet);
    if (wxToolBar* tb = wxFrame_->GetToolBar()) {
        const Toolbar& bar = frame.GetToolbar();
        if (tb->GetToolsCount() == 0 && !bar.buttons.empty()) FillToolbar(tb, bar, menuToLayer_, menuToWx_);
        for (const BarButton& b : bar.buttons)
            if (b.id != 0 && menuToWx_.count(b.id)) tb->EnableTool(menuToWx_[b.id], b.enabled);
        if (tb->IsShown() != bar.visible) tb->Show(bar.visible);
    }
    if (wxStatusBar* sb = wxFrame_->GetStatusBar()) {
        StatusBar& st = frame.GetStatusBar();
        if (!st.panes.empty() && Utf8(sb->GetStatusText(0)) != st.panes[0]) sb->SetStatusText(Wx(st.panes[0]), 0);
        // Key states are best effort: the toolkit may not know them.
        static const wxKeyCode keys[3] = {WXK_CAPITAL, WXK_NUMLOCK, WXK_SCROLL};
        for (int i = 0; i < 3 && i + 1 < static_cast<int>(st.panes.size()) && i + 1 < sb->GetFieldsCount(); ++i) {
            bool on = wxGetKeyState(keys[i]);
            wxString text = on ? Wx(st.panes[static_cast<size_t>(i) + 1]) : wxString();
            if (sb->GetStatusText(i + 1) != text) sb->SetStatusText(text, i + 1);
        }
        if (sb->IsShown() != st.visible) sb->Show(st.visible);
    }
}

void WxBackendImpl::SyncFrame(Frame& frame) {
    if (wxFrame_ == nullptr) return;
    Quiet q(quiet);
    if (Utf8(wxFrame_->GetTitle()) != frame.Title()) wxFrame_->SetTitle(Wx(frame.Title()));
    if (frame.WindowIcon() != 0) {
        wxBitmap bmp = ImageBitmap(frame.WindowIcon());
        if (bmp.IsOk()) {
            wxIcon icon;
            icon.CopyFromBitmap(bmp);
            wxFrame_->SetIcon(icon);
        }
    }
    SyncBars(frame);
    // The model's bounds are the view's area; the real frame adds its bars
    // and keeps the same centre.
    const Rect& b = frame.Bounds();
    // Placed only when the model moves it: a user's move stays.
    if (b.cx <= 0 || b.cy <= 0 || (placed_ && b.x == placedAt_.x && b.y == placedAt_.y && b.cx == placedAt_.cx &&
                                   b.cy == placedAt_.cy))
        return;
    placed_ = true;
    placedAt_ = b;
    wxFrame_->SetMinSize(wxDefaultSize);
    wxFrame_->SetMaxSize(wxDefaultSize);
    wxFrame_->SetClientSize(b.cx + formGrowth_.cx, b.cy + formGrowth_.cy);
    wxSize outer = wxFrame_->GetSize();
    wxFrame_->Move(b.x + b.cx / 2 - outer.x / 2, b.y + b.cy / 2 - outer.y / 2);
    if (!(frame.Style() & kThickFrame)) {
        wxFrame_->SetMinSize(outer);
        wxFrame_->SetMaxSize(outer);
    }
    wxFrame_->Layout();
}

void WxBackendImpl::DestroyFrame() {
    if (wxFrame_ != nullptr) {
        windows_.erase(frame_);
        wxFrame_->Destroy();
    }
    wxFrame_ = nullptr;
    frame_ = nullptr;
    placed_ = false;
    if (wxTheApp != nullptr) wxTheApp->ExitMainLoop();
}

}  // namespace ui
