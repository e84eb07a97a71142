#include "platform/ui/control.h"

#include <algorithm>

#include "platform/text.h"

namespace ui {

int ComboInsertIndex(const Control& combo, const std::string& text) {
    if (!combo.Has(kSorted)) return static_cast<int>(combo.entries.size());
    auto it = std::upper_bound(combo.entries.begin(), combo.entries.end(), text,
                               [](const std::string& a, const std::string& b) {
                                   return platform::AsciiLessNoCaseThenBytes(a, b);
                               });
    return static_cast<int>(it - combo.entries.begin());
}

int ComboFindExact(const Control& combo, const std::string& text) {
    auto it = std::find(combo.entries.begin(), combo.entries.end(), text);
    return it == combo.entries.end() ? -1 : static_cast<int>(it - combo.entries.begin());
}

void TreeClear(Control& tree) {
    // Take the items out first: a release callback may look at the tree.
    std::map<TreeHandle, TreeItem> items;
    items.swap(tree.tree);
    tree.treeRoots.clear();
    tree.treeSelection = kTreeRoot;
    if (tree.releaseItemData)
        for (auto& [handle, item] : items)
            if (item.data != 0) tree.releaseItemData(item.data);
}

bool EditAccepts(const Control& edit, const std::string& text) {
    if (!edit.Has(kDigitsOnly)) return true;
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace ui
