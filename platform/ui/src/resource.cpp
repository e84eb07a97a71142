#include "platform/ui/resource.h"

namespace ui {
namespace {
template <class T>
const T* ById(std::span<const T* const> items, int id) {
    for (const T* item : items)
        if (item != nullptr && item->id == id) return item;
    return nullptr;
}
}  // namespace

const DialogTemplate* ResourceSet::Dialog(int id) const { return ById(dialogs, id); }
const MenuTemplate* ResourceSet::Menu(int id) const { return ById(menus, id); }
const ToolbarTemplate* ResourceSet::Toolbar(int id) const { return ById(toolbars, id); }
const ImageResource* ResourceSet::Image(int id) const { return ById(images, id); }

std::string_view ResourceSet::String(int id) const {
    for (const StringEntry& s : strings)
        if (s.id == id) return s.text;
    return {};
}

}  // namespace ui
