// The tree control of a window.
#include "platform/ui/window.h"

namespace ui {
namespace {
Control* TreeOf(Window& w, int id) {
    Control* c = w.Find(id);
    return (c != nullptr && c->kind == ControlKind::Tree) ? c : nullptr;
}
const Control* TreeOf(const Window& w, int id) {
    const Control* c = w.Find(id);
    return (c != nullptr && c->kind == ControlKind::Tree) ? c : nullptr;
}
}  // namespace

TreeHandle Window::TreeInsert(int id, TreeHandle parent, const std::string& text, int image, int selectedImage,
                              bool hasChildren, uintptr_t data) {
    Control* c = TreeOf(*this, id);
    if (c == nullptr || (parent != kTreeRoot && c->tree.count(parent) == 0)) return kTreeRoot;
    TreeHandle h = c->nextTreeHandle++;
    TreeItem item;
    item.parent = parent;
    item.text = text;
    item.image = image;
    item.selectedImage = selectedImage;
    item.hasChildren = hasChildren;
    item.data = data;
    c->tree[h] = std::move(item);
    if (parent == kTreeRoot)
        c->treeRoots.push_back(h);
    else
        c->tree[parent].children.push_back(h);
    Changed(id);
    return h;
}

bool Window::TreeSetReleaser(int id, std::function<void(uintptr_t)> release) {
    Control* c = TreeOf(*this, id);
    if (c == nullptr) return false;
    c->releaseItemData = std::move(release);
    return true;
}

bool Window::TreeSetImageList(int id, int bitmap) {
    Control* c = TreeOf(*this, id);
    if (c == nullptr) return false;
    c->treeImageList = bitmap;
    Changed(id);
    return true;
}

const TreeItem* Window::TreeGet(int id, TreeHandle item) const {
    const Control* c = TreeOf(*this, id);
    if (c == nullptr) return nullptr;
    auto it = c->tree.find(item);
    return it == c->tree.end() ? nullptr : &it->second;
}

bool Window::TreeSetHasChildren(int id, TreeHandle item, bool on) {
    Control* c = TreeOf(*this, id);
    if (c == nullptr || c->tree.count(item) == 0) return false;
    c->tree[item].hasChildren = on;
    Changed(id);
    return true;
}

std::vector<TreeHandle> Window::TreeChildren(int id, TreeHandle item) const {
    const Control* c = TreeOf(*this, id);
    if (c == nullptr) return {};
    if (item == kTreeRoot) return c->treeRoots;
    auto it = c->tree.find(item);
    return it == c->tree.end() ? std::vector<TreeHandle>{} : it->second.children;
}

bool Window::TreeExpand(int id, TreeHandle item) {
    Control* c = TreeOf(*this, id);
    if (c == nullptr || c->tree.count(item) == 0) return false;
    if (!c->tree[item].everExpanded) {
        if (!RaiseTreeExpanding(id, item)) return false;
        c = TreeOf(*this, id);  // the handler may have changed the tree
        if (c == nullptr || c->tree.count(item) == 0) return false;
        c->tree[item].everExpanded = true;
    }
    c->tree[item].expanded = true;
    Changed(id);
    return true;
}

bool Window::TreeSelect(int id, TreeHandle item) {
    Control* c = TreeOf(*this, id);
    if (c == nullptr || (item != kTreeRoot && c->tree.count(item) == 0)) return false;
    if (c->treeSelection == item) return true;
    c->treeSelection = item;
    Changed(id);
    RaiseNotify(Notify::TreeSelChanged, id);
    return true;
}

TreeHandle Window::TreeSelection(int id) const {
    const Control* c = TreeOf(*this, id);
    return c == nullptr ? kTreeRoot : c->treeSelection;
}

bool Window::TreeDeleteAll(int id) {
    Control* c = TreeOf(*this, id);
    if (c == nullptr) return false;
    TreeClear(*c);
    Changed(id);
    return true;
}

}  // namespace ui
