// The user's selection in report lists, current cell in grids and opened
// combo lists, reported to the model. The toolkit raises several events for one action (a click
// deselects the old rows and selects the new), so a list's are gathered and
// reported once, after the toolkit has finished with the action.
#include <wx/grid.h>
#include <wx/listctrl.h>

#include "wx_impl.h"

namespace ui {

void WxBackendImpl::ReportListSelection(Window* model, int id) {
    WxWindow* mine = Find(model);
    if (mine == nullptr || mine->selectionPending.erase(id) == 0) return;
    auto ctl = mine->controls.find(id);
    Control* c = model->Find(id);
    if (ctl == mine->controls.end() || c == nullptr || c->kind != ControlKind::ReportList) return;
    auto* list = static_cast<wxListCtrl*>(ctl->second);
    size_t rows = std::min(c->rowSelected.size(), static_cast<size_t>(list->GetItemCount()));
    for (size_t r = 0; r < rows; ++r)
        c->rowSelected[r] = list->GetItemState(static_cast<long>(r), wxLIST_STATE_SELECTED) != 0;
    model->RaiseNotify(Notify::SelChange, id);
}

void WxBackendImpl::BindSelectionEvents(WxWindow& w) {
    Window* model = w.model;
    auto layerId = [this, model](int wxId) { return LayerId(model, wxId); };
    auto listChanged = [this, model, layerId](wxListEvent& e) {
        int id = layerId(e.GetId());
        WxWindow* mine = Find(model);
        if (quiet > 0 || id == 0 || mine == nullptr) return;
        if (!mine->selectionPending.insert(id).second) return;
        std::weak_ptr<WindowLife> life = model->Life();
        CallAfter([this, model, life, id] {
            auto alive = life.lock();
            if (alive && alive->alive) ReportListSelection(model, id);
        });
    };
    w.top->Bind(wxEVT_LIST_ITEM_SELECTED, listChanged);
    w.top->Bind(wxEVT_LIST_ITEM_DESELECTED, listChanged);
    // An editable combo's list opened by the user; the toolkit tells nothing
    // of a drop-down list's.
    w.top->Bind(wxEVT_COMBOBOX_DROPDOWN, [this, model, layerId](wxCommandEvent& e) {
        e.Skip();
        int id = layerId(e.GetId());
        Control* c = model->Find(id);
        if (quiet > 0 || c == nullptr || c->kind != ControlKind::Combo) return;
        model->RaiseNotify(Notify::DropDown, id);
    });
    w.top->Bind(wxEVT_GRID_SELECT_CELL, [this, model, layerId](wxGridEvent& e) {
        e.Skip();
        int id = layerId(e.GetId());
        Control* c = model->Find(id);
        if (quiet > 0 || c == nullptr || c->kind != ControlKind::Grid) return;
        // Both count cells from 0.
        c->gridCurrentRow = e.GetRow();
        c->gridCurrentColumn = e.GetCol();
        model->RaiseNotify(Notify::SelChange, id);
    });
}

}  // namespace ui
