// Combos, report lists, trees and grids of a window.
#include <algorithm>

#include "platform/ui/window.h"

namespace ui {
namespace {
bool Is(const Control* c, ControlKind kind) { return c != nullptr && c->kind == kind; }
}  // namespace

int Window::ComboAdd(int id, const std::string& text) {
    Control* c = Find(id);
    if (!Is(c, ControlKind::Combo)) return -1;
    int at = ComboInsertIndex(*c, text);
    c->entries.insert(c->entries.begin() + at, text);
    if (c->selection >= at) ++c->selection;
    Changed(id);
    return at;
}

int Window::ComboInsert(int id, int index, const std::string& text) {
    Control* c = Find(id);
    if (!Is(c, ControlKind::Combo)) return -1;
    int n = static_cast<int>(c->entries.size());
    int at = (index < 0 || index > n) ? n : index;
    c->entries.insert(c->entries.begin() + at, text);
    if (c->selection >= at) ++c->selection;
    Changed(id);
    return at;
}

bool Window::ComboReset(int id) {
    Control* c = Find(id);
    if (!Is(c, ControlKind::Combo)) return false;
    c->entries.clear();
    c->selection = -1;
    if (!c->Has(kDropDownList)) c->text.clear();
    Changed(id);
    return true;
}

bool Window::ComboSelect(int id, int index) {
    Control* c = Find(id);
    if (!Is(c, ControlKind::Combo)) return false;
    if (index < 0 || index >= static_cast<int>(c->entries.size())) {
        c->selection = -1;
        if (c->Has(kDropDownList)) c->text.clear();
        Changed(id);
        return index == -1;
    }
    c->selection = index;
    c->text = c->entries[static_cast<size_t>(index)];
    Changed(id);
    return true;
}

int Window::ComboSelectText(int id, const std::string& text) {
    Control* c = Find(id);
    if (!Is(c, ControlKind::Combo)) return -1;
    int at = ComboFindExact(*c, text);
    if (at >= 0) ComboSelect(id, at);
    return at;
}

int Window::ComboFind(int id, const std::string& text) const {
    const Control* c = Find(id);
    return Is(c, ControlKind::Combo) ? ComboFindExact(*c, text) : -1;
}

int Window::ComboSelection(int id) const {
    const Control* c = Find(id);
    return Is(c, ControlKind::Combo) ? c->selection : -1;
}

int Window::ComboCount(int id) const {
    const Control* c = Find(id);
    return Is(c, ControlKind::Combo) ? static_cast<int>(c->entries.size()) : -1;
}

std::string Window::ComboEntry(int id, int index) const {
    const Control* c = Find(id);
    if (!Is(c, ControlKind::Combo) || index < 0 || index >= static_cast<int>(c->entries.size())) return {};
    return c->entries[static_cast<size_t>(index)];
}

bool Window::ListInsertColumn(int id, int index, const std::string& caption, ColumnAlign align, int width) {
    Control* c = Find(id);
    if (!Is(c, ControlKind::ReportList) || width < 0) return false;
    int n = static_cast<int>(c->columns.size());
    int at = (index < 0 || index > n) ? n : index;
    c->columns.insert(c->columns.begin() + at, caption);
    c->columnAlign.insert(c->columnAlign.begin() + at, align);
    c->columnWidth.insert(c->columnWidth.begin() + at, width);
    // Sub-items move with their columns; the item text stays in column 0.
    for (auto& cells : c->rows)
        if (at > 0 && at <= static_cast<int>(cells.size())) cells.insert(cells.begin() + at, std::string());
    Changed(id);
    return true;
}

int Window::ListInsert(int id, int row, const std::string& text) {
    Control* c = Find(id);
    if (!Is(c, ControlKind::ReportList)) return -1;
    int n = static_cast<int>(c->rows.size());
    int at = (row < 0 || row > n) ? n : row;
    std::vector<std::string> cells(std::max<size_t>(1, c->columns.size()));
    cells[0] = text;
    c->rows.insert(c->rows.begin() + at, std::move(cells));
    c->rowSelected.insert(c->rowSelected.begin() + at, false);
    if (!c->frozen) Changed(id);
    return at;
}

bool Window::ListSetItem(int id, int row, int column, const std::string& text) {
    Control* c = Find(id);
    if (!Is(c, ControlKind::ReportList) || row < 0 || row >= static_cast<int>(c->rows.size()) || column < 0)
        return false;
    auto& cells = c->rows[static_cast<size_t>(row)];
    if (column >= static_cast<int>(cells.size())) {
        if (column >= static_cast<int>(std::max<size_t>(1, c->columns.size()))) return false;
        cells.resize(static_cast<size_t>(column) + 1);
    }
    cells[static_cast<size_t>(column)] = text;
    if (!c->frozen) Changed(id);
    return true;
}

std::string Window::ListItem(int id, int row, int column) const {
    const Control* c = Find(id);
    if (!Is(c, ControlKind::ReportList) || row < 0 || row >= static_cast<int>(c->rows.size()) || column < 0)
        return {};
    const auto& cells = c->rows[static_cast<size_t>(row)];
    return column < static_cast<int>(cells.size()) ? cells[static_cast<size_t>(column)] : std::string();
}

bool Window::ListDeleteAll(int id) {
    Control* c = Find(id);
    if (!Is(c, ControlKind::ReportList)) return false;
    c->rows.clear();
    c->rowSelected.clear();
    Changed(id);
    return true;
}

bool Window::ListSelect(int id, int row, bool on) {
    Control* c = Find(id);
    if (!Is(c, ControlKind::ReportList) || row < 0 || row >= static_cast<int>(c->rows.size())) return false;
    if (on && !c->Has(kMultiSelect)) std::fill(c->rowSelected.begin(), c->rowSelected.end(), false);
    c->rowSelected[static_cast<size_t>(row)] = on;
    Changed(id);
    return true;
}

std::vector<int> Window::ListSelection(int id) const {
    std::vector<int> rows;
    const Control* c = Find(id);
    if (!Is(c, ControlKind::ReportList)) return rows;
    for (size_t i = 0; i < c->rowSelected.size(); ++i)
        if (c->rowSelected[i]) rows.push_back(static_cast<int>(i));
    return rows;
}

int Window::ListCount(int id) const {
    const Control* c = Find(id);
    return Is(c, ControlKind::ReportList) ? static_cast<int>(c->rows.size()) : -1;
}

bool Window::ListFreeze(int id, bool frozen) {
    Control* c = Find(id);
    if (!Is(c, ControlKind::ReportList)) return false;
    c->frozen = frozen;
    if (!frozen) Changed(id);
    return true;
}

bool Window::GridSetRows(int id, int rows) {
    Control* c = Find(id);
    if (!Is(c, ControlKind::Grid) || rows < 0) return false;
    c->gridRows = rows;
    std::erase_if(c->cells, [rows](const auto& kv) { return kv.first.first >= rows; });
    Changed(id);
    return true;
}

bool Window::GridSetCurrent(int id, int row, int column) {
    Control* c = Find(id);
    if (!Is(c, ControlKind::Grid) || row < 0 || row >= c->gridRows || column < 0 ||
        column >= static_cast<int>(c->columns.size()))
        return false;
    c->gridCurrentRow = row;
    c->gridCurrentColumn = column;
    return true;
}

bool Window::GridSetCell(int id, int row, int column, const std::string& text) {
    Control* c = Find(id);
    if (!Is(c, ControlKind::Grid) || row < 0 || row >= c->gridRows || column < 0 ||
        column >= static_cast<int>(c->columns.size()))
        return false;
    c->cells[{row, column}] = text;
    Changed(id);
    return true;
}

std::string Window::GridCell(int id, int row, int column) const {
    const Control* c = Find(id);
    if (!Is(c, ControlKind::Grid)) return {};
    auto it = c->cells.find({row, column});
    return it == c->cells.end() ? std::string() : it->second;
}

bool Window::SheetSetMaxRows(int id, int rows) {
    Control* c = Find(id);
    if (!Is(c, ControlKind::Grid)) return false;
    c->sheetCalls.push_back("SetMaxRows " + std::to_string(rows));
    return GridSetRows(id, std::max(rows, 0));
}

bool Window::SheetSetRow(int id, int row) {
    Control* c = Find(id);
    if (!Is(c, ControlKind::Grid)) return false;
    c->sheetCalls.push_back("SetRow " + std::to_string(row));
    c->sheetRow = row;
    return true;
}

bool Window::SheetSetCol(int id, int column) {
    Control* c = Find(id);
    if (!Is(c, ControlKind::Grid)) return false;
    c->sheetCalls.push_back("SetCol " + std::to_string(column));
    c->sheetColumn = column;
    return true;
}

bool Window::SheetSetText(int id, const std::string& text) {
    Control* c = Find(id);
    if (!Is(c, ControlKind::Grid)) return false;
    c->sheetCalls.push_back("SetText " + text);
    if (c->sheetRow < 1 || c->sheetColumn < 1) return false;
    return GridSetCell(id, c->sheetRow - 1, c->sheetColumn - 1, text);
}

}  // namespace ui
