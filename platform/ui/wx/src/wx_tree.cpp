// The tree control: the model's items mirrored one by one, and the user's
// expand, collapse and select reported back. The toolkit's own events for
// programmatic calls are dropped; the layer raises those notifications once.
#include <wx/treectrl.h>

#include "wx_impl.h"

namespace ui {
namespace {

// The layer's handle carried by each toolkit item.
class HandleData : public wxTreeItemData {
public:
    explicit HandleData(TreeHandle h) : handle(h) {}
    TreeHandle handle;
};

TreeHandle HandleOf(wxTreeCtrl* tree, const wxTreeItemId& item) {
    if (!item.IsOk()) return kTreeRoot;
    auto* data = static_cast<HandleData*>(tree->GetItemData(item));
    return data != nullptr ? data->handle : kTreeRoot;
}

// Whether every item the toolkit holds is still in the model under the same
// parent: the model removes items only all at once.
bool ItemsStillThere(wxTreeCtrl* tree, const std::map<TreeHandle, wxTreeItemId>& items, const Control& c) {
    for (const auto& [h, id] : items) {
        auto it = c.tree.find(h);
        if (it == c.tree.end() || HandleOf(tree, tree->GetItemParent(id)) != it->second.parent) return false;
    }
    return true;
}

void AddMissingItems(wxTreeCtrl* tree, std::map<TreeHandle, wxTreeItemId>& items, const Control& c) {
    // Parents before children; the model only appends.
    std::vector<std::pair<TreeHandle, wxTreeItemId>> todo;
    for (TreeHandle h : c.treeRoots) todo.emplace_back(h, tree->GetRootItem());
    for (size_t i = 0; i < todo.size(); ++i) {
        auto it = c.tree.find(todo[i].first);
        if (it == c.tree.end()) continue;
        const TreeItem& item = it->second;
        auto known = items.find(todo[i].first);
        wxTreeItemId id;
        if (known != items.end()) {
            id = known->second;
            if (Utf8(tree->GetItemText(id)) != item.text) tree->SetItemText(id, Wx(item.text));
        } else {
            id = tree->AppendItem(todo[i].second, Wx(item.text), -1, -1, new HandleData(todo[i].first));
            items[todo[i].first] = id;
        }
        bool plus = item.hasChildren || !item.children.empty();
        if (tree->ItemHasChildren(id) != plus) tree->SetItemHasChildren(id, plus);
        for (TreeHandle child : item.children) todo.emplace_back(child, id);
    }
}

}  // namespace

void WxBackendImpl::SyncTree(WxWindow& w, int id) {
    const Control* c = w.model->Find(id);
    auto ctl = w.controls.find(id);
    if (c == nullptr || ctl == w.controls.end()) return;
    auto* tree = static_cast<wxTreeCtrl*>(ctl->second);
    auto& items = w.treeItems[id];
    Quiet q(quiet);
    if (!tree->GetRootItem().IsOk()) tree->AddRoot(wxString());
    if (!ItemsStillThere(tree, items, *c)) {
        if (inTreeEvent > 0) {
            // The item the user acts on must outlive the toolkit's event.
            Window* model = w.model;
            std::weak_ptr<WindowLife> life = model->Life();
            CallAfter([this, model, life, id] {
                auto alive = life.lock();
                if (!alive || !alive->alive) return;
                if (WxWindow* mine = Find(model)) SyncTree(*mine, id);
            });
            return;
        }
        tree->DeleteChildren(tree->GetRootItem());
        items.clear();
    }
    AddMissingItems(tree, items, *c);
    for (const auto& [h, item] : items) {
        bool expanded = c->tree.at(h).expanded;
        if (expanded && !tree->IsExpanded(item) && tree->ItemHasChildren(item))
            tree->Expand(item);
        else if (!expanded && tree->IsExpanded(item))
            tree->Collapse(item);
    }
    auto sel = items.find(c->treeSelection);
    wxTreeItemId shown = tree->GetSelection();
    if (sel == items.end() && shown.IsOk())
        tree->Unselect();
    else if (sel != items.end() && shown != sel->second)
        tree->SelectItem(sel->second);
}

void WxBackendImpl::BindTreeEvents(WxWindow& w) {
    Window* model = w.model;
    auto layerId = [this, model](int wxId) {
        WxWindow* mine = Find(model);
        if (mine == nullptr) return 0;
        auto it = mine->toLayer.find(wxId);
        return it == mine->toLayer.end() ? 0 : it->second;
    };
    // The item of a user's event and its tree, or none.
    auto userItem = [this, model, layerId](wxTreeEvent& e, int& id) -> TreeItem* {
        id = layerId(e.GetId());
        auto* tree = dynamic_cast<wxTreeCtrl*>(e.GetEventObject());
        Control* c = model->Find(id);
        if (quiet > 0 || id == 0 || tree == nullptr || c == nullptr || c->kind != ControlKind::Tree) return nullptr;
        auto it = c->tree.find(HandleOf(tree, e.GetItem()));
        return it == c->tree.end() ? nullptr : &it->second;
    };
    w.top->Bind(wxEVT_TREE_ITEM_EXPANDING, [this, model, userItem](wxTreeEvent& e) {
        int id = 0;
        TreeItem* item = userItem(e, id);
        if (item == nullptr) return;
        auto* tree = static_cast<wxTreeCtrl*>(e.GetEventObject());
        TreeHandle h = HandleOf(tree, e.GetItem());
        std::weak_ptr<WindowLife> life = model->Life();
        bool allowed;
        {
            Quiet during(inTreeEvent);
            // A user's expand asks the window every time.
            allowed = model->RaiseTreeExpanding(id, h);
        }
        auto alive = life.lock();
        Control* c = (alive && alive->alive) ? model->Find(id) : nullptr;
        if (!allowed || c == nullptr || c->tree.count(h) == 0) return e.Veto();
        c->tree[h].everExpanded = c->tree[h].expanded = true;
    });
    w.top->Bind(wxEVT_TREE_ITEM_COLLAPSED, [userItem](wxTreeEvent& e) {
        int id = 0;
        if (TreeItem* item = userItem(e, id)) item->expanded = false;
    });
    w.top->Bind(wxEVT_TREE_SEL_CHANGED, [model, userItem](wxTreeEvent& e) {
        int id = 0;
        if (userItem(e, id) == nullptr) return;
        model->Find(id)->treeSelection = HandleOf(static_cast<wxTreeCtrl*>(e.GetEventObject()), e.GetItem());
        model->RaiseNotify(Notify::TreeSelChanged, id);
    });
}

}  // namespace ui
