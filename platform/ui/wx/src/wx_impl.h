#pragma once
// The wx back end's own state: the real window behind each layer window, the
// id tables both ways, the open modal dialogs and the script hook's view of
// them.
#include <wx/timer.h>
#include <wx/treebase.h>
#include <wx/wx.h>

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/ui/backend.h"
#include "platform/ui/dialog.h"
#include "platform/ui/frame.h"

namespace ui {

class WxBackend;
class WxBackendImpl;

// A layer window's wx side. wx ids are our own (wx refuses ids above 32767,
// and the program's go above it); `toLayer` maps them back.
struct WxWindow {
    Window* model = nullptr;
    wxWindow* top = nullptr;  // wxFrame, wxDialog or the view's wxPanel
    std::map<int, wxWindow*> controls;
    std::map<int, int> toLayer;
    std::vector<std::unique_ptr<wxFont>> fonts;  // live as long as the window
    // Each radio's hidden group leader, checked when the model checks none.
    std::map<int, wxRadioButton*> radioNone;
    // Each tree's items by the layer's handles.
    std::map<int, std::map<TreeHandle, wxTreeItemId>> treeItems;
    // Each tree's image bitmap as shown (0: none).
    std::map<int, int> treeImages;
    // Lists whose user selection is waiting to be reported (one notification
    // for the toolkit's several events of one action).
    std::set<int> selectionPending;
    // The client size once the controls have their natural sizes; none yet
    // before they are placed.
    Size laidOut;
    bool painted = false;
    bool idleAfterPaint = false;
};

// Raised during a programmatic change: toolkit events then are dropped.
class Quiet {
public:
    explicit Quiet(int& depth) : depth_(depth) { ++depth_; }
    ~Quiet() { --depth_; }
    Quiet(const Quiet&) = delete;
    Quiet& operator=(const Quiet&) = delete;

private:
    int& depth_;
};

// A layer timer on the toolkit's clock. Killed ones are deleted later, never
// inside their own Notify.
class LayerTimer : public wxTimer {
public:
    LayerTimer(WxBackendImpl& impl, Window& model, int id) : impl_(impl), model_(&model), life_(model.Life()), id_(id) {}
    void Notify() override;
    bool Firing() const { return firing_ > 0; }

private:
    WxBackendImpl& impl_;
    Window* model_;
    std::weak_ptr<WindowLife> life_;
    int id_;
    int firing_ = 0;
};

class WxBackendImpl : public wxEvtHandler {
public:
    explicit WxBackendImpl(WxBackend& owner) : owner_(owner) {}

    WxWindow* Find(Window* w);
    WxWindow* FindByTop(wxWindow* top);
    // The layer's id of a toolkit id in `model`'s window; 0 once it is gone.
    int LayerId(Window* model, int wxId);
    Frame* MainFrame() const { return frame_; }
    wxFrame* MainWxFrame() const { return wxFrame_; }
    // The innermost open modal dialog, or none.
    Dialog* TopModal() const { return modal_.empty() ? nullptr : modal_.back(); }
    WxWindow* TopModalWx();
    bool Ready(const WxWindow& w) const { return w.painted && w.idleAfterPaint; }
    // A script's answer to the next file dialog, which then does not show.
    std::optional<std::string> scriptedFile;

    // Frames (wx_frame.cpp).
    void CreateFrame(Frame& frame);
    void SyncFrame(Frame& frame);
    bool CreateBar(Frame& frame, BarKind kind);
    void SyncBars(Frame& frame);
    void DestroyFrame();

    // Controls (wx_controls.cpp).
    void CreateControls(WxWindow& w);
    void SyncControl(WxWindow& w, int id);
    void BindControlEvents(WxWindow& w);
    // Sizes each control to its text and the window to its controls.
    void PlaceControls(WxWindow& w);
    void Refuse(wxCommandEvent& e, const Control& c);

    // Trees (wx_tree.cpp): mirrored item by item, so that a handler filling
    // an item while the user expands it never pulls the item away.
    void SyncTree(WxWindow& w, int id);
    void BindTreeEvents(WxWindow& w);

    // Report lists and grids: the user's selection and current cell
    // (wx_selection.cpp).
    void BindSelectionEvents(WxWindow& w);
    void ReportListSelection(Window* model, int id);

    // Timers (wx_timers.cpp).
    void SetTimer(Window& w, int id, unsigned periodMs);
    // `only`: that timer and no later one at the same window address.
    void KillTimer(Window* w, int id, const LayerTimer* only = nullptr);
    void FireTimer(Window& w, int id);
    bool TimerRunning(Window* w, int id) const;
    // Deletes the killed timers that are not inside their Notify, later.
    void ScheduleRetiredTimers();

    // Windows and loops (wx_backend.cpp).
    void CreateView(FormView& view);
    void CreateDialog(Dialog& dialog);
    void DestroyWindow(Window& window);
    void TrackPaint(WxWindow& w);
    int RunModal(Dialog& dialog);
    void EndModalIfEnded(Dialog& dialog);
    void OnPostsWaiting(wxThreadEvent&);

    int quiet = 0;        // > 0 during programmatic changes
    int inTreeEvent = 0;  // > 0 while a user's tree event is handled

private:
    void PlaceTop(WxWindow& w);

    WxBackend& owner_;
    std::map<Window*, WxWindow> windows_;
    Frame* frame_ = nullptr;
    wxFrame* wxFrame_ = nullptr;
    Rect placedAt_;
    bool placed_ = false;
    Size formGrowth_;  // what the form's natural sizes added to its template
    std::map<int, int> menuToLayer_;
    std::map<int, int> menuToWx_;
    std::vector<Dialog*> modal_;
    std::map<std::pair<Window*, int>, std::unique_ptr<LayerTimer>> timers_;
    std::vector<std::unique_ptr<LayerTimer>> retiredTimers_;
    bool retireScheduled_ = false;
};

// wx text from the layer's UTF-8 and back.
inline wxString Wx(const std::string& s) { return wxString::FromUTF8(s.data(), s.size()); }
inline wxString Wx(std::string_view s) { return wxString::FromUTF8(s.data(), s.size()); }
inline std::string Utf8(const wxString& s) {
    auto b = s.utf8_str();
    return std::string(b.data(), b.length());
}
// An image resource as a bitmap (an empty one when missing).
wxBitmap ImageBitmap(int id);
// "&File" stays; "\t" accelerator texts pass through.
wxString MenuText(std::string_view text);

}  // namespace ui
