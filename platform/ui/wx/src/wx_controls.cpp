// The layer's controls as wx controls: created from the model, kept equal to
// it without raising anything, user actions reported back through the model.
#include <wx/bmpbuttn.h>
#include <wx/grid.h>
#include <wx/listctrl.h>
#include <wx/statbmp.h>
#include <wx/treectrl.h>

#include <algorithm>
#include <set>

#include "platform/ui/app.h"
#include "wx_impl.h"
#include "wx_layout.h"

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
            // Joins the group its hidden leader opened (CreateControls).
            return new wxRadioButton(parent, wxId, Wx(c.text), pos, size);
        case ControlKind::Edit:
            return new wxTextCtrl(parent, wxId, Wx(c.text), pos, size, c.Has(kReadOnly) ? wxTE_READONLY : 0);
        case ControlKind::Combo:
            // The template's height is the open list's; closed, the
            // toolkit's own. The layer keeps the order; the toolkit never sorts.
            size.y = wxDefaultCoord;
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

int ListFormat(ColumnAlign a) {
    switch (a) {
        case ColumnAlign::Right: return wxLIST_FORMAT_RIGHT;
        case ColumnAlign::Center: return wxLIST_FORMAT_CENTRE;
        case ColumnAlign::Left: break;
    }
    return wxLIST_FORMAT_LEFT;
}

void SyncColumns(wxListCtrl* list, const Control& c) {
    for (size_t i = 0; i < c.columns.size(); ++i) {
        int col = static_cast<int>(i);
        ColumnAlign align = i < c.columnAlign.size() ? c.columnAlign[i] : ColumnAlign::Left;
        int width = i < c.columnWidth.size() && c.columnWidth[i] > 0 ? c.columnWidth[i] : wxLIST_AUTOSIZE;
        if (col >= list->GetColumnCount()) {
            list->InsertColumn(col, Wx(c.columns[i]), ListFormat(align), width);
            continue;
        }
        // A column inserted before others moves the captions along.
        wxListItem item;
        item.SetMask(wxLIST_MASK_TEXT | wxLIST_MASK_FORMAT);
        list->GetColumn(col, item);
        if (Utf8(item.GetText()) == c.columns[i] && item.GetAlign() == ListFormat(align)) continue;
        item.SetText(Wx(c.columns[i]));
        item.SetAlign(static_cast<wxListColumnFormat>(ListFormat(align)));
        list->SetColumn(col, item);
        if (width != wxLIST_AUTOSIZE) list->SetColumnWidth(col, width);
    }
}

void SyncList(wxListCtrl* list, const Control& c) {
    SyncColumns(list, c);
    if (list->GetItemCount() != static_cast<int>(c.rows.size())) list->DeleteAllItems();
    for (size_t r = 0; r < c.rows.size(); ++r) {
        long row = static_cast<long>(r);
        if (row >= list->GetItemCount()) list->InsertItem(row, wxString());
        for (size_t col = 0; col < c.rows[r].size(); ++col)
            if (Utf8(list->GetItemText(row, static_cast<int>(col))) != c.rows[r][col])
                list->SetItem(row, static_cast<int>(col), Wx(c.rows[r][col]));
        bool sel = r < c.rowSelected.size() && c.rowSelected[r];
        if ((list->GetItemState(row, wxLIST_STATE_SELECTED) != 0) != sel)
            list->SetItemState(row, sel ? wxLIST_STATE_SELECTED : 0, wxLIST_STATE_SELECTED);
    }
}

// The program's current cell, shown as the toolkit's cursor.
void SyncGridCursor(wxGrid* grid, const Control& c) {
    int row = c.gridCurrentRow, col = c.gridCurrentColumn;
    if (row >= 0 && col >= 0 && row < grid->GetNumberRows() && col < grid->GetNumberCols() &&
        (grid->GetGridCursorRow() != row || grid->GetGridCursorCol() != col))
        grid->SetGridCursor(row, col);
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
    SyncGridCursor(grid, c);
    // Columns wide enough for their captions and texts.
    grid->AutoSizeColumns(false);
    for (int col = 0; col < grid->GetNumberCols(); ++col)
        if (grid->GetColSize(col) < grid->GetTextExtent(grid->GetColLabelValue(col)).x + 12)
            grid->SetColSize(col, grid->GetTextExtent(grid->GetColLabelValue(col)).x + 12);
}

