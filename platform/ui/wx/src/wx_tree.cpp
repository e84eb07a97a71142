// The tree control: the model's items mirrored one by one, and the user's
// expand, collapse and select reported back. The toolkit's own events for
// programmatic calls are dropped; the layer raises those notifications once.
#include <wx/imaglist.h>
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

// Whether the items the toolkit holds are still the model's. The model takes
// items away only all at once and never reuses a handle, so the first and
// the last tell.
bool ItemsStillThere(const std::map<TreeHandle, wxTreeItemId>& items, const Control& c) {
    return items.empty() || (c.tree.count(items.begin()->first) != 0 && c.tree.count(items.rbegin()->first) != 0);
}

// Items the model added since the last sync: handles rise, a parent's is
// below its children's, and siblings are appended in handle order.
void AddNewItems(wxTreeCtrl* tree, std::map<TreeHandle, wxTreeItemId>& items, const Control& c) {
    auto it = items.empty() ? c.tree.begin() : c.tree.upper_bound(items.rbegin()->first);
    for (; it != c.tree.end(); ++it) {
        const TreeItem& item = it->second;
        wxTreeItemId parent = tree->GetRootItem();
        if (item.parent != kTreeRoot) {
            auto p = items.find(item.parent);
            if (p == items.end()) continue;
            parent = p->second;
        }
        wxTreeItemId id =
            tree->AppendItem(parent, Wx(item.text), item.image, item.selectedImage, new HandleData(it->first));
        items[it->first] = id;
    }
}

// The images of a strip bitmap: as wide as tall or a little wider, the strip
// split evenly (bitmap 141's are 17 by 16).
std::unique_ptr<wxImageList> ImagesOf(int bitmap) {
    wxBitmap strip = ImageBitmap(bitmap);
    if (!strip.IsOk() || strip.GetHeight() <= 0) return nullptr;
    int h = strip.GetHeight(), w = h;
    while (w < strip.GetWidth() && strip.GetWidth() % w != 0) ++w;
    if (w > strip.GetWidth()) return nullptr;
    auto list = std::make_unique<wxImageList>(w, h, true, strip.GetWidth() / w);
    // Cut through an image: the toolkit's own cut of a masked bitmap reads
    // past its pixels.
    wxImage whole = strip.ConvertToImage();
    for (int x = 0; x + w <= strip.GetWidth(); x += w) list->Add(wxBitmap(whole.GetSubImage(wxRect(x, 0, w, h))));
    return list;
}

// The item's closed and selected images as the model holds them.
void SyncImages(wxTreeCtrl* tree, const wxTreeItemId& item, const TreeItem& m) {
    if (tree->GetImageList() == nullptr) return;
    if (tree->GetItemImage(item, wxTreeItemIcon_Normal) != m.image) tree->SetItemImage(item, m.image);
    if (tree->GetItemImage(item, wxTreeItemIcon_Selected) != m.selectedImage)
        tree->SetItemImage(item, m.selectedImage, wxTreeItemIcon_Selected);
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
    if (c->treeImageList != w.treeImages[id]) {
        w.treeImages[id] = c->treeImageList;
        std::unique_ptr<wxImageList> images = ImagesOf(c->treeImageList);
        if (images) tree->AssignImageList(images.release());
        else tree->SetImageList(nullptr);
    }
    if (!ItemsStillThere(items, *c)) {
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
    AddNewItems(tree, items, *c);
    for (const auto& [h, item] : items) {
        auto m = c->tree.find(h);
        if (m == c->tree.end()) continue;
        // The expand button: the model's mark may change after the insert.
        SyncImages(tree, item, m->second);
        bool plus = m->second.hasChildren || !m->second.children.empty();
        if (tree->ItemHasChildren(item) != plus) tree->SetItemHasChildren(item, plus);
        bool expanded = m->second.expanded;
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
    auto layerId = [this, model](int wxId) { return LayerId(model, wxId); };
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
