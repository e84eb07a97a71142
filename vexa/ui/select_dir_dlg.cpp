#include "vexa/ui/select_dir_dlg.h"

#include <filesystem>
#include <vector>

#include "platform/dirtree.h"
#include "platform/path.h"
#include "platform/text.h"
#include "platform/ui/services.h"
#include "vexa/res/resource_ids.h"
#include "vexa/ui/ui_module_state.h"

namespace vexa {
namespace {

constexpr int kClosedFolder = 1;
constexpr int kOpenFolder = 0;
constexpr int kNetworkImage = 7;

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

}  // namespace

std::string FormatItemName(std::string_view name) {
    std::string out(name);
    for (char c : out)
        if (c >= 'a' && c <= 'z') return out;
    for (std::size_t i = 1; i < out.size(); ++i)
        if (out[i] >= 'A' && out[i] <= 'Z') out[i] = static_cast<char>(out[i] - 'A' + 'a');
    return out;
}

std::optional<std::string> GetPathComponent(std::string_view path, int n) {
    std::size_t start = 0;
    for (int i = 0; i < n; ++i) {
        std::size_t sep = path.find_first_of("/\\", start);
        if (sep == std::string_view::npos) return std::nullopt;
        start = sep + 1;
    }
    std::size_t end = path.find_first_of("/\\", start);
    return std::string(path.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
}

CSelectDirDlg::CSelectDirDlg(ui::Window* owner) : ui::Dialog(res::kIddSelectDir, owner) {
    OnTreeExpanding(kDirTreeId, [this](ui::TreeHandle item) { return OnItemExpanding(item); });
    OnNotify(ui::Notify::TreeSelChanged, kDirTreeId, [this] { OnSelChanged(); });
    // On OK and Cancel alike: the result, then the items and their records.
    OnDestroy([this] {
        const ui::TreeHandle selected = TreeSelection(kDirTreeId);
        selectedPath = selected != ui::kTreeRoot ? GetItemPath(selected) : std::string();
        TreeDeleteAll(kDirTreeId);
        names_.clear();
        records_.clear();
    });
}

ui::TreeHandle CSelectDirDlg::Insert(ui::TreeHandle parent, const std::string& name, int image, int selectedImage,
                                     uintptr_t data) {
    // Every new item shows an expand button until it proves empty.
    ui::TreeHandle h = TreeInsert(kDirTreeId, parent, FormatItemName(name), image, selectedImage, true, data);
    if (h != ui::kTreeRoot && data == 0) names_[h] = name;
    return h;
}

bool CSelectDirDlg::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    TreeSetImageList(kDirTreeId, res::kIdbDirTree);
    for (const platform::Drive& drive : platform::LocalDrives()) {
        ui::TreeHandle h = Insert(ui::kTreeRoot, drive.root, drive.type, drive.type);
        // The root's own name is empty: its path is "/" and its children's "/name/".
        names_[h] = "";
        if (driveRootItem_ == ui::kTreeRoot) driveRootItem_ = h;
    }
    networkRootItem_ = Insert(ui::kTreeRoot, kNetworkRootText, kNetworkImage, kNetworkImage);
    ExpandAlong(selectedPath);
    return true;
}

void CSelectDirDlg::ExpandAlong(const std::string& start) {
    if (start.empty()) return;
    std::string path = start;
    if (!IsSeparator(path.front())) {
        std::error_code ec;
        path = platform::JoinPath(std::filesystem::current_path(ec).string(), path);
    }
    const bool network = path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
    ui::TreeHandle current = ui::kTreeRoot;
    for (int n = 0;; ++n) {
        std::optional<std::string> component = GetPathComponent(path, n);
        if (!component) break;
        ui::TreeHandle found = ui::kTreeRoot;
        if (n == 0 && component->empty())
            found = network ? networkRootItem_ : driveRootItem_;
        else
            found = FindChild(current, *component);
        // A missing component is skipped; the next is looked for among the same children.
        if (found == ui::kTreeRoot) continue;
        TreeExpand(kDirTreeId, found);
        current = found;
    }
}

ui::TreeHandle CSelectDirDlg::FindChild(ui::TreeHandle parent, const std::string& name) const {
    if (name.empty()) return ui::kTreeRoot;
    const std::vector<ui::TreeHandle> children = TreeChildren(kDirTreeId, parent);
    // The exact name first: "DATA" and "Data" may both exist.
    for (ui::TreeHandle h : children) {
        auto it = names_.find(h);
        if (it != names_.end() && it->second == name) return h;
    }
    for (ui::TreeHandle h : children) {
        auto it = names_.find(h);
        const std::string candidate = it != names_.end() ? it->second : TreeGet(kDirTreeId, h)->text;
        if (platform::AsciiEqualsNoCase(candidate, name)) return h;
    }
    return ui::kTreeRoot;
}

bool CSelectDirDlg::OnItemExpanding(ui::TreeHandle item) {
    ui::WaitCursor wait;
    const std::string path = GetItemPath(item);
    if (TreeChildren(kDirTreeId, item).empty()) AddSubdirectories(item, path);
    if (TreeSelection(kDirTreeId) != item) TreeSelect(kDirTreeId, item);
    return true;
}

void CSelectDirDlg::AddSubdirectories(ui::TreeHandle item, const std::string& path) {
    const ui::TreeItem* t = TreeGet(kDirTreeId, item);
    if (t == nullptr) return;
    bool added = false;
    if (item == networkRootItem_ || t->data != 0) {
        added = AddNetworkResources(item);
    } else {
        for (const std::string& name : platform::SubDirectories(path)) {
            Insert(item, name, kClosedFolder, kOpenFolder);
            added = true;
        }
    }
    if (!added) TreeSetHasChildren(kDirTreeId, item, false);
}

bool CSelectDirDlg::AddNetworkResources(ui::TreeHandle item) {
    const ui::TreeItem* t = TreeGet(kDirTreeId, item);
    const platform::NetResource* parent = t != nullptr && t->data != 0 ? &RecordOf(t->data) : nullptr;
    auto entries = UiState().Network().Enumerate(parent, kNetworkBufferBytes);
    if (!entries) return false;
    for (const platform::NetResource& r : *entries) {
        std::string text = r.remoteName.value_or("");
        if (text.empty()) text = r.comment.value_or("");
        for (int i = 0; i < 2 && !text.empty() && text.front() == '\\'; ++i) text.erase(0, 1);
        if (r.displayType == platform::kNetDisplayShare) {
            // A share is a directory: the part after the server's name.
            const std::size_t slash = text.find('\\');
            Insert(item, slash == std::string::npos ? text : text.substr(slash + 1), kClosedFolder, kOpenFolder);
        } else {
            records_.push_back(r);
            Insert(item, text, kNetworkImage + r.displayType, kNetworkImage + r.displayType, records_.size());
        }
    }
    return !entries->empty();
}

const platform::NetResource& CSelectDirDlg::RecordOf(uintptr_t data) const { return records_[data - 1]; }

std::string CSelectDirDlg::GetItemPath(ui::TreeHandle item) const {
    std::string path;
    for (ui::TreeHandle h = item; h != ui::kTreeRoot;) {
        const ui::TreeItem* t = TreeGet(kDirTreeId, h);
        if (t == nullptr) break;
        if (t->data != 0) {
            path = RecordOf(t->data).remoteName.value_or("") + "/" + path;
            break;
        }
        auto it = names_.find(h);
        path = (it != names_.end() ? it->second : t->text) + "/" + path;
        h = t->parent;
    }
    return path;
}

void CSelectDirDlg::OnSelChanged() {
    const ui::TreeHandle selected = TreeSelection(kDirTreeId);
    const ui::TreeItem* t = TreeGet(kDirTreeId, selected);
    if (t == nullptr || t->data != 0 || selected == networkRootItem_) {
        Enable(ui::kIdOk, false);
        SetText(kDirPathText, "");
        return;
    }
    Enable(ui::kIdOk, true);
    SetText(kDirPathText, GetItemPath(selected));
}

}  // namespace vexa