LayoutKind LayoutKindOf(ControlKind k) {
    switch (k) {
        case ControlKind::Static:
        case ControlKind::CheckBox:
        case ControlKind::Radio:
            return LayoutKind::Text;
        case ControlKind::Edit:
        case ControlKind::Combo:
            return LayoutKind::Field;
        case ControlKind::GroupBox:
            return LayoutKind::Box;
        default:
            return LayoutKind::Other;
    }
}

// Controls that show a line of text, which the toolkit sizes.
bool ShowsText(ControlKind k) {
    return LayoutKindOf(k) == LayoutKind::Text || LayoutKindOf(k) == LayoutKind::Field ||
           k == ControlKind::PushButton;
}

LayoutItem ItemOf(const Control& c, wxWindow* ctl) {
    LayoutItem item;
    item.kind = LayoutKindOf(c.kind);
    item.at = Rect{c.x, c.y, c.cx, c.cy};
    item.combo = c.kind == ControlKind::Combo;
    item.widen = ShowsText(c.kind) && item.kind != LayoutKind::Field;
    if (ShowsText(c.kind)) {
        wxSize natural = ctl->GetBestSize();
        item.natural = Size{natural.x, natural.y};
    }
    return item;
}

// A text whose template holds two lines or more wraps at its width, as the
// toolkit's labels do not on their own.
void SyncStatic(wxStaticText* ctl, const Control& c) {
    bool wraps = c.cy >= 2 * ctl->GetCharHeight();
    wxString shown = ctl->GetLabel();
    bool wrapped = shown.Contains("\n");
    if (wraps) shown.Replace("\n", " ");
    if (Utf8(shown) == c.text && (!wraps || wrapped || ctl->GetTextExtent(shown).x <= c.cx)) return;
    ctl->SetLabel(Wx(c.text));
    if (wraps) ctl->Wrap(c.cx);
}

// The window's template, for the order its controls were written in.
const DialogTemplate* TemplateOf(Window* model) {
    if (auto* d = dynamic_cast<Dialog*>(model)) return CurrentResources().Dialog(d->TemplateId());
    if (auto* v = dynamic_cast<FormView*>(model)) return CurrentResources().Dialog(v->TemplateId());
    return nullptr;
}

// Controls in their template's order, which makes the radio groups and the
// tab order; any the template lacks follow by id.
std::vector<int> CreationOrder(Window* model) {
    std::vector<int> order;
    std::set<int> placed;
    if (const DialogTemplate* t = TemplateOf(model)) {
        int fixed = -1;  // the model numbers controls without an id so
        for (const ControlTemplate& ct : t->controls) {
            int id = ct.id >= 0 ? ct.id : fixed--;
            if (model->Find(id) != nullptr && placed.insert(id).second) order.push_back(id);
        }
    }
    for (const auto& [id, c] : model->Controls())
        if (placed.insert(id).second) order.push_back(id);
    return order;
}

}  // namespace

// Typed or pasted text the edit may not hold: the model's text comes back,
// the caret where the refused text began.
void WxBackendImpl::Refuse(wxCommandEvent& e, const Control& c) {
    auto* edit = dynamic_cast<wxTextCtrl*>(e.GetEventObject());
    if (edit == nullptr) return;
    long caret = edit->GetInsertionPoint();
    long added = static_cast<long>(edit->GetValue().length()) - static_cast<long>(Wx(c.text).length());
    {
        Quiet q(quiet);
        edit->ChangeValue(Wx(c.text));
    }
    edit->SetInsertionPoint(std::clamp(caret - std::max(0L, added), 0L, edit->GetLastPosition()));
    wxBell();
}

