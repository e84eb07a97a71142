// The layer's controls as wx controls: created from the model, kept equal to
// it without raising anything, user actions reported back through the model.
#include <wx/bmpbuttn.h>
#include <wx/grid.h>
#include <wx/listctrl.h>
#include <wx/statbmp.h>
#include <wx/treectrl.h>

#include "wx_impl.h"

namespace ui {
namespace {

wxWindow* MakeControl(wxWindow* parent, int wxId, const Control& c) {
    wxPoint pos(c.x, c.y);
    wxSize size(c.cx, c.cy);
    switch (c.kind) {
        case ControlKind::Static:
            return new wxStaticText(parent, wxId, Wx(c.text), pos, size, wxST_NO_AUTORESIZE);
        case ControlKind::GroupBox:
            return new wxStaticBox(parent, wxId, Wx(c.text), pos, size);
        case ControlKind::BitmapStatic:
        case ControlKind::IconStatic:
            return new wxStaticBitmap(parent, wxId, ImageBitmap(c.icon), pos, size);
        case ControlKind::PushButton:
            return new wxButton(parent, wxId, Wx(c.text), pos, size);
        case ControlKind::IconButton:
            return new wxBitmapButton(parent, wxId, ImageBitmap(c.icon), pos, size);
        case ControlKind::CheckBox:
            return new wxCheckBox(parent, wxId, Wx(c.text), pos, size);
        case ControlKind::Radio:
            return new wxRadioButton(parent, wxId, Wx(c.text), pos, size, c.Has(kGroup) ? wxRB_GROUP : 0);
        case ControlKind::Edit:
            return new wxTextCtrl(parent, wxId, Wx(c.text), pos, size, c.Has(kReadOnly) ? wxTE_READONLY : 0);
        case ControlKind::Combo:
            // The layer keeps the order; the toolkit never sorts.
            if (c.Has(kDropDownList)) return new wxChoice(parent, wxId, pos, size);
            return new wxComboBox(parent, wxId, Wx(c.text), pos, size, 0, nullptr, wxCB_DROPDOWN);
        case ControlKind::ReportList: {
            long style = wxLC_REPORT | (c.Has(kMultiSelect) ? 0 : wxLC_SINGLE_SEL);
            auto* list = new wxListCtrl(parent, wxId, pos, size, style);
            for (size_t i = 0; i < c.columns.size(); ++i)
                list->InsertColumn(static_cast<long>(i), Wx(c.columns[i]));
            return list;
        }
        case ControlKind::Tree:
            return new wxTreeCtrl(parent, wxId, pos, size, wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT | wxTR_HIDE_ROOT);
        case ControlKind::Grid: {
            auto* grid = new wxGrid(parent, wxId, pos, size);
            grid->CreateGrid(0, static_cast<int>(c.columns.size()));
            grid->EnableEditing(false);
            for (size_t i = 0; i < c.columns.size(); ++i) grid->SetColLabelValue(static_cast<int>(i), Wx(c.columns[i]));
            return grid;
        }
    }
    return nullptr;
}

void SyncCombo(wxWindow* w, const Control& c) {
    auto* items = dynamic_cast<wxItemContainer*>(w);
    if (items == nullptr) return;
    bool same = items->GetCount() == c.entries.size();
    for (size_t i = 0; same && i < c.entries.size(); ++i)
        same = Utf8(items->GetString(static_cast<unsigned>(i))) == c.entries[i];
    if (!same) {
        items->Clear();
        for (const std::string& e : c.entries) items->Append(Wx(e));
    }
    if (auto* choice = dynamic_cast<wxChoice*>(w)) {
        if (choice->GetSelection() != c.selection) choice->SetSelection(c.selection);
    } else if (auto* combo = dynamic_cast<wxComboBox*>(w)) {
        if (c.selection >= 0 && combo->GetSelection() != c.selection)
            combo->SetSelection(c.selection);
        else if (c.selection < 0 && Utf8(combo->GetValue()) != c.text)
            combo->ChangeValue(Wx(c.text));
    }
}

void SyncList(wxListCtrl* list, const Control& c) {
    while (list->GetColumnCount() < static_cast<int>(c.columns.size())) {
        int i = list->GetColumnCount();
        const auto at = static_cast<size_t>(i);
        const ColumnAlign align = at < c.columnAlign.size() ? c.columnAlign[at] : ColumnAlign::Left;
        const int width = at < c.columnWidth.size() && c.columnWidth[at] > 0 ? c.columnWidth[at] : -1;
        list->InsertColumn(i, Wx(c.columns[at]),
                           align == ColumnAlign::Right    ? wxLIST_FORMAT_RIGHT
                           : align == ColumnAlign::Center ? wxLIST_FORMAT_CENTRE
                                                          : wxLIST_FORMAT_LEFT,
                           width);
    }
    if (list->GetItemCount() != static_cast<int>(c.rows.size())) list->DeleteAllItems();
    for (size_t r = 0; r < c.rows.size(); ++r) {
        long row = static_cast<long>(r);
        if (row >= list->GetItemCount()) list->InsertItem(row, wxString());
        for (size_t col = 0; col < c.rows[r].size(); ++col)
            if (Utf8(list->GetItemText(row, static_cast<int>(col))) != c.rows[r][col])
                list->SetItem(row, static_cast<int>(col), Wx(c.rows[r][col]));
        bool sel = r < c.rowSelected.size() && c.rowSelected[r];
        list->SetItemState(row, sel ? wxLIST_STATE_SELECTED : 0, wxLIST_STATE_SELECTED);
    }
}

void SyncGrid(wxGrid* grid, const Control& c) {
    if (grid->GetNumberRows() < c.gridRows) grid->AppendRows(c.gridRows - grid->GetNumberRows());
    if (grid->GetNumberRows() > c.gridRows) grid->DeleteRows(c.gridRows, grid->GetNumberRows() - c.gridRows);
    // The layer counts cells from 0, as wxGrid does.
    for (const auto& [rc, text] : c.cells) {
        int r = rc.first, col = rc.second;
        if (r >= 0 && col >= 0 && r < grid->GetNumberRows() && col < grid->GetNumberCols())
            grid->SetCellValue(r, col, Wx(text));
    }
    // Columns wide enough for their captions and texts.
    grid->AutoSizeColumns(false);
    for (int col = 0; col < grid->GetNumberCols(); ++col)
        if (grid->GetColSize(col) < grid->GetTextExtent(grid->GetColLabelValue(col)).x + 12)
            grid->SetColSize(col, grid->GetTextExtent(grid->GetColLabelValue(col)).x + 12);
}

void SyncTree(wxTreeCtrl* tree, const Control& c) {
    // Rebuilt from the model; the generic tree's own events are dropped meanwhile.
    tree->DeleteAllItems();
    wxTreeItemId root = tree->AddRoot(wxString());
    std::map<TreeHandle, wxTreeItemId> ids;
    std::vector<std::pair<TreeHandle, wxTreeItemId>> todo;
    for (TreeHandle h : c.treeRoots) todo.emplace_back(h, root);
    for (size_t i = 0; i < todo.size(); ++i) {
        auto it = c.tree.find(todo[i].first);
        if (it == c.tree.end()) continue;
        wxTreeItemId id = tree->AppendItem(todo[i].second, Wx(it->second.text));
        ids[todo[i].first] = id;
        if (it->second.hasChildren) tree->SetItemHasChildren(id, true);
        for (TreeHandle child : it->second.children) todo.emplace_back(child, id);
    }
    for (const auto& [h, id] : ids) {
        auto it = c.tree.find(h);
        if (it != c.tree.end() && it->second.expanded && tree->ItemHasChildren(id)) tree->Expand(id);
    }
    if (auto sel = ids.find(c.treeSelection); sel != ids.end()) tree->SelectItem(sel->second);
}

}  // namespace

void WxBackendImpl::CreateControls(WxWindow& w) {
    // Group boxes first: on GTK a box created later covers its contents.
    for (int pass = 0; pass < 2; ++pass)
        for (const auto& [id, c] : w.model->Controls()) {
            if ((c.kind == ControlKind::GroupBox) != (pass == 0)) continue;
            int wxId = wxWindow::NewControlId();
            wxWindow* ctl = MakeControl(w.top, wxId, c);
            if (ctl == nullptr) continue;
            w.controls[id] = ctl;
            w.toLayer[wxId] = id;
            SyncControl(w, id);
        }
    BindControlEvents(w);
}

void WxBackendImpl::SyncControl(WxWindow& w, int id) {
    const Control* c = w.model->Find(id);
    auto it = w.controls.find(id);
    if (c == nullptr || it == w.controls.end()) return;
    Quiet q(quiet);
    wxWindow* ctl = it->second;
    if (ctl->IsShown() != c->visible) ctl->Show(c->visible);
    if (ctl->IsEnabled() != c->enabled) ctl->Enable(c->enabled);
    if (c->bold && ctl->GetFont().GetWeight() != wxFONTWEIGHT_BOLD) {
        // Bold and a little larger, in the dialog's face: a heading.
        w.fonts.push_back(std::make_unique<wxFont>(ctl->GetFont().Bold().Scaled(1.2f)));
        ctl->SetFont(*w.fonts.back());
    }
    switch (c->kind) {
        case ControlKind::Static:
        case ControlKind::GroupBox:
        case ControlKind::PushButton:
            if (Utf8(ctl->GetLabel()) != c->text) ctl->SetLabel(Wx(c->text));
            break;
        case ControlKind::CheckBox:
            if (Utf8(ctl->GetLabel()) != c->text) ctl->SetLabel(Wx(c->text));
            static_cast<wxCheckBox*>(ctl)->SetValue(c->checked);
            break;
        case ControlKind::Radio:
            if (Utf8(ctl->GetLabel()) != c->text) ctl->SetLabel(Wx(c->text));
            if (c->checked) static_cast<wxRadioButton*>(ctl)->SetValue(true);
            break;
        case ControlKind::Edit:
            if (Utf8(static_cast<wxTextCtrl*>(ctl)->GetValue()) != c->text)
                static_cast<wxTextCtrl*>(ctl)->ChangeValue(Wx(c->text));
            break;
        case ControlKind::Combo:
            SyncCombo(ctl, *c);
            break;
        case ControlKind::ReportList:
            SyncList(static_cast<wxListCtrl*>(ctl), *c);
            break;
        case ControlKind::Tree:
            SyncTree(static_cast<wxTreeCtrl*>(ctl), *c);
            break;
        case ControlKind::Grid:
            SyncGrid(static_cast<wxGrid*>(ctl), *c);
            break;
        default:
            break;
    }
    if (w.model->Focus() == id && ctl->IsShownOnScreen()) ctl->SetFocus();
}

void WxBackendImpl::BindControlEvents(WxWindow& w) {
    Window* model = w.model;
    auto layerId = [&w](int wxId) {
        auto it = w.toLayer.find(wxId);
        return it == w.toLayer.end() ? 0 : it->second;
    };
    w.top->Bind(wxEVT_BUTTON, [this, model, layerId](wxCommandEvent& e) {
        int id = layerId(e.GetId());
        if (quiet > 0 || id == 0) return;
        model->ButtonClicked(id);
        if (auto* d = dynamic_cast<Dialog*>(model)) EndModalIfEnded(*d);
    });
    auto clicked = [this, model, layerId](wxCommandEvent& e) {
        int id = layerId(e.GetId());
        if (quiet > 0 || id == 0) return;
        {
            Quiet q(quiet);
            model->SetCheck(id, e.IsChecked());
        }
        model->RaiseNotify(Notify::Clicked, id);
    };
    w.top->Bind(wxEVT_CHECKBOX, clicked);
    w.top->Bind(wxEVT_RADIOBUTTON, clicked);
    w.top->Bind(wxEVT_TEXT, [this, model, layerId](wxCommandEvent& e) {
        int id = layerId(e.GetId());
        if (quiet > 0 || id == 0) return;
        {
            Quiet q(quiet);
            model->SetText(id, Utf8(e.GetString()));
        }
        model->RaiseNotify(Notify::EditChange, id);
    });
    auto selChange = [this, model, layerId](wxCommandEvent& e) {
        int id = layerId(e.GetId());
        if (quiet > 0 || id == 0) return;
        {
            Quiet q(quiet);
            model->ComboSelect(id, e.GetSelection());
        }
        model->RaiseNotify(Notify::SelChange, id);
    };
    w.top->Bind(wxEVT_CHOICE, selChange);
    w.top->Bind(wxEVT_COMBOBOX, selChange);
    w.top->Bind(wxEVT_COMBOBOX_DROPDOWN, [this, model, layerId](wxCommandEvent& e) {
        int id = layerId(e.GetId());
        if (quiet > 0 || id == 0) return;
        model->RaiseNotify(Notify::DropDown, id);
    });
    // A user's (de)selection of a report row reaches the model, then the window.
    auto rowSelection = [this, model, layerId](wxListEvent& e) {
        int id = layerId(e.GetId());
        if (quiet > 0 || id == 0) return;
        {
            Quiet q(quiet);
            model->ListSelect(id, static_cast<int>(e.GetIndex()), e.GetEventType() == wxEVT_LIST_ITEM_SELECTED);
        }
        model->RaiseNotify(Notify::SelChange, id);
    };
    w.top->Bind(wxEVT_LIST_ITEM_SELECTED, rowSelection);
    w.top->Bind(wxEVT_LIST_ITEM_DESELECTED, rowSelection);
}

}  // namespace ui
