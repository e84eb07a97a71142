#pragma once
// Resources kept as constant data: dialog templates in dialog units, menus,
// toolbars, strings, accelerators and XPM images.
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>

namespace ui {

enum class ControlKind {
    Static,
    GroupBox,
    BitmapStatic,
    IconStatic,
    PushButton,
    IconButton,
    CheckBox,
    Radio,
    Edit,
    Combo,
    ReportList,
    Tree,
    Grid,
};

// Styles; a control is visible and enabled unless told otherwise.
enum Style : uint32_t {
    kHidden = 1u << 0,
    kDisabled = 1u << 1,
    kGroup = 1u << 2,
    kReadOnly = 1u << 3,
    kDigitsOnly = 1u << 4,
    kDefault = 1u << 5,         // the default push button: Enter presses it
    kDropDownList = 1u << 6,    // combo: pick from the list only
    kSorted = 1u << 7,          // combo: entries kept in order
    kMultiSelect = 1u << 8,     // report list
};

struct ControlTemplate {
    ControlKind kind;
    int id;  // -1 for fixed texts nobody addresses
    std::string_view text;
    int x, y, cx, cy;  // dialog units
    uint32_t style = 0;
    int image = 0;  // bitmap or icon resource of bitmap/icon statics and icon buttons
    std::span<const std::string_view> columns = {};  // report list and grid captions
};

struct DialogTemplate {
    int id;
    std::string_view title;
    std::string_view font;
    int pointSize;
    int cx, cy;  // dialog units
    std::span<const ControlTemplate> controls;
};

struct MenuItem {
    std::string_view text;  // empty for a separator
    int id = 0;             // 0 for a separator or a popup
    bool disabled = false;
    std::span<const MenuItem> popup = {};
};

struct MenuTemplate {
    int id;
    std::span<const MenuItem> bar;
};

inline constexpr int kToolbarSeparator = 0;

struct ToolbarTemplate {
    int id;
    int buttonWidth, buttonHeight;
    std::span<const int> buttons;  // command ids; kToolbarSeparator between groups
    int firstImage = 0;            // image of the n-th button (separators not counted): firstImage + n
};

struct StringEntry {
    int id;
    std::string_view text;
};

enum AccelFlags : uint8_t { kCtrl = 1, kShift = 2, kAlt = 4, kVirtKey = 8 };
struct AccelEntry {
    uint8_t flags;
    uint16_t key;
    int command;
};

struct AccelTable {
    int id;
    std::span<const AccelEntry> entries;
};

// An XPM image: its lines as the format has them (values, colours, pixels).
struct ImageResource {
    int id;
    std::span<const char* const> xpm;
};

// Everything a program brings; the layer looks resources up here.
struct ResourceSet {
    std::span<const DialogTemplate* const> dialogs;
    std::span<const MenuTemplate* const> menus;
    std::span<const ToolbarTemplate* const> toolbars;
    std::span<const StringEntry> strings;
    std::span<const AccelTable* const> accelerators;
    std::span<const ImageResource* const> images;

    const DialogTemplate* Dialog(int id) const;
    const MenuTemplate* Menu(int id) const;
    const ToolbarTemplate* Toolbar(int id) const;
    const ImageResource* Image(int id) const;
    // The string or empty.
    std::string_view String(int id) const;
};

}  // namespace ui