void WxBackendImpl::CreateControls(WxWindow& w) {
    std::vector<int> order = CreationOrder(w.model);
    // Group boxes first: on GTK a box created later covers its contents.
    wxRadioButton* radioNone = nullptr;
    for (int pass = 0; pass < 2; ++pass)
        for (int id : order) {
            const Control& c = *w.model->Find(id);
            if ((c.kind == ControlKind::GroupBox) != (pass == 0)) continue;
            if (c.kind == ControlKind::Radio && (c.Has(kGroup) || radioNone == nullptr)) {
                // A group's hidden first button holds the check when the
                // model has none of the group checked; GTK always checks one.
                radioNone = new wxRadioButton(w.top, wxID_ANY, wxString(), wxPoint(c.x, c.y), wxSize(0, 0),
                                              wxRB_GROUP);
                radioNone->Hide();
            } else if (c.kind != ControlKind::Radio && c.Has(kGroup)) {
                radioNone = nullptr;  // a group mark ends the radios' group
            }
            int wxId = wxWindow::NewControlId();
            wxWindow* ctl = MakeControl(w.top, wxId, c);
            if (ctl == nullptr) continue;
            if (c.kind == ControlKind::Radio) w.radioNone[id] = radioNone;
            w.controls[id] = ctl;
            w.toLayer[wxId] = id;
            SyncControl(w, id);
        }
    BindControlEvents(w);
    PlaceControls(w);
}

void WxBackendImpl::PlaceControls(WxWindow& w) {
    LayoutInput in;
    in.window = Size{w.model->Bounds().cx, w.model->Bounds().cy};
    std::vector<wxWindow*> placed;
    for (const auto& [id, ctl] : w.controls) {
        in.items.push_back(ItemOf(*w.model->Find(id), ctl));
        placed.push_back(ctl);
    }
    LayoutResult out = LayOut(in);
    for (size_t i = 0; i < placed.size(); ++i) {
        const Rect& r = out.at[i];
        placed[i]->SetSize(r.x, r.y, r.cx, r.cy);
    }
    w.laidOut = out.window;
    if (auto* d = dynamic_cast<wxDialog*>(w.top)) d->SetClientSize(out.window.cx, out.window.cy);
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
        // A larger text needs its room again once the window is laid out.
        if (w.laidOut.cx > 0) PlaceControls(w);
    }
    switch (c->kind) {
        case ControlKind::Static:
            SyncStatic(static_cast<wxStaticText*>(ctl), *c);
            break;
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
            if (c->checked != static_cast<wxRadioButton*>(ctl)->GetValue()) {
                if (c->checked)
                    static_cast<wxRadioButton*>(ctl)->SetValue(true);
                else if (wxRadioButton* none = w.radioNone[id])
                    none->SetValue(true);
            }
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
            SyncTree(w, id);
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
        // The toolkit has cleared the others of a radio's group.
        if (WxWindow* mine = Find(model); mine != nullptr && e.GetEventType() == wxEVT_RADIOBUTTON)
            for (auto [other, none] : mine->radioNone) {
                Control* c = model->Find(other);
                auto ctl = mine->controls.find(other);
                if (c != nullptr && other != id && ctl != mine->controls.end())
                    c->checked = static_cast<wxRadioButton*>(ctl->second)->GetValue();
            }
        model->RaiseNotify(Notify::Clicked, id);
    };
    w.top->Bind(wxEVT_CHECKBOX, clicked);
    w.top->Bind(wxEVT_RADIOBUTTON, clicked);
    w.top->Bind(wxEVT_TEXT, [this, model, layerId](wxCommandEvent& e) {
        int id = layerId(e.GetId());
        if (quiet > 0 || id == 0) return;
        // A choice from a combo's list also changes its text: the selection
        // event reports that action.
        auto* combo = dynamic_cast<wxComboBox*>(e.GetEventObject());
        if (combo != nullptr && combo->GetSelection() != wxNOT_FOUND && combo->GetStringSelection() == e.GetString())
            return;
        std::string text = Utf8(e.GetString());
        if (Control* c = model->Find(id); c != nullptr && !EditAccepts(*c, text)) return Refuse(e, *c);
        {
            Quiet q(quiet);
            model->SetText(id, text);
        }
        // Typed text selects the entry it equals, as the headless driver's.
        if (Control* c = model->Find(id); c != nullptr && c->kind == ControlKind::Combo)
            c->selection = ComboFindExact(*c, text);
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
    BindTreeEvents(w);
    BindSelectionEvents(w);
}

}  // namespace ui
