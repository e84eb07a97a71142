// Boxes, the file dialog, the busy cursor, screen size and dialog units.
#include <wx/display.h>
#include <wx/filedlg.h>
#include <wx/msgdlg.h>

#include "platform/ui/app.h"
#include "platform/ui/services.h"
#include "platform/ui/wx.h"
#include "wx_impl.h"
#include "wx_state.h"

namespace ui {

wxBitmap ImageBitmap(int id) {
    const ImageResource* img = CurrentResources().Image(id);
    if (img == nullptr || img->xpm.empty()) return wxBitmap();
    return wxBitmap(img->xpm.data());
}

namespace {

long BoxStyle(Icon icon, Buttons buttons) {
    long style = 0;
    switch (buttons) {
        case Buttons::Ok: style = wxOK; break;
        case Buttons::OkCancel: style = wxOK | wxCANCEL; break;
        case Buttons::YesNo: style = wxYES_NO; break;
        case Buttons::YesNoCancel: style = wxYES_NO | wxCANCEL; break;
    }
    switch (icon) {
        case Icon::None: style |= wxICON_NONE; break;
        case Icon::Information: style |= wxICON_INFORMATION; break;
        case Icon::Warning: style |= wxICON_WARNING; break;
        case Icon::Error: style |= wxICON_ERROR; break;
        case Icon::Question: style |= wxICON_QUESTION; break;
    }
    return style;
}

int BoxAnswer(int wxAnswer) {
    switch (wxAnswer) {
        case wxID_OK: return kIdOk;
        case wxID_YES: return kIdYes;
        case wxID_NO: return kIdNo;
        default: return kIdCancel;
    }
}

// "*.*" means every file; the toolkit spells that "*".
std::string Pattern(const std::string& p) { return p == "*.*" ? "*" : p; }

}  // namespace

int WxBackend::ShowMessageBox(Window* owner, const std::string& text, const std::string& caption, Icon icon,
                              Buttons buttons) {
    if (!OnUiThread()) return kIdCancel;
    wxWindow* parent = nullptr;
    if (owner != nullptr)
        if (WxWindow* w = impl_->Find(owner)) parent = w->top;
    if (parent == nullptr) parent = impl_->MainWxFrame();
    wxMessageDialog box(parent, Wx(text), Wx(caption), BoxStyle(icon, buttons));
    return BoxAnswer(box.ShowModal());
}

std::optional<std::vector<std::string>> WxBackend::ShowFileDialog(const FileDialogRequest& request) {
    if (impl_->scriptedFile) {
        std::vector<std::string> chosen{*impl_->scriptedFile};
        impl_->scriptedFile.reset();
        return chosen;
    }
    wxString wildcard;
    for (const auto& [description, pattern] : request.filters) {
        if (!wildcard.empty()) wildcard += "|";
        wildcard += Wx(description) + "|" + Wx(Pattern(pattern));
    }
    if (wildcard.empty()) wildcard = "*";
    wxFileDialog dialog(impl_->MainWxFrame(), Wx(request.title), Wx(request.directory), wxString(), wildcard,
                        wxFD_OPEN | wxFD_FILE_MUST_EXIST | wxFD_MULTIPLE);
    if (dialog.ShowModal() != wxID_OK) return std::nullopt;
    wxArrayString paths;
    dialog.GetPaths(paths);
    std::vector<std::string> chosen;
    for (const wxString& p : paths) chosen.push_back(Utf8(p));
    return chosen;
}

Size WxBackend::ScreenSize() const {
    wxSize s = wxGetDisplaySize();
    return {s.x, s.y};
}

Size WxBackend::DialogBaseUnits() const {
    // From the face the controls are drawn in, at its own size: a window
    // grows with a larger face, as its texts do.
    std::optional<Size>& units = WxState().dialogBaseUnits;
    if (!units) {
        auto* probe = new wxFrame(nullptr, wxID_ANY, wxString());
        probe->SetFont(wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT));
        wxSize px = probe->ConvertDialogToPixels(wxSize(4, 8));
        probe->Destroy();
        units = Size{px.x > 0 ? px.x : 8, px.y > 0 ? px.y : 16};
    }
    return *units;
}

void WxBackend::WaitCursor(bool on) {
    if (on)
        wxBeginBusyCursor();
    else if (wxIsBusy())
        wxEndBusyCursor();
}

}  // namespace ui
