#pragma once
// "Select Directory" (template 156): a tree of the root directory and the
// network, filled one level per expansion, opened along a starting path.
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/dirtree.h"
#include "platform/ui/dialog.h"

namespace vexa {

inline constexpr int kDirTreeId = 1085;
inline constexpr int kDirPathText = 1086;
inline constexpr const char* kNetworkRootText = "Network Neighborhood";
// The network enumeration's one buffer.
inline constexpr std::size_t kNetworkBufferBytes = 16384;

// A name without lower-case letters a to z is shown lower-cased with its
// first character upper-cased; others as they are.
std::string FormatItemName(std::string_view name);
// Component `n` of `path` split at "/" and "\": the text after the n-th
// separator (the start for 0) up to the next one; none once the path has
// run out of separators.
std::optional<std::string> GetPathComponent(std::string_view path, int n);

class CSelectDirDlg : public ui::Dialog {
public:
    explicit CSelectDirDlg(ui::Window* owner = nullptr);

    // The starting directory before DoModal; the selected directory's path
    // (ending in "/", "" without a selection) once it has closed, on OK and
    // on Cancel alike.
    std::string selectedPath;

    bool OnInitDialog() override;

private:
    bool OnItemExpanding(ui::TreeHandle item);
    void AddSubdirectories(ui::TreeHandle item, const std::string& path);
    bool AddNetworkResources(ui::TreeHandle item);
    std::string GetItemPath(ui::TreeHandle item) const;
    const platform::NetResource& RecordOf(uintptr_t data) const;
    void OnSelChanged();
    void ExpandAlong(const std::string& start);
    ui::TreeHandle FindChild(ui::TreeHandle parent, const std::string& name) const;
    ui::TreeHandle Insert(ui::TreeHandle parent, const std::string& name, int image, int selectedImage,
                          uintptr_t data = 0);

    ui::TreeHandle driveRootItem_ = ui::kTreeRoot;
    ui::TreeHandle networkRootItem_ = ui::kTreeRoot;
    // The real name of each item without a network record: paths use it,
    // the tree shows it formatted.
    std::map<ui::TreeHandle, std::string> names_;
    // The network record of each item that has one; its item data is the
    // record's index + 1 (0 means none). A deque: records stay in place
    // while an expansion adds more.
    std::deque<platform::NetResource> records_;
};

}  // namespace vexa
