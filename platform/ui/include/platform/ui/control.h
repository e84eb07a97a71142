#pragma once
// The state of one control, kept by the layer whatever the back end shows.
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/ui/resource.h"

namespace ui {

using TreeHandle = int;  // 0 is no item (the root)
inline constexpr TreeHandle kTreeRoot = 0;

struct TreeItem {
    TreeHandle parent = kTreeRoot;
    std::string text;
    int image = 0;
    int selectedImage = 0;
    bool hasChildren = false;
    uintptr_t data = 0;
    bool expanded = false;
    bool everExpanded = false;
    std::vector<TreeHandle> children;
};

enum class ColumnAlign { Left, Right, Center };

struct Control {
    ControlKind kind = ControlKind::Static;
    int id = 0;
    uint32_t style = 0;
    int x = 0, y = 0, cx = 0, cy = 0;  // pixels
    std::string text;
    bool enabled = true;
    bool visible = true;
    bool checked = false;
    bool bold = false;
    int icon = 0;

    // Combo entries and selection (-1 none).
    std::vector<std::string> entries;
    int selection = -1;

    // Report list and grid captions; report rows (item text then sub-items).
    std::vector<std::string> columns;
    std::vector<ColumnAlign> columnAlign;
    std::vector<int> columnWidth;  // pixels; 0 as the template gives none
    std::vector<std::vector<std::string>> rows;
    std::vector<bool> rowSelected;
    bool frozen = false;

    // Tree items by handle, the top-level items in order, the selection.
    std::map<TreeHandle, TreeItem> tree;
    std::vector<TreeHandle> treeRoots;
    TreeHandle nextTreeHandle = 1;
    TreeHandle treeSelection = kTreeRoot;
    int treeImageList = 0;
    std::function<void(uintptr_t)> releaseItemData;

    // Grid size, current cell and cell texts.
    int gridRows = 0;
    int gridCurrentRow = 0;
    int gridCurrentColumn = 0;
    std::map<std::pair<int, int>, std::string> cells;
    // A grid driven as a sheet: its current row and column counted from 1
    // (0: none yet) and every sheet call in order ("SetRow 2", "SetText abc").
    int sheetRow = 0;
    int sheetColumn = 0;
    std::vector<std::string> sheetCalls;

    bool Has(uint32_t s) const { return (style & s) != 0; }
    bool Usable() const { return enabled && visible; }
};

// Where a new combo entry goes: the end, or its place in a sorted combo
// (ASCII case-insensitive, bytes on ties).
int ComboInsertIndex(const Control& combo, const std::string& text);
// The index of the entry equal to `text` (exact, case-sensitive), or -1.
int ComboFindExact(const Control& combo, const std::string& text);
// Releases every item's data and empties the tree.
void TreeClear(Control& tree);
// Whether `text` may be typed into the edit (digits-only refuses others).
bool EditAccepts(const Control& edit, const std::string& text);

}  // namespace ui
